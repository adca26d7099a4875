// Small helpers shared by the natives of arrays, strings and Math: a value
// record released at the end of its scope, passing error values on as the
// result, and number arguments.
#pragma once
#include <cstdint>

#include "values/context.h"
#include "values/jsany.h"

namespace quillon {

// A value record released when it goes out of scope (arguments belong to
// the caller: conversions work on such a copy).
struct ValueGuard {
    JSAny v;
    ValueGuard() { v = JSAny_Undef(); }
    explicit ValueGuard(const JSAny *src) { JSAny_InitFrom(&v, src); }
    ~ValueGuard() { JSAny_Clear(&v); }
    ValueGuard(const ValueGuard &) = delete;
    ValueGuard &operator=(const ValueGuard &) = delete;
};

// Makes a failure code the native's result; true when there was one. Codes
// travel unchanged (a throw in flight, reported codes, 103).
inline bool Ret_Fail(RunContext *ctx, uint32_t code) {
    if (code == 0) return false;
    JSAny_SetError(&ctx->ret, code);
    return true;
}
// The same for an error value.
inline bool Ret_FailOn(RunContext *ctx, const JSAny *v) {
    if (v->type != JSANY_ERROR) return false;
    JSAny_SetError(&ctx->ret, v->code);
    return true;
}

// Calls the method `name` of a value with the value itself as `this` and no
// arguments: the method is read as a member read reads it (a primitive finds
// its prototype's, a program object asks the host), and a value that is not
// a function fails the call with 212. The result or error value (a method
// without a value gives undefined) replaces *result.
void Nat_CallMethod(RunContext *ctx, const JSAny *self, const char *name, JSAny *result);

// Number argument i truncated into the signed 32-bit range (NaN and values
// below it give -2147483648, values above it 2147483647); a missing or
// undefined argument gives dflt. False with the conversion's error as the
// result.
bool Arg_Int(RunContext *ctx, uint32_t i, int64_t dflt, int64_t *out);

}  // namespace quillon
