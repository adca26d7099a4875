// The Number constructor and the methods of Number.prototype.
#include <cmath>

#include "builtins/native_args.h"
#include "objects/natives.h"
#include "numconv/numconv.h"

namespace quillon {

// Number(x): x converted to a number, 0 without an argument (new wraps the
// primitive).
void Bi_Number(RunContext *ctx, Function *) {
    double d = 0;
    if (ctx->argc > 0 && !Arg_Number(ctx, 0, &d)) return;
    JSAny_SetNumber(&ctx->ret, d);
}

namespace {

// The number `this` stands for: a primitive number, or the "__value" of a
// Number object; false (and error 212 as the result) for anything else.
bool ThisNumber(RunContext *ctx, double *out) {
    const JSAny *v = Nat_ThisPrimitive(ctx, JSANY_NUMBER, CF_NUMBER);
    if (v) *out = v->num;
    return v != nullptr;
}

// NaN and the infinities have fixed texts whatever the method and its
// argument; true when d was one of them (the text is then the result).
bool SpecialText(RunContext *ctx, double d) {
    if (std::isnan(d)) JSAny_SetStringCopy(&ctx->ret, "NaN");
    else if (std::isinf(d)) JSAny_SetStringCopy(&ctx->ret, d > 0 ? "Infinity" : "-Infinity");
    else return false;
    return true;
}

// The truncated integer of the first argument, or false when converting it
// failed (its error is then the result).
bool CountArgument(RunContext *ctx, int32_t *out) {
    double d;
    if (!Arg_Number(ctx, 0, &d)) return false;
    *out = Num_TruncArg(d);
    return true;
}

void FormatInto(RunContext *ctx, double d, int kind, int count) {
    char buf[kNumBufSize];
    size_t n = Num_Format(d, kind, count, buf, sizeof buf);
    if (n == 0) JSAny_SetError(&ctx->ret, ERR_NOMEM);
    else JSAny_SetStringBytes(&ctx->ret, buf, n);
}

// The formatting methods share their steps: the number, its fixed texts,
// then the digit count checked against [lo, hi]. Without an argument the
// method formats with (kind0, count0); with one, with kind and count + add.
void FormatMethod(RunContext *ctx, int kind0, int count0, int kind, int lo, int hi, int add) {
    double d;
    if (!ThisNumber(ctx, &d) || SpecialText(ctx, d)) return;
    if (ctx->argc == 0) {
        FormatInto(ctx, d, kind0, count0);
        return;
    }
    int32_t count;
    if (!CountArgument(ctx, &count)) return;
    if (count < lo || count > hi) {
        JSAny_SetError(&ctx->ret, ERR_BADARGS);
        return;
    }
    FormatInto(ctx, d, kind, count + add);
}

}  // namespace

void Bi_NumberValueOf(RunContext *ctx, Function *) {
    double d;
    if (ThisNumber(ctx, &d)) JSAny_SetNumber(&ctx->ret, d);
}

void Bi_NumberToFixed(RunContext *ctx, Function *) {
    FormatMethod(ctx, NUM_FIXED, 0, NUM_FIXED, -20, 100, 0);
}

void Bi_NumberToExponential(RunContext *ctx, Function *) {
    FormatMethod(ctx, NUM_EXP_SHORTEST, 1, NUM_EXPONENTIAL, 0, 100, 1);
}

void Bi_NumberToPrecision(RunContext *ctx, Function *) {
    FormatMethod(ctx, NUM_SHORTEST, 0, NUM_PRECISION, 1, 100, 0);
}

void Bi_NumberToLocaleString(RunContext *ctx, Function *) {
    double d;
    if (!ThisNumber(ctx, &d) || SpecialText(ctx, d)) return;
    FormatInto(ctx, d, NUM_SHORTEST, 0);
}

// toString(radix): without a radix, or with 10, the plain text of the
// number; else a radix of 2 to 36.
void Bi_NumberToString(RunContext *ctx, Function *) {
    double d;
    if (!ThisNumber(ctx, &d) || SpecialText(ctx, d)) return;
    int32_t radix = 10;
    if (ctx->argc > 0 && !CountArgument(ctx, &radix)) return;
    char buf[kNumBufSize];
    size_t n;
    if (radix == 10) {
        n = Num_ToText(d, buf, sizeof buf);
    } else if (radix >= 2 && radix <= 36) {
        n = Num_ToRadix(d, radix, buf, sizeof buf);
    } else {
        JSAny_SetError(&ctx->ret, ERR_BADARGS);
        return;
    }
    if (n == 0) JSAny_SetError(&ctx->ret, ERR_NOMEM);
    else JSAny_SetStringBytes(&ctx->ret, buf, n);
}

}  // namespace quillon
