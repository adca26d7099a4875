// Operators on values. A binary operation works on a copy of its right
// operand and writes the result into its left record; a unary one works in
// place. The operations never raise anything; they may leave an error value.
// What an operator gives for two numbers is values/numops.h's rule.
#pragma once
#include "values/jsany.h"

namespace quillon {

struct RunContext;

void Op_Add(RunContext *ctx, JSAny *l, const JSAny *r);
// Appends the string r to the string l: in place when l holds the only
// share of its text and it has room, else into a new text. On failure
// (out of memory, 103, returned) l is left as it was.
uint32_t Op_AppendString(JSAny *l, const JSAny *r);
void Op_Sub(RunContext *ctx, JSAny *l, const JSAny *r);
void Op_Mul(RunContext *ctx, JSAny *l, const JSAny *r);
void Op_Div(RunContext *ctx, JSAny *l, const JSAny *r);
void Op_Mod(RunContext *ctx, JSAny *l, const JSAny *r);
void Op_BitAnd(RunContext *ctx, JSAny *l, const JSAny *r);
void Op_BitOr(RunContext *ctx, JSAny *l, const JSAny *r);
void Op_BitXor(RunContext *ctx, JSAny *l, const JSAny *r);
void Op_ShiftLeft(RunContext *ctx, JSAny *l, const JSAny *r);
void Op_ShiftRight(RunContext *ctx, JSAny *l, const JSAny *r);
void Op_ShiftRightUnsigned(RunContext *ctx, JSAny *l, const JSAny *r);
void Op_LooseEqual(RunContext *ctx, JSAny *l, const JSAny *r);
void Op_LooseNotEqual(RunContext *ctx, JSAny *l, const JSAny *r);
void Op_StrictEqual(RunContext *ctx, JSAny *l, const JSAny *r);
void Op_StrictNotEqual(RunContext *ctx, JSAny *l, const JSAny *r);
void Op_Less(RunContext *ctx, JSAny *l, const JSAny *r);
void Op_Greater(RunContext *ctx, JSAny *l, const JSAny *r);
void Op_LessEqual(RunContext *ctx, JSAny *l, const JSAny *r);
void Op_GreaterEqual(RunContext *ctx, JSAny *l, const JSAny *r);

void Op_Neg(RunContext *ctx, JSAny *a);
void Op_BitNot(RunContext *ctx, JSAny *a);
void Op_Not(RunContext *ctx, JSAny *a);
void Op_Void(RunContext *ctx, JSAny *a);
void Op_TypeOf(RunContext *ctx, JSAny *a);

// Strict equality as a plain test (used by switch and indexOf).
bool Op_StrictEquals(const JSAny *l, const JSAny *r);
// Loose equality where it needs no conversion of an object to a primitive
// (which may call methods): true with the answer in *result, false when the
// general operator must run.
bool Op_LooseEqualsPlain(const JSAny *l, const JSAny *r, bool *result);

// The shape of every binary operation (the interpreter maps the tokens of
// operators to them; `in` and `instanceof` are the object model's, in
// objects/member.h).
using BinaryOp = void (*)(RunContext *, JSAny *, const JSAny *);

}  // namespace quillon
