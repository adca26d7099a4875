/* hostfns.h - a small host for the C tests: the global names of a table
   are host functions (program objects holding the function's index), an
   optional poll answers the break poll, and reports are counted with the
   last message kept. Spaces are made with user data 1 and runs with host
   handle 1 unless a test says otherwise. */
#ifndef QUILLON_CAPI_HOSTFNS_H
#define QUILLON_CAPI_HOSTFNS_H

#include <stdint.h>
#include <string.h>

#include "quillon.h"

typedef uint32_t (*host_fn)(JSRunContext *ctx);

struct host_entry {
    const char *name;
    host_fn fn;
};

static const struct host_entry *host_table = NULL; /* ended by a null name */
static uint32_t (*host_poll)(void) = NULL;
static uint32_t (*host_created)(void) = NULL;
static int host_reports = 0;
static char host_message[512];

static inline uint32_t host_get_property(uintptr_t target, JSRunContext *ctx, void *data,
                                         const char *name, uint32_t size, uint32_t flags) {
    uint32_t i;
    (void)target;
    (void)size;
    if (data || !host_table) return JSANSWER_NONAME;
    for (i = 0; host_table[i].name; ++i) {
        if (strcmp(host_table[i].name, name) != 0) continue;
        if (flags & JSHOST_HAS) return JSANSWER_DONE;
        return SetJSResultObject(ctx, &i, sizeof i) == 0 ? JSANSWER_DONE : JSANSWER_NOMEMORY;
    }
    return JSANSWER_NONAME;
}

static inline uint32_t host_invoke(uintptr_t target, JSRunContext *ctx, void *data, uint32_t size,
                                   uint32_t operation) {
    uint32_t i;
    (void)target;
    (void)operation;
    if (size != sizeof i) return 4;
    memcpy(&i, data, sizeof i);
    return host_table[i].fn(ctx);
}

static inline uint32_t host_notify(uint32_t kind, uintptr_t handle, const char *heading,
                                   const char *message, const char *before, const char *token,
                                   const char *after, const char *position) {
    (void)handle;
    (void)heading;
    (void)before;
    (void)token;
    (void)after;
    (void)position;
    if (kind == JSNOTIFY_POLL) return host_poll ? host_poll() : 0;
    ++host_reports;
    strncpy(host_message, message ? message : "", sizeof host_message - 1);
    host_message[sizeof host_message - 1] = 0;
    return 0;
}

static inline uint32_t host_object_created(uintptr_t userData, uintptr_t zero, const void *bytes,
                                           uint32_t size) {
    (void)userData;
    (void)zero;
    (void)bytes;
    (void)size;
    return host_created ? host_created() : 0;
}

static const JSHostLibrary host_hooks = {host_invoke, host_get_property, NULL, host_notify,
                                         host_object_created, NULL};

static inline void host_clear_reports(void) {
    host_reports = 0;
    host_message[0] = 0;
}

/* Reads the space's last result as a string (with its length); "" when
   there is none. */
static inline const char *host_result(JSProgramSpace *space, uintptr_t *length) {
    JSTagItem t[] = {{JSTAG_STRING, 0}, {JSTAG_SIZE, 0}, {JSTAG_END, 0}};
    if (GetJSResult(space, t) != 0 || !t[0].ti_Data) {
        if (length) *length = 0;
        return "";
    }
    if (length) *length = t[1].ti_Data;
    return (const char *)t[0].ti_Data;
}

/* Sets a zero-terminated text as the result of a host function. */
static inline uint32_t host_give_text(JSRunContext *ctx, const char *text) {
    JSTagItem t[] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
    t[0].ti_Data = (uintptr_t)text;
    return SetJSResult(ctx, t) == 0 ? JSANSWER_DONE : JSANSWER_NOMEMORY;
}

#endif
