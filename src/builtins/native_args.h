// Small helpers shared by the natives of the global functions and the core
// built-ins: converted copies of arguments, passing error values on, and
// handing a built text to the result.
#pragma once
#include <cstddef>
#include <cstdint>

#include "values/context.h"
#include "objects/function.h"
#include "values/convert.h"
#include "values/jsany.h"

namespace quillon {

// A private copy of a value (arguments belong to the caller), released when
// it goes out of scope. Conversions work on the copy in place.
struct ValueCopy {
    JSAny v;
    explicit ValueCopy(const JSAny *src) { JSAny_InitFrom(&v, src); }
    ValueCopy() { v = JSAny_Undef(); }
    ~ValueCopy() { JSAny_Clear(&v); }
    ValueCopy(const ValueCopy &) = delete;
    ValueCopy &operator=(const ValueCopy &) = delete;
};

// When v is an error value, makes it the native's result unchanged (thrown
// values, reported codes and 103 travel as they are) and answers true.
inline bool Nat_PassError(RunContext *ctx, const JSAny *v) {
    if (v->type != JSANY_ERROR) return false;
    JSAny_SetError(&ctx->ret, v->code);
    return true;
}

// Converts the copy of argument i (which must exist) to a string / number;
// false when the conversion failed (its error is then the result).
inline bool Nat_ArgString(RunContext *ctx, uint32_t i, ValueCopy &out) {
    JSAny_Clear(&out.v);
    JSAny_InitFrom(&out.v, &ctx->args[i]);
    JSAny_ToString(ctx, &out.v);
    return !Nat_PassError(ctx, &out.v);
}
inline bool Nat_ArgNumber(RunContext *ctx, uint32_t i, double *out) {
    ValueCopy c(&ctx->args[i]);
    JSAny_ToNumber(ctx, &c.v);
    if (Nat_PassError(ctx, &c.v)) return false;
    *out = c.v.num;
    return true;
}

// The result becomes a counted text built by the native (its share passes
// over); a null text means memory ran out.
inline void Nat_ReturnText(RunContext *ctx, char *text, size_t len) {
    if (!text) {
        JSAny_SetError(&ctx->ret, ERR_NOMEM);
        return;
    }
    text[len] = 0;
    JSAny_SetStringAdoptLength(&ctx->ret, text, static_cast<uint32_t>(len));
}

inline bool Nat_IsFunctionValue(const JSAny *v) {
    return v->type == JSANY_OBJECT && (v->obj->classFlags & CF_CALLABLE) != 0;
}

}  // namespace quillon
