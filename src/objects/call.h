// The call protocol: entering a function with its arguments and this
// value, and leaving it with its result, as every call makes it (the
// walker's, the forms', the built-ins'). Inline, so that the callers that
// run most make a call without passing through layers of calls.
// Invariant: the context's arguments, this value, result and construct flag
// are the caller's again when a call returns, whatever the callee did.
#pragma once
#include <cstdint>

#include "quillon.h"
#include "objects/function.h"
#include "objects/member.h"
#include "values/context.h"
#include "values/space.h"

namespace quillon {

// Maps a host's answer to HostInvoke into the call's result.
void Fn_InvokeHost(RunContext *ctx, ProgObj *p, uint32_t operation);

namespace fncall {

// Enters a function. Its space counts as running meanwhile, so a hook
// cannot destroy the space (its tokens, its built-ins) beneath it, even
// from a run of another space.
inline void RunEntry(RunContext *ctx, Function *f) {
    ProgramSpace *home = f->space;  // null once the space is gone
    if (home) ++home->runs;
    f->entry(ctx, f);
    if (home) --home->runs;
}

struct CallState {
    const JSAny *args;
    uint32_t argc;
    JSAny thisValue;
    JSAny ret;
    bool construct;
};

inline void Enter(RunContext *ctx, CallState &saved, const JSAny *args, uint32_t argc) {
    saved.args = ctx->args;
    saved.argc = ctx->argc;
    saved.thisValue = ctx->thisValue;
    saved.ret = ctx->ret;
    saved.construct = ctx->construct;
    ctx->args = args;
    ctx->argc = argc;
    ctx->ret = JSAny_Err(ERR_BADARGS);
    ctx->construct = false;
}

inline void Leave(RunContext *ctx, CallState &saved, JSAny *result) {
    JSAny_Clear(result);
    *result = ctx->ret;
    JSAny_Clear(&ctx->thisValue);
    ctx->args = saved.args;
    ctx->argc = saved.argc;
    ctx->thisValue = saved.thisValue;
    ctx->ret = saved.ret;
    ctx->construct = saved.construct;
}

// Turns the slot into the callee's value; returns the this value to use
// (owned) when the slot was a member reference, else undefined with
// *fromRef false.
inline JSAny ResolveCallee(RunContext *ctx, EvalSlot *slot, bool *fromRef) {
    *fromRef = false;
    JSAny thisValue = JSAny_Undef();
    if (slot->v.type == JSREF_MEMBER || slot->v.type == JSREF_NAMED) {
        JSAny_InitFrom(&thisValue, &slot->base);
        *fromRef = true;
        Obj_GetMember(ctx, slot, false);
    } else if (slot->v.type == JSREF_VARIABLE || slot->v.type == JSREF_ARGSLOT) {
        Obj_GetMember(ctx, slot, false);
    }
    return thisValue;
}

inline void CallResolved(RunContext *ctx, EvalSlot *slot, const JSAny *args, uint32_t argc, JSAny thisValue) {
    const JSAny callee = slot->v;
    CallState saved;
    Enter(ctx, saved, args, argc);
    ctx->thisValue = thisValue;
    switch (callee.type) {
    case JSANY_ERROR:
        ctx->ret = JSAny_Err(callee.code ? callee.code : ERR_WRONGTYPE);
        break;
    case JSANY_PROGOBJ:
        Fn_InvokeHost(ctx, callee.prog, JSHOST_CALL);
        break;
    case JSANY_OBJECT:
        if (callee.obj->classFlags & CF_CALLABLE) {
            auto *f = static_cast<Function *>(callee.obj);
            if (f->kind == ObjKind::Native && f->arity >= 0 && static_cast<uint32_t>(f->arity) > argc)
                break;  // not entered: the preset "bad arguments" stands
            RunEntry(ctx, f);
            break;
        }
        [[fallthrough]];
    default:
        ctx->ret = JSAny_Err(ERR_WRONGTYPE);
        break;
    }
    Leave(ctx, saved, &slot->v);
}

}  // namespace fncall

// The slot holds the callee (a value or a member reference) and receives the
// result or an error value (Fn_CallValue, inline for the callers that run most).
__attribute__((always_inline)) inline void Fn_CallValueInline(RunContext *ctx, EvalSlot *slot, const JSAny *args,
                                                              uint32_t argc, const JSAny *thisChoice) {
    bool fromRef;
    JSAny thisValue = fncall::ResolveCallee(ctx, slot, &fromRef);
    if (!fromRef) {
        const JSAny *src = thisChoice == kKeepThis ? &ctx->thisValue
                           : thisChoice            ? thisChoice
                                                   : &ctx->global;
        JSAny_InitFrom(&thisValue, src);
    }
    fncall::CallResolved(ctx, slot, args, argc, thisValue);
}

}  // namespace quillon
