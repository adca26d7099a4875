/* memlimit.c - SetJSMemLimit: a script that grows a string (or an array)
   without end meets the limit and fails as out of memory (result 1, not
   caught by try), MemUse never passes the limit, and the host raises the
   limit and goes on with the same space and its variables. */
#include <stdio.h>

#include "check.h"
#include "hostfns.h"

#define POLL_BIT (1u << 21)

static JSProgramSpace *space;
static int32_t peak;
static int errorBoxes;

/* The poll watches MemUse while the script runs. */
static uint32_t watch(void) {
    int32_t use = GetJSMemUse();
    if (use > peak) peak = use;
    return 0;
}

static uint32_t notify(uint32_t kind, uintptr_t handle, const char *heading, const char *message,
                       const char *before, const char *token, const char *after, const char *position) {
    if (kind == JSNOTIFY_ERROR && heading && strcmp(heading, "Error") == 0) ++errorBoxes;
    return host_notify(kind, handle, heading, message, before, token, after, position);
}

static uint32_t run(const char *text) {
    uint32_t r;
    SetJSSignal(POLL_BIT, POLL_BIT);
    r = RunJavaScript(space, text, JSRUN_RESULT, 1, POLL_BIT, 0);
    SetJSSignal(0, POLL_BIT);
    return r;
}

int main(void) {
    JSHostLibrary hooks = host_hooks;
    uintptr_t limit;
    const char *r;
    hooks.HostNotify = notify;
    host_poll = watch;
    check_open();
    CHECK_EQ(SetJSMemLimit(0), 0);
    space = CreateJSProgramSpace(NULL, &hooks, 1);
    CHECK(space != NULL);

    /* A string that doubles until the limit of 4 MB stops it. */
    limit = (uintptr_t)GetJSMemUse() + 4u * 1024 * 1024;
    CHECK_EQ(SetJSMemLimit(limit), 0);
    CHECK_EQ(SetJSMemLimit(limit), limit);
    peak = 0;
    CHECK_EQ(run("var s = 'x'; for (;;) s += s;"), JSRESULT_NOMEMORY);
    CHECK(peak > 0 && (uintptr_t)peak <= limit);
    CHECK((uintptr_t)GetJSMemUse() <= limit);
    CHECK_EQ(errorBoxes, 1); /* shown once, as any out of memory */
    /* Nothing was lost: s holds the last string that fitted. */
    CHECK_EQ(run("s.length >= 262144 && s.length < 4194304"), 0);
    CHECK(strcmp(host_result(space, NULL), "true") == 0);
    /* try does not catch it. */
    CHECK_EQ(run("var caught = false; try { for (;;) s += s; } catch (e) { caught = true; }"), JSRESULT_NOMEMORY);
    CHECK_EQ(run("caught"), 0);
    CHECK(strcmp(host_result(space, NULL), "false") == 0);

    /* Raised, the same space goes on: the string doubles once more. */
    CHECK_EQ(run("var before = s.length; before"), 0);
    CHECK_EQ(SetJSMemLimit(limit + 16u * 1024 * 1024), limit);
    peak = 0;
    CHECK_EQ(run("s += s; s.length == 2 * before"), 0);
    CHECK(strcmp(host_result(space, NULL), "true") == 0);
    CHECK((uintptr_t)peak <= limit + 16u * 1024 * 1024);
    CHECK_EQ(run("s = null; 'freed'"), 0);

    /* An array of objects meets it the same way. */
    limit = (uintptr_t)GetJSMemUse() + 2u * 1024 * 1024;
    SetJSMemLimit(limit);
    peak = 0;
    CHECK_EQ(run("var a = []; for (;;) a.push({n: a.length});"), JSRESULT_NOMEMORY);
    CHECK(peak > 0 && (uintptr_t)peak <= limit);
    CHECK_EQ(run("var n = a.length; a = null; n > 1000"), 0);
    CHECK(strcmp(host_result(space, NULL), "true") == 0);

    /* A limit under what is in use: nothing new can be made... */
    SetJSMemLimit(1);
    CHECK_EQ(RunJavaScript(space, "1 + 1", JSRUN_RESULT, 1, 0, 0), JSRESULT_NOMEMORY);
    CHECK(CreateJSProgramSpace(NULL, &hooks, 1) == NULL);
    /* ...until it is lifted. */
    CHECK_EQ(SetJSMemLimit(0), 1);
    CHECK_EQ(RunJavaScript(space, "'alive ' + (1 + 1)", JSRUN_RESULT, 1, 0, 0), 0);
    r = host_result(space, NULL);
    CHECK(strcmp(r, "alive 2") == 0);

    DeleteJSProgramSpace(space);
    /* The limit belongs to the library, not to an opening of it. */
    SetJSMemLimit(123456789);
    check_close();
    check_open();
    CHECK_EQ(SetJSMemLimit(0), 123456789);
    check_close();
    return check_finish("memlimit");
}
