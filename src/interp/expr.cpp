// Expressions, evaluated straight from the token program by precedence
// climbing. Results are values or references (variables and members) in
// evaluation slots; an error value in the slot means the expression failed.
#include <cmath>
#include <cstddef>
#include <cstring>

#include "objects/object.h"
#include "objects/hostcalls.h"
#include "values/progobj.h"
#include "values/space.h"
#include "interp/binary.h"
#include "interp/interp.h"
#include "interp/forms.h"
#include "interp/hints.h"
#include "interp/poscache.h"
#include "lexer/code.h"
#include "objects/function.h"
#include "objects/call.h"
#include "objects/member.h"
#include "objects/props.h"
#include "runtime/checks.h"
#include "runtime/idtable.h"
#include "interp/report.h"
#include "runtime/text.h"
#include "values/convert.h"
#include "values/numops.h"
#include "values/operators.h"

namespace quillon {

uint32_t Ev_Fail(RunContext *ctx, uint32_t row, Tok at) {
    uint32_t c = Err_Report(ctx, row, at);
    return c ? c : ERR_STOP;
}

uint32_t Ev_CheckFailed(RunContext *ctx, JSAny *v, Tok at) {
    uint32_t code = v->code;
    if (Ev_Travels(code)) return code;
    uint32_t c = Err_ReportCode(ctx, code ? code : ERR_WRONGTYPE, at, 1);
    if (c == 0) c = ERR_STOP;
    v->code = c;
    return c;
}

namespace {

// Tries the remembered resolution; true when it still holds. (Its local and
// program-level cases are HintedVariable's, written out in the switch: the
// resolver's hottest path compiles to measurably less work this way.)
inline bool UseHint(RunContext *ctx, uint32_t hint, IdEntry *id, uint32_t code, EvalSlot *out) {
    if (ctx->scopeCount != ctx->scopeBase) return false;
    Activation *a = ctx->act;
    uint32_t i = hint >> 2;
    switch (hint & 3) {
    case HINT_PARAM:
        if (!ParamHintHolds(a, i, id)) return false;
        out->v.type = JSREF_ARGSLOT;
        out->base = JSAny_Undef();
        JSAny_SetObject(&out->base, a->arguments);
        out->key.len = i;
        return true;
    case HINT_LOCAL: {
        if (!a) return false;
        Local *l = LocalAt(a, i);
        if (!l || l->id != id) return false;
        out->v.type = JSREF_VARIABLE;
        out->v.ptr = &l->value;
        return true;
    }
    case HINT_GLOBAL: {
        if (static_cast<IdPayload *>(Id_Payload(id))->flags & ID_EVER_LOCAL) return false;
        JSAny *slot = Lex_SlotOfOperand(ctx->store, code);
        if (slot->type == JSANY_UNDECLARED) return false;
        out->v.type = JSREF_VARIABLE;
        out->v.ptr = slot;
        return true;
    }
    case HINT_OUTER: {
        JSAny *var = HintedOuter(a, i, id);
        if (!var) return false;
        out->v.type = JSREF_VARIABLE;
        out->v.ptr = var;
        return true;
    }
    default:
        return false;
    }
}

}  // namespace

// The full resolution, remembering what it found in *hint when it can.
__attribute__((noinline)) uint32_t ResolveAndRemember(RunContext *ctx, uint32_t code, IdEntry *id,
                                                     EvalSlot *out, uint32_t *hint);

namespace {

inline const JSAny *NumberOperand(RunContext *ctx, Tok at) {
    const JSAny *v = Ev_OperandValue(ctx, at);
    return v && v->type == JSANY_NUMBER ? v : nullptr;
}

// Whether a token after an operand ends an assignment expression there
// whatever comes before it (no operator, postfix part or line break that
// the next line could continue).
inline bool EndsLoneOperand(uint32_t t) {
    return t == TK_SEMI || t == TK_COMMA || t == TK_RPAREN || t == TK_RBRACKET || t == TK_RBRACE || t == TK_COLON;
}

// An assignment expression at p that is a lone operand ending there
// (`var p = null;`, `f(a, b)`, `case K:`): its value copied into *out
// (which holds nothing) as the walker would read it, when that needs no
// work (Ev_CopyLoneValue) and the walker's Ev_Expr level for it is within
// the nesting limit. False, with nothing done, otherwise.
__attribute__((always_inline)) inline bool LoneValue(RunContext *ctx, Tok p, JSAny *out) {
    return Chk_Shortcuts() && Ev_IsLoneToken(*p) && EndsLoneOperand(p[1]) && ctx->nesting < kMaxNesting &&
           Ev_CopyLoneValue(ctx, p, out);
}

// An argument of a call at p, as a value in *out (which holds nothing).
__attribute__((always_inline)) inline Tok ArgumentValue(RunContext *ctx, Tok p, JSAny *out) {
    return LoneValue(ctx, p, out) ? p + 1 : Ev_AssignValue(ctx, p, out);
}

// Resolves the identifier at a token, through its hint when that still holds.
__attribute__((always_inline)) inline uint32_t ResolveId(RunContext *ctx, uint32_t code, IdEntry *id,
                                                         EvalSlot *out, Tok at) {
    uint32_t *hint = HintSlot(ctx, at);
    if (hint && *hint && UseHint(ctx, *hint, id, code, out)) return 0;
    return ResolveAndRemember(ctx, code, id, out, hint);
}

// The hint a named reference's name token keeps for the member fast paths
// (objects/member.h): the place of the property it found last time.
inline uint32_t *NameHint(RunContext *ctx, const EvalSlot *s) {
    uint32_t tok = s->key.len;
    return s->v.type == JSREF_NAMED && tok < ctx->code->count ? HintSlot(ctx, ctx->code->codes + tok) : nullptr;
}

// Reads through a member reference, the common kinds of member directly.
inline void GetMember(RunContext *ctx, EvalSlot *s) {
    if (!Chk_Shortcuts()) {
        Obj_GetMember(ctx, s, false);
        return;
    }
    if (s->v.type == JSREF_VARIABLE) {
        // A variable holding a string or an object: one more share of it.
        const JSAny *var = static_cast<const JSAny *>(s->v.ptr);
        if (var->type < 0) {
            JSAny_InitFrom(&s->v, var);
            return;
        }
    }
    uint32_t *hint = NameHint(ctx, s);
    if (Obj_GetMemberFast(s, hint) || Obj_GetPrimitiveMemberFast(ctx, s, hint)) return;
    Obj_GetMember(ctx, s, false);
}

// The rest of turning a slot into a value: reading through any reference,
// then reporting an error value.
__attribute__((noinline)) uint32_t GetValueSlow(RunContext *ctx, EvalSlot *s, Tok at) {
    if (Slot_IsRef(s)) GetMember(ctx, s);
    return Ev_Check(ctx, &s->v, at);
}

// Turns a slot into a value, the common cases inline: a
// variable holding a number, boolean, null or undefined, or an object (one
// more reference, which cannot fail), and a slot that is a value already.
__attribute__((always_inline)) inline uint32_t GetValue(RunContext *ctx, EvalSlot *s, Tok at) {
    if (!Chk_Shortcuts()) return GetValueSlow(ctx, s, at);
    if (s->v.type == JSREF_VARIABLE) {
        const JSAny *var = static_cast<const JSAny *>(s->v.ptr);
        if (var->type > 0 && var->type < JSANY_UNDECLARED) {
            s->v = *var;
            return 0;
        }
        if (var->type == JSANY_OBJECT && var->obj) {
            JSAny_InitFrom(&s->v, var);
            return 0;
        }
    } else if (!Slot_IsRef(s) && s->v.type != JSANY_ERROR) {
        return 0;
    }
    return GetValueSlow(ctx, s, at);
}

}  // namespace

namespace {

inline void SetFail(EvalSlot *out, uint32_t code) {
    Slot_Clear(out);
    out->v = JSAny_Err(code);
}

inline uint32_t FailAt(RunContext *ctx, EvalSlot *out, uint32_t row, Tok at) {
    uint32_t c = Ev_Fail(ctx, row, at);
    SetFail(out, c);
    return c;
}

// A small vector of argument values on the stack, spilling to the pool.
struct ArgList {
    JSAny small[8];
    JSAny *heap = nullptr;
    uint32_t count = 0;
    JSAny *data() { return heap ? heap : small; }
    bool Push(const JSAny &v) {
        if (!heap && count < 8) {
            small[count++] = v;
            return true;
        }
        if (!heap) {
            if (!Arr_EnsureT(heap, 16)) return false;
            std::memcpy(heap, small, sizeof small);
        } else if (!Arr_EnsureT(heap, count + 1)) {
            return false;
        }
        heap[count++] = v;
        return true;
    }
    ~ArgList() {
        JSAny *d = data();
        for (uint32_t i = 0; i < count; ++i) JSAny_Clear(&d[i]);
        Arr_Free(heap);
    }
};

inline IdEntry *IdOf(RunContext *ctx, uint32_t code) { return Lex_IdOfOperand(ctx->store, code); }

// ---- primary expressions ---------------------------------------------------

Tok ArrayLiteral(RunContext *ctx, Tok p, EvalSlot *out) {
    Tok open = p;
    JSAny arr = JSAny_Undef();
    Obj_NewArray(&arr, ctx->space);
    if (arr.type == JSANY_ERROR) {
        SetFail(out, ERR_NOMEM);
        return p + 1;
    }
    p = Scan_Lines(p + 1);
    uint32_t index = 0;
    if (*p == TK_RBRACKET) {
        out->v = arr;
        return p + 1;
    }
    for (;;) {
        JSAny v = JSAny_Undef();
        Tok q = Ev_AssignValue(ctx, p, &v);
        if (q == p) {
            JSAny_Clear(&arr);
            FailAt(ctx, out, *p == TK_SEMI ? ROW_RBRACKET : ROW_EXPR_EXPECTED, p);
            return p + 1;
        }
        if (v.type == JSANY_ERROR) {
            JSAny_Clear(&arr);
            SetFail(out, v.code);
            return q;
        }
        uint32_t st = Obj_PutIndex(arr.obj, index++, &v);
        JSAny_Clear(&v);
        if (st) {
            JSAny_Clear(&arr);
            SetFail(out, st);
            return q;
        }
        p = Scan_Lines(q);
        if (*p == TK_RBRACKET) {
            out->v = arr;
            return p + 1;
        }
        if (*p == TK_COMMA) {
            p = Scan_Lines(p + 1);
            continue;
        }
        JSAny_Clear(&arr);
        FailAt(ctx, out, *p == TK_SEMI || *p == TK_END ? ROW_RBRACKET : ROW_COMMA, *p ? p : open);
        return p + 1;
    }
}

Tok ObjectLiteral(RunContext *ctx, Tok p, EvalSlot *out) {
    JSAny obj = JSAny_Undef();
    Obj_NewInto(&obj, ctx->space->protos[PROTO_OBJECT]);
    if (obj.type == JSANY_ERROR) {
        SetFail(out, ERR_NOMEM);
        return p + 1;
    }
    p = Scan_Lines(p + 1);
    for (;;) {
        if (*p == TK_RBRACE) {
            out->v = obj;
            return p + 1;
        }
        uint32_t t = *p;
        if (!Tk_IsOperand(t)) {
            JSAny_Clear(&obj);
            FailAt(ctx, out, t == TK_SEMI ? ROW_RBRACE : ROW_IDENT_EXPECTED, p);
            return p + 1;
        }
        // The name: an identifier, or a literal whose value names the property.
        JSAny key = JSAny_Undef();
        IdEntry *id = IdOf(ctx, t);
        if (id) {
            key = JSAny_Borrow(id->name, id->length);
        } else {
            const JSAny *c = Lex_ConstOf(ctx->store, t);
            if (!c || c->type == JSANY_ERROR) {
                JSAny_Clear(&obj);
                if (c) {
                    JSAny e = *c;
                    SetFail(out, Ev_Check(ctx, &e, p));
                } else {
                    FailAt(ctx, out, ROW_IDENT_EXPECTED, p);
                }
                return p + 1;
            }
            JSAny_InitFrom(&key, c);
            if (!JSAny_IsString(&key)) JSAny_ToString(ctx, &key);
        }
        Tok nameTok = p;
        p = Scan_Lines(p + 1);
        if (*p != TK_COLON) {
            JSAny_Clear(&key);
            JSAny_Clear(&obj);
            FailAt(ctx, out, ROW_COLON, *p ? p : nameTok);
            return p + 1;
        }
        p = Scan_Lines(p + 1);
        JSAny v = JSAny_Undef();
        Tok q = Ev_AssignValue(ctx, p, &v);
        if (q == p || v.type == JSANY_ERROR) {
            JSAny_Clear(&key);
            JSAny_Clear(&obj);
            if (q == p) FailAt(ctx, out, ROW_EXPR_EXPECTED, p);
            else SetFail(out, v.code);
            return q == p ? p + 1 : q;
        }
        // (A name is stored with the key its identifier keeps.)
        uint32_t st = key.type == JSANY_ERROR ? key.code
                      : id && Chk_Shortcuts() ? Obj_PutNameKnown(obj.obj, id->name, id->length, id->hash,
                                              const_cast<char *>(Props_KeyOfName(id)), &v)
                           : Obj_Put(obj.obj, &key, &v);
        JSAny_Clear(&key);
        JSAny_Clear(&v);
        if (st) {
            JSAny_Clear(&obj);
            SetFail(out, st == ERR_NOMEM ? st : Ev_Fail(ctx, ROW_NOPROP, nameTok));
            return q;
        }
        p = Scan_Lines(q);
        if (*p == TK_COMMA) {
            p = Scan_Lines(p + 1);
            continue;
        }
        if (*p == TK_RBRACE) continue;
        JSAny_Clear(&obj);
        FailAt(ctx, out, *p == TK_SEMI || *p == TK_END ? ROW_RBRACE : ROW_COMMA, p);
        return p + 1;
    }
}

// Maps the status of a call to its report.
uint32_t CallFailure(RunContext *ctx, JSAny *result, bool construct, Tok at) {
    uint32_t code = result->code;
    if (Ev_Travels(code)) return code;
    uint32_t row;
    switch (code) {
    case ERR_BADARGS: row = ROW_BAD_ARGS; break;
    case ERR_NOTIMPL: row = ROW_FN_NOT_IMPL; break;
    case ERR_WRONGTYPE:
    case 0: row = construct ? ROW_NOT_CTOR : ROW_NOT_FUNCTION; break;
    default: return Ev_Check(ctx, result, at);
    }
    uint32_t c = Ev_Fail(ctx, row, at);
    result->code = c;
    return c;
}

}  // namespace

void Ev_CallFailed(RunContext *ctx, EvalSlot *cur, bool construct, Tok calleeTok, Tok end) {
    if (cur->v.code == ERR_NOVALUE || (cur->v.code == 0 && !construct)) {
        // A native or host function with no value to give: undefined,
        // remembered so that an expression statement can pass it on.
        if (cur->v.code == ERR_NOVALUE) ctx->noValueAt = end;
        cur->v = JSAny_Undef();
    } else {
        CallFailure(ctx, &cur->v, construct, calleeTok);
    }
}

namespace {

// The call itself once the arguments and the callee's value are had (Ev_Call).
__attribute__((always_inline)) inline void CallTail(RunContext *ctx, EvalSlot *cur, const JSAny *args, uint32_t argc,
                                                  JSAny *thisValue, bool haveThis, bool construct, Tok calleeTok,
                                                  Tok end) {
    if (cur->v.type == JSANY_ERROR) {
        JSAny_Clear(thisValue);
        Ev_Check(ctx, &cur->v, calleeTok);
        return;
    }
    if (cur->v.type == JSANY_UNDEFINED || cur->v.type == JSANY_UNDECLARED) {
        JSAny_Clear(thisValue);
        FailAt(ctx, cur, construct ? ROW_CTOR_NOT_DEFINED : ROW_FN_NOT_DEFINED, calleeTok);
        return;
    }
    if (!construct && cur->v.type == JSANY_OBJECT && cur->v.obj->kind == ObjKind::RegExp) {
        // A regular expression called as a function acts as its exec.
        JSAny exec = JSAny_Undef();
        Obj_GetStr(cur->v.obj, "exec", &exec);
        JSAny_Clear(thisValue);
        *thisValue = cur->v;
        haveThis = true;
        cur->v = exec;
    }
    if (!construct) {
        Ev_CallCallee(ctx, cur, args, argc, thisValue, haveThis, calleeTok, end);
        return;
    }
    Tok savedCall = ctx->callTok;
    ctx->callTok = calleeTok;
    Fn_Construct(ctx, cur, args, argc);
    ctx->callTok = savedCall;
    JSAny_Clear(thisValue);
    if (cur->v.type == JSANY_ERROR) Ev_CallFailed(ctx, cur, true, calleeTok, end);
}

// The argument list and the call (or construction) of the current value.
Tok CallExpr(RunContext *ctx, Tok p, EvalSlot *cur, bool construct, Tok calleeTok) {
    Tok open = p;
    ArgList args;
    p = Scan_Lines(p + 1);
    if (*p != TK_RPAREN) {
        for (;;) {
            JSAny v = JSAny_Undef();
            Tok q = ArgumentValue(ctx, p, &v);
            if (q == p) {
                FailAt(ctx, cur, *p == TK_COMMA ? ROW_ARG_EXPECTED
                                 : (*p == TK_SEMI || *p == TK_END || *p == TK_RBRACE) ? ROW_RPAREN
                                                                                       : ROW_ARG_EXPECTED,
                       *p ? p : open);
                return p + 1;
            }
            if (v.type == JSANY_ERROR) {
                SetFail(cur, v.code);
                return q;
            }
            if (!args.Push(v)) {
                JSAny_Clear(&v);
                SetFail(cur, ERR_NOMEM);
                return q;
            }
            p = Scan_Lines(q);
            if (*p == TK_RPAREN) break;
            if (*p == TK_COMMA) {
                p = Scan_Lines(p + 1);
                continue;
            }
            FailAt(ctx, cur, (*p == TK_SEMI || *p == TK_END || *p == TK_RBRACE) ? ROW_RPAREN : ROW_COMMA,
                   *p ? p : open);
            return p + 1;
        }
    }
    Tok end = p + 1;
    uint32_t st = Err_CheckBreakFast(ctx, open, ctx->breakMask);
    if (st) {
        SetFail(cur, st);
        return end;
    }
    // The callee's value, and `this` from a member reference.
    JSAny thisValue = JSAny_Undef();
    bool haveThis = false;
    if (cur->v.type == JSREF_MEMBER || cur->v.type == JSREF_NAMED) {
        JSAny_InitFrom(&thisValue, &cur->base);
        haveThis = true;
    }
    if (Slot_IsRef(cur)) GetMember(ctx, cur);
    CallTail(ctx, cur, args.data(), args.count, &thisValue, haveThis, construct, calleeTok, end);
    return end;
}

}  // namespace

void Ev_CallGeneral(RunContext *ctx, EvalSlot *cur, const JSAny *args, uint32_t argc, JSAny *thisValue,
                    bool haveThis, bool construct, Tok calleeTok, Tok end) {
    CallTail(ctx, cur, args, argc, thisValue, haveThis, construct, calleeTok, end);
}

namespace {

// Prefix and postfix ++ and --, on a reference.
uint32_t IncDec(RunContext *ctx, EvalSlot *s, bool inc, bool postfix, Tok at) {
    if (!Slot_IsRef(s)) {
        Slot_Clear(s);
        return FailAt(ctx, s, ROW_NOT_VARIABLE, at);
    }
    if (Chk_Shortcuts() && s->v.type == JSREF_VARIABLE) {
        auto *var = static_cast<JSAny *>(s->v.ptr);
        double old, now;
        if (Num_Step(var, inc ? NumOp::Add : NumOp::Sub, &old, &now)) {  // the common case, in place
            s->v = JSAny_Num(postfix ? old : now);
            return 0;
        }
    }
    if (Chk_Shortcuts() && (s->v.type == JSREF_NAMED || s->v.type == JSREF_MEMBER) && s->base.type == JSANY_OBJECT) {
        // An own stored property or a dense element holding a number, changed
        // in place: the read, the conversion and the store that the general
        // path makes, none of which can fail or be seen on the way.
        JSAny *slot = s->v.type == JSREF_NAMED
                          ? Obj_NamedStoreSlot(s->base.obj, static_cast<const IdEntry *>(s->key.ptr), NameHint(ctx, s))
                          : Obj_DenseElement(s);
        double old, now;
        if (slot && Num_Step(slot, inc ? NumOp::Add : NumOp::Sub, &old, &now)) {
            Slot_Clear(s);
            s->v = JSAny_Num(postfix ? old : now);
            return 0;
        }
    }
    // Read, change, write back.
    EvalSlot target;
    target.v = s->v;
    // A variable reference has no base: its base field holds whatever the
    // slot held before and must not be copied.
    if (s->v.type == JSREF_VARIABLE) target.base = JSAny_Undef();
    else JSAny_InitFrom(&target.base, &s->base);
    if (s->v.type == JSREF_MEMBER) JSAny_InitFrom(&target.key, &s->key);
    else target.key = s->key;
    Obj_GetMember(ctx, s, false);
    uint32_t st = Ev_Check(ctx, &s->v, at);
    if (st) {
        Slot_Clear(&target);
        return st;
    }
    JSAny_ToNumber(ctx, &s->v);
    st = Ev_Check(ctx, &s->v, at);
    if (st) {
        Slot_Clear(&target);
        return st;
    }
    double old = s->v.num;
    JSAny fresh = JSAny_Num(old);
    Num_Binary(inc ? NumOp::Add : NumOp::Sub, &fresh, 1);
    double now = fresh.num;
    Obj_PutMember(ctx, &target, &fresh);
    st = Ev_Check(ctx, &target.v, at);
    Slot_Clear(&target);
    if (st) {
        SetFail(s, st);
        return st;
    }
    s->v = JSAny_Num(postfix ? old : now);
    return 0;
}

Tok Unary(RunContext *ctx, Tok p, EvalSlot *out);

// The operand and its postfix parts; `news` is the count of pending `new`.
Tok Postfix(RunContext *ctx, Tok p, EvalSlot *out, uint32_t news) {
    Tok start = p;
    uint32_t t = *p;
    if (Tk_IsOperand(t)) {
        if (IdEntry *id = IdOf(ctx, t)) {
            uint32_t st = ResolveId(ctx, t, id, out, p);
            if (st) return p + 1;
        } else {
            const JSAny *c = Lex_SlotOfOperand(ctx->store, t);
            JSAny_InitFrom(&out->v, c);
            if (out->v.type == JSANY_ERROR) {
                // A faulty literal: its error is raised now that it runs.
                Ev_Check(ctx, &out->v, p);
                return p + 1;
            }
        }
        ++p;
    } else {
        switch (t) {
        case KW_TRUE: out->v = JSAny_Bool(true); ++p; break;
        case KW_FALSE: out->v = JSAny_Bool(false); ++p; break;
        case KW_NULL: out->v = JSAny_Null(); ++p; break;
        case KW_THIS: JSAny_InitFrom(&out->v, &ctx->thisValue); ++p; break;
        case KW_FUNCTION: {
            Tok end;
            uint32_t st = Fn_Define(ctx, p, false, &out->v, &end);
            if (st) {
                SetFail(out, st);
                return end > p ? end : p + 1;
            }
            p = end;
            break;
        }
        case TK_LBRACKET:
            p = ArrayLiteral(ctx, p, out);
            if (out->v.type == JSANY_ERROR) return p;
            break;
        case TK_LBRACE:
            p = ObjectLiteral(ctx, p, out);
            if (out->v.type == JSANY_ERROR) return p;
            break;
        case TK_LPAREN: {
            Tok q = Ev_Comma(ctx, p + 1, &out->v);
            if (q == p + 1 && out->v.type != JSANY_ERROR) {
                FailAt(ctx, out, ROW_EXPR_EXPECTED, Scan_Lines(q));
                return *q ? q + 1 : q;  // never past the end of the program
            }
            if (out->v.type == JSANY_ERROR) return q;
            q = Scan_Lines(q);
            if (*q != TK_RPAREN) {
                FailAt(ctx, out, ROW_RPAREN, *q ? q : p);
                return *q ? q + 1 : q;
            }
            p = q + 1;
            break;
        }
        default:
            if (news) FailAt(ctx, out, ROW_EXPR_EXPECTED, p);
            return start;
        }
    }
    // Postfix parts.
    for (;;) {
        uint32_t n;
        Tok q = Scan_NextPostfix(p, &n);
        if (n == TK_LINE) break;
        if (n == TK_DOT) {
            Tok nameTok = Scan_Lines(q + 1);
            IdEntry *id = Tk_IsOperand(*nameTok) ? IdOf(ctx, *nameTok) : nullptr;
            if (!id) {
                FailAt(ctx, out, ROW_IDENT_EXPECTED, *nameTok ? nameTok : q);
                return nameTok + 1;
            }
            if (GetValue(ctx, out, start)) return nameTok + 1;
            out->base = out->v;
            out->v.type = JSREF_NAMED;
            out->key.ptr = id;
            // The name's token, so the member's place can be remembered there.
            out->key.len = static_cast<uint32_t>(nameTok - ctx->code->codes);
            p = nameTok + 1;
            continue;
        }
        if (n == TK_LBRACKET) {
            if (GetValue(ctx, out, start)) return q + 1;
            JSAny key = JSAny_Undef();
            // A lone key (`a[i]`).
            if (Ev_IsLoneToken(q[1]) && q[2] == TK_RBRACKET && LoneValue(ctx, q + 1, &key)) {
                out->base = out->v;
                out->v.type = JSREF_MEMBER;
                out->key = key;
                p = q + 3;
                continue;
            }
            Tok r = Ev_Comma(ctx, q + 1, &key);
            if (r == q + 1 && key.type != JSANY_ERROR) {
                FailAt(ctx, out, ROW_EXPR_EXPECTED, Scan_Lines(r));
                return r + 1;
            }
            if (key.type == JSANY_ERROR) {
                SetFail(out, key.code);
                return r;
            }
            r = Scan_Lines(r);
            if (*r != TK_RBRACKET) {
                JSAny_Clear(&key);
                FailAt(ctx, out, ROW_RBRACKET, *r ? r : q);
                return r + 1;
            }
            out->base = out->v;
            out->v.type = JSREF_MEMBER;
            out->key = key;
            p = r + 1;
            continue;
        }
        if (n == TK_LPAREN) {
            bool construct = news > 0;
            if (construct) --news;
            p = CallExpr(ctx, q, out, construct, start);
            if (out->v.type == JSANY_ERROR) return p;
            continue;
        }
        if (n == TK_INC || n == TK_DEC) {
            if (IncDec(ctx, out, n == TK_INC, true, q)) return q + 1;
            p = q + 1;
        }
        break;
    }
    while (news > 0) {
        --news;
        if (GetValue(ctx, out, start)) return p;
        if (out->v.type == JSANY_UNDEFINED) {
            FailAt(ctx, out, ROW_CTOR_NOT_DEFINED, start);
            return p;
        }
        Tok savedCall = ctx->callTok;
        ctx->callTok = start;
        Fn_Construct(ctx, out, nullptr, 0);
        ctx->callTok = savedCall;
        if (out->v.type == JSANY_ERROR) {
            CallFailure(ctx, &out->v, true, start);
            return p;
        }
    }
    return p;
}

// Applies one prefix operator to the slot.
uint32_t ApplyPrefix(RunContext *ctx, uint32_t op, EvalSlot *s, Tok at) {
    switch (op) {
    case TK_INC:
    case TK_DEC:
        return IncDec(ctx, s, op == TK_INC, false, at);
    case KW_DELETE: {
        uint32_t st = Obj_DeleteMember(ctx, s);
        return st ? Ev_Check(ctx, &s->v, at) : 0;
    }
    default:
        break;
    }
    uint32_t st = GetValue(ctx, s, at);
    if (st) return st;
    switch (op) {
    case TK_ADD:
        if (s->v.type != JSANY_NUMBER) JSAny_ToNumber(ctx, &s->v);
        break;
    case TK_SUB: Op_Neg(ctx, &s->v); break;
    case TK_NOT: Op_Not(ctx, &s->v); break;
    case TK_BITNOT: Op_BitNot(ctx, &s->v); break;
    case KW_TYPEOF: Op_TypeOf(ctx, &s->v); break;
    case KW_VOID: Op_Void(ctx, &s->v); break;
    default: break;
    }
    return Ev_Check(ctx, &s->v, at);
}

Tok Unary(RunContext *ctx, Tok p, EvalSlot *out) {
    p = Scan_Lines(p);
    uint32_t ops[kMaxPrefix];
    Tok opTok[kMaxPrefix];
    uint32_t nops = 0;
    while (Tk_IsPrefix(*p) && nops < kMaxPrefix) {
        opTok[nops] = p;
        ops[nops++] = *p;
        p = Scan_Lines(p + 1);
    }
    Tok q;
    if (nops == kMaxPrefix && Tk_IsPrefix(*p)) {
        // A longer run of prefix operators: the rest is an operand of its own.
        NestGuard guard(ctx);
        if (!guard.ok) {
            FailAt(ctx, out, ROW_NESTED_TOO_DEEPLY, p);
            return p + 1;
        }
        q = Unary(ctx, p, out);
    } else {
        uint32_t news = 0;
        while (*p == KW_NEW) {
            ++news;
            p = Scan_Lines(p + 1);
        }
        q = Postfix(ctx, p, out, news);
        if (q == p && news == 0) {
            if (nops == 0) return p;
            FailAt(ctx, out, ROW_EXPR_EXPECTED, p);
            return p + 1;
        }
    }
    if (out->v.type == JSANY_ERROR) return q;
    while (nops > 0) {
        --nops;
        if (ApplyPrefix(ctx, ops[nops], out, opTok[nops])) return q;
    }
    return q;
}


}  // namespace

void Ev_DropScopeObjects(RunContext *ctx) {
    for (uint32_t i = 0; i < ctx->scopeObjCount; ++i) ProgObj_Release(ctx->scopeObjs[i]);
    Arr_Free(ctx->scopeObjs);
    ctx->scopeObjs = nullptr;
    ctx->scopeObjCount = 0;
}

// The branches after the `?` at opTok, by out's value (the condition):
// the chosen one read and the other skipped; the position after them, the
// chosen branch's value in out, or the failure.
__attribute__((always_inline)) inline Tok ConditionalOperands(RunContext *ctx, Tok opTok, EvalSlot *out) {
    bool cond = JSAny_Truth(&out->v);
    if (out->v.type == JSANY_ERROR) {
        FailAt(ctx, out, ROW_BAD_CONDITION, opTok);
        return opTok + 1;
    }
    JSAny_Clear(&out->v);
    // Both branches are assignment expressions, the first followed
    // by `:`; the one not chosen is skipped by the same grammar.
    Tok branch = opTok + 1;
    Tok r = cond ? Ev_Assign(ctx, branch, out) : Ev_SkipOperand(ctx, opTok, kAssignLevel);
    if (r == Scan_Lines(branch) && out->v.type != JSANY_ERROR) {
        FailAt(ctx, out, ROW_EXPR_EXPECTED, Scan_Lines(branch));
        return r + 1;
    }
    if (out->v.type == JSANY_ERROR) return r;
    if (cond) {
        Ev_CheckExtent(ctx, branch, kAssignLevel, r);
        if (GetValue(ctx, out, branch)) return r;
    }
    Tok c = Scan_Lines(r);
    if (*c != TK_COLON) {
        Slot_Clear(out);
        FailAt(ctx, out, ROW_COLON, *c ? c : opTok);
        return c + 1;
    }
    Tok last = c + 1;
    if (cond) {
        // A branch that is not there fails as it does when it runs
        // (as the first branch does); a faulty branch that is there
        // is reported only when it runs.
        Tok q = Ev_SkipOperand(ctx, c, kAssignLevel);
        if (q == Scan_Lines(last)) FailAt(ctx, out, ROW_EXPR_EXPECTED, q);
        return q == Scan_Lines(last) ? q + 1 : q;
    }
    r = Ev_Assign(ctx, last, out);
    if (r == Scan_Lines(last) && out->v.type != JSANY_ERROR) {
        FailAt(ctx, out, ROW_EXPR_EXPECTED, Scan_Lines(last));
        return r + 1;
    }
    if (out->v.type == JSANY_ERROR) return r;
    Ev_CheckExtent(ctx, last, kAssignLevel, r);
    GetValue(ctx, out, last);
    return r;
}

// The operand after the `&&` or `||` at opTok, by out's value: skipped, or
// read into out; the position after it, out's value the result or the
// failure.
__attribute__((always_inline)) inline Tok LogicalOperand(RunContext *ctx, Tok opTok, uint32_t op, EvalSlot *out) {
    bool truth = JSAny_Truth(&out->v);
    ExprLevel level = Scan_LogicalLevel(op);
    if ((op == TK_LOGOR) == truth) {
        // An operand that is not there fails as it does when it
        // runs; a faulty one that is there is reported only when it
        // runs.
        Tok q = Ev_SkipOperand(ctx, opTok, level);
        if (q == Scan_Lines(opTok + 1)) {
            FailAt(ctx, out, ROW_OBJ_EXPECTED, q);
            return q + 1;
        }
        return q;
    }
    JSAny_Clear(&out->v);
    Tok r = Ev_Expr(ctx, opTok + 1, out, level.minPrec);
    if (r == Scan_Lines(opTok + 1) && out->v.type != JSANY_ERROR) {
        FailAt(ctx, out, ROW_OBJ_EXPECTED, Scan_Lines(r));
        return r + 1;
    }
    if (out->v.type == JSANY_ERROR) return r;
    Ev_CheckExtent(ctx, opTok + 1, level, r);
    GetValue(ctx, out, opTok + 1);
    return r;
}

// The right operand of the binary operator `op` at opTok (not `&&`, `||`
// or `?`), read from its tokens, and the operator applied to out's value
// and it: the position after the operand; out's value is the result, or
// the failure.
__attribute__((always_inline)) inline Tok BinaryOperand(RunContext *ctx, Tok opTok, uint32_t op, EvalSlot *out) {
    if (Chk_Shortcuts() && out->v.type == JSANY_NUMBER && ctx->nesting < kMaxNesting) {
        // A right side that is a lone number variable or literal, not
        // taken by a tighter operator after it, is combined in place.
        // (The token after the operand is read only once the operand is
        // known not to be the end of the program. At the nesting limit
        // the general path reads it, and meets the limit as it would.)
        Tok rt = opTok + 1;
        if (Tk_IsOperand(*rt) && Scan_EndsOperand(rt[1]) && !(Tk_IsBinary(rt[1]) && rt[1] >= Tk_Group(op) + 16)) {
            const JSAny *rv = NumberOperand(ctx, rt);
            if (rv && Num_Binary(Ev_Binary(op).number, &out->v, rv->num)) return rt + 1;
        }
    }
    EvalSlot right;
    Slot_Init(&right);
    Tok r = Ev_Expr(ctx, opTok + 1, &right, Tk_Group(op) + 16);
    if (r == Scan_Lines(opTok + 1) && right.v.type != JSANY_ERROR) {
        FailAt(ctx, out, ROW_OBJ_EXPECTED, Scan_Lines(r));
        return r + 1;
    }
    if (right.v.type == JSANY_ERROR || GetValue(ctx, &right, opTok + 1)) {
        SetFail(out, right.v.code);
        return r;
    }
    if (Chk_Shortcuts() && out->v.type == JSANY_NUMBER && right.v.type == JSANY_NUMBER &&
        Num_Binary(Ev_Binary(op).number, &out->v, right.v.num))
        return r;
    Ev_Binary(op).general(ctx, &out->v, &right.v);
    JSAny_Clear(&right.v);
    Ev_Check(ctx, &out->v, opTok);
    return r;
}

Tok Ev_Expr(RunContext *ctx, Tok p, EvalSlot *out, uint32_t minPrec) {
    Tok start = Scan_Lines(p);
    NestGuard guard(ctx);
    if (!guard.ok) {
        FailAt(ctx, out, ROW_NESTED_TOO_DEEPLY, start);
        return start + 1;
    }
    Tok q;
    uint32_t first = *start;
    if (!Chk_Shortcuts()) {
        q = Unary(ctx, start, out);
        if (q == start || out->v.type == JSANY_ERROR) return q;
    } else if (Tk_IsOperand(first) && Scan_EndsOperand(start[1])) {
        // A lone identifier or literal: no prefix or postfix parts to look for.
        if (IdEntry *id = IdOf(ctx, first)) {
            if (ResolveId(ctx, first, id, out, start)) return start + 1;
        } else {
            JSAny_InitFrom(&out->v, Lex_SlotOfOperand(ctx->store, first));
            if (out->v.type == JSANY_ERROR) {
                Ev_Check(ctx, &out->v, start);
                return start + 1;
            }
        }
        q = start + 1;
    } else if (Tk_IsOperand(first) && (start[1] == TK_INC || start[1] == TK_DEC) && IdOf(ctx, first)) {
        // `name++` or `name--`: nothing else can follow as a postfix part.
        if (ResolveId(ctx, first, IdOf(ctx, first), out, start)) return start + 1;
        if (IncDec(ctx, out, start[1] == TK_INC, true, start + 1)) return start + 2;
        q = start + 2;
    } else if ((first == KW_THIS || (Tk_IsOperand(first) && IdOf(ctx, first))) && start[1] == TK_DOT &&
               Tk_IsOperand(start[2]) && IdOf(ctx, start[2]) && Scan_EndsOperand(start[3])) {
        // `this.name` or `variable.name` alone: the member reference directly.
        // (The test reads each token only once the one before it is known
        // not to be the end of the program.)
        // A failure stops where the general path stops: after the name
        // that failed to resolve, or after the member whose base failed.
        if (first == KW_THIS) JSAny_InitFrom(&out->v, &ctx->thisValue);
        else if (ResolveId(ctx, first, IdOf(ctx, first), out, start)) return start + 1;
        if (GetValue(ctx, out, start)) return start + 3;
        out->base = out->v;
        out->v.type = JSREF_NAMED;
        out->key.ptr = IdOf(ctx, start[2]);
        out->key.len = static_cast<uint32_t>(start + 2 - ctx->code->codes);
        q = start + 3;
    } else {
        q = Unary(ctx, start, out);
        if (q == start || out->v.type == JSANY_ERROR) return q;
    }
    for (;;) {
        Tok opTok = Scan_Lines(q);
        uint32_t op = *opTok;
        if (!Tk_IsBinary(op) || op < minPrec) return q;
        if (GetValue(ctx, out, start)) return opTok;
        if (op == TK_QUESTION) q = ConditionalOperands(ctx, opTok, out);
        else if (op == TK_LOGOR || op == TK_LOGAND) q = LogicalOperand(ctx, opTok, op, out);
        else q = BinaryOperand(ctx, opTok, op, out);
        if (out->v.type == JSANY_ERROR) return q;
    }
}

Tok Ev_OperatorStep(RunContext *ctx, Tok opTok, EvalSlot *out) {
    uint32_t op = *opTok;
    if (op == TK_QUESTION) return ConditionalOperands(ctx, opTok, out);
    if (op == TK_LOGOR || op == TK_LOGAND) return LogicalOperand(ctx, opTok, op, out);
    return BinaryOperand(ctx, opTok, op, out);
}

namespace {

// The assignment that follows a conditional expression (in *out, from
// `start`) at the operator `opTok`.
__attribute__((noinline)) Tok AssignTail(RunContext *ctx, Tok start, Tok opTok, uint32_t op, EvalSlot *out);

// An assignment expression: a conditional expression, then an assignment
// operator and its right side when one follows. `forms`: whether a form of
// it may exist (false when the comma reader has just found there is none).
__attribute__((always_inline)) inline Tok AssignInto(RunContext *ctx, Tok p, EvalSlot *out, bool forms = true) {
    Tok start = *p == TK_LINE ? Scan_Lines(p) : p;
    if (forms) {
        Tok end;
        if (Form_Try(ctx, start, FORM_LEVEL_ASSIGN, &out->v, &end)) return end;
    }
    Tok q = Ev_Expr(ctx, start, out, TK_LOGOR);
    if (q == start || out->v.type == JSANY_ERROR) return q;
    Tok opTok = q;
    if (*opTok == TK_LINE) {
        Tok n = Scan_Lines(opTok);
        if (Tk_IsCompoundAssign(*n)) opTok = n;
    }
    uint32_t op = *opTok;
    if (!Tk_IsAssign(op)) return q;
    return AssignTail(ctx, start, opTok, op, out);
}

// An assignment expression turned into a value.
__attribute__((always_inline)) inline Tok AssignValueInto(RunContext *ctx, Tok p, JSAny *out, bool forms = true) {
    JSAny v;
    if (LoneValue(ctx, p, &v)) {
        JSAny_Clear(out);
        *out = v;
        return p + 1;
    }
    EvalSlot s;
    Slot_Init(&s);
    Tok q = AssignInto(ctx, p, &s, forms);
    if (q != (*p == TK_LINE ? Scan_Lines(p) : p) || s.v.type == JSANY_ERROR) GetValue(ctx, &s, p);
    JSAny_Clear(out);
    *out = s.v;
    return q;
}

// The store of an assignment (Ev_PutValue).
__attribute__((always_inline)) inline void PutTail(RunContext *ctx, EvalSlot *out, JSAny *value, Tok opTok) {
    if (Ev_PutPlainVariable(out, value)) return;
    if (!Chk_Shortcuts() || !Obj_PutMemberFast(out, value, NameHint(ctx, out))) Obj_PutMember(ctx, out, value);
    if (out->v.type == JSANY_ERROR) {
        uint32_t code = out->v.code;
        if (code == ERR_READONLY || code == ERR_NOPROP) {
            out->v.code = Ev_Fail(ctx, code == ERR_READONLY ? ROW_READONLY : ROW_NOPROP, opTok);
        } else if (code == ERR_WRONGTYPE) {
            out->v.code = Ev_Fail(ctx, ROW_WRONG_TYPE, opTok);
        } else {
            Ev_Check(ctx, &out->v, opTok);
        }
    }
}

Tok AssignTail(RunContext *ctx, Tok start, Tok opTok, uint32_t op, EvalSlot *out) {
    // The right side may be another assignment (a = b = c ...): each one
    // waits on the machine stack, so each counts toward the nesting limit.
    NestGuard guard(ctx);
    if (!guard.ok) {
        FailAt(ctx, out, ROW_NESTED_TOO_DEEPLY, opTok);
        return opTok + 1;
    }
    JSAny value = JSAny_Undef();
    Tok r = Ev_AssignValue(ctx, opTok + 1, &value);
    if (r == Scan_Lines(opTok + 1) && value.type != JSANY_ERROR) {
        FailAt(ctx, out, ROW_EXPR_EXPECTED, Scan_Lines(r));
        return r + 1;
    }
    if (value.type == JSANY_ERROR) {
        SetFail(out, value.code);
        return r;
    }
    if (!Slot_IsRef(out)) {
        JSAny_Clear(&value);
        FailAt(ctx, out, ROW_NOT_VARIABLE, opTok);
        return r;
    }
    if (op != TK_ASSIGN) {
        // Compound assignment: read the current value and combine.
        if (Chk_Shortcuts() && out->v.type == JSREF_VARIABLE) {
            auto *var = static_cast<JSAny *>(out->v.ptr);
            if (var->type == JSANY_NUMBER && value.type == JSANY_NUMBER) {
                Num_Binary(Ev_Binary(Tk_BinaryOfAssign(op)).number, var, value.num);
                out->v = *var;
                return r;
            }
            if (var->type == JSANY_STRING && op == TK_ADD_ASSIGN && JSAny_IsString(&value)) {
                // Appending to a string variable works in place when it can;
                // a failed append leaves the variable as it was.
                uint32_t st = Op_AppendString(var, &value);
                JSAny_Clear(&value);
                if (st) {
                    JSAny e = JSAny_Err(st);
                    SetFail(out, Ev_Check(ctx, &e, opTok));
                    return r;
                }
                JSAny_InitFrom(&out->v, var);
                return r;
            }
        }
        EvalSlot cur;
        cur.v = out->v;
        if (out->v.type == JSREF_VARIABLE) {
            cur.base = JSAny_Undef();
        } else {
            JSAny_InitFrom(&cur.base, &out->base);
            if (out->v.type == JSREF_MEMBER) JSAny_InitFrom(&cur.key, &out->key);
            else cur.key = out->key;
        }
        if (GetValue(ctx, &cur, start)) {
            JSAny_Clear(&value);
            SetFail(out, cur.v.code);
            return r;
        }
        Ev_Binary(Tk_BinaryOfAssign(op)).general(ctx, &cur.v, &value);
        JSAny_Clear(&value);
        value = cur.v;
        if (Ev_Check(ctx, &value, opTok)) {
            SetFail(out, value.code);
            return r;
        }
    }
    PutTail(ctx, out, &value, opTok);
    return r;
}

}  // namespace

void Ev_PutValue(RunContext *ctx, EvalSlot *out, JSAny *value, Tok opTok) { PutTail(ctx, out, value, opTok); }

Tok Ev_Assign(RunContext *ctx, Tok p, EvalSlot *out) { return AssignInto(ctx, p, out); }

Tok Ev_AssignValue(RunContext *ctx, Tok p, JSAny *out) { return AssignValueInto(ctx, p, out); }

Tok Ev_ArgumentValue(RunContext *ctx, Tok p, JSAny *out) { return ArgumentValue(ctx, p, out); }

Tok Ev_Comma(RunContext *ctx, Tok p, JSAny *out) { return Ev_CommaInline(ctx, p, out); }

Tok Ev_CommaRest(RunContext *ctx, Tok start, JSAny *out, bool inner) {
    Tok q = AssignValueInto(ctx, start, out, inner);
    if (q == start || out->type == JSANY_ERROR) return q;
    for (;;) {
        Tok c = Scan_Lines(q);
        if (*c != TK_COMMA) return q;
        Tok n = Scan_Lines(c + 1);
        Tok r = Ev_AssignValue(ctx, n, out);
        if (r == n && out->type != JSANY_ERROR) {
            uint32_t code = Ev_Fail(ctx, ROW_EXPR_EXPECTED, n);
            JSAny_SetError(out, code);
            return n + 1;
        }
        if (out->type == JSANY_ERROR) return r;
        q = r;
    }
}

// ---- identifiers -----------------------------------------------------------

namespace {

// The flat index of a local of an activation, for a hint.
uint32_t LocalIndex(Activation *a, const JSAny *value) {
    uint32_t base = 0;
    for (LocalChunk *c = &a->first; c; c = c->next, base += kLocalsPerChunk)
        for (uint32_t k = 0; k < c->used; ++k)
            if (&c->items[k].value == value) return base + k;
    return UINT32_MAX;
}

}  // namespace

JSAny *Ev_HintedLocal(RunContext *ctx, Tok at, const IdEntry *id) {
    uint32_t *hint = HintSlot(ctx, at);
    if (!hint || (*hint & 3) != HINT_LOCAL || ctx->scopeCount != ctx->scopeBase) return nullptr;
    return HintedVariable(ctx, *hint, id, *at);
}

uint32_t Ev_Resolve(RunContext *ctx, uint32_t code, EvalSlot *out, Tok at) {
    return Ev_ResolveId(ctx, code, Lex_IdOfOperand(ctx->store, code), out, at);
}

uint32_t Ev_ResolveId(RunContext *ctx, uint32_t code, IdEntry *id, EvalSlot *out, Tok at) {
    return ResolveId(ctx, code, id, out, at);
}

uint32_t ResolveAndRemember(RunContext *ctx, uint32_t code, IdEntry *id, EvalSlot *out, uint32_t *hint) {
    uint32_t st = Ev_ResolveFull(ctx, code, id, out);
    if (st == 0 && hint && ctx->scopeCount == ctx->scopeBase) {
        // Remember what was found, when it is one of the kinds a hint covers.
        if (out->v.type == JSREF_ARGSLOT && ctx->act && out->base.obj == ctx->act->arguments) {
            *hint = HINT_PARAM | (out->key.len << 2);
        } else if (out->v.type == JSREF_VARIABLE) {
            if (out->v.ptr == Lex_SlotOfOperand(ctx->store, code)) {
                *hint = HINT_GLOBAL;
            } else if (ctx->act) {
                uint32_t i = LocalIndex(ctx->act, static_cast<const JSAny *>(out->v.ptr));
                if (i < (1u << 29)) {
                    *hint = HINT_LOCAL | (i << 2);
                } else if (ctx->act->enclosing) {
                    // A local of the activation around: a closure's variable.
                    i = LocalIndex(ctx->act->enclosing, static_cast<const JSAny *>(out->v.ptr));
                    if (i < (1u << 29) - 1) *hint = HINT_OUTER | ((i + 1) << 2);
                }
            }
        }
    }
    return st;
}

uint32_t Ev_ResolveFull(RunContext *ctx, uint32_t code, IdEntry *id, EvalSlot *out) {
    // 1. Scope entries of with and catch, innermost first.
    for (uint32_t i = ctx->scopeCount; i > ctx->scopeBase; --i) {
        const JSAny *entry = &ctx->scope[i - 1];
        uint32_t status = 0;
        if ((entry->type == JSANY_OBJECT || entry->type == JSANY_PROGOBJ) &&
            Obj_HasMember(ctx, entry, id->name, id->length, &status)) {
            JSAny_InitFrom(&out->base, entry);
            out->v.type = JSREF_NAMED;
            out->key.ptr = id;
            out->key.len = UINT32_MAX;  // not a member written in the program
            return 0;
        }
        if (status) {
            SetFail(out, status);
            return status;
        }
    }
    // 2. Locals and parameters of the running activation and of the
    // activations lexically around it.
    for (Activation *a = ctx->act; a; a = a->enclosing) {
        if (JSAny *local = Act_FindLocal(a, id)) {
            out->v.type = JSREF_VARIABLE;
            out->v.ptr = local;
            return 0;
        }
        const Code *c = a->code;
        for (uint32_t i = c->nparams; i > 0; --i) {
            if (c->params[i - 1] == id) {
                if (!a->arguments) break;
                out->v.type = JSREF_ARGSLOT;
                out->base = JSAny_Undef();
                JSAny_SetObject(&out->base, a->arguments);
                out->key.len = i - 1;
                return 0;
            }
        }
        // The name of a function expression, inside its own body.
        if (c->name == id && a->selfNamed && a->function) {
            JSAny_SetObject(&out->v, a->function);
            return 0;
        }
    }
    // 3. The identifier's program-level slot.
    JSAny *slot = Lex_SlotOfOperand(ctx->store, code);
    if (slot->type != JSANY_UNDECLARED) {
        out->v.type = JSREF_VARIABLE;
        out->v.ptr = slot;
        return 0;
    }
    // 4. Offered once to the host.
    if (ctx->hostHandle) {
        ctx->lookupSpace = nullptr;
        JSAny savedRet = ctx->ret;
        ctx->ret = JSAny_Undef();
        uint32_t answer = Host_GetProperty(ctx->space, ctx->hostHandle, ctx, nullptr, id->name, 0,
                                           JSHOST_HAS);
        JSAny_Clear(&ctx->ret);
        ctx->ret = savedRet;
        if (answer == 0) {
            if (ctx->lookupObject) {
                JSAny_SetObject(&out->base, ctx->lookupObject);
                Obj_Release(ctx->lookupObject);
                ctx->lookupObject = nullptr;
            } else if (ctx->lookupSpace && Space_IsLive(ctx->lookupSpace) && ctx->lookupSpace->store) {
                ProgramSpace *s = ctx->lookupSpace;
                ctx->lookupSpace = nullptr;
                uint32_t err = 0;
                uint32_t other = Lex_Name(s->store, id->name, &err);
                JSAny *var = other ? Lex_ConstOf(s->store, other) : nullptr;
                if (!var) {
                    SetFail(out, ERR_NOMEM);
                    return ERR_NOMEM;
                }
                if (var->type == JSANY_UNDECLARED) *var = JSAny_Undef();
                out->v.type = JSREF_VARIABLE;
                out->v.ptr = var;
                return 0;
            } else if (ctx->scopeObjCount) {
                out->base = JSAny_Undef();
                JSAny_SetProgramObject(&out->base, ctx->scopeObjs[0]);
            } else {
                JSAny_InitFrom(&out->base, &ctx->space->hostValue);
            }
            ctx->lookupSpace = nullptr;
            Ev_DropScopeObjects(ctx);
            if (out->base.type != JSANY_OBJECT && out->base.type != JSANY_PROGOBJ) {
                uint32_t c = out->base.type == JSANY_ERROR ? out->base.code : ERR_NOMEM;
                out->base = JSAny_Undef();
                SetFail(out, c);
                return c;
            }
            out->v.type = JSREF_NAMED;
            out->key.ptr = id;
            out->key.len = UINT32_MAX;  // not a member written in the program
            return 0;
        }
        if (ctx->lookupObject) {
            Obj_Release(ctx->lookupObject);
            ctx->lookupObject = nullptr;
        }
        ctx->lookupSpace = nullptr;
        if (answer != 2) {
            uint32_t c = Host_AnswerCode(answer, 0);
            if (c) {
                SetFail(out, c);
                return c;
            }
        }
    }
    Ev_DropScopeObjects(ctx);
    *slot = JSAny_Undef();
    out->v.type = JSREF_VARIABLE;
    out->v.ptr = slot;
    return 0;
}

}  // namespace quillon
