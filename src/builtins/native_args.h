// The natives' kit, shared by every built-in: a value record released at the
// end of its scope (arguments belong to the caller, so conversions work on
// such a copy), passing failure codes and error values on as the result
// unchanged, converted arguments, and handing a built text to the result.
#pragma once
#include <cstddef>
#include <cstdint>

#include "values/context.h"
#include "objects/function.h"
#include "values/convert.h"
#include "values/jsany.h"

namespace quillon {

// A value record released when it goes out of scope; built from a value it
// holds a private copy of it.
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

// The result becomes a counted text built by the native (its share passes
// over); a null text means memory ran out.
inline void Ret_Text(RunContext *ctx, char *text, size_t len) {
    if (!text) {
        JSAny_SetError(&ctx->ret, ERR_NOMEM);
        return;
    }
    text[len] = 0;
    JSAny_SetStringAdoptLength(&ctx->ret, text, static_cast<uint32_t>(len));
}

// Converts a copy of argument i (which must exist) to a string / number;
// false when the conversion failed (its error is then the result).
inline bool Arg_String(RunContext *ctx, uint32_t i, ValueGuard &out) {
    JSAny_Clear(&out.v);
    JSAny_InitFrom(&out.v, &ctx->args[i]);
    JSAny_ToString(ctx, &out.v);
    return !Ret_FailOn(ctx, &out.v);
}
inline bool Arg_Number(RunContext *ctx, uint32_t i, double *out) {
    ValueGuard c(&ctx->args[i]);
    JSAny_ToNumber(ctx, &c.v);
    if (Ret_FailOn(ctx, &c.v)) return false;
    *out = c.v.num;
    return true;
}
// Number argument i truncated into the signed 32-bit range (NaN and values
// below it give -2147483648, values above it 2147483647); a missing or
// undefined argument gives dflt. False with the conversion's error as the
// result.
bool Arg_Int(RunContext *ctx, uint32_t i, int64_t dflt, int64_t *out);

// The primitive `this` stands for in a method of a wrapper class: a
// primitive of kind `type` itself, or the value a wrapper object of class
// `flag` holds; null, with error 212 as the result, for anything else.
inline const JSAny *Nat_ThisPrimitive(RunContext *ctx, int32_t type, uint32_t flag) {
    const JSAny *t = &ctx->thisValue;
    const JSAny *v = t->type == type ? t : t->type == JSANY_OBJECT ? Obj_WrappedValue(t->obj, flag) : nullptr;
    if (!v) JSAny_SetError(&ctx->ret, ERR_WRONGTYPE);
    return v;
}

inline bool Nat_IsFunctionValue(const JSAny *v) { return v->type == JSANY_OBJECT && Fn_IsFunction(v->obj); }

// Calls the method `name` of a value with the value itself as `this` and no
// arguments: the method is read as a member read reads it (a primitive finds
// its prototype's, a program object asks the host), and a value that is not
// a function fails the call with 212. The result or error value (a method
// without a value gives undefined) replaces *result.
void Nat_CallMethod(RunContext *ctx, const JSAny *self, const char *name, JSAny *result);

}  // namespace quillon
