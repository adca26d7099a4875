// The remembered resolutions of identifiers: for each identifier token of a
// program, how it was resolved last time (a parameter or a local of the
// running activation by index, or a program-level variable). A hint is only
// a guess, checked cheaply before each use; when the check fails the full
// resolution runs and remembers again. Reading a variable through a hint
// has no effect of any kind, so readers may try it and drop the answer.
#pragma once
#include <cstddef>
#include <cstdint>

#include "values/context.h"
#include "interp/scan.h"
#include "lexer/code.h"
#include "lexer/lexer.h"
#include "objects/function.h"
#include "objects/object.h"
#include "runtime/idtable.h"
#include "values/jsany.h"

namespace quillon {

inline uint32_t *HintSlot(RunContext *ctx, Tok at) {
    size_t i = static_cast<size_t>(at - ctx->code->codes);
    return ctx->hints && i < ctx->code->count ? ctx->hints + i : nullptr;
}

// How an identifier at a token was resolved last time, checked cheaply
// before it is used again: a parameter or a local of the running activation,
// or a program-level variable of a name no function declares. A hint of
// kind HINT_NONE with a number above it (HINT_OUTER: the local's index + 1)
// is a local of the activation just around the running one (a closure's
// variable), when the running one does not find the name first.
enum : uint32_t { HINT_NONE = 0, HINT_PARAM = 1, HINT_LOCAL = 2, HINT_GLOBAL = 3 };
constexpr uint32_t HINT_OUTER = HINT_NONE;

// Whether the running activation a resolves the identifier itself (as the
// full resolution's first step finds it: a local, a parameter held in the
// arguments object, or the function expression's own name), so that a
// hint to an outer variable does not hold.
inline bool ResolvesOwnName(const Activation *a, const IdEntry *id) {
    if (Act_FindLocal(const_cast<Activation *>(a), id)) return true;
    const Code *c = a->code;
    for (uint32_t i = c->nparams; i > 0; --i) {
        if (c->params[i - 1] == id) {
            if (a->arguments) return true;
            break;
        }
    }
    return c->name == id && a->selfNamed && a->function;
}

// The local at index i of the activation, or null (chunks fill in order;
// the first chunk, the common case, is looked at without the walk).
inline Local *LocalAt(Activation *a, uint32_t i) {
    if (__builtin_expect(i < kLocalsPerChunk, 1)) return i < a->first.used ? &a->first.items[i] : nullptr;
    LocalChunk *c = &a->first;
    while (i >= kLocalsPerChunk) {
        c = c->next;
        if (!c) return nullptr;
        i -= kLocalsPerChunk;
    }
    return i < c->used ? &c->items[i] : nullptr;
}

// The closure's variable an outer hint (n: the local's index + 1) still
// finds: the local at that index of the activation around the running one
// a, when it names the identifier and a does not find the name first.
__attribute__((noinline)) inline JSAny *HintedOuter(const Activation *a, uint32_t n, const IdEntry *id) {
    if (!a || !a->enclosing || n == 0 || ResolvesOwnName(a, id)) return nullptr;
    Local *l = LocalAt(a->enclosing, n - 1);
    return l && l->id == id ? &l->value : nullptr;
}

// The variable a local, outer or program-level hint still finds: the local
// at its index in the running activation when that names the identifier,
// the closure's variable (HintedOuter), or the identifier's program-level
// slot when no function declares the name and the slot holds a declared
// variable. Null for other hints or when the hint no longer holds. (The
// caller checks that no with or catch scope is in force.)
inline JSAny *HintedVariable(RunContext *ctx, uint32_t hint, const IdEntry *id, uint32_t code) {
    if ((hint & 3) == HINT_LOCAL) {
        if (!ctx->act) return nullptr;
        Local *l = LocalAt(ctx->act, hint >> 2);
        return l && l->id == id ? &l->value : nullptr;
    }
    if ((hint & 3) == HINT_OUTER) return HintedOuter(ctx->act, hint >> 2, id);
    if ((hint & 3) != HINT_GLOBAL || (static_cast<const IdPayload *>(Id_Payload(id))->flags & ID_EVER_LOCAL))
        return nullptr;
    JSAny *slot = Lex_SlotOfOperand(ctx->store, code);
    return slot->type == JSANY_UNDECLARED ? nullptr : slot;
}

// Whether a parameter hint (parameter i) still holds in activation a: its
// function names the identifier there and has its arguments object.
inline bool ParamHintHolds(const Activation *a, uint32_t i, const IdEntry *id) {
    return a && a->arguments && i < a->code->nparams && a->code->params[i] == id;
}

// The value a parameter hint still finds: the element of the running
// activation's arguments object that stands for the parameter, when it
// holds a value. Null otherwise.
__attribute__((always_inline)) inline const JSAny *HintedParameter(RunContext *ctx, uint32_t hint, const IdEntry *id) {
    const Activation *a = ctx->act;
    uint32_t i = hint >> 2;
    if (!ParamHintHolds(a, i, id)) return nullptr;
    const Object *args = a->arguments;
    return i < Elems_DenseLen(args) ? &args->dense[i] : nullptr;
}

// The value an operand token stands for when it can be had without any work
// that could fail or be seen: a literal, or a variable or parameter that
// the identifier's hint still finds, holding a value. Null otherwise.
__attribute__((always_inline)) inline const JSAny *Ev_OperandValue(RunContext *ctx, Tok at) {
    const JSAny *v;
    if (IdEntry *id = Lex_IdOfOperand(ctx->store, *at)) {
        uint32_t *hint = HintSlot(ctx, at);
        if (!hint || ctx->scopeCount != ctx->scopeBase) return nullptr;
        v = HintedVariable(ctx, *hint, id, *at);
        if (!v) return nullptr;
    } else {
        v = Lex_SlotOfOperand(ctx->store, *at);
    }
    return v->type == JSANY_ERROR || v->type == JSANY_UNDECLARED || v->type == JSANY_ABSENT ? nullptr : v;
}

// Whether a token can be a lone operand Ev_CopyLoneValue copies (never the
// program's end, so the token after it may be looked at).
inline bool Ev_IsLoneToken(uint32_t t) {
    return Tk_IsOperand(t) || t == KW_THIS || t == KW_NULL || t == KW_TRUE || t == KW_FALSE;
}

// A copy of the value of the lone operand at `at` into *out (which holds
// nothing): a literal, a variable whose hint still holds (Ev_OperandValue),
// `this`, `null`, `true` or `false`, when the copy needs no memory. False,
// with nothing done, otherwise. (The walker reads a lone operand one
// nesting level in; the caller checks that level is within the limit.)
__attribute__((always_inline)) inline bool Ev_CopyLoneValue(RunContext *ctx, Tok at, JSAny *out) {
    const JSAny *v;
    switch (*at) {
    case KW_NULL: *out = JSAny_Null(); return true;
    case KW_TRUE: *out = JSAny_Bool(true); return true;
    case KW_FALSE: *out = JSAny_Bool(false); return true;
    case KW_THIS: v = &ctx->thisValue; break;
    default:
        if (!Tk_IsOperand(*at) || !(v = Ev_OperandValue(ctx, at))) return false;
        break;
    }
    if (!JSAny_ShareIsFree(v)) return false;
    JSAny_InitFrom(out, v);
    return true;
}

}  // namespace quillon
