/* precision.c - numbers as doubles (JSTAG_DOUBLE) and strings with their
   length (JSTAG_STRING + JSTAG_SIZE) cross the boundary exactly, both ways,
   through GetJSResult, SetJSResult, GetJSArguments and CallJavaScript; the
   older tags keep their meaning. */
#include <math.h>
#include <stdio.h>

#include "check.h"
#include "hostfns.h"

static JSProgramSpace *space;

static uint64_t bits_of(double d) {
    uint64_t b;
    memcpy(&b, &d, sizeof b);
    return b;
}

static double double_of(uintptr_t data) {
    double d;
    uint64_t b = (uint64_t)data;
    memcpy(&d, &b, sizeof d);
    return d;
}

static uintptr_t data_of(double d) { return (uintptr_t)bits_of(d); }

/* The values that must survive; NaN compares by being NaN. */
static double values[12];
static const char *const kTexts[12] = {
    "0.1 + 0.2", "1234567890123", "-0", "0 / 0", "1 / 0", "-1 / 0", "5e-324",
    "1.7976931348623157e308", "Math.pow(2, 53) + 2", "1 / 3", "-123.456e-200", "2.2250738585072014e-308"};

static void fill_values(void) {
    volatile double zero = 0.0;
    values[0] = 0.1 + 0.2;
    values[1] = 1234567890123.0;
    values[2] = -0.0;
    values[3] = zero / zero;
    values[4] = 1 / zero;
    values[5] = -1 / zero;
    values[6] = 5e-324;
    values[7] = 1.7976931348623157e308;
    values[8] = 9007199254740994.0;
    values[9] = 1.0 / 3.0;
    values[10] = -123.456e-200;
    values[11] = 2.2250738585072014e-308;
}

static int same(double a, double b) { return (isnan(a) && isnan(b)) || bits_of(a) == bits_of(b); }

static const char kBytes[] = {'a', 0, 'b', 0, 'c'};
static char received[64];
static uintptr_t receivedLen;
static double receivedNum;

/* num(i): values[i] as a double. */
static uint32_t fn_num(JSRunContext *ctx) {
    JSTagItem a[] = {{JSTAG_INTEGER, 0}, {JSTAG_END, 0}};
    JSTagItem r[] = {{JSTAG_DOUBLE, 0}, {JSTAG_END, 0}};
    GetJSArguments(ctx, a);
    r[0].ti_Data = data_of(values[a[0].ti_Data % 12]);
    return SetJSResult(ctx, r) == 0 ? JSANSWER_DONE : JSANSWER_NOMEMORY;
}

/* echo(x): reads x as a double and gives it back. */
static uint32_t fn_echo(JSRunContext *ctx) {
    JSTagItem a[] = {{JSTAG_DOUBLE, 0}, {JSTAG_END, 0}};
    CHECK_EQ(GetJSArguments(ctx, a), 0);
    receivedNum = double_of(a[0].ti_Data);
    return SetJSResult(ctx, a) == 0 ? JSANSWER_DONE : JSANSWER_NOMEMORY;
}

/* bytes(): the five bytes of kBytes as a string. */
static uint32_t fn_bytes(JSRunContext *ctx) {
    JSTagItem r[] = {{JSTAG_STRING, (uintptr_t)kBytes}, {JSTAG_SIZE, sizeof kBytes}, {JSTAG_END, 0}};
    return SetJSResult(ctx, r) == 0 ? JSANSWER_DONE : JSANSWER_NOMEMORY;
}

/* take(s): keeps the bytes of s; gives them back. */
static uint32_t fn_take(JSRunContext *ctx) {
    JSTagItem a[] = {{JSTAG_STRING, 0}, {JSTAG_SIZE, 0}, {JSTAG_END, 0}};
    JSTagItem r[] = {{JSTAG_STRING, 0}, {JSTAG_SIZE, 0}, {JSTAG_END, 0}};
    CHECK_EQ(GetJSArguments(ctx, a), 0);
    receivedLen = a[1].ti_Data;
    if (receivedLen <= sizeof received) memcpy(received, (const void *)a[0].ti_Data, receivedLen);
    r[0].ti_Data = (uintptr_t)received;
    r[1].ti_Data = receivedLen;
    return SetJSResult(ctx, r) == 0 ? JSANSWER_DONE : JSANSWER_NOMEMORY;
}

/* mixed(...): a reading list of every form. */
static JSTagItem mixedList[8];
static uint32_t mixedResult;
static char mixedText[8];
static uint32_t fn_mixed(JSRunContext *ctx) {
    mixedResult = GetJSArguments(ctx, mixedList);
    /* The characters live only as long as the call: copied now. */
    if (mixedResult == 0 && mixedList[3].ti_Data <= sizeof mixedText)
        memcpy(mixedText, (const void *)mixedList[2].ti_Data, mixedList[3].ti_Data);
    return JSANSWER_DONE;
}

/* plain(text): sets a text with the old, zero-terminated form. */
static uint32_t fn_plain(JSRunContext *ctx) {
    JSTagItem r[] = {{JSTAG_STRING, (uintptr_t)kBytes}, {JSTAG_END, 0}};
    return SetJSResult(ctx, r) == 0 ? JSANSWER_DONE : JSANSWER_NOMEMORY;
}

/* nothing(): a sized string without a pointer. */
static uint32_t fn_nothing(JSRunContext *ctx) {
    JSTagItem r[] = {{JSTAG_STRING, 0}, {JSTAG_SIZE, 5}, {JSTAG_END, 0}};
    return SetJSResult(ctx, r) == 0 ? JSANSWER_DONE : JSANSWER_NOMEMORY;
}

static int32_t heldSlot = -1;
static uint32_t fn_hold(JSRunContext *ctx) {
    heldSlot = HoldJSArgument(ctx, 0);
    return JSANSWER_DONE;
}

static const struct host_entry kFns[] = {{"num", fn_num},     {"echo", fn_echo},   {"bytes", fn_bytes},
                                         {"take", fn_take},   {"mixed", fn_mixed}, {"plain", fn_plain},
                                         {"nothing", fn_nothing}, {"hold", fn_hold}, {NULL, NULL}};

static void results_read_as_doubles(void) {
    int i;
    for (i = 0; i < 12; ++i) {
        JSTagItem t[] = {{JSTAG_DOUBLE, 0}, {JSTAG_END, 0}};
        CHECK_EQ(RunJavaScript(space, kTexts[i], JSRUN_RESULT, 1, 0, 0), 0);
        CHECK_EQ(GetJSResult(space, t), 0);
        if (!same(double_of(t[0].ti_Data), values[i])) {
            ++check_failures;
            fprintf(stderr, "%s read back as %.17g\n", kTexts[i], double_of(t[0].ti_Data));
        }
    }
    /* Converted like JSTAG_FLOAT: strings, booleans, objects. */
    {
        const char *const texts[] = {"'3.5'", "true", "({valueOf: function () { return 2.25; }})", "undefined"};
        const double want[] = {3.5, 1.0, 2.25, values[3]};
        for (i = 0; i < 4; ++i) {
            JSTagItem t[] = {{JSTAG_DOUBLE, 0}, {JSTAG_END, 0}};
            CHECK_EQ(RunJavaScript(space, texts[i], JSRUN_RESULT, 1, 0, 0), 0);
            CHECK_EQ(GetJSResult(space, t), 0);
            CHECK(same(double_of(t[0].ti_Data), want[i]));
        }
    }
    /* The older tags are unchanged. */
    {
        JSTagItem t[] = {{JSTAG_INTEGER, 0}, {JSTAG_FLOAT, 5}, {JSTAG_END, 0}};
        JSTagItem q[] = {{JSTAG_NULL, 0}, {JSTAG_END, 0}};
        float f = (float)(0.1 + 0.2);
        uint32_t fb;
        memcpy(&fb, &f, sizeof fb);
        CHECK_EQ(RunJavaScript(space, "1234567890123", JSRUN_RESULT, 1, 0, 0), 0);
        CHECK_EQ(GetJSResult(space, t), 0);
        CHECK_EQ(t[0].ti_Data, 2147483647);
        CHECK_EQ(t[1].ti_Data, 5);  /* past the only value: the preset stays */
        t[1].ti_Tag = JSTAG_END;
        CHECK_EQ(RunJavaScript(space, "0.1 + 0.2", JSRUN_RESULT, 1, 0, 0), 0);
        t[0].ti_Tag = JSTAG_FLOAT;
        CHECK_EQ(GetJSResult(space, t), 0);
        CHECK_EQ(t[0].ti_Data, fb);
        CHECK_EQ(GetJSResult(space, q), 0);
        CHECK_EQ(q[0].ti_Data, JSTAG_INTEGER);
    }
}

static void results_set_as_doubles(void) {
    int i;
    char text[64];
    /* The script sees exactly the number the host gave. */
    CHECK_EQ(RunJavaScript(space,
                           "[num(0) === 0.1 + 0.2, num(1) === 1234567890123, 1 / num(2) === -Infinity,"
                           " isNaN(num(3)), num(4) === Infinity, num(5) === -Infinity, num(6) === 5e-324,"
                           " num(7) === 1.7976931348623157e308, num(8) === Math.pow(2, 53) + 2,"
                           " num(9) === 1 / 3, num(10) === -123.456e-200, num(11) === 2.2250738585072014e-308].join()",
                           JSRUN_RESULT, 1, 0, 0),
             0);
    CHECK(strcmp(host_result(space, NULL),
                 "true,true,true,true,true,true,true,true,true,true,true,true") == 0);
    /* Host to script to host. */
    for (i = 0; i < 12; ++i) {
        JSTagItem t[] = {{JSTAG_DOUBLE, 0}, {JSTAG_END, 0}};
        snprintf(text, sizeof text, "var v = num(%d); v", i);
        CHECK_EQ(RunJavaScript(space, text, JSRUN_RESULT, 1, 0, 0), 0);
        CHECK_EQ(GetJSResult(space, t), 0);
        CHECK(same(double_of(t[0].ti_Data), values[i]));
    }
}

static void arguments_read_as_doubles(void) {
    int i;
    char text[128];
    for (i = 0; i < 12; ++i) {
        JSTagItem t[] = {{JSTAG_DOUBLE, 0}, {JSTAG_END, 0}};
        snprintf(text, sizeof text, "var x = %s; var y = echo(x); [x === y || (x !== x && y !== y), 1 / x === 1 / y]", kTexts[i]);
        CHECK_EQ(RunJavaScript(space, text, JSRUN_RESULT, 1, 0, 0), 0);
        CHECK(same(receivedNum, values[i]));
        CHECK(strcmp(host_result(space, NULL), i == 3 ? "true,false" : "true,true") == 0);
        CHECK_EQ(RunJavaScript(space, "y", JSRUN_RESULT, 1, 0, 0), 0);
        CHECK_EQ(GetJSResult(space, t), 0);
        CHECK(same(double_of(t[0].ti_Data), values[i]));
    }
}

static void calls_with_doubles(void) {
    JSTagItem call[] = {{JSTAG_OBJECT, 0}, {JSTAG_DOUBLE, 0}, {JSTAG_DOUBLE, 0}, {JSTAG_END, 0}};
    JSTagItem t[] = {{JSTAG_DOUBLE, 0}, {JSTAG_END, 0}};
    volatile double a = 1.0 / 3.0, b = 0.7;
    CHECK_EQ(RunJavaScript(space, "hold(function (a, b) { return a * b + 0.1; })", 0, 1, 0, 0), 0);
    call[0].ti_Data = (uintptr_t)heldSlot;
    call[1].ti_Data = data_of(a);
    call[2].ti_Data = data_of(b);
    CHECK_EQ(CallJavaScript(space, JSRUN_RESULT, 1, 0, call), 0);
    CHECK_EQ(GetJSResult(space, t), 0);
    CHECK_EQ(bits_of(double_of(t[0].ti_Data)), bits_of(a * b + 0.1));
    call[1].ti_Data = data_of(-0.0);
    call[2].ti_Data = data_of(1e308);
    CHECK_EQ(CallJavaScript(space, JSRUN_RESULT, 1, 0, call), 0);
    CHECK_EQ(GetJSResult(space, t), 0);
    CHECK_EQ(bits_of(double_of(t[0].ti_Data)), bits_of(0.1));
    CHECK_EQ(ReleaseJSValue((uint32_t)heldSlot), 0);
}

static void strings_with_zero_bytes(void) {
    uintptr_t n;
    const char *r;
    char twice[10];
    /* Set with pointer and length, seen whole by the script. */
    CHECK_EQ(RunJavaScript(space,
                           "var s = bytes(); [s.length, s.charCodeAt(1), s.indexOf('c'), escape(s)].join(':')",
                           JSRUN_RESULT, 1, 0, 0),
             0);
    CHECK(strcmp(host_result(space, NULL), "5:0:4:a%00b%00c") == 0);
    /* Read with its length. */
    CHECK_EQ(RunJavaScript(space, "s + s", JSRUN_RESULT, 1, 0, 0), 0);
    r = host_result(space, &n);
    memcpy(twice, kBytes, 5);
    memcpy(twice + 5, kBytes, 5);
    CHECK_EQ(n, 10);
    CHECK(memcmp(r, twice, 10) == 0);
    /* Arguments read with their length, given back the same way. */
    CHECK_EQ(RunJavaScript(space, "var t = take('x\\x00y\\x00'); [t.length, t === 'x\\x00y\\x00'].join()", JSRUN_RESULT, 1,
                           0, 0),
             0);
    CHECK_EQ(receivedLen, 4);
    CHECK(memcmp(received, "x\0y\0", 4) == 0);
    CHECK(strcmp(host_result(space, NULL), "4,true") == 0);
    /* The old forms keep their meaning: a text stops at its zero byte. */
    CHECK_EQ(RunJavaScript(space, "plain().length", JSRUN_RESULT, 1, 0, 0), 0);
    CHECK(strcmp(host_result(space, NULL), "1") == 0);
    {
        JSTagItem t[] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
        CHECK_EQ(RunJavaScript(space, "s", JSRUN_RESULT, 1, 0, 0), 0);
        CHECK_EQ(GetJSResult(space, t), 0);
        CHECK(strcmp((const char *)t[0].ti_Data, "a") == 0);
    }
    /* No pointer: the empty string, whatever the size. */
    CHECK_EQ(RunJavaScript(space, "'[' + nothing() + ']'", JSRUN_RESULT, 1, 0, 0), 0);
    CHECK(strcmp(host_result(space, NULL), "[]") == 0);
    /* Other values are converted; the length comes with them. */
    CHECK_EQ(RunJavaScript(space, "42", JSRUN_RESULT, 1, 0, 0), 0);
    r = host_result(space, &n);
    CHECK_EQ(n, 2);
    CHECK(strcmp(r, "42") == 0);
}

static void lists_of_every_form(void) {
    JSTagItem call[] = {{JSTAG_OBJECT, 0},   {JSTAG_DOUBLE, 0},  {JSTAG_STRING, (uintptr_t) "ignored"},
                        {JSTAG_ARGUMENT, 0}, {JSTAG_STRING, 0},  {JSTAG_SIZE, 3},
                        {JSTAG_END, 0}};
    int32_t fn, held;
    uintptr_t n;
    const char *r;
    /* Reading: a count, a double, a sized string, a skip, past the end. */
    mixedList[0].ti_Tag = JSTAG_COUNT;
    mixedList[1].ti_Tag = JSTAG_DOUBLE;
    mixedList[2].ti_Tag = JSTAG_STRING;
    mixedList[3].ti_Tag = JSTAG_SIZE;
    mixedList[4].ti_Tag = JSTAG_SKIP;
    mixedList[4].ti_Data = 1;
    mixedList[5].ti_Tag = JSTAG_STRING;
    mixedList[5].ti_Data = 77;
    mixedList[6].ti_Tag = JSTAG_SIZE;
    mixedList[6].ti_Data = 88;
    mixedList[7].ti_Tag = JSTAG_END;
    CHECK_EQ(RunJavaScript(space, "mixed(1.5, 'a\\x00', 'skipped')", 0, 1, 0, 0), 0);
    CHECK_EQ(mixedResult, 0);
    CHECK_EQ(mixedList[0].ti_Data, 3);
    CHECK(same(double_of(mixedList[1].ti_Data), 1.5));
    CHECK_EQ(mixedList[3].ti_Data, 2);
    CHECK(memcmp(mixedText, "a\0", 2) == 0);
    CHECK_EQ(mixedList[5].ti_Data, 77);
    CHECK_EQ(mixedList[6].ti_Data, 88);
    /* A size pair alone is still a bad list. */
    mixedList[0].ti_Tag = JSTAG_SIZE;
    CHECK_EQ(RunJavaScript(space, "mixed(1)", 0, 1, 0, 0), JSRESULT_ERROR);
    CHECK_EQ(mixedResult, JSRESULT_ERROR);
    /* CallJavaScript: arguments by value and from slots, in list order; a
       lone JSTAG_STRING is passed over as before. */
    CHECK_EQ(RunJavaScript(space, "hold(function (a, b, c) { return [typeof a, a, b, escape(c), arguments.length].join(); })",
                           0, 1, 0, 0),
             0);
    fn = heldSlot;
    CHECK_EQ(RunJavaScript(space, "hold('held')", 0, 1, 0, 0), 0);
    held = heldSlot;
    call[0].ti_Data = (uintptr_t)fn;
    call[1].ti_Data = data_of(0.1);
    call[3].ti_Data = (uintptr_t)held;
    call[4].ti_Data = (uintptr_t) "\0\0\0";
    CHECK_EQ(CallJavaScript(space, JSRUN_RESULT, 1, 0, call), 0);
    r = host_result(space, &n);
    CHECK(strcmp(r, "number,0.1,held,%00%00%00,3") == 0);
    /* A function that gives the sized string back whole. */
    CHECK_EQ(ReleaseJSValue((uint32_t)fn), 0);
    CHECK_EQ(RunJavaScript(space, "hold(function (s) { return s + '|' + s.length; })", 0, 1, 0, 0), 0);
    call[0].ti_Data = (uintptr_t)heldSlot;
    call[1].ti_Tag = JSTAG_STRING;
    call[1].ti_Data = (uintptr_t)kBytes;
    call[2].ti_Tag = JSTAG_SIZE;
    call[2].ti_Data = sizeof kBytes;
    call[3].ti_Tag = JSTAG_END;
    CHECK_EQ(CallJavaScript(space, JSRUN_RESULT, 1, 0, call), 0);
    r = host_result(space, &n);
    CHECK_EQ(n, 7);
    CHECK(memcmp(r, kBytes, 5) == 0 && memcmp(r + 5, "|5", 2) == 0);
    CHECK_EQ(ReleaseJSValue((uint32_t)heldSlot), 0);
    CHECK_EQ(ReleaseJSValue((uint32_t)held), 0);
}

int main(void) {
    fill_values();
    check_open();
    host_table = kFns;
    space = CreateJSProgramSpace(NULL, &host_hooks, 1);
    CHECK(space != NULL);
    results_read_as_doubles();
    results_set_as_doubles();
    arguments_read_as_doubles();
    calls_with_doubles();
    strings_with_zero_bytes();
    lists_of_every_form();
    DeleteJSProgramSpace(space);
    check_close();
    return check_finish("precision");
}
