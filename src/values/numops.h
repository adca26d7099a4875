// The binary operators on two numbers: the one place where what `+`, `%`,
// `<`, `&`, `>>>` and the rest give for numbers is written down. The
// operators of operators.cpp convert their operands and then apply these;
// the interpreter's in-place number paths apply them directly. Nothing here
// fails, allocates or converts.
#pragma once
#include <cmath>
#include <cstdint>

#include "values/convert.h"
#include "values/jsany.h"

namespace quillon {

// The operators that have a number rule (None: the operator needs the
// general path even for two numbers: `in`, `instanceof`, `&&`, `||`, `?`).
enum class NumOp : uint8_t {
    None, Add, Sub, Mul, Div, Mod, Lt, Gt, Le, Ge, Eq, Ne, BitAnd, BitOr, BitXor, Shl, Sar, Shr,
};

// The remainder of a by b: whole numbers in the 32-bit range divide
// exactly; the remainder keeps the dividend's sign (a zero one included),
// as fmod does.
inline double Num_Mod(double a, double b) {
    bool small = a > -2147483649.0 && a < 2147483648.0 && b > 0 && b < 2147483648.0;
    int32_t x = small ? static_cast<int32_t>(a) : 0, y = small ? static_cast<int32_t>(b) : 0;
    if (small && x == a && y == b && y > 0) {
        int32_t r = x % y;
        return (r == 0 && (x < 0 || (x == 0 && std::signbit(a)))) ? -0.0 : r;
    }
    return std::fmod(a, b);
}

// The unary operators on a number: `-` and `~`.
inline double Num_Negate(double a) { return -a; }
inline double Num_BitNot(double a) { return ~Num_ToInt32Bits(a); }

// Equality of two numbers: NaN equals nothing, +0 equals -0.
inline bool Num_Equal(double a, double b) { return a == b; }

// `++` or `--` (op Add or Sub) of the number *v holds, in place: its old
// and new values in *old and *now. False, with nothing done, when *v holds
// no number.
__attribute__((always_inline)) inline bool Num_Step(JSAny *v, NumOp op, double *old, double *now);

// Applies the operator to the number in *l and to b, in place: *l becomes
// the number (or, for a comparison, the boolean) the operator gives. False,
// with *l untouched, for NumOp::None.
__attribute__((always_inline)) inline bool Num_Binary(NumOp op, JSAny *l, double b) {
    double a = l->num;
    switch (op) {
    case NumOp::Add: l->num = a + b; return true;
    case NumOp::Sub: l->num = a - b; return true;
    case NumOp::Mul: l->num = a * b; return true;
    case NumOp::Div: l->num = a / b; return true;
    case NumOp::Mod: l->num = Num_Mod(a, b); return true;
    case NumOp::Lt: *l = JSAny_Bool(a < b); return true;
    case NumOp::Gt: *l = JSAny_Bool(a > b); return true;
    case NumOp::Le: *l = JSAny_Bool(a <= b); return true;
    case NumOp::Ge: *l = JSAny_Bool(a >= b); return true;
    case NumOp::Eq: *l = JSAny_Bool(Num_Equal(a, b)); return true;
    case NumOp::Ne: *l = JSAny_Bool(!Num_Equal(a, b)); return true;
    case NumOp::BitAnd: l->num = Num_ToInt32Bits(a) & Num_ToInt32Bits(b); return true;
    case NumOp::BitOr: l->num = Num_ToInt32Bits(a) | Num_ToInt32Bits(b); return true;
    case NumOp::BitXor: l->num = Num_ToInt32Bits(a) ^ Num_ToInt32Bits(b); return true;
    case NumOp::Shl:
        l->num = static_cast<int32_t>(Num_ToUint32Bits(a) << (Num_ToInt32Bits(b) & 31));
        return true;
    case NumOp::Sar: l->num = Num_ToInt32Bits(a) >> (Num_ToInt32Bits(b) & 31); return true;
    case NumOp::Shr: l->num = Num_ToUint32Bits(a) >> (Num_ToInt32Bits(b) & 31); return true;
    case NumOp::None: return false;
    }
    return false;
}

__attribute__((always_inline)) inline bool Num_Step(JSAny *v, NumOp op, double *old, double *now) {
    if (v->type != JSANY_NUMBER) return false;
    *old = v->num;
    Num_Binary(op, v, 1);
    *now = v->num;
    return true;
}

}  // namespace quillon
