// Conversions between kinds of values. Each works in place on the record it
// is given (the old content is released and replaced by the result) and
// leaves an error value untouched, so an earlier error flows on to whoever
// tests for it.
#pragma once
#include <cstddef>
#include <cstdint>

#include "values/jsany.h"

namespace quillon {

struct RunContext;

enum : int { HINT_STRING = -1, HINT_NUMBER = 1, HINT_DEFAULT = 4 };

bool JSAny_TruthSlow(const JSAny *a);
// The boolean a value converts to (errors: false); booleans inline.
inline bool JSAny_Truth(const JSAny *a) {
    return a->type == JSANY_BOOLEAN ? a->flag != 0 : JSAny_TruthSlow(a);
}
void JSAny_ToNumber(RunContext *ctx, JSAny *a);
void JSAny_ToInteger(RunContext *ctx, JSAny *a);
void JSAny_ToInt32(RunContext *ctx, JSAny *a);
void JSAny_ToUint32(RunContext *ctx, JSAny *a);
void JSAny_ToUint16(RunContext *ctx, JSAny *a);
void JSAny_ToString(RunContext *ctx, JSAny *a);
void JSAny_ToPrimitive(RunContext *ctx, JSAny *a, int hint);
void JSAny_ToObject(RunContext *ctx, JSAny *a);
void JSAny_TypeOf(RunContext *ctx, JSAny *a);

// What converting an object or a program object needs of the object model
// above: a primitive from its methods, a wrapper object for a primitive,
// the typeof text of an object. objects/primitive.cpp installs them at the
// library's first open. `ctx` is the context at hand or the innermost one.
struct ObjectConversions {
    void (*toPrimitive)(RunContext *ctx, JSAny *a, int hint);  // a: object or program object; ctx set
    void (*toObject)(RunContext *ctx, JSAny *a);   // a: a primitive, not an error; ctx may be null
    void (*typeOf)(RunContext *ctx, JSAny *a);     // a: object or program object; ctx may be null
};
void Conv_SetObjectHooks(const ObjectConversions *hooks);

// Number helpers on plain doubles.
double Num_ToInteger(double d);
double Num_ToUint32(double d);
double Num_ToInt32(double d);
// The ToInt32 value as an integer (NaN and the infinities give 0); a whole
// double inside the int32 range is simply cast (NaN fails the range test).
int32_t Num_ToInt32Slow(double d);
__attribute__((always_inline)) inline int32_t Num_ToInt32Bits(double d) {
    if (d > -2147483649.0 && d < 2147483648.0) {
        int32_t i = static_cast<int32_t>(d);
        if (static_cast<double>(i) == d) return i;
    }
    return Num_ToInt32Slow(d);
}
// The ToUint32 value as an integer.
inline uint32_t Num_ToUint32Bits(double d) { return static_cast<uint32_t>(Num_ToInt32Bits(d)); }
// Truncation of a number argument into the signed 32-bit range (NaN and
// values below it give INT32_MIN, values above it INT32_MAX).
inline int32_t Num_TruncArg(double d) {
    if (d != d || d < -2147483648.0) return INT32_MIN;
    if (d > 2147483647.0) return INT32_MAX;
    return static_cast<int32_t>(d);
}

// Text to number: skips white space (9 to 13, space), an optional sign,
// "Infinity" or a numeric literal; returns the characters consumed.
size_t JSAny_StringToNumber(const char *text, double *out);
double JSAny_StringValue(const char *text, uint32_t len);  // the number a string converts to

// The default text of a number (NaN, Infinity, -Infinity, or the shortest
// round-trip form) into buf (kNumBufSize bytes); returns its length.
size_t Num_ToText(double d, char *buf, size_t size);

// Diagnostic forms: a new counted string (strings quoted), or null with the
// error code (212 for error code 0) in *err.
char *JSAny_DisplayText(RunContext *ctx, const JSAny *a, uint32_t *err);
void JSAny_DebugPrint(RunContext *ctx, const JSAny *a);

}  // namespace quillon
