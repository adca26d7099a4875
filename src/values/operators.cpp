#include "values/refs.h"
#include "values/operators.h"

#include <cmath>
#include <cstring>

#include "host/progobj.h"
#include "lexer/lexer.h"
#include "objects/function.h"
#include "objects/member.h"
#include "objects/object.h"
#include "values/convert.h"

namespace quillon {

namespace {

inline bool IsObjectish(const JSAny *a) { return a->type == JSANY_OBJECT || a->type == JSANY_PROGOBJ; }

// Converts both operands to numbers; false (with the error in l) when one fails.
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
    Val_Copy(&rc, r);
    JSAny_ToNumber(ctx, &rc);
    if (rc.type == JSANY_ERROR) {
        JSAny_SetError(l, rc.code);
        return false;
    }
    *x = l->num;
    *y = rc.num;
    return true;
}

bool BothInt32(RunContext *ctx, JSAny *l, const JSAny *r, int32_t *x, int32_t *y) {
    double a, b;
    if (!BothNumbers(ctx, l, r, &a, &b)) return false;
    *x = Num_ToInt32Bits(a);
    *y = Num_ToInt32Bits(b);
    return true;
}

inline bool SameBytes(const JSAny *a, const JSAny *b) {
    // Bytes up to the terminating zero.
    return std::strcmp(a->str, b->str) == 0;
}

bool NumEqual(double a, double b) { return a == b; }

// Loose equality; may convert (calls methods). Returns the answer, or sets
// *err to an error code.
bool LooseEquals(RunContext *ctx, const JSAny *a, const JSAny *b, uint32_t *err) {
    JSAny x, y;
    Val_Copy(&x, a);
    Val_Copy(&y, b);
    bool result = false;
    for (int round = 0; round < 3; ++round) {
        if (x.type == y.type) {
            switch (x.type) {
            case JSANY_BOOLEAN: result = x.flag == y.flag; break;
            case JSANY_NUMBER: result = NumEqual(x.num, y.num); break;
            case JSANY_OBJECT: result = x.obj == y.obj; break;
            case JSANY_STRING:
            case JSANY_CSTRING: result = SameBytes(&x, &y); break;
            case JSANY_NULL:
            case JSANY_UNDEFINED: result = true; break;
            default: result = false; break;
            }
            break;
        }
        bool xo = IsObjectish(&x), yo = IsObjectish(&y);
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
            bool strs = JSAny_IsString(&x) && JSAny_IsString(&y);
            if (!strs && numish(&x) && numish(&y)) {
                result = NumEqual(num(&x), num(&y));
            } else {
                result = (x.type == JSANY_NULL && y.type == JSANY_UNDEFINED) ||
                         (x.type == JSANY_UNDEFINED && y.type == JSANY_NULL);
            }
            break;
        }
        // One side an object or program object.
        JSAny *obj = xo ? &x : &y;
        JSAny *other = xo ? &y : &x;
        if (xo && yo) {  // two objects of different kinds never compare equal
            result = false;
            break;
        }
        if (other->type == JSANY_NULL || other->type == JSANY_UNDEFINED) {
            result = false;
            break;
        }
        int hint = (other->type == JSANY_NUMBER || other->type == JSANY_BOOLEAN) ? HINT_NUMBER : HINT_STRING;
        JSAny_ToPrimitive(ctx, obj, hint);
        if (obj->type == JSANY_ERROR) {
            *err = obj->code ? obj->code : ERR_WRONGTYPE;
            break;
        }
    }
    Val_Clear(&x);
    Val_Clear(&y);
    return result;
}

int CompareStrings(const JSAny *a, const JSAny *b) { return std::strcmp(a->str, b->str); }

// Relational comparison: -2 when a NaN makes every answer false, else
// -1/0/1; an error leaves *err set.
int Relate(RunContext *ctx, const JSAny *l, const JSAny *r, uint32_t *err) {
    if (l->type == JSANY_NUMBER && r->type == JSANY_NUMBER) {
        if (std::isnan(l->num) || std::isnan(r->num)) return -2;
        return l->num < r->num ? -1 : (l->num > r->num ? 1 : 0);
    }
    JSAny x, y;
    Val_Copy(&x, l);
    Val_Copy(&y, r);
    // Left first: a left side that fails or throws leaves the right one
    // unconverted.
    JSAny_ToPrimitive(ctx, &x, HINT_NUMBER);
    if (x.type != JSANY_ERROR) JSAny_ToPrimitive(ctx, &y, HINT_NUMBER);
    int result;
    if (x.type == JSANY_ERROR || y.type == JSANY_ERROR) {
        *err = x.type == JSANY_ERROR ? x.code : y.code;
        if (*err == 0) *err = ERR_WRONGTYPE;
        result = -2;
    } else if (JSAny_IsString(&x) && JSAny_IsString(&y)) {
        int c = CompareStrings(&x, &y);
        result = c < 0 ? -1 : (c > 0 ? 1 : 0);
    } else {
        JSAny_ToNumber(ctx, &x);
        if (x.type != JSANY_ERROR) JSAny_ToNumber(ctx, &y);
        if (x.type == JSANY_ERROR || y.type == JSANY_ERROR) {
            *err = x.type == JSANY_ERROR ? x.code : y.code;
            result = -2;
        } else if (std::isnan(x.num) || std::isnan(y.num)) {
            result = -2;
        } else {
            result = x.num < y.num ? -1 : (x.num > y.num ? 1 : 0);
        }
    }
    Val_Clear(&x);
    Val_Clear(&y);
    return result;
}

void SetRelation(RunContext *ctx, JSAny *l, const JSAny *r, bool (*pick)(int)) {
    if (l->type == JSANY_ERROR) return;
    if (r->type == JSANY_ERROR) {
        JSAny_SetError(l, r->code);
        return;
    }
    uint32_t err = 0;
    int c = Relate(ctx, l, r, &err);
    if (err) JSAny_SetError(l, err);
    else JSAny_SetBoolean(l, c != -2 && pick(c));
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
        l->num += r->num;
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
    Val_Copy(&rc, r);
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
            Val_Clear(&rc);
            return;
        }
        uint32_t st = Op_AppendString(l, &rc);
        if (st) JSAny_SetError(l, st);
        Val_Clear(&rc);
        return;
    }
    double x, y;
    if (BothNumbers(ctx, l, &rc, &x, &y)) JSAny_SetNumber(l, x + y);
    Val_Clear(&rc);
}

void Op_Sub(RunContext *ctx, JSAny *l, const JSAny *r) {
    double x, y;
    if (BothNumbers(ctx, l, r, &x, &y)) JSAny_SetNumber(l, x - y);
}

void Op_Mul(RunContext *ctx, JSAny *l, const JSAny *r) {
    double x, y;
    if (BothNumbers(ctx, l, r, &x, &y)) JSAny_SetNumber(l, x * y);
}

void Op_Div(RunContext *ctx, JSAny *l, const JSAny *r) {
    double x, y;
    if (BothNumbers(ctx, l, r, &x, &y)) JSAny_SetNumber(l, x / y);
}

void Op_Mod(RunContext *ctx, JSAny *l, const JSAny *r) {
    double x, y;
    if (BothNumbers(ctx, l, r, &x, &y)) JSAny_SetNumber(l, std::fmod(x, y));
}

void Op_Neg(RunContext *ctx, JSAny *a) {
    JSAny_ToNumber(ctx, a);
    if (a->type == JSANY_NUMBER) a->num = -a->num;
}

void Op_Increment(RunContext *ctx, JSAny *a) {
    JSAny_ToNumber(ctx, a);
    if (a->type == JSANY_NUMBER) a->num += 1;
}

void Op_Decrement(RunContext *ctx, JSAny *a) {
    JSAny_ToNumber(ctx, a);
    if (a->type == JSANY_NUMBER) a->num -= 1;
}

// ---- bits ------------------------------------------------------------------

void Op_BitAnd(RunContext *ctx, JSAny *l, const JSAny *r) {
    int32_t x, y;
    if (BothInt32(ctx, l, r, &x, &y)) JSAny_SetNumber(l, x & y);
}

void Op_BitOr(RunContext *ctx, JSAny *l, const JSAny *r) {
    int32_t x, y;
    if (BothInt32(ctx, l, r, &x, &y)) JSAny_SetNumber(l, x | y);
}

void Op_BitXor(RunContext *ctx, JSAny *l, const JSAny *r) {
    int32_t x, y;
    if (BothInt32(ctx, l, r, &x, &y)) JSAny_SetNumber(l, x ^ y);
}

void Op_ShiftLeft(RunContext *ctx, JSAny *l, const JSAny *r) {
    int32_t x, y;
    if (BothInt32(ctx, l, r, &x, &y))
        JSAny_SetNumber(l, static_cast<int32_t>(static_cast<uint32_t>(x) << (y & 31)));
}

void Op_ShiftRight(RunContext *ctx, JSAny *l, const JSAny *r) {
    int32_t x, y;
    if (BothInt32(ctx, l, r, &x, &y)) JSAny_SetNumber(l, x >> (y & 31));
}

void Op_ShiftRightUnsigned(RunContext *ctx, JSAny *l, const JSAny *r) {
    double a, b;
    if (BothNumbers(ctx, l, r, &a, &b))
        JSAny_SetNumber(l, Num_ToUint32Bits(a) >> (Num_ToInt32Bits(b) & 31));
}

void Op_BitNot(RunContext *ctx, JSAny *a) {
    JSAny_ToNumber(ctx, a);
    if (a->type == JSANY_NUMBER) a->num = ~Num_ToInt32Bits(a->num);
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
    case JSANY_NUMBER: return l->num == r->num;
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

void Op_Less(RunContext *ctx, JSAny *l, const JSAny *r) {
    SetRelation(ctx, l, r, [](int c) { return c < 0; });
}
void Op_Greater(RunContext *ctx, JSAny *l, const JSAny *r) {
    SetRelation(ctx, l, r, [](int c) { return c > 0; });
}
void Op_LessEqual(RunContext *ctx, JSAny *l, const JSAny *r) {
    SetRelation(ctx, l, r, [](int c) { return c <= 0; });
}
void Op_GreaterEqual(RunContext *ctx, JSAny *l, const JSAny *r) {
    SetRelation(ctx, l, r, [](int c) { return c >= 0; });
}

void Op_In(RunContext *ctx, JSAny *l, const JSAny *r) {
    if (l->type == JSANY_ERROR) return;
    if (r->type == JSANY_ERROR) {
        JSAny_SetError(l, r->code);
        return;
    }
    JSAny_ToString(ctx, l);
    if (l->type == JSANY_ERROR) return;
    uint32_t status = 0;
    bool has = Obj_HasMember(ctx, r, l->str, l->len, &status);
    if (status) JSAny_SetError(l, status);
    else JSAny_SetBoolean(l, has);
}

void Op_InstanceOf(RunContext *, JSAny *l, const JSAny *r) {
    if (l->type == JSANY_ERROR) return;
    if (r->type == JSANY_ERROR) {
        JSAny_SetError(l, r->code);
        return;
    }
    if (r->type != JSANY_OBJECT || !(r->obj->classFlags & CF_CALLABLE)) {
        JSAny_SetError(l, ERR_WRONGTYPE);
        return;
    }
    if (l->type != JSANY_OBJECT) {
        JSAny_SetBoolean(l, false);
        return;
    }
    auto *f = static_cast<Function *>(r->obj);
    bool yes = l->obj->prototype && l->obj->prototype == f->prototypeObject;
    JSAny_SetBoolean(l, yes);
}

void Op_Or(RunContext *, JSAny *l, const JSAny *r) {
    if (l->type == JSANY_ERROR) return;
    if (!JSAny_Truth(l)) JSAny_Assign(l, r);
}

void Op_And(RunContext *, JSAny *l, const JSAny *r) {
    if (l->type == JSANY_ERROR) return;
    if (JSAny_Truth(l)) JSAny_Assign(l, r);
}

BinaryOp Op_ForToken(uint32_t code) {
    switch (code) {
    case TK_BITOR: case TK_OR_ASSIGN: return Op_BitOr;
    case TK_BITXOR: case TK_XOR_ASSIGN: return Op_BitXor;
    case TK_BITAND: case TK_AND_ASSIGN: return Op_BitAnd;
    case TK_EQ: return Op_LooseEqual;
    case TK_NE: return Op_LooseNotEqual;
    case TK_SEQ: return Op_StrictEqual;
    case TK_SNE: return Op_StrictNotEqual;
    case TK_LT: return Op_Less;
    case TK_GT: return Op_Greater;
    case TK_LE: return Op_LessEqual;
    case TK_GE: return Op_GreaterEqual;
    case TK_IN: return Op_In;
    case TK_INSTANCEOF: return Op_InstanceOf;
    case TK_SHL: case TK_SHL_ASSIGN: return Op_ShiftLeft;
    case TK_SHR: case TK_SHR_ASSIGN: return Op_ShiftRightUnsigned;
    case TK_SAR: case TK_SAR_ASSIGN: return Op_ShiftRight;
    case TK_ADD: case TK_ADD_ASSIGN: return Op_Add;
    case TK_SUB: case TK_SUB_ASSIGN: return Op_Sub;
    case TK_MUL: case TK_MUL_ASSIGN: return Op_Mul;
    case TK_DIV: case TK_DIV_ASSIGN: return Op_Div;
    case TK_MOD: case TK_MOD_ASSIGN: return Op_Mod;
    default: return nullptr;
    }
}

}  // namespace quillon
