/* check.h - the harness of the C host tests: checks that count failures,
   the library's diagnostic output captured into a buffer, and the end of
   every test: the last close leaves no memory and prints no leak warning.
   These tests use nothing but quillon.h. */
#ifndef QUILLON_CAPI_CHECK_H
#define QUILLON_CAPI_CHECK_H

#include <stdio.h>
#include <string.h>

#include "quillon.h"

static int check_failures = 0;
static char check_debug[1 << 16];
static size_t check_debug_len = 0;

#define CHECK(cond)                                                        \
    do {                                                                   \
        if (!(cond)) {                                                     \
            ++check_failures;                                              \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
        }                                                                  \
    } while (0)

#define CHECK_EQ(a, b)                                                     \
    do {                                                                   \
        unsigned long long check_a_ = (unsigned long long)(a);             \
        unsigned long long check_b_ = (unsigned long long)(b);             \
        if (check_a_ != check_b_) {                                        \
            ++check_failures;                                              \
            fprintf(stderr, "%s:%d: check failed: %s == %s (%llu, %llu)\n", __FILE__, \
                    __LINE__, #a, #b, check_a_, check_b_);                 \
        }                                                                  \
    } while (0)

/* The diagnostic output goes into check_debug (the library calls the
   writer under its lock, so threads need no lock of their own here). */
static inline void check_capture(const char *text, void *user) {
    size_t n = strlen(text);
    (void)user;
    if (n > sizeof check_debug - 1 - check_debug_len) n = sizeof check_debug - 1 - check_debug_len;
    memcpy(check_debug + check_debug_len, text, n);
    check_debug_len += n;
    check_debug[check_debug_len] = 0;
}

static inline void check_clear_debug(void) {
    check_debug_len = 0;
    check_debug[0] = 0;
}

/* True when the diagnostic output holds the text. */
static inline int check_debug_has(const char *text) { return strstr(check_debug, text) != NULL; }

static inline void check_open(void) {
    SetJSDebugOutput(check_capture, NULL);
    check_clear_debug();
    CHECK(OpenJSLibrary() != NULL);
}

/* The last close: nothing may be left behind. */
static inline void check_close(void) {
    CloseJSLibrary();
    CHECK_EQ(GetJSMemUse(), 0);
    if (check_debug_has("Warning:")) {
        ++check_failures;
        fprintf(stderr, "leak warning printed:\n%s\n", check_debug);
    }
    SetJSDebugOutput(NULL, NULL);
}

static inline int check_finish(const char *name) {
    if (check_failures) fprintf(stderr, "%s: %d checks failed\n", name, check_failures);
    else printf("%s: all checks passed\n", name);
    return check_failures ? 1 : 0;
}

#endif
