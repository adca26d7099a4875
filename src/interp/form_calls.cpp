// Running the call of a remembered form (form_ops.h) and what follows it,
// as the token walker runs them. Before the call a form may still give up
// (nothing is done); from the call on it cannot, so the call, the
// operations after it and the store that ends the form are made by the
// walker's own functions: Ev_Call, the general operators, Ev_OperatorStep,
// Ev_ArgumentValue, Ev_PutValue. Values standing on the form's stack under
// the call hold their shares from the call on.
#include "interp/form_ops.h"

#include "interp/binary.h"
#include "interp/hints.h"
#include "interp/poscache.h"
#include "interp/report.h"
#include "objects/member.h"

namespace quillon {

namespace {

// Makes a form's call once its arguments (args[0..argc), holding their
// shares) are had, as the walker's CallExpr makes it: a method (flags
// 0x100) is read through a reference to it on the object at *callee, which
// is `this`; a callee kept as its variable (CalleeSlot) is read through
// that reference; else *callee is the callee's value. Then Ev_Call at the
// walker's nesting there (flags & 0xFF); *cur receives the result or the
// failure. Neither the callee nor the arguments are released.
__attribute__((always_inline)) inline void MakeCall(RunContext *ctx, const JSAny *callee, const JSAny *args,
                                                    uint32_t argc, uint32_t flags, const IdEntry *method,
                                                    uint32_t methodTok, Tok calleeTok, Tok callEnd, EvalSlot *cur) {
    JSAny thisValue = JSAny_Undef();
    if (flags & 0x100) {
        JSAny_InitFrom(&thisValue, callee);
        JSAny_InitFrom(&cur->base, callee);
        cur->v.type = JSREF_NAMED;
        cur->key.ptr = const_cast<IdEntry *>(method);
        cur->key.len = methodTok;
        uint32_t *hint = HintSlot(ctx, ctx->code->codes + methodTok);
        if (!Obj_GetMemberFast(cur, hint) && !Obj_GetPrimitiveMemberFast(ctx, cur, hint)) Obj_GetMember(ctx, cur, false);
    } else if (callee->type == JSREF_VARIABLE) {
        cur->v = *callee;
        Obj_GetMember(ctx, cur, false);
    } else {
        JSAny_InitFrom(&cur->v, callee);
    }
    uint32_t nesting = flags & 0xFF;
    ctx->nesting += nesting;
    Ev_Call(ctx, cur, args, argc, &thisValue, flags & 0x100, flags & 0x200, calleeTok, callEnd);
    ctx->nesting -= nesting;
}

// The general operator of a Binary or BinaryConst operation after a call,
// as the walker applies it: the number rule for two numbers, else the
// operator for any two values at the walker's nesting there, its failure
// reported at the operator. Nonzero on failure (*l then holds it).
uint32_t TailBinary(RunContext *ctx, const FormOp &o, JSAny *l, JSAny *r) {
    if (l->type == JSANY_NUMBER && r->type == JSANY_NUMBER && Num_Binary(o.op, l, r->num)) return 0;
    Tok opTok = ctx->code->codes + o.arg;
    ctx->nesting += o.pad;
    Ev_Binary(*opTok).general(ctx, l, r);
    ctx->nesting -= o.pad;
    JSAny_Clear(r);
    return Ev_Check(ctx, l, opTok);
}

// The operations from `from` to `to` after a form's call (Binary,
// BinaryConst, Number, Walk, OuterCall), on a stack whose sp values hold their
// shares (the call's result on top); the value they make, or the failure
// of the first that fails. The stack is released but for the `keep`
// values at its bottom (a member store's object and key), which are
// released too on a failure.
__attribute__((noinline)) JSAny RunAfterCall(RunContext *ctx, uint32_t index, uint32_t from, uint32_t to, JSAny *st,
                                             uint32_t sp, uint32_t keep) {
    // An operator on two numbers runs no code, so the operations are read in
    // place while only such operators follow; anything else is copied first
    // (a conversion or a call may run code that adds forms, moving them).
    for (uint32_t k = from; k < to && st[sp - 1].type != JSANY_ERROR; ++k) {
        const FormOp *in = &static_cast<CodeCache *>(ctx->code->cache)->formStore[index + 1 + k].op;
        if (in->kind == FormKind::Number) {
            st[sp++] = JSAny_Num(in->num);
            continue;
        }
        if (in->kind == FormKind::BinaryConst && st[sp - 1].type == JSANY_NUMBER &&
            Num_Binary(in->op, &st[sp - 1], in->num))
            continue;
        if (in->kind == FormKind::Binary && st[sp - 1].type == JSANY_NUMBER && st[sp - 2].type == JSANY_NUMBER &&
            Num_Binary(in->op, &st[sp - 2], st[sp - 1].num)) {
            --sp;
            continue;
        }
        const FormOp o = *in;
        if (o.kind == FormKind::OuterCall) {
            const FormCell *cells = static_cast<CodeCache *>(ctx->code->cache)->formStore + index + 1;
            const FormOp site = cells[k + 1].op, end = cells[k + 2].op;
            k += 2;
            uint32_t base = sp - o.pad - 1;
            // The arguments after the one that held the first call, read
            // by the walker; then its check before a call.
            JSAny failed = JSAny_Undef();
            Tok p = ctx->code->codes + site.aux;
            ctx->nesting += site.pad & 0xFF;
            for (uint32_t w = 0; w < end.pad; ++w) {
                JSAny v = JSAny_Undef();
                Tok q = Ev_ArgumentValue(ctx, p, &v);
                if (v.type == JSANY_ERROR) {
                    failed = v;
                    break;
                }
                st[sp++] = v;
                p = Scan_Lines(Scan_Lines(q) + 1);
            }
            ctx->nesting -= site.pad & 0xFF;
            if (failed.type != JSANY_ERROR) {
                if (uint32_t stop = Err_CheckBreakFast(ctx, ctx->code->codes + end.aux, ctx->breakMask))
                    failed = JSAny_Err(stop);
            }
            if (failed.type == JSANY_ERROR) {
                for (uint32_t i = 0; i < sp; ++i) JSAny_Clear(&st[i]);
                st[0] = failed;
                sp = 1;
                continue;
            }
            EvalSlot cur;
            MakeCall(ctx, &st[base], st + base + 1, sp - base - 1, site.pad, o.id, site.arg,
                     ctx->code->codes + o.arg, ctx->code->codes + end.arg, &cur);
            for (uint32_t i = base; i < sp; ++i) JSAny_Clear(&st[i]);
            st[base] = cur.v;
            sp = base + 1;
            continue;
        }
        if (o.kind == FormKind::Walk) {
            EvalSlot left;
            Slot_Init(&left);
            left.v = st[sp - 1];
            ctx->nesting += o.pad;
            Ev_OperatorStep(ctx, ctx->code->codes + o.arg, &left);
            ctx->nesting -= o.pad;
            st[sp - 1] = left.v;
            continue;
        }
        JSAny constant = JSAny_Num(o.num);
        JSAny *r = o.kind == FormKind::BinaryConst ? &constant : &st[--sp];
        TailBinary(ctx, o, &st[sp - 1], r);
    }
    // (On a failure the stack ends at the operator that failed.)
    for (uint32_t i = st[sp - 1].type == JSANY_ERROR ? 0 : keep; i + 1 < sp; ++i) JSAny_Clear(&st[i]);
    return st[sp - 1];
}

// The call of a form, RunOps having stopped at its Call operation
// (ops[pc - 1]) with the callee (or the method's object) and the arguments
// on top of the stack; then the operators after it and the store that may
// end the form. Until the call is made nothing is done, and false means the
// walker is to read the expression; from the method's read on, the call,
// the operators and the store are made as the walker makes them, and *out
// receives the form's value or the failure. (The call may add forms,
// moving the program's store of them: the operations are found again by
// the form's index after it.)
// (kTail: the CallEnd operation's kCallTail, made a constant so that a call
// without values under it or operations after it runs as little as it can.)
template <bool kTail>
__attribute__((always_inline)) inline bool CallOf(RunContext *ctx, uint32_t index, const FormOp *ops, uint32_t count,
                                                  uint32_t pc, JSAny *st, uint32_t sp, JSAny *out) {
    const FormOp &call = ops[pc - 1];
    const FormOp &site = ops[pc];
    const FormOp last = ops[count - 1];  // (a copy: read after the call too)
    uint16_t after = ops[pc + 1].pad;
    Tok codes = ctx->code->codes;
    // The walker's check before a call: a pending signal leaves it to the walker.
    if (Err_BreakPending(ctx->breakMask)) return false;
    // The variable a store writes is resolved before the call, as the
    // walker resolves an assignment's target before its right side (and
    // as the Store and StoreHinted operations find it: LocalAt, HintedVariable).
    // (A member's object, and an element's key, stand under the call.)
    JSAny *var = nullptr;
    bool stores = after & kCallStores;
    uint32_t keep = 0;
    if (stores && last.kind == FormKind::Store) {
        Local *l = ctx->act ? LocalAt(ctx->act, last.arg) : nullptr;
        if (!l || l->id != last.id) return false;
        var = &l->value;
    } else if (stores && (last.kind == FormKind::StoreNamed || last.kind == FormKind::StoreElem)) {
        keep = last.kind == FormKind::StoreNamed ? 1 : 2;
    } else if (stores) {
        const uint32_t *hint = HintSlot(ctx, codes + last.arg);
        var = hint ? HintedVariable(ctx, *hint, last.id, codes[last.arg]) : nullptr;
        if (!var) return false;
    }
    uint32_t argc = call.pad;
    uint32_t base = sp - argc - 1;  // the callee's place, which takes the result
    JSAny *args = st + base + 1;
    const JSAny *callee = st + base;
    uint32_t flags = site.pad;
    // The shares the call takes, and those of the values under it that the
    // operators after it use, must not need memory (a failed share would be
    // a failure the walker meets elsewhere).
    for (uint32_t i = 0; i < argc; ++i)
        if (args[i].type < 0 && !JSAny_ShareIsFree(&args[i])) return false;
    if (!JSAny_ShareIsFree(callee)) return false;
    if constexpr (kTail) {
        for (uint32_t i = 0; i < base; ++i)
            if (st[i].type < 0 && !JSAny_ShareIsFree(&st[i])) return false;
    }
    Tok opTok = codes + site.aux;
    // The arguments and the values under the callee take their shares
    // where they stand: the call may change the variables they were read from.
    for (uint32_t i = 0; i < argc; ++i)
        if (args[i].type < 0) JSAny_InitFrom(&args[i], &args[i]);
    if constexpr (kTail) {
        for (uint32_t i = 0; i < base; ++i)
            if (st[i].type < 0) JSAny_InitFrom(&st[i], &st[i]);
    }
    EvalSlot cur;
    MakeCall(ctx, callee, args, argc, flags, call.id, site.arg, codes + call.arg, codes + ops[pc + 1].arg, &cur);
    for (uint32_t i = 0; i < argc; ++i) JSAny_Clear(&args[i]);
    JSAny v = cur.v;
    if constexpr (kTail) {
        st[base] = v;
        v = RunAfterCall(ctx, index, pc + 2, stores ? count - 1 : count, st, base + 1, keep);
    }
    if (v.type != JSANY_ERROR && (var || keep)) {
        // The store through the reference the walker's assignment made
        // before its right side.
        EvalSlot target;
        if (var) {
            target.v.type = JSREF_VARIABLE;
            target.v.ptr = var;
        } else {
            target.base = st[0];
            if (keep == 1) {
                target.v.type = JSREF_NAMED;
                target.key.ptr = const_cast<IdEntry *>(last.id);
                target.key.len = last.arg;
            } else {
                target.v.type = JSREF_MEMBER;
                target.key = st[1];
            }
        }
        if (!Ev_PutPlainVariable(&target, &v)) Ev_PutValue(ctx, &target, &v, opTok);
        v = target.v;
    }
    *out = v;
    return true;
}

}  // namespace

bool Form_RunCall(RunContext *ctx, uint32_t index, const FormOp *ops, uint32_t count, uint32_t pc, JSAny *st,
                  uint32_t sp, JSAny *out) {
    return ops[pc + 1].pad & kCallTail ? CallOf<true>(ctx, index, ops, count, pc, st, sp, out)
                                       : CallOf<false>(ctx, index, ops, count, pc, st, sp, out);
}

}  // namespace quillon
