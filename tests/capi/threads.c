/* threads.c - four threads, each with a program space of its own, run
   scripts for a few seconds (QUILLON_THREAD_SECONDS, 1 by default): host
   functions, nested runs, callbacks, objects, errors, spaces made and
   destroyed. The library's lock serialises them; under ThreadSanitizer
   (make tsan) no race may be reported. Then a thread's endless script is
   stopped from another thread with SetJSSignal, which takes no lock, and
   from a POSIX signal handler. */
#define _POSIX_C_SOURCE 200809L
#include <pthread.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#include "check.h"

#define WORKERS 4
#define STOP_BIT (1u << 22)

struct worker {
    int id;
    JSProgramSpace *space;
    long runs;
    int failures;
    char message[160];
    uint32_t stopResult;
};

#define WCHECK(w, cond)                                                              \
    do {                                                                             \
        if (!(cond)) {                                                               \
            ++(w)->failures;                                                         \
            fprintf(stderr, "worker %d: %s:%d: check failed: %s\n", (w)->id, __FILE__, \
                    __LINE__, #cond);                                                \
        }                                                                            \
    } while (0)

static const char *const kNames[] = {"add", "nested", "call", "obj", NULL};

static uint32_t get_property(uintptr_t target, JSRunContext *ctx, void *data, const char *name,
                             uint32_t size, uint32_t flags) {
    uint32_t i;
    (void)target;
    (void)size;
    if (data) return JSANSWER_NONAME;
    for (i = 0; kNames[i]; ++i) {
        if (strcmp(kNames[i], name) != 0) continue;
        if (flags & JSHOST_HAS) return JSANSWER_DONE;
        return SetJSResultObject(ctx, &i, sizeof i) == 0 ? JSANSWER_DONE : JSANSWER_NOMEMORY;
    }
    return JSANSWER_NONAME;
}

static uint32_t give_double(JSRunContext *ctx, double d) {
    JSTagItem r[] = {{JSTAG_DOUBLE, 0}, {JSTAG_END, 0}};
    uint64_t bits;
    memcpy(&bits, &d, sizeof bits);
    r[0].ti_Data = (uintptr_t)bits;
    return SetJSResult(ctx, r) == 0 ? JSANSWER_DONE : JSANSWER_NOMEMORY;
}

static double read_double(uintptr_t data) {
    double d;
    uint64_t bits = (uint64_t)data;
    memcpy(&d, &bits, sizeof d);
    return d;
}

static uint32_t invoke(uintptr_t target, JSRunContext *ctx, void *data, uint32_t size, uint32_t op) {
    struct worker *w = (struct worker *)target;
    uint32_t which;
    (void)op;
    if (size != sizeof which) return 4;
    memcpy(&which, data, sizeof which);
    WCHECK(w, GetJSUserData(ctx) == target);
    switch (which) {
    case 0: { /* add(a, b) */
        JSTagItem a[] = {{JSTAG_DOUBLE, 0}, {JSTAG_DOUBLE, 0}, {JSTAG_END, 0}};
        if (GetJSArguments(ctx, a) != 0) return JSANSWER_DONE;
        return give_double(ctx, read_double(a[0].ti_Data) + read_double(a[1].ti_Data));
    }
    case 1: { /* nested(text): runs the text in the same space */
        JSTagItem a[] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
        JSTagItem r[] = {{JSTAG_DOUBLE, 0}, {JSTAG_END, 0}};
        if (GetJSArguments(ctx, a) != 0) return JSANSWER_DONE;
        if (RunJavaScript(w->space, (const char *)a[0].ti_Data, JSRUN_RESULT, target, 0, 0) != 0) return 4;
        if (GetJSResult(w->space, r) != 0) return 4;
        return give_double(ctx, read_double(r[0].ti_Data));
    }
    case 2: { /* call(fn, x): calls fn back with x */
        JSTagItem a[] = {{JSTAG_SKIP, 1}, {JSTAG_DOUBLE, 0}, {JSTAG_END, 0}};
        JSTagItem call[] = {{JSTAG_OBJECT, 0}, {JSTAG_DOUBLE, 0}, {JSTAG_END, 0}};
        JSTagItem r[] = {{JSTAG_DOUBLE, 0}, {JSTAG_END, 0}};
        int32_t slot = HoldJSArgument(ctx, 0);
        uint32_t st;
        if (slot < 0 || GetJSArguments(ctx, a) != 0) return 4;
        call[0].ti_Data = (uintptr_t)slot;
        call[1].ti_Data = a[1].ti_Data;
        st = CallJavaScript(w->space, JSRUN_RESULT, target, 0, call);
        if (st == 0) st = GetJSResult(w->space, r);
        ReleaseJSValue((uint32_t)slot);
        return st == 0 ? give_double(ctx, read_double(r[0].ti_Data)) : 4;
    }
    case 3: { /* obj(): a new object with a number in it */
        JSObject *o = NewJSObject(ctx);
        JSTagItem r[] = {{JSTAG_OBJECT, 0}, {JSTAG_END, 0}};
        uint32_t st;
        if (!o) return JSANSWER_NOMEMORY;
        r[0].ti_Data = (uintptr_t)o;
        st = SetJSResult(ctx, r);
        ReleaseJSObject(o);
        return st == 0 ? JSANSWER_DONE : JSANSWER_NOMEMORY;
    }
    default: return 4;
    }
}

static uint32_t notify(uint32_t kind, uintptr_t handle, const char *heading, const char *message,
                       const char *before, const char *token, const char *after, const char *position) {
    struct worker *w = (struct worker *)handle;
    (void)heading;
    (void)before;
    (void)token;
    (void)after;
    (void)position;
    if (kind == JSNOTIFY_POLL) {
        /* A stop raised by another thread: take it back and stop quietly. */
        if (SetJSSignal(0, 0) & STOP_BIT) {
            SetJSSignal(0, STOP_BIT);
            return JSANSWER_STOP;
        }
        return 0;
    }
    strncpy(w->message, message ? message : "", sizeof w->message - 1);
    w->message[sizeof w->message - 1] = 0;
    return 0;
}

static const JSHostLibrary kHooks = {invoke, get_property, NULL, notify, NULL, NULL};

static double seconds_to_run(void) {
    const char *s = getenv("QUILLON_THREAD_SECONDS");
    double d = s ? atof(s) : 1.0;
    return d > 0 ? d : 1.0;
}

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

static const char kScript[] =
    "var a = []; for (var k = 0; k < 40; k++) a.push(add(k, id));"
    "var s = a.join(','); var m = /^(\\d+),(\\d+)/.exec(s);"
    "function fact(n) { return n < 2 ? 1 : n * fact(n - 1); }"
    "var caught = 'no'; try { null.x.y; } catch (e) { caught = e.name; }"
    "var o = obj(); o.n = i;"
    "[s.length, m[2], fact(10), nested('id * 2 + 0.5'), call(function (x) { return x + 1; }, i),"
    " o.n, caught, String(new Date(2000, 0, 1).getFullYear()), 'ab'.replace(/b/g, 'c')].join('|')";

static void *work(void *arg) {
    struct worker *w = (struct worker *)arg;
    double end = now() + seconds_to_run();
    char text[sizeof kScript + 64];
    char want[256];
    long i;
    if (!OpenJSLibrary()) {
        ++w->failures;
        return NULL;
    }
    for (i = 0; now() < end || i < 20; ++i) {
        int k, len = 0;
        JSTagItem t[] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
        if (!w->space) {
            w->space = CreateJSProgramSpace(NULL, &kHooks, (uintptr_t)w);
            WCHECK(w, w->space != NULL);
            if (!w->space) break;
        }
        snprintf(text, sizeof text, "var id = %d, i = %ld;", w->id, i);
        strcat(text, kScript);
        WCHECK(w, RunJavaScript(w->space, text, JSRUN_RESULT, (uintptr_t)w, 0, 0) == 0);
        WCHECK(w, GetJSResult(w->space, t) == 0);
        for (k = 0; k < 40; ++k) {
            char n[16];
            len += snprintf(n, sizeof n, "%d", k + w->id) + (k ? 1 : 0);
        }
        snprintf(want, sizeof want, "%d|%d|3628800|%d.5|%ld|%ld|ReferenceError|2000|ac", len, 1 + w->id,
                 w->id * 2, i + 1, i);
        WCHECK(w, t[0].ti_Data && strcmp((const char *)t[0].ti_Data, want) == 0);
        if (t[0].ti_Data && strcmp((const char *)t[0].ti_Data, want) != 0)
            fprintf(stderr, "worker %d: got %s\n", w->id, (const char *)t[0].ti_Data);
        /* An error reported to this thread's own host. */
        if (i % 7 == 3) {
            WCHECK(w, RunJavaScript(w->space, "noSuchFunction()", 0, (uintptr_t)w, 0, 0) == JSRESULT_ERROR);
            WCHECK(w, strcmp(w->message, "Function not defined") == 0);
        }
        if (i % 10 == 9) {
            DeleteJSProgramSpace(w->space);
            w->space = NULL;
        }
        ++w->runs;
    }
    if (w->space) DeleteJSProgramSpace(w->space);
    w->space = NULL;
    CloseJSLibrary();
    return NULL;
}

/* A thread whose script never ends until another thread stops it. */
static void *run_away(void *arg) {
    struct worker *w = (struct worker *)arg;
    w->space = CreateJSProgramSpace(NULL, &kHooks, (uintptr_t)w);
    if (!w->space) {
        ++w->failures;
        return NULL;
    }
    w->stopResult = RunJavaScript(w->space, "var n = 0; while (true) n++;", 0, (uintptr_t)w, STOP_BIT, 0);
    DeleteJSProgramSpace(w->space);
    w->space = NULL;
    return NULL;
}

static void on_signal(int sig) {
    (void)sig;
    SetJSSignal(STOP_BIT, STOP_BIT);
}

static void pause_ms(long ms) {
    struct timespec t;
    t.tv_sec = ms / 1000;
    t.tv_nsec = (ms % 1000) * 1000000L;
    nanosleep(&t, NULL);
}

int main(void) {
    pthread_t threads[WORKERS], runner;
    struct worker workers[WORKERS];
    struct worker stopped;
    struct sigaction sa;
    int i;
    check_open();
    memset(workers, 0, sizeof workers);
    for (i = 0; i < WORKERS; ++i) {
        workers[i].id = i + 1;
        CHECK(pthread_create(&threads[i], NULL, work, &workers[i]) == 0);
    }
    for (i = 0; i < WORKERS; ++i) {
        pthread_join(threads[i], NULL);
        CHECK_EQ(workers[i].failures, 0);
        CHECK(workers[i].runs >= 20);
        printf("worker %d: %ld runs\n", workers[i].id, workers[i].runs);
    }

    /* Stopped from another thread while it runs (and holds the lock). */
    memset(&stopped, 0, sizeof stopped);
    stopped.id = 9;
    CHECK(pthread_create(&runner, NULL, run_away, &stopped) == 0);
    pause_ms(200);
    SetJSSignal(STOP_BIT, STOP_BIT);
    pthread_join(runner, NULL);
    CHECK_EQ(stopped.stopResult, JSRESULT_BREAK);
    CHECK_EQ(stopped.failures, 0);

    /* Stopped from a signal handler running on the thread of the run. */
    memset(&sa, 0, sizeof sa);
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    CHECK(sigaction(SIGUSR1, &sa, NULL) == 0);
    memset(&stopped, 0, sizeof stopped);
    stopped.id = 10;
    CHECK(pthread_create(&runner, NULL, run_away, &stopped) == 0);
    pause_ms(200);
    pthread_kill(runner, SIGUSR1);
    pthread_join(runner, NULL);
    CHECK_EQ(stopped.stopResult, JSRESULT_BREAK);
    CHECK_EQ(SetJSSignal(0, 0) & STOP_BIT, 0);

    check_close();
    return check_finish("threads");
}
