// The global functions eval, isNaN, isFinite, parseFloat and parseInt.
#include <cmath>
#include <cstring>

#include "builtins/native_args.h"
#include "objects/natives.h"
#include "interp/run.h"
#include "numconv/numconv.h"

namespace quillon {

// eval(x): a string runs as program text in the caller's context and gives
// its completion value; any other value is the result itself. Shared with
// Object.prototype.eval.
void Bi_Eval(RunContext *ctx, Function *) {
    if (ctx->argc == 0) {
        JSAny_SetUndefined(&ctx->ret);
        return;
    }
    const JSAny *x = &ctx->args[0];
    if (!JSAny_IsString(x)) {
        JSAny_Assign(&ctx->ret, x);
        return;
    }
    // The text must stay alive while it runs, whatever the program does to
    // the variable it came from.
    ValueGuard text(x);
    if (Ret_FailOn(ctx, &text.v)) return;
    JSAny result = JSAny_Undef();
    uint32_t code = Run_EvalText(ctx, &text.v, &result);
    if (code) {
        JSAny_Clear(&result);
        JSAny_SetError(&ctx->ret, code);
        return;
    }
    JSAny_Move(&ctx->ret, &result);
}

namespace {

// isNaN and isFinite: the test of the number argument (undefined without one).
void TestNumber(RunContext *ctx, bool (*test)(double)) {
    if (ctx->argc == 0) {
        JSAny_SetUndefined(&ctx->ret);
        return;
    }
    double d;
    if (!Arg_Number(ctx, 0, &d)) return;
    JSAny_SetBoolean(&ctx->ret, test(d));
}

}  // namespace

void Bi_IsNaN(RunContext *ctx, Function *) {
    TestNumber(ctx, [](double d) { return std::isnan(d); });
}

void Bi_IsFinite(RunContext *ctx, Function *) {
    TestNumber(ctx, [](double d) { return std::isfinite(d); });
}

// parseFloat(s): blanks and tabs, then any run of signs (each "-" flips),
// then as much of a decimal number as there is.
void Bi_ParseFloat(RunContext *ctx, Function *) {
    if (ctx->argc == 0) {
        JSAny_SetUndefined(&ctx->ret);
        return;
    }
    ValueGuard s;
    if (!Arg_String(ctx, 0, s)) return;
    const char *p = s.v.str;
    while (*p == ' ' || *p == '\t') ++p;
    bool negative = false;
    for (; *p == '+' || *p == '-'; ++p)
        if (*p == '-') negative = !negative;
    // The rest is a decimal number only (no hexadecimal form, no further
    // white space or sign), or Infinity.
    double value;
    if (std::strncmp(p, "Infinity", 8) == 0) value = INFINITY;
    else if (Num_ScanDecimal(p, &value) == 0) value = NAN;
    JSAny_SetNumber(&ctx->ret, negative ? -value : value);
}

namespace {

// The value of a digit character (0-9, a-z, A-Z), or 36 for anything else.
inline uint32_t DigitValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 36;
}

}  // namespace

// parseInt(s, radix): the digits accumulate as an unsigned 32-bit number
// (wrapping), read back as a signed one, so the result is always a 32-bit
// integer or NaN.
void Bi_ParseInt(RunContext *ctx, Function *) {
    if (ctx->argc == 0) {
        JSAny_SetUndefined(&ctx->ret);
        return;
    }
    int32_t radix = 0;
    if (ctx->argc >= 2) {
        double r;
        if (!Arg_Number(ctx, 1, &r)) return;
        radix = Num_TruncArg(r);
    }
    if (radix != 0 && (radix < 2 || radix > 36)) {
        JSAny_SetNumber(&ctx->ret, NAN);
        return;
    }
    ValueGuard s;
    if (!Arg_String(ctx, 0, s)) return;
    const char *p = s.v.str;
    const char *end = s.v.str + s.v.len;
    while (p < end && (*p == 9 || *p == 10 || *p == 13 || *p == 32)) ++p;
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
    if (radix == 0) {
        radix = 10;
        // A lone "0" is a decimal zero: the prefixes need two characters.
        if (end - p >= 2 && p[0] == '0') {
            if (p[1] == 'x') {
                radix = 16;
                p += 2;
            } else if (p[1] != '8' && p[1] != '9' && p[1] != '.') {
                radix = 8;
                p += 1;
            }
        }
    }
    uint32_t value = 0;
    bool any = false;
    for (; p < end; ++p) {
        uint32_t d = DigitValue(static_cast<unsigned char>(*p));
        if (d >= static_cast<uint32_t>(radix)) break;
        value = value * static_cast<uint32_t>(radix) + d;
        any = true;
    }
    if (!any) {
        JSAny_SetNumber(&ctx->ret, NAN);
        return;
    }
    if (negative) value = 0u - value;
    JSAny_SetNumber(&ctx->ret, static_cast<int32_t>(value));
}

}  // namespace quillon
