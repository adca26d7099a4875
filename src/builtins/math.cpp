// The Math functions: three shared entries (routines of no, one and two
// arguments; the routine is the function's extra word) and the numeric
// routines behind them. The elementary functions come from the C library,
// with the special values of pow as fdlibm gives them.
#include <cmath>

#include "builtins/mathrandom.h"
#include "objects/natives.h"
#include "builtins/native_args.h"
#include "values/convert.h"

namespace quillon {

namespace {

// Argument i converted to a number; false with the error as the result.
bool NumberArg(RunContext *ctx, uint32_t i, double *out) {
    ValueGuard v(&ctx->args[i]);
    if (v.v.type != JSANY_NUMBER) JSAny_ToNumber(ctx, &v.v);
    if (Ret_FailOn(ctx, &v.v)) return false;
    *out = v.v.num;
    return true;
}

}  // namespace

void Bi_Math0(RunContext *ctx, Function *fn) {
    auto routine = reinterpret_cast<MathFn0>(fn->extra);
    JSAny_SetNumber(&ctx->ret, routine());
}

void Bi_Math1(RunContext *ctx, Function *fn) {
    if (ctx->argc < 1) {
        JSAny_SetUndefined(&ctx->ret);
        return;
    }
    double x;
    if (!NumberArg(ctx, 0, &x)) return;
    auto routine = reinterpret_cast<MathFn1>(fn->extra);
    JSAny_SetNumber(&ctx->ret, routine(x));
}

void Bi_Math2(RunContext *ctx, Function *fn) {
    if (ctx->argc < 2) {
        JSAny_SetUndefined(&ctx->ret);
        return;
    }
    double a, b;
    if (!NumberArg(ctx, 0, &a) || !NumberArg(ctx, 1, &b)) return;
    auto routine = reinterpret_cast<MathFn2>(fn->extra);
    JSAny_SetNumber(&ctx->ret, routine(a, b));
}

double Math_Abs(double x) { return std::fabs(x); }
double Math_Acos(double x) { return std::acos(x); }
double Math_Asin(double x) { return std::asin(x); }
double Math_Atan(double x) { return std::atan(x); }
double Math_Ceil(double x) { return std::ceil(x); }
double Math_Cos(double x) { return std::cos(x); }
double Math_Exp(double x) { return std::exp(x); }
double Math_Floor(double x) { return std::floor(x); }
double Math_Log(double x) { return std::log(x); }
double Math_Round(double x) { return std::floor(x + 0.5); }
double Math_Sin(double x) { return std::sin(x); }
double Math_Sqrt(double x) { return std::sqrt(x); }
double Math_Tan(double x) { return std::tan(x); }
double Math_Atan2(double y, double x) { return std::atan2(y, x); }

// a when a > b, else b: a NaN first argument yields the second; max(0, -0) is -0.
double Math_Max(double a, double b) { return a > b ? a : b; }
// a when a < b or a == b, else b: min(0, -0) is 0.
double Math_Min(double a, double b) { return (a < b || a == b) ? a : b; }

double Math_Pow(double x, double y) {
    // Where C99 and fdlibm part: anything to the power NaN is NaN (also 1),
    // and +-1 to an infinite power is NaN.
    if (y == 0) return 1;
    if (std::isnan(y)) return NAN;
    if (std::isinf(y) && std::fabs(x) == 1) return NAN;
    return std::pow(x, y);
}

double Math_Random() { return Math_NextRandom(); }

}  // namespace quillon
