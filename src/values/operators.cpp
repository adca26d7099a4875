// Operators on values: each converts its operands as the language says
// (left first; a left side that fails or throws leaves the right one
// unconverted) and then applies the number rule of values/numops.h,
// compares texts, or tests identity. An error operand or a failed
// conversion leaves an error value in the left record; nothing here
// reports.
#include "values/operators.h"

#include <cmath>
#include <cstring>

#include "values/convert.h"
#include "values/numops.h"
#include "values/progobj.h"

namespace quillon {

namespace {

inline bool IsObjectish(const JSAny *a) { return a->type == JSANY_OBJECT || a->type == JSANY_PROGOBJ; }

// Converts both operands to numbers; false (with the error in l) when one
// fails. On success l holds the left number.
bool BothNumbers(RunContext *ctx, JSAny *l, const JSAny *r, double *x, double *y) {
    if (l->type == JSANY_NUMBER && r->type == JSANY_NUMBER) {
        *x = l->num;
        *y = r->num;
        return true;
    }
    if (l->type == JSANY_ERROR) return false;
    if (r->type == JSANY_ERROR) {
        JSAny_SetError(l, r->code);
        return false;
    }
    JSAny_ToNumber(ctx, l);
    if (l->type == JSANY_ERROR) return false;
    JSAny rc;
    JSAny_InitFrom(&rc, r);
    JSAny_ToNumber(ctx, &rc);
    if (rc.type == JSANY_ERROR) {
        JSAny_SetError(l, rc.code);
        return false;
    }
    *x = l->num;
    *y = rc.num;
    return true;
}

// The operators whose operands are both converted to numbers: the number
// rule applied to them.
void NumberOperator(RunContext *ctx, JSAny *l, const JSAny *r, NumOp op) {
    double x, y;
    if (BothNumbers(ctx, l, r, &x, &y)) Num_Binary(op, l, y);
}

inline bool SameBytes(const JSAny *a, const JSAny *b) {
    // Bytes up to the terminating zero.
    return std::strcmp(a->str, b->str) == 0;
}

}  // namespace

bool Op_LooseEqualsPlain(const JSAny *x, const JSAny *y, bool *result) {
    if (x->type == y->type) {
        switch (x->type) {
        case JSANY_BOOLEAN: *result = x->flag == y->flag; break;
        case JSANY_NUMBER: *result = Num_Equal(x->num, y->num); break;
        case JSANY_OBJECT: *result = x->obj == y->obj; break;
        case JSANY_STRING:
        case JSANY_CSTRING: *result = SameBytes(x, y); break;
        case JSANY_NULL:
        case JSANY_UNDEFINED: *result = true; break;
        default: *result = false; break;
        }
        return true;
    }
    bool xo = IsObjectish(x), yo = IsObjectish(y);
    if (!xo && !yo) {
        auto num = [](const JSAny *v) -> double {
            if (v->type == JSANY_NUMBER) return v->num;
            if (v->type == JSANY_BOOLEAN) return v->flag ? 1 : 0;
            return JSAny_StringValue(v->str, v->len);
        };
        auto numish = [](const JSAny *v) {
            return v->type == JSANY_NUMBER || v->type == JSANY_BOOLEAN || v->type == JSANY_STRING ||
                   v->type == JSANY_CSTRING;
        };
        bool strs = JSAny_IsString(x) && JSAny_IsString(y);
        if (!strs && numish(x) && numish(y)) {
            *result = Num_Equal(num(x), num(y));
        } else {
            *result = (x->type == JSANY_NULL && y->type == JSANY_UNDEFINED) ||
                      (x->type == JSANY_UNDEFINED && y->type == JSANY_NULL);
        }
        return true;
    }
    // One side an object or program object: two objects of different kinds
    // never compare equal, nor does an object equal null or undefined.
    const JSAny *other = xo ? y : x;
    if ((xo && yo) || other->type == JSANY_NULL || other->type == JSANY_UNDEFINED) {
        *result = false;
        return true;
    }
    return false;  // the object is converted to a primitive first
}

namespace {

// Loose equality; may convert (calls methods). Returns the answer, or sets
// *err to an error code.
bool LooseEquals(RunContext *ctx, const JSAny *a, const JSAny *b, uint32_t *err) {
    JSAny x, y;
    JSAny_InitFrom(&x, a);
    JSAny_InitFrom(&y, b);
    bool result = false;
    for (int round = 0; round < 3; ++round) {
        if (Op_LooseEqualsPlain(&x, &y, &result)) break;
        JSAny *obj = IsObjectish(&x) ? &x : &y;
        JSAny *other = obj == &x ? &y : &x;
        int hint = (other->type == JSANY_NUMBER || other->type == JSANY_BOOLEAN) ? HINT_NUMBER : HINT_STRING;
        JSAny_ToPrimitive(ctx, obj, hint);
        if (obj->type == JSANY_ERROR) {
            *err = obj->code ? obj->code : ERR_WRONGTYPE;
            break;
        }
    }
    JSAny_Clear(&x);
    JSAny_Clear(&y);
    return result;
}

// Relational comparison by the operator `op` (Lt, Gt, Le or Ge): two
// numbers by the number rule; otherwise both operands to primitives (left
// first), two strings by their bytes, anything else as numbers. The answer
// replaces l.
void SetRelation(RunContext *ctx, JSAny *l, const JSAny *r, NumOp op) {
    if (l->type == JSANY_ERROR) return;
    if (r->type == JSANY_ERROR) {
        JSAny_SetError(l, r->code);
        return;
    }
    if (l->type == JSANY_NUMBER && r->type == JSANY_NUMBER) {
        Num_Binary(op, l, r->num);
        return;
    }
    JSAny x, y;
    JSAny_InitFrom(&x, l);
    JSAny_InitFrom(&y, r);
    // Left first: a left side that fails or throws leaves the right one
    // unconverted.
    JSAny_ToPrimitive(ctx, &x, HINT_NUMBER);
    if (x.type != JSANY_ERROR) JSAny_ToPrimitive(ctx, &y, HINT_NUMBER);
    uint32_t err = 0;
    JSAny answer = JSAny_Bool(false);
    if (x.type == JSANY_ERROR || y.type == JSANY_ERROR) {
        err = x.type == JSANY_ERROR ? x.code : y.code;
        if (err == 0) err = ERR_WRONGTYPE;
    } else if (JSAny_IsString(&x) && JSAny_IsString(&y)) {
        // The byte order of the texts, compared by the same rule as -1, 0
        // or 1 against 0.
        int c = std::strcmp(x.str, y.str);
        answer = JSAny_Num(c < 0 ? -1 : (c > 0 ? 1 : 0));
        Num_Binary(op, &answer, 0);
    } else {
        JSAny_ToNumber(ctx, &x);
        if (x.type != JSANY_ERROR) JSAny_ToNumber(ctx, &y);
        if (x.type == JSANY_ERROR || y.type == JSANY_ERROR) {
            err = x.type == JSANY_ERROR ? x.code : y.code;
        } else {
            answer = JSAny_Num(x.num);
            Num_Binary(op, &answer, y.num);
        }
    }
    JSAny_Clear(&x);
    JSAny_Clear(&y);
    if (err) JSAny_SetError(l, err);
    else JSAny_SetBoolean(l, answer.flag != 0);
}

}  // namespace

// ---- arithmetic ------------------------------------------------------------

uint32_t Op_AppendString(JSAny *l, const JSAny *r) {
    uint64_t total = static_cast<uint64_t>(l->len) + r->len;
    if (total >= 0x7FFFFFF0u) return ERR_NOMEM;
    if (l->type == JSANY_STRING && Text_RefCount(l->str) == 1 && total + 1 <= Text_Capacity(l->str)) {
        // Held once and with room: the text grows where it is.
        std::memcpy(l->str + l->len, r->str, r->len);
        l->str[total] = 0;
        l->len = static_cast<uint32_t>(total);
        return 0;
    }
    char *t = Text_Join(l->str, l->len, r->str, r->len);
    if (!t) return ERR_NOMEM;
    JSAny_SetStringAdoptLength(l, t, static_cast<uint32_t>(total));
    return 0;
}

void Op_Add(RunContext *ctx, JSAny *l, const JSAny *r) {
    if (l->type == JSANY_NUMBER && r->type == JSANY_NUMBER) {
        Num_Binary(NumOp::Add, l, r->num);
        return;
    }
    if (l->type == JSANY_ERROR) return;
    if (r->type == JSANY_ERROR) {
        JSAny_SetError(l, r->code);
        return;
    }
    // The operands are converted left first; a left side that fails or
    // throws leaves the right one unconverted.
    if (IsObjectish(l)) {
        JSAny_ToPrimitive(ctx, l, HINT_DEFAULT);
        if (l->type == JSANY_ERROR) return;
    }
    JSAny rc;
    JSAny_InitFrom(&rc, r);
    if (IsObjectish(&rc)) JSAny_ToPrimitive(ctx, &rc, HINT_DEFAULT);
    if (rc.type == JSANY_ERROR) {
        JSAny_SetError(l, rc.code);
        return;
    }
    if (JSAny_IsString(l) || JSAny_IsString(&rc)) {
        JSAny_ToString(ctx, l);
        if (l->type != JSANY_ERROR) JSAny_ToString(ctx, &rc);
        if (l->type == JSANY_ERROR || rc.type == JSANY_ERROR) {
            if (l->type != JSANY_ERROR) JSAny_SetError(l, rc.code);
            JSAny_Clear(&rc);
            return;
        }
        uint32_t st = Op_AppendString(l, &rc);
        if (st) JSAny_SetError(l, st);
        JSAny_Clear(&rc);
        return;
    }
    NumberOperator(ctx, l, &rc, NumOp::Add);
    JSAny_Clear(&rc);
}

void Op_Sub(RunContext *ctx, JSAny *l, const JSAny *r) { NumberOperator(ctx, l, r, NumOp::Sub); }
void Op_Mul(RunContext *ctx, JSAny *l, const JSAny *r) { NumberOperator(ctx, l, r, NumOp::Mul); }
void Op_Div(RunContext *ctx, JSAny *l, const JSAny *r) { NumberOperator(ctx, l, r, NumOp::Div); }
void Op_Mod(RunContext *ctx, JSAny *l, const JSAny *r) { NumberOperator(ctx, l, r, NumOp::Mod); }

void Op_Neg(RunContext *ctx, JSAny *a) {
    JSAny_ToNumber(ctx, a);
    if (a->type == JSANY_NUMBER) a->num = Num_Negate(a->num);
}

// ---- bits ------------------------------------------------------------------

void Op_BitAnd(RunContext *ctx, JSAny *l, const JSAny *r) { NumberOperator(ctx, l, r, NumOp::BitAnd); }
void Op_BitOr(RunContext *ctx, JSAny *l, const JSAny *r) { NumberOperator(ctx, l, r, NumOp::BitOr); }
void Op_BitXor(RunContext *ctx, JSAny *l, const JSAny *r) { NumberOperator(ctx, l, r, NumOp::BitXor); }
void Op_ShiftLeft(RunContext *ctx, JSAny *l, const JSAny *r) { NumberOperator(ctx, l, r, NumOp::Shl); }
void Op_ShiftRight(RunContext *ctx, JSAny *l, const JSAny *r) { NumberOperator(ctx, l, r, NumOp::Sar); }
void Op_ShiftRightUnsigned(RunContext *ctx, JSAny *l, const JSAny *r) {
    NumberOperator(ctx, l, r, NumOp::Shr);
}

void Op_BitNot(RunContext *ctx, JSAny *a) {
    JSAny_ToNumber(ctx, a);
    if (a->type == JSANY_NUMBER) a->num = Num_BitNot(a->num);
}

void Op_Not(RunContext *, JSAny *a) {
    if (a->type == JSANY_ERROR) return;
    JSAny_SetBoolean(a, !JSAny_Truth(a));
}

void Op_Void(RunContext *, JSAny *a) { JSAny_SetUndefined(a); }

void Op_TypeOf(RunContext *ctx, JSAny *a) { JSAny_TypeOf(ctx, a); }

// ---- equality --------------------------------------------------------------

void Op_LooseEqual(RunContext *ctx, JSAny *l, const JSAny *r) {
    if (l->type == JSANY_ERROR) return;
    if (r->type == JSANY_ERROR) {
        JSAny_SetError(l, r->code);
        return;
    }
    uint32_t err = 0;
    bool eq = LooseEquals(ctx, l, r, &err);
    if (err) JSAny_SetError(l, err);
    else JSAny_SetBoolean(l, eq);
}

void Op_LooseNotEqual(RunContext *ctx, JSAny *l, const JSAny *r) {
    Op_LooseEqual(ctx, l, r);
    if (l->type == JSANY_BOOLEAN) l->flag = !l->flag;
}

bool Op_StrictEquals(const JSAny *l, const JSAny *r) {
    if (l->type != r->type) return false;
    switch (l->type) {
    case JSANY_BOOLEAN: return l->flag == r->flag;
    case JSANY_NUMBER: return Num_Equal(l->num, r->num);
    case JSANY_OBJECT: return l->obj == r->obj;
    case JSANY_STRING:
    case JSANY_CSTRING: return SameBytes(l, r);
    case JSANY_PROGOBJ:
        return l->prog->size == r->prog->size &&
               std::memcmp(ProgObj_Data(l->prog), ProgObj_Data(r->prog), l->prog->size) == 0;
    case JSANY_NULL:
    case JSANY_UNDEFINED: return true;
    default: return false;
    }
}

void Op_StrictEqual(RunContext *, JSAny *l, const JSAny *r) {
    if (l->type == JSANY_ERROR) return;
    if (r->type == JSANY_ERROR) {
        JSAny_SetError(l, r->code);
        return;
    }
    JSAny_SetBoolean(l, Op_StrictEquals(l, r));
}

void Op_StrictNotEqual(RunContext *ctx, JSAny *l, const JSAny *r) {
    Op_StrictEqual(ctx, l, r);
    if (l->type == JSANY_BOOLEAN) l->flag = !l->flag;
}

// ---- relations -------------------------------------------------------------

void Op_Less(RunContext *ctx, JSAny *l, const JSAny *r) { SetRelation(ctx, l, r, NumOp::Lt); }
void Op_Greater(RunContext *ctx, JSAny *l, const JSAny *r) { SetRelation(ctx, l, r, NumOp::Gt); }
void Op_LessEqual(RunContext *ctx, JSAny *l, const JSAny *r) { SetRelation(ctx, l, r, NumOp::Le); }
void Op_GreaterEqual(RunContext *ctx, JSAny *l, const JSAny *r) { SetRelation(ctx, l, r, NumOp::Ge); }

}  // namespace quillon
