// Whole runs: a source text run for the host, a function called back by
// the host, the text given to eval, and the finishing of completions.
#include "interp/run.h"

#include <cstring>

#include "objects/hostcalls.h"
#include "values/progobj.h"
#include "values/space.h"
#include "interp/interp.h"
#include "lexer/code.h"
#include "objects/function.h"
#include "objects/member.h"
#include "objects/object.h"
#include "runtime/errtable.h"
#include "interp/report.h"
#include "runtime/text.h"
#include "values/convert.h"

namespace quillon {

namespace {

void InitContext(RunContext *ctx, ProgramSpace *space, uint32_t flags, uintptr_t hostHandle,
                 uint32_t breakMask, int32_t compat) {
    std::memset(ctx, 0, sizeof *ctx);
    ctx->space = space;
    ctx->store = space->store;
    ctx->flags = flags;
    ctx->hostHandle = hostHandle;
    ctx->breakMask = breakMask;
    ctx->compat = compat;
    ctx->ret = JSAny_Err(ERR_NOVALUE);
    ctx->completion = (flags & RUN_RESULT) ? JSAny_Undef() : JSAny_Null();
    ctx->thrown = JSAny_Undef();
    ctx->caseValue = JSAny_Undef();
    ctx->thisValue = JSAny_Null();
    ctx->global = JSAny_Null();
    ctx->argumentsId = Fn_ArgumentsId(space->store);
}

void ReleaseContext(RunContext *ctx) {
    JSAny_Clear(&ctx->ret);
    JSAny_Clear(&ctx->completion);
    JSAny_Clear(&ctx->thrown);
    JSAny_Clear(&ctx->caseValue);
    JSAny_Clear(&ctx->thisValue);
    JSAny_Clear(&ctx->global);
    for (uint32_t i = 0; i < ctx->scopeCount; ++i) JSAny_Clear(&ctx->scope[i]);
    Arr_Free(ctx->scope);
    ctx->scope = nullptr;
    ctx->scopeCount = 0;
    Arr_Free(ctx->labels);
    ctx->labels = nullptr;
    for (uint32_t i = 0; i < ctx->saveCount; ++i)
        if (ctx->saves[i].slot) JSAny_Clear(&ctx->saves[i].saved);
    Arr_Free(ctx->saves);
    ctx->saves = nullptr;
    ctx->saveCount = 0;
    Err_ClearTryReport(ctx);
    if (ctx->lookupObject) {
        Obj_Release(ctx->lookupObject);
        ctx->lookupObject = nullptr;
    }
    Ev_DropScopeObjects(ctx);
}

// Asks the host whether it supplies `name`, and for its value.
void AskHostValue(RunContext *ctx, const char *name, JSAny *into) {
    uint32_t answer = Host_GetProperty(ctx->space, ctx->hostHandle, ctx, nullptr, name, 0, JSHOST_HAS);
    if (answer != 0) return;
    JSAny_SetUndefined(&ctx->ret);
    answer = Host_GetProperty(ctx->space, ctx->hostHandle, ctx, nullptr, name, 0, JSHOST_GET);
    if (answer == 0 && ctx->ret.type != JSANY_ERROR) JSAny_Move(into, &ctx->ret);
    JSAny_SetError(&ctx->ret, ERR_NOVALUE);
}

// Shows a failure that no report has shown yet: the host's message box.
uint32_t ShowUnreported(RunContext *ctx, uint32_t code) {
    if (code == 0 || (code & ERR_REPORTED)) return code;
    char text[120];
    if (ctx->hostHandle && Err_CodeText(code, text, sizeof text)) {
        Host_Notify(ctx->space, JSNOTIFY_ERROR, ctx->hostHandle, "Error", text, nullptr, nullptr, nullptr,
                    nullptr);
        return code | ERR_REPORTED;
    }
    return code;
}

// The class of an Error object, from the error prototype it was made from.
uint32_t ClassOf(ProgramSpace *space, Object *o) {
    for (Object *p = o->prototype; p; p = p->prototype) {
        for (uint32_t i = PROTO_EVALERROR; i <= PROTO_URIERROR; ++i)
            if (space->protos[i] == p) return EC_EVAL + (i - PROTO_EVALERROR);
        if (space->protos[PROTO_ERROR] == p) return EC_ERROR;
    }
    return EC_ERROR;
}

uint32_t ReportThrown(RunContext *ctx, Tok at) {
    JSAny v = ctx->thrown;
    ctx->thrown = JSAny_Undef();
    uint32_t c;
    if (v.type == JSANY_OBJECT && (v.obj->classFlags & CF_ERROR)) {
        JSAny msg = JSAny_Undef();
        Obj_GetStr(v.obj, "message", &msg);
        JSAny_ToString(ctx, &msg);
        c = Err_ReportText(ctx, ClassOf(ctx->space, v.obj), JSAny_IsString(&msg) ? msg.str : "", at, 1);
        JSAny_Clear(&msg);
    } else {
        JSAny text;
        JSAny_InitFrom(&text, &v);
        JSAny_ToString(ctx, &text);
        if (JSAny_IsString(&text)) {
            char *m = Text_Format("%s: %s", Err_Row(ROW_UNCAUGHT).message, text.str);
            c = Err_ReportText(ctx, EC_ERROR, m ? m : Err_Row(ROW_UNCAUGHT).message, at, 1);
            Text_Release(m);
        } else {
            c = Err_ReportText(ctx, EC_ERROR, Err_Row(ROW_UNCAUGHT).message, at, 1);
        }
        JSAny_Clear(&text);
    }
    JSAny_Clear(&v);
    return c ? c : ERR_STOP;
}

// Puts back the program-level variables a restoring run declared.
void RestoreFrame(RunContext *ctx) {
    while (ctx->saveCount > 0) {
        SaveEntry &e = ctx->saves[--ctx->saveCount];
        if (!e.slot) break;  // the frame marker
        JSAny_Clear(e.slot);
        *e.slot = e.saved;
    }
}

}  // namespace

uint32_t Run_Finish(RunContext *ctx, uint32_t c, Tok at) {
    Tok jump = ctx->lastJump ? ctx->lastJump : at;
    switch (c) {
    case CPL_BREAK: return Ev_Fail(ctx, ROW_UNEXPECTED_BREAK, jump);
    case CPL_CONTINUE: return Ev_Fail(ctx, ROW_UNEXPECTED_CONTINUE, jump);
    case CPL_CASE: return Ev_Fail(ctx, ROW_UNEXPECTED_CASE, jump);
    case CPL_DEFAULT: return Ev_Fail(ctx, ROW_UNEXPECTED_DEFAULT, jump);
    case CPL_THROW:
        // Inside try the throw travels on so that the catch gets the value.
        if (ctx->inTry) return CPL_THROW;
        return ReportThrown(ctx, jump);
    default: return c;
    }
}

uint32_t Run_Source(ProgramSpace *space, const char *source, uint32_t flags, uintptr_t hostHandle,
                    uint32_t breakMask, int32_t compat) {
    Obj_SafePoint();
    RunContext ctx;
    InitContext(&ctx, space, flags, hostHandle, breakMask, compat);
    uint32_t *codes = nullptr, *lens = nullptr, count = 0;
    // A run started from a hook past the call-depth limit runs nothing.
    // Without the `arguments` identifier (memory ran out interning it) no
    // function could reach its arguments object: the run fails instead.
    uint32_t code = !Run_Enter(&ctx) ? Ev_Fail(&ctx, ROW_TOO_DEEP, nullptr)
                    : ctx.argumentsId ? Lex_Run(space->store, source, compat, space, &codes, &lens, &count)
                                      : ERR_NOMEM;
    if (code == 0) {
        Code *program =
            Code_NewRun(space->store, space, codes, lens, count, source, static_cast<uint32_t>(std::strlen(source)));
        if (!program) {
            code = ERR_NOMEM;  // the token arrays went with the failed wrapper
        } else {
            Ctx_SetCode(&ctx, program);
            if (hostHandle) {
                AskHostValue(&ctx, "this", &ctx.thisValue);
                AskHostValue(&ctx, "__global", &ctx.global);
            }
            if ((flags & RUN_RESTORING) && Arr_EnsureT(ctx.saves, 1)) ctx.saves[ctx.saveCount++] = SaveEntry{nullptr, JSAny_Undef()};
            Tok start = program->codes;
            code = Fn_Prepass(&ctx, start);
            Tok end = start;
            if (code == 0) end = St_List(&ctx, start, &code);
            if (code == 0 && *Scan_Lines(end) != TK_END) code = Ev_Fail(&ctx, ROW_EOF_EXPECTED, Scan_Lines(end));
            code = Run_Finish(&ctx, code, end);
            if (code == CPL_RETURN) code = (flags & RUN_RESULT) ? Ev_Fail(&ctx, ROW_UNEXPECTED_RETURN, ctx.lastJump) : 0;
            if (code == 0 && (flags & RUN_RESULT)) JSAny_Move(&ctx.ret, &ctx.completion);
            if (flags & RUN_RESTORING) RestoreFrame(&ctx);
            Ctx_SetCode(&ctx, nullptr);
            Code_Release(program);
        }
    }
    if (code == 0) {
        JSAny_Move(&space->lastResult, &ctx.ret);
    } else {
        JSAny_SetError(&space->lastResult, code);
    }
    code = ShowUnreported(&ctx, code);
    ReleaseContext(&ctx);
    Run_Leave(&ctx);
    // A run started from a hook must not free the literals of the run under way.
    if (!Run_InRun(ctx.outer)) Lex_EndRun(space->store);
    Obj_SafePoint();
    return code;
}

uint32_t Run_CallValue(ProgramSpace *space, uint32_t flags, uintptr_t hostHandle, uint32_t breakMask,
                       const JSAny *callee, const JSAny *args, uint32_t argc) {
    RunContext ctx;
    InitContext(&ctx, space, flags, hostHandle, breakMask, 0);
    bool deep = !Run_Enter(&ctx);
    EvalSlot s;
    JSAny_InitFrom(&s.v, callee);
    JSAny nothing = JSAny_Null();
    if (deep) JSAny_SetError(&s.v, Ev_Fail(&ctx, ROW_TOO_DEEP, nullptr));
    else if (ctx.argumentsId) Fn_CallValue(&ctx, &s, args, argc, &nothing);
    else JSAny_SetError(&s.v, ERR_NOMEM);
    uint32_t code = 0;
    if (s.v.type == JSANY_ERROR) {
        code = s.v.code;
        if (code == CPL_THROW) code = Run_Finish(&ctx, CPL_THROW, nullptr);
        else if (code == ERR_NOVALUE) code = 0;
        else if (!Ev_Travels(code)) code = Ev_Check(&ctx, &s.v, nullptr);
    }
    if (code == 0) {
        JSAny_Move(&space->lastResult, &s.v);
    } else {
        JSAny_Clear(&s.v);
        JSAny_SetError(&space->lastResult, code);
    }
    code = ShowUnreported(&ctx, code);
    ReleaseContext(&ctx);
    Run_Leave(&ctx);
    Obj_SafePoint();
    return code;
}

RunContext *Run_OpenTemp(ProgramSpace *space) {
    auto *ctx = static_cast<RunContext *>(Mem_Alloc(sizeof(RunContext)));
    if (!ctx) return nullptr;
    InitContext(ctx, space, 0, 0, 0, 0);
    ctx->temp = true;
    return ctx;
}

void Run_CloseTemp(RunContext *ctx) {
    ReleaseContext(ctx);
    Mem_Free(ctx);
}

uint32_t Run_Eval(RunContext *ctx, const JSAny *text, JSAny *result, Tok at) {
    (void)at;
    NestGuard guard(ctx);
    if (!guard.ok) return Ev_Fail(ctx, ROW_NESTED_TOO_DEEPLY, at);
    uint32_t *codes = nullptr, *lens = nullptr, count = 0;
    uint32_t code = Lex_Run(ctx->store, text->str, ctx->compat, ctx->space, &codes, &lens, &count);
    if (code) return code;
    Code *program = Code_NewRun(ctx->store, ctx->space, codes, lens, count, text->str, text->len);
    if (!program) return ERR_NOMEM;  // the token arrays went with the failed wrapper
    Code *savedCode = ctx->code;
    JSAny savedCompletion = ctx->completion;
    ctx->completion = JSAny_Undef();
    Ctx_SetCode(ctx, program);
    Tok start = program->codes;
    code = Fn_Prepass(ctx, start);
    Tok end = start;
    if (code == 0) end = St_List(ctx, start, &code);
    // Jumps cannot leave the text given to eval: a break, continue, case,
    // default or return that reaches its end is an error there (a throw
    // travels on to the caller's try).
    if (code == CPL_RETURN) code = Ev_Fail(ctx, ROW_UNEXPECTED_RETURN, ctx->lastJump ? ctx->lastJump : end);
    else if (code != CPL_THROW) code = Run_Finish(ctx, code, end);
    if (code == 0) {
        Tok rest = Scan_Lines(end);
        if (*rest == TK_SEMI) rest = Scan_Lines(rest + 1);
        if (*rest != TK_END) code = Ev_Fail(ctx, ROW_EOS_EXPECTED, rest);
    }
    if (code == 0) {
        JSAny_Clear(result);
        *result = ctx->completion;
        ctx->completion = JSAny_Undef();
    }
    JSAny_Clear(&ctx->completion);
    ctx->completion = savedCompletion;
    Ctx_SetCode(ctx, savedCode);
    // The literals of the text go now, not at the end of the run, so a loop
    // of evals does not pile them up.
    Lex_FreeLiterals(ctx->store, program->codes, program->count);
    Code_Release(program);
    return code;
}

uint32_t Run_EvalText(RunContext *ctx, const JSAny *text, JSAny *result) {
    return Run_Eval(ctx, text, result, ctx->callTok);
}

uint32_t Run_MakeFunction(RunContext *ctx, const char *text, uint32_t len, JSAny *out) {
    uint32_t *codes = nullptr, *lens = nullptr, count = 0;
    uint32_t code = Lex_Run(ctx->store, text, ctx->compat, ctx->space, &codes, &lens, &count);
    if (code) return code;
    Code *program = Code_NewRun(ctx->store, ctx->space, codes, lens, count, text, len);
    if (!program) return ERR_NOMEM;  // the token arrays went with the failed wrapper
    Code *savedCode = ctx->code;
    Activation *savedAct = ctx->act;
    Ctx_SetCode(ctx, program);
    ctx->act = nullptr;  // made in global scope
    Tok start = Scan_Lines(program->codes);
    Tok end = start;
    if (*start != KW_FUNCTION) code = Ev_Fail(ctx, ROW_EXPR_EXPECTED, start);
    else code = Fn_Define(ctx, start, false, out, &end);
    if (code == 0 && *Scan_Lines(end) != TK_END) code = Ev_Fail(ctx, ROW_EOS_EXPECTED, Scan_Lines(end));
    Ctx_SetCode(ctx, savedCode);
    ctx->act = savedAct;
    Lex_FreeLiterals(ctx->store, program->codes, program->count);
    Code_Release(program);
    return code;
}

}  // namespace quillon
