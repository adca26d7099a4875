/* stale.c - handles that are no longer good: a run context kept after its
   hook returned, a context of another run, pointers that never were
   contexts, objects already released, value slots already released. Each
   call refuses them with its "Illegal ..." message and touches nothing;
   good handles keep working, also a live outer context used from a hook
   of a nested run. */
#include <stdio.h>

#include "check.h"
#include "hostfns.h"

static JSProgramSpace *space;
static JSRunContext *keptCtx;
static JSObject *keptObj;
static int32_t keptSlot = -1;
static int calls;

static uint32_t fn_keep(JSRunContext *ctx) {
    ++calls;
    keptCtx = ctx;
    keptSlot = HoldJSArgument(ctx, 0);
    keptObj = NewJSObject(ctx);
    return JSANSWER_DONE;
}

/* inner(): runs a script that calls outer() while this call is under way. */
static JSRunContext *outerCtx;
static uint32_t fn_inner(JSRunContext *ctx) {
    outerCtx = ctx;
    return RunJavaScript(space, "outer()", JSRUN_RESULT, 1, 0, 0) == 0 ? JSANSWER_DONE : 4;
}

/* outer(): uses the context of the call of inner(), still under way. */
static int outerSlot = -1;
static uint32_t fn_outer(JSRunContext *ctx) {
    JSTagItem a[] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
    CHECK_EQ(GetJSArguments(outerCtx, a), 0);
    CHECK(a[0].ti_Data && strcmp((const char *)a[0].ti_Data, "from inner") == 0);
    outerSlot = HoldJSArgument(outerCtx, 0);
    CHECK(outerSlot >= 0);
    CHECK_EQ(host_give_text(outerCtx, "set through the outer context"), 0);
    (void)ctx;
    return JSANSWER_DONE;
}

/* give(): answers with the object the host holds (if it still does). */
static uint32_t fn_give(JSRunContext *ctx) {
    JSTagItem t[] = {{JSTAG_INTEGER, 7}, {JSTAG_END, 0}};
    JSTagItem o[] = {{JSTAG_OBJECT, 0}, {JSTAG_END, 0}};
    CHECK_EQ(SetJSResult(ctx, t), 0);
    o[0].ti_Data = (uintptr_t)keptObj;
    /* A released object is refused; the 7 set before stays the result. */
    SetJSResult(ctx, o);
    return JSANSWER_DONE;
}

static uint32_t fn_lookup(JSRunContext *ctx) {
    return SetJSLookupObject(ctx, keptObj) == 0 ? JSANSWER_DONE : 4;
}

static const struct host_entry kFns[] = {{"keep", fn_keep},   {"inner", fn_inner}, {"outer", fn_outer},
                                         {"give", fn_give},   {"lookup", fn_lookup}, {NULL, NULL}};

/* Every call that takes a context, given one that is not good. */
static void refused_everywhere(JSRunContext *bad) {
    JSTagItem read[] = {{JSTAG_INTEGER, 5}, {JSTAG_END, 0}};
    JSTagItem set[] = {{JSTAG_INTEGER, 9}, {JSTAG_END, 0}};
    int32_t use = GetJSMemUse();
    char bytes[4] = "abc";
    check_clear_debug();
    CHECK_EQ(GetJSArguments(bad, read), JSRESULT_ERROR);
    CHECK_EQ(read[0].ti_Data, 5);
    CHECK_EQ(SetJSResult(bad, set), JSRESULT_ERROR);
    CHECK_EQ(SetJSResultObject(bad, bytes, sizeof bytes), JSRESULT_ERROR);
    CHECK_EQ(SetJSLookupSpace(bad, space), JSRESULT_ERROR);
    CHECK_EQ(SetJSLookupObject(bad, NULL), JSRESULT_ERROR);
    CHECK_EQ(AddJSScopeObject(bad, bytes, sizeof bytes), JSRESULT_ERROR);
    CHECK_EQ(GetJSUserData(bad), 0);
    CHECK_EQ(GetJSUserData2(bad), 0);
    CHECK(NewJSObject(bad) == NULL);
    CHECK_EQ(HoldJSArgument(bad, 0), -1);
    CHECK(strcmp(check_debug,
                 "Illegal GetJSArguments\nIllegal SetJSResult\nIllegal SetJSResultObject\n"
                 "Illegal SetJSLookupSpace\nIllegal SetJSLookupObject\nIllegal AddJSScopeObject\n"
                 "Illegal GetJSUserData\nIllegal GetJSUserData\nIllegal NewJSObject\n"
                 "Illegal HoldJSArgument\n") == 0);
    CHECK_EQ(GetJSMemUse(), use);
    check_clear_debug();
}

static void stale_contexts(void) {
    void *junk[64];
    size_t i;
    CHECK_EQ(RunJavaScript(space, "keep('held'); 'result'", JSRUN_RESULT, 1, 0, 0), 0);
    CHECK_EQ(calls, 1);
    /* The run is over: its context is dead. */
    refused_everywhere(keptCtx);
    CHECK(strcmp(host_result(space, NULL), "result") == 0);
    /* Pointers that never were contexts: a block of junk, a space. */
    for (i = 0; i < sizeof junk / sizeof junk[0]; ++i) junk[i] = (void *)(uintptr_t)(i * 0x9E3779B97F4A7C15ull);
    refused_everywhere((JSRunContext *)junk);
    refused_everywhere((JSRunContext *)space);
    /* Null keeps its own answers. */
    check_clear_debug();
    CHECK_EQ(GetJSArguments(NULL, NULL), JSRESULT_NOMEMORY);
    CHECK_EQ(SetJSResult(NULL, NULL), JSRESULT_NOMEMORY);
    CHECK_EQ(GetJSUserData(NULL), 0);
    CHECK_EQ(HoldJSArgument(NULL, 0), -1);
    CHECK(NewJSObject(NULL) == NULL);
    CHECK(strcmp(check_debug, "Illegal DeleteJSProgramSpace\n") == 0);
    check_clear_debug();
    CHECK_EQ(GetJSUserData2(NULL), 0);
    CHECK(strcmp(check_debug, "Illegal GetJSUserData\n") == 0);
    check_clear_debug();
    CHECK_EQ(ReleaseJSValue((uint32_t)keptSlot), 0);
}

static void live_outer_context(void) {
    check_clear_debug();
    CHECK_EQ(RunJavaScript(space, "inner('from inner')", JSRUN_RESULT, 1, 0, 0), 0);
    CHECK(strcmp(host_result(space, NULL), "set through the outer context") == 0);
    CHECK_EQ(check_debug_len, 0);
    CHECK_EQ(ReleaseJSValue((uint32_t)outerSlot), 0);
    /* The context of the finished call is dead now. */
    refused_everywhere(outerCtx);
}

static void released_objects(void) {
    JSObject *obj = keptObj;
    CHECK(obj != NULL);
    /* Held: usable as a result and as a lookup object. */
    CHECK_EQ(RunJavaScript(space, "var g = give(); typeof g", JSRUN_RESULT, 1, 0, 0), 0);
    CHECK(strcmp(host_result(space, NULL), "object") == 0);
    check_clear_debug();
    ReleaseJSObject(obj);
    CHECK_EQ(check_debug_len, 0);
    /* Released: every further use is refused, nothing else happens. */
    ReleaseJSObject(obj);
    CHECK(strcmp(check_debug, "Illegal ReleaseJSObject\n") == 0);
    check_clear_debug();
    CHECK_EQ(RunJavaScript(space, "give()", JSRUN_RESULT, 1, 0, 0), 0);
    CHECK(strcmp(host_result(space, NULL), "7") == 0);
    CHECK(strcmp(check_debug, "Illegal SetJSResult\n") == 0);
    check_clear_debug();
    CHECK_EQ(RunJavaScript(space, "lookup()", JSRUN_RESULT, 1, 0, 0), JSRESULT_ERROR);
    CHECK(check_debug_has("Illegal SetJSLookupObject\n"));
    check_clear_debug();
    /* Never an object at all. */
    keptObj = (JSObject *)&calls;
    ReleaseJSObject(keptObj);
    CHECK(strcmp(check_debug, "Illegal ReleaseJSObject\n") == 0);
    keptObj = NULL;
    check_clear_debug();
}

static void released_slots(void) {
    JSTagItem call[] = {{JSTAG_OBJECT, 0}, {JSTAG_END, 0}};
    JSTagItem withArg[] = {{JSTAG_OBJECT, 0}, {JSTAG_ARGUMENT, 0}, {JSTAG_END, 0}};
    int32_t fn;
    CHECK_EQ(RunJavaScript(space, "keep(function (x) { return 'called ' + x; })", 0, 1, 0, 0), 0);
    fn = keptSlot;
    CHECK(fn >= 0);
    ReleaseJSObject(keptObj);
    keptObj = NULL;
    CHECK_EQ(RunJavaScript(space, "keep('arg')", 0, 1, 0, 0), 0);
    ReleaseJSObject(keptObj);
    keptObj = NULL;
    withArg[0].ti_Data = (uintptr_t)fn;
    withArg[1].ti_Data = (uintptr_t)keptSlot;
    CHECK_EQ(CallJavaScript(space, JSRUN_RESULT, 1, 0, withArg), 0);
    CHECK(strcmp(host_result(space, NULL), "called arg") == 0);
    check_clear_debug();
    CHECK_EQ(ReleaseJSValue((uint32_t)keptSlot), 0);
    CHECK_EQ(check_debug_len, 0);
    /* Released twice: refused (the result stays 0), the slot stays free. */
    CHECK_EQ(ReleaseJSValue((uint32_t)keptSlot), 0);
    CHECK(strcmp(check_debug, "Illegal ReleaseJSValue\n") == 0);
    check_clear_debug();
    /* A released slot as an argument or as the function: nothing runs. */
    CHECK_EQ(CallJavaScript(space, JSRUN_RESULT, 1, 0, withArg), JSRESULT_ERROR);
    CHECK(strcmp(check_debug, "Illegal CallJavaScript\n") == 0);
    CHECK(strcmp(host_result(space, NULL), "called arg") == 0);
    check_clear_debug();
    CHECK_EQ(ReleaseJSValue((uint32_t)fn), 0);
    call[0].ti_Data = (uintptr_t)fn;
    CHECK_EQ(CallJavaScript(space, JSRUN_RESULT, 1, 0, call), JSRESULT_ERROR);
    CHECK(strcmp(check_debug, "Illegal CallJavaScript\n") == 0);
    check_clear_debug();
    /* Beyond the table is out of memory, as ever. */
    call[0].ti_Data = 100000;
    CHECK_EQ(CallJavaScript(space, JSRUN_RESULT, 1, 0, call), JSRESULT_NOMEMORY);
    CHECK_EQ(ReleaseJSValue(100000), 2);
}

/* After the last close nothing the host kept is good. */
static void after_the_last_close(void) {
    JSObject *obj;
    check_open();
    space = CreateJSProgramSpace(NULL, &host_hooks, 1);
    CHECK_EQ(RunJavaScript(space, "keep(1)", 0, 1, 0, 0), 0);
    obj = keptObj;
    ReleaseJSObject(obj);
    CHECK_EQ(ReleaseJSValue((uint32_t)keptSlot), 0);
    DeleteJSProgramSpace(space);
    check_close();
    SetJSDebugOutput(check_capture, NULL);
    check_clear_debug();
    ReleaseJSObject(obj);
    CHECK(strcmp(check_debug, "Illegal ReleaseJSObject\n") == 0);
    refused_everywhere(keptCtx);
    CHECK_EQ(ReleaseJSValue((uint32_t)keptSlot), 2);
    SetJSDebugOutput(NULL, NULL);
}

int main(void) {
    check_open();
    host_table = kFns;
    space = CreateJSProgramSpace(NULL, &host_hooks, 1);
    CHECK(space != NULL);
    stale_contexts();
    live_outer_context();
    released_objects();
    released_slots();
    DeleteJSProgramSpace(space);
    check_close();
    after_the_last_close();
    return check_finish("stale");
}
