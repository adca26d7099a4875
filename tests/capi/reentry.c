/* reentry.c - hosts that re-enter the library from their hooks, asked by
   a script to go 10,000 levels deep: through a host function running a
   script, through a callback called back with CallJavaScript, through the
   break poll, through HostObjectCreated and through a result read whose
   conversion calls the host. Each chain stops at the call depth of 25 with
   "Function called itself too many times", the outer run goes on, and
   everything comes back. A single run keeps its documented limits. */
#include <stdio.h>
#include <stdlib.h>

#include "check.h"
#include "hostfns.h"

#define REQUESTS 10000
#define BREAK_BIT (1u << 20)
static const char kTooDeep[] = "Function called itself too many times";

static JSProgramSpace *space;
static int level, deepest, requested, refused;

static void reset_counts(void) {
    level = deepest = requested = refused = 0;
    host_clear_reports();
}

/* Notes one nested call made and what it answered. */
static void nested_call(uint32_t r) {
    if (r == JSRESULT_ERROR && strcmp(host_message, kTooDeep) == 0) ++refused;
}

static void enter(void) {
    ++requested;
    if (++level > deepest) deepest = level;
}

/* again(n): runs "again(n - 1)" while n > 0. */
static uint32_t fn_again(JSRunContext *ctx) {
    JSTagItem a[] = {{JSTAG_INTEGER, 0}, {JSTAG_END, 0}};
    char text[64];
    int32_t n;
    GetJSArguments(ctx, a);
    n = (int32_t)a[0].ti_Data;
    if (n <= 0) return JSANSWER_DONE;
    enter();
    snprintf(text, sizeof text, "again(%ld)", (long)(n - 1));
    nested_call(RunJavaScript(space, text, 0, 1, 0, 0));
    --level;
    return JSANSWER_DONE;
}

static int32_t kept = -1;

static uint32_t fn_keep(JSRunContext *ctx) {
    kept = HoldJSArgument(ctx, 0);
    return JSANSWER_DONE;
}

/* callback(n): calls the kept function back with n, gives its result. */
static uint32_t fn_callback(JSRunContext *ctx) {
    JSTagItem a[] = {{JSTAG_DOUBLE, 0}, {JSTAG_END, 0}};
    JSTagItem call[] = {{JSTAG_OBJECT, 0}, {JSTAG_DOUBLE, 0}, {JSTAG_END, 0}};
    uint32_t r;
    GetJSArguments(ctx, a);
    call[0].ti_Data = (uintptr_t)kept;
    call[1].ti_Data = a[0].ti_Data;
    enter();
    r = CallJavaScript(space, JSRUN_RESULT, 1, 0, call);
    nested_call(r);
    --level;
    if (r != 0) return host_give_text(ctx, "refused");
    return host_give_text(ctx, host_result(space, NULL));
}

/* The poll runs a script whose own loop (with a counter of its level's
   own) is polled again. */
static uint32_t poll_runs_script(void) {
    char text[96];
    if (requested >= REQUESTS) return 0;
    enter();
    snprintf(text, sizeof text, "for (var i%d = 0; i%d < 3; i%d++) ;", level, level, level);
    nested_call(RunJavaScript(space, text, 0, 1, BREAK_BIT, 0));
    --level;
    return 0;
}

/* make(): a program object; making one runs a script that makes one. */
static uint32_t fn_make(JSRunContext *ctx) {
    uint32_t tag = 99;
    return SetJSResultObject(ctx, &tag, sizeof tag) == 0 ? JSANSWER_DONE : JSANSWER_NOMEMORY;
}

static int creating = 0;
static uint32_t created_runs_script(void) {
    if (!creating || requested >= REQUESTS) return 0;
    enter();
    nested_call(RunJavaScript(space, "var made = make();", 0, 1, 0, 0));
    --level;
    return 0;
}

/* reread(): reads the space's result again; its conversion calls reread. */
static uint32_t fn_reread(JSRunContext *ctx) {
    JSTagItem t[] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
    uint32_t r;
    enter();
    r = GetJSResult(space, t);
    --level;
    if (r != 0) {
        ++refused;
        return host_give_text(ctx, "end");
    }
    return host_give_text(ctx, (const char *)t[0].ti_Data);
}

static const struct host_entry kFns[] = {{"again", fn_again},     {"keep", fn_keep},
                                         {"callback", fn_callback}, {"make", fn_make},
                                         {"reread", fn_reread},   {NULL, NULL}};

static void through_a_host_function(void) {
    reset_counts();
    CHECK_EQ(RunJavaScript(space, "again(10000); 'went on'", JSRUN_RESULT, 1, 0, 0), 0);
    CHECK(strcmp(host_result(space, NULL), "went on") == 0);
    /* 25 nested runs ran; the 26th was refused with the row of the limit. */
    CHECK_EQ(deepest, 26);
    CHECK_EQ(refused, 1);
    CHECK(strcmp(host_message, kTooDeep) == 0);
    /* In a lenient run the refusal is still a failure of the inner run. */
    reset_counts();
    CHECK_EQ(RunJavaScript(space, "again(10000); 'went on'", JSRUN_RESULT | JSRUN_LENIENT, 1, 0, 0), 0);
    CHECK_EQ(deepest, 26);
}

static void through_a_callback(void) {
    reset_counts();
    kept = -1;
    CHECK_EQ(RunJavaScript(space,
                           "function f(n) { return n > 0 ? callback(n - 1) : 'bottom'; }"
                           "keep(f); f(10000)",
                           JSRUN_RESULT, 1, 0, 0),
             0);
    /* f and CallJavaScript each count: f at depths 1, 3, ... 25. */
    CHECK(strcmp(host_result(space, NULL), "refused") == 0);
    CHECK_EQ(deepest, 13);
    CHECK_EQ(refused, 1);
    /* Shallow enough, the chain reaches the bottom. */
    reset_counts();
    CHECK_EQ(RunJavaScript(space, "f(8)", JSRUN_RESULT, 1, 0, 0), 0);
    CHECK(strcmp(host_result(space, NULL), "bottom") == 0);
    CHECK_EQ(refused, 0);
    CHECK_EQ(ReleaseJSValue((uint32_t)kept), 0);
}

static void through_the_poll(void) {
    reset_counts();
    host_poll = poll_runs_script;
    SetJSSignal(BREAK_BIT, BREAK_BIT);
    CHECK_EQ(RunJavaScript(space, "var t = 0; for (var j = 0; j < 4; j++) t += j; t", JSRUN_RESULT, 1,
                           BREAK_BIT, 0),
             0);
    SetJSSignal(0, BREAK_BIT);
    host_poll = NULL;
    CHECK(strcmp(host_result(space, NULL), "6") == 0);
    CHECK_EQ(requested, REQUESTS);
    CHECK_EQ(deepest, 26);
    CHECK(refused > 0);
}

static void through_object_creation(void) {
    reset_counts();
    host_created = created_runs_script;
    creating = 1;
    CHECK_EQ(RunJavaScript(space, "var first = make(); typeof first", JSRUN_RESULT, 1, 0, 0), 0);
    creating = 0;
    host_created = NULL;
    CHECK(strcmp(host_result(space, NULL), "object") == 0);
    CHECK_EQ(deepest, 26);
    CHECK(refused > 0);
}

static void through_result_reads(void) {
    JSTagItem t[] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
    reset_counts();
    /* Reading has no host handle, so the host function is kept beforehand. */
    CHECK_EQ(RunJavaScript(space, "var rr = reread; var o = {toString: function () { return 'r' + rr(); }}; o",
                           JSRUN_RESULT, 1, 0, 0),
             0);
    check_clear_debug();
    /* Each level is a read (one invocation) and toString (one more). */
    CHECK_EQ(GetJSResult(space, t), 0);
    CHECK(t[0].ti_Data && strncmp((const char *)t[0].ti_Data, "rrrrrrrrrrrr", 12) == 0);
    CHECK_EQ(refused, 1);
    CHECK(check_debug_has(kTooDeep));
    check_clear_debug();
}

/* The documented limits of a single run are those of every run; inside a
   hook, what the chain has used counts. */
static int nest_k;
static uint32_t fn_probe(JSRunContext *ctx) {
    char *text = malloc((size_t)nest_k * 2 + 2);
    int i;
    uint32_t r;
    for (i = 0; i < nest_k; ++i) text[i] = '(';
    text[nest_k] = '1';
    for (i = 0; i < nest_k; ++i) text[nest_k + 1 + i] = ')';
    text[2 * nest_k + 1] = 0;
    host_clear_reports();
    r = RunJavaScript(space, text, JSRUN_RESULT, 1, 0, 0);
    free(text);
    return host_give_text(ctx, r == 0 ? "inner ran" : host_message);
}

static uint32_t run_nested(int outer, int inner) {
    char *text = malloc((size_t)outer * 2 + 16);
    int i, n = 0;
    uint32_t r;
    for (i = 0; i < outer; ++i) text[n++] = '(';
    memcpy(text + n, "probe()", 7);
    n += 7;
    for (i = 0; i < outer; ++i) text[n++] = ')';
    text[n] = 0;
    nest_k = inner;
    r = RunJavaScript(space, text, JSRUN_RESULT, 1, 0, 0);
    free(text);
    return r;
}

static const struct host_entry kProbe[] = {{"probe", fn_probe}, {NULL, NULL}};

static void single_runs_keep_their_limits(void) {
    int lo = 1, hi = 2000, k;
    char text[200];
    const struct host_entry *saved = host_table;
    /* 25 invocations in progress succeed, the 26th fails. */
    CHECK_EQ(RunJavaScript(space, "function r(n) { return n ? r(n - 1) + 1 : 1; } r(24)", JSRUN_RESULT, 1, 0, 0), 0);
    CHECK(strcmp(host_result(space, NULL), "25") == 0);
    host_clear_reports();
    CHECK_EQ(RunJavaScript(space, "r(25)", JSRUN_RESULT, 1, 0, 0), JSRESULT_ERROR);
    CHECK(strcmp(host_message, kTooDeep) == 0);
    /* The deepest parenthesised expression a run accepts alone. */
    host_table = kProbe;
    while (lo < hi) {
        int mid = (lo + hi + 1) / 2;
        char *deep = malloc((size_t)mid * 2 + 2);
        int i;
        uint32_t r;
        for (i = 0; i < mid; ++i) deep[i] = '(';
        deep[mid] = '1';
        for (i = 0; i < mid; ++i) deep[mid + 1 + i] = ')';
        deep[2 * mid + 1] = 0;
        r = RunJavaScript(space, deep, JSRUN_RESULT, 1, 0, 0);
        free(deep);
        if (r == 0) lo = mid; else hi = mid - 1;
    }
    k = lo;
    CHECK(k > 10 && k < 2000);
    /* From a hook at the top nearly the whole budget is there (the call
       of the hook uses a few levels)... */
    CHECK_EQ(run_nested(0, k - 10), 0);
    CHECK(strcmp(host_result(space, NULL), "inner ran") == 0);
    /* ...but inside the outer run's own nesting the inner one gets less. */
    CHECK_EQ(run_nested(k * 2 / 3, k * 2 / 3), 0);
    CHECK(strcmp(host_result(space, NULL), "Program nested too deeply") == 0);
    /* Afterwards every run has all of it again. */
    CHECK_EQ(run_nested(0, k - 10), 0);
    CHECK(strcmp(host_result(space, NULL), "inner ran") == 0);
    snprintf(text, sizeof text, "r(24)");
    CHECK_EQ(RunJavaScript(space, text, JSRUN_RESULT, 1, 0, 0), 0);
    CHECK(strcmp(host_result(space, NULL), "25") == 0);
    host_table = saved;
}

int main(void) {
    check_open();
    host_table = kFns;
    space = CreateJSProgramSpace(NULL, &host_hooks, 1);
    CHECK(space != NULL);
    through_a_host_function();
    through_a_callback();
    through_the_poll();
    through_object_creation();
    through_result_reads();
    single_runs_keep_their_limits();
    DeleteJSProgramSpace(space);
    check_close();
    return check_finish("reentry");
}
