/* embed.c - a complete host of quillon.library in C99.

   It gives scripts one host object and one host function:
     app.name, app.count   values the host supplies when a script reads them
     app.log(text)         writes a line
     when(event, handler)  keeps the handler; the host calls it later
   runs a script, reads the script's result, calls the kept handler, and
   cleans up. Build: cc -std=c99 embed.c $(pkg-config --cflags --libs quillon) */
#include <stdio.h>
#include <string.h>

#include "quillon.h"

/* The bytes of a program object: which host thing it stands for. */
enum { APP = 1, APP_LOG, WHEN };
typedef struct { int kind; } Thing;

static int32_t heldEvent = -1, heldHandler = -1; /* value slots, -1 = none */

static uint32_t Give(JSRunContext *ctx, int kind) {
    Thing t = {kind};
    return SetJSResultObject(ctx, &t, sizeof t); /* 0 done, 1 out of memory */
}

static uint32_t GiveTag(JSRunContext *ctx, uintptr_t tag, uintptr_t data) {
    JSTagItem v[] = {{tag, data}, {JSTAG_END, 0}};
    return SetJSResult(ctx, v) == 0 ? JSANSWER_DONE : JSANSWER_NOMEMORY;
}

/* Names: data is null (or the host's own empty object) for a global name the
   script does not define itself, else the program object whose member is
   asked for. Flags say what is
   wanted: JSHOST_HAS (does it exist?) or JSHOST_GET (its value). */
static uint32_t GetProperty(uintptr_t target, JSRunContext *ctx, void *data, const char *name,
                            uint32_t size, uint32_t flags) {
    const Thing *t = size == sizeof(Thing) ? data : NULL; /* NULL: the host itself */
    int kind = 0;
    (void)target;
    if (!t && strcmp(name, "app") == 0) kind = APP;
    else if (!t && strcmp(name, "when") == 0) kind = WHEN;
    else if (t && strcmp(name, "__typeof") == 0 && (flags & JSHOST_GET))
        return GiveTag(ctx, JSTAG_STRING, (uintptr_t)(t->kind == APP ? "object" : "function"));
    else if (t && t->kind == APP && (!strcmp(name, "name") || !strcmp(name, "count"))) {
        if (flags & JSHOST_HAS) return JSANSWER_DONE;
        if (!(flags & JSHOST_GET)) return 4; /* read-only: stores and deletes fail */
        return name[0] == 'n' ? GiveTag(ctx, JSTAG_STRING, (uintptr_t)"embed demo")
                              : GiveTag(ctx, JSTAG_INTEGER, 10);
    }
    else if (t && t->kind == APP && strcmp(name, "log") == 0) kind = APP_LOG;
    if (!kind) return JSANSWER_NONAME;
    if (flags & JSHOST_HAS) return JSANSWER_DONE;
    return (flags & JSHOST_GET) ? Give(ctx, kind) : JSANSWER_NONAME;
}

/* Calls of program objects. Arguments are read with a value list. */
static uint32_t Invoke(uintptr_t target, JSRunContext *ctx, void *data, uint32_t size, uint32_t op) {
    const Thing *t = data;
    (void)target;
    if (size != sizeof(Thing) || op != JSHOST_CALL) return 4; /* not a constructor: "Wrong type of object" */
    if (t->kind == APP_LOG) {
        JSTagItem args[] = {{JSTAG_STRING, (uintptr_t)""}, {JSTAG_END, 0}};
        if (GetJSArguments(ctx, args) != 0) return JSANSWER_DONE; /* the failure is the result */
        printf("app.log: %s\n", (const char *)args[0].ti_Data);
        return JSANSWER_DONE; /* no SetJSResult: the call gives undefined */
    }
    if (t->kind == WHEN) {
        /* Keep the event name and the handler beyond this call: value slots. */
        if (heldEvent >= 0) ReleaseJSValue((uint32_t)heldEvent);
        if (heldHandler >= 0) ReleaseJSValue((uint32_t)heldHandler);
        heldEvent = HoldJSArgument(ctx, 0);
        heldHandler = HoldJSArgument(ctx, 1);
        return GiveTag(ctx, JSTAG_BOOLEAN, heldEvent >= 0 && heldHandler >= 0);
    }
    return 4;
}

/* Error reports, and the break poll (kind 7: answer 8 to stop the run). */
static uint32_t Notify(uint32_t kind, uintptr_t handle, const char *heading, const char *message,
                       const char *before, const char *token, const char *after, const char *pos) {
    (void)handle; (void)pos;
    if (kind == JSNOTIFY_POLL) return 0;
    if (before || token || after)
        fprintf(stderr, "%s%s%s\n", before ? before : "", token ? token : "", after ? after : "");
    fprintf(stderr, "%s: %s\n", heading ? heading : "", message ? message : "");
    return 0;
}

static const JSHostLibrary hooks = {Invoke, GetProperty, NULL, Notify, NULL, NULL};

static const char script[] =
    "var total = 0;\n"
    "for (var i = 1; i <= app.count; i++) total += i;\n"
    "app.log('sum of 1 to ' + app.count + ' is ' + total);\n"
    "when('done', function (event) { return app.name + ': ' + event + ' after ' + total; });\n"
    "total * 2\n";

int main(void) {
    int ok = 0;
    if (!OpenJSLibrary()) return 1;
    /* User data 1 lets the space make program objects; host handle 1 below
       routes names, reports and polls of the runs to our hooks. */
    JSProgramSpace *space = CreateJSProgramSpace(NULL, &hooks, 1);
    if (space && RunJavaScript(space, script, JSRUN_RESULT, 1, 0, 0) == JSRESULT_OK) {
        JSTagItem result[] = {{JSTAG_INTEGER, 0}, {JSTAG_END, 0}};
        if (GetJSResult(space, result) == JSRESULT_OK)
            printf("script result: %ld\n", (long)(int32_t)result[0].ti_Data);
        if (heldEvent >= 0 && heldHandler >= 0) {
            /* Call the kept handler with the kept event name as its argument. */
            JSTagItem call[] = {{JSTAG_OBJECT, (uintptr_t)heldHandler},
                                {JSTAG_ARGUMENT, (uintptr_t)heldEvent}, {JSTAG_END, 0}};
            JSTagItem text[] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
            if (CallJavaScript(space, 0, 1, 0, call) == JSRESULT_OK &&
                GetJSResult(space, text) == JSRESULT_OK) {
                printf("handler returned: %s\n", (const char *)text[0].ti_Data);
                ok = (int32_t)result[0].ti_Data == 110;
            }
        }
    }
    /* Slots belong to the library, not to the space: release them. */
    if (heldEvent >= 0) ReleaseJSValue((uint32_t)heldEvent);
    if (heldHandler >= 0) ReleaseJSValue((uint32_t)heldHandler);
    if (space) DeleteJSProgramSpace(space);
    CloseJSLibrary();
    if (GetJSMemUse() != 0) {
        fprintf(stderr, "leak: %ld bytes\n", (long)GetJSMemUse());
        ok = 0;
    }
    return ok ? 0 : 1;
}
