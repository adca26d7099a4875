// The RegExp constructor and the methods of RegExp.prototype: compile,
// exec, test and toString.
#include "objects/natives.h"
#include "builtins/strbuf.h"
#include "builtins/string_this.h"
#include "values/space.h"
#include "regexp/rxexec.h"

namespace quillon {

namespace {

// The input of exec and test: the argument as a string, or with no
// argument the input of the last-match record, which must be a string.
bool TakeInput(RunContext *ctx, ValueGuard *input) {
    if (ctx->argc > 0) return Str_Arg(ctx, 0, input);
    const JSAny *kept = &ctx->space->matchInput;
    if (!JSAny_IsString(kept)) return !Ret_Fail(ctx, ERR_RX_NOINPUT);
    JSAny_Clear(&input->v);
    JSAny_InitFrom(&input->v, kept);
    return !Ret_FailOn(ctx, &input->v);
}

// One execution of `this` for exec and test, from lastIndex for a global
// expression (which then steps or resets it) and from 0 otherwise. 1: a
// match, 0: none, -1: failed with the error as the result, or `this` is
// not a RegExp object (the result is then undefined).
struct ExecState {
    RxTarget t;
    ValueGuard input;
    RxCaps caps;
    RxHit hit;
};
int ExecOnce(RunContext *ctx, ExecState &e) {
    RxTarget &t = e.t;
    ValueGuard *input = &e.input;
    RxCaps &caps = e.caps;
    RxHit *hit = &e.hit;
    if (!RxObj_Is(&ctx->thisValue)) {
        JSAny_SetUndefined(&ctx->ret);
        return -1;
    }
    t.Take(RxObj_Of(&ctx->thisValue));
    if (!TakeInput(ctx, input)) return -1;
    RegExpObject *re = t.obj;
    bool global = (re->flags & RX_GLOBAL) != 0;
    uint32_t from = global ? re->lastIndex : 0;
    if (from > input->v.len) {
        re->lastIndex = 0;
        return 0;
    }
    uint32_t r = RxExec_Run(ctx, t, &input->v, from, caps, hit);
    if (r == 0) {
        if (global) re->lastIndex = 0;
        return 0;
    }
    if (Ret_Fail(ctx, r != 1 ? r : RxExec_Record(ctx, &input->v, *hit, caps))) return -1;
    if (global) re->lastIndex = hit->end;
    return 1;
}

}  // namespace

void Bi_RegExp(RunContext *ctx, Function *) {
    // RegExp(re) called as a function gives re itself.
    if (!ctx->construct && ctx->argc > 0 && RxObj_Is(&ctx->args[0]) && RxExec_Absent(ctx, 1)) {
        JSAny_Assign(&ctx->ret, &ctx->args[0]);
        return;
    }
    ValueGuard text;
    uint32_t flags = 0;
    if (Ret_Fail(ctx, RxExec_Describe(ctx, ctx->args, ctx->argc, &text.v, &flags))) return;
    ValueGuard made;
    RxObj_New(ctx->space->protos[PROTO_REGEXP], text.v.str, text.v.len, flags, &made.v);
    if (Ret_FailOn(ctx, &made.v)) return;
    RxProgram *p;
    if (Ret_Fail(ctx, RxObj_Program(RxObj_Of(&made.v), &p))) return;
    JSAny_Move(&ctx->ret, &made.v);
}

void Bi_RegExpCompile(RunContext *ctx, Function *) {
    if (!RxObj_Is(&ctx->thisValue)) {
        JSAny_SetUndefined(&ctx->ret);
        return;
    }
    ValueGuard self(&ctx->thisValue);  // held while the arguments are converted
    ValueGuard text;
    uint32_t flags = 0;
    if (Ret_Fail(ctx, RxExec_Describe(ctx, ctx->args, ctx->argc, &text.v, &flags))) return;
    if (Ret_Fail(ctx, RxObj_Recompile(RxObj_Of(&self.v), text.v.str, text.v.len, flags))) return;
    JSAny_Move(&ctx->ret, &self.v);
}

void Bi_RegExpExec(RunContext *ctx, Function *) {
    ExecState e;
    int r = ExecOnce(ctx, e);
    if (r < 0) return;
    if (r == 0) {
        JSAny_SetNull(&ctx->ret);
        return;
    }
    ValueGuard result;
    if (Ret_Fail(ctx, RxExec_Array(ctx, &e.input.v, e.hit, e.caps, &result.v))) return;
    JSAny_Move(&ctx->ret, &result.v);
}

void Bi_RegExpTest(RunContext *ctx, Function *) {
    ExecState e;
    int r = ExecOnce(ctx, e);
    if (r >= 0) JSAny_SetBoolean(&ctx->ret, r == 1);
}

void Bi_RegExpToString(RunContext *ctx, Function *) {
    if (!RxObj_Is(&ctx->thisValue)) {
        JSAny_SetUndefined(&ctx->ret);
        return;
    }
    RegExpObject *re = RxObj_Of(&ctx->thisValue);
    StrBuf out;
    out.AppendChar('/');
    out.Append(re->source.str, re->source.len);
    out.AppendChar('/');
    if (re->flags & RX_GLOBAL) out.AppendChar('g');
    if (re->flags & RX_IGNORECASE) out.AppendChar('i');
    if (re->flags & RX_MULTILINE) out.AppendChar('m');
    out.Finish(&ctx->ret);
}

}  // namespace quillon
