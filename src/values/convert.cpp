// Conversions between kinds of values, in place. Primitives convert here;
// objects and program objects convert through the object model's hooks
// (their methods are called, wrappers made: objects/primitive.cpp).
#include "values/convert.h"

#include <cmath>
#include <cstring>

#include "numconv/numconv.h"
#include "platform/debuglog.h"
#include "runtime/text.h"
#include "values/context.h"

namespace quillon {

namespace {

constexpr double k2p32 = 4294967296.0;

inline RunContext *Ctx(RunContext *ctx) { return ctx ? ctx : Run_Current(); }

}  // namespace

// ---- numbers ---------------------------------------------------------------

double Num_ToInteger(double d) {
    if (std::isnan(d)) return 0;
    if (std::isinf(d)) return d;
    return d < 0 ? std::floor(d) : -std::floor(-d);
}

double Num_ToUint32(double d) {
    double x = Num_ToInteger(d);
    if (std::isinf(x)) return NAN;
    if (x < 0 || x >= k2p32) x = x - std::floor(x / k2p32) * k2p32;
    return x;
}

double Num_ToInt32(double d) {
    double x = Num_ToUint32(d);
    if (x >= 2147483648.0) x -= k2p32;
    return x;
}

int32_t Num_ToInt32Slow(double d) {
    // A whole number that fits 64 bits (`h * 31 + c` past 32 bits): its
    // low 32 bits, which the general modulo below gives too.
    if (d > -9223372036854775808.0 && d < 9223372036854775808.0) {
        int64_t i = static_cast<int64_t>(d);
        if (static_cast<double>(i) == d) return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(i)));
    }
    double x = Num_ToUint32(d);
    return static_cast<int32_t>(std::isnan(x) ? 0u : static_cast<uint32_t>(x));
}

size_t JSAny_StringToNumber(const char *text, double *out) {
    const char *p = text;
    while (*p == ' ' || (*p >= 9 && *p <= 13)) ++p;
    bool neg = false;
    if (*p == '+' || *p == '-') neg = *p++ == '-';
    if (std::strncmp(p, "Infinity", 8) == 0) {
        *out = neg ? -INFINITY : INFINITY;
        return static_cast<size_t>(p + 8 - text);
    }
    double v;
    size_t n = Num_ScanLiteral(p, false, &v);
    if (n == 0) {
        *out = *text == 0 ? 0.0 : NAN;
        return 0;
    }
    *out = neg ? -v : v;
    return static_cast<size_t>(p + n - text);
}

double JSAny_StringValue(const char *text, uint32_t) {
    double d;
    JSAny_StringToNumber(text, &d);
    return d;
}

size_t Num_ToText(double d, char *buf, size_t size) {
    const char *fixed = nullptr;
    if (std::isnan(d)) fixed = "NaN";
    else if (std::isinf(d)) fixed = d > 0 ? "Infinity" : "-Infinity";
    if (fixed) {
        size_t n = std::strlen(fixed);
        std::memcpy(buf, fixed, n + 1);
        return n;
    }
    if (d == 0) {
        buf[0] = '0';
        buf[1] = 0;
        return 1;
    }
    // Small integers are common: print them directly.
    if (d >= -2147483648.0 && d <= 2147483647.0 && d == static_cast<int32_t>(d)) {
        int32_t i = static_cast<int32_t>(d);
        char tmp[16];
        int n = 0;
        uint32_t u = i < 0 ? 0u - static_cast<uint32_t>(i) : static_cast<uint32_t>(i);
        do { tmp[n++] = static_cast<char>('0' + u % 10); u /= 10; } while (u);
        size_t k = 0;
        if (i < 0) buf[k++] = '-';
        while (n) buf[k++] = tmp[--n];
        buf[k] = 0;
        return k;
    }
    return Num_Format(d, NUM_SHORTEST, 0, buf, size);
}

// ---- boolean ---------------------------------------------------------------

bool JSAny_TruthSlow(const JSAny *a) {
    switch (a->type) {
    case JSANY_NUMBER: return !(a->num == 0 || std::isnan(a->num));
    case JSANY_BOOLEAN: return a->flag != 0;
    case JSANY_STRING:
    case JSANY_CSTRING: return a->len != 0;
    case JSANY_OBJECT:
    case JSANY_PROGOBJ: return true;
    default: return false;
    }
}

// ---- primitive -------------------------------------------------------------

namespace {

// What the object model does for the conversions of objects (installed at
// the library's first open).
const ObjectConversions *gObjects = nullptr;

}  // namespace

void Conv_SetObjectHooks(const ObjectConversions *hooks) { gObjects = hooks; }

void JSAny_ToPrimitive(RunContext *ctx, JSAny *a, int hint) {
    if (a->type != JSANY_OBJECT && a->type != JSANY_PROGOBJ) return;
    ctx = Ctx(ctx);
    if (!ctx) {
        JSAny_SetError(a, ERR_WRONGTYPE);
        return;
    }
    gObjects->toPrimitive(ctx, a, hint);
}

// ---- number ----------------------------------------------------------------

void JSAny_ToNumber(RunContext *ctx, JSAny *a) {
    if (a->type == JSANY_OBJECT || a->type == JSANY_PROGOBJ) JSAny_ToPrimitive(ctx, a, HINT_NUMBER);
    switch (a->type) {
    case JSANY_ERROR:
    case JSANY_NUMBER:
        return;
    case JSANY_BOOLEAN:
        *a = JSAny_Num(a->flag ? 1 : 0);
        return;
    case JSANY_NULL:
        *a = JSAny_Num(0);
        return;
    case JSANY_STRING:
    case JSANY_CSTRING: {
        double d;
        JSAny_StringToNumber(a->str, &d);
        JSAny_SetNumber(a, d);
        return;
    }
    default:
        JSAny_SetNumber(a, NAN);
        return;
    }
}

void JSAny_ToInteger(RunContext *ctx, JSAny *a) {
    JSAny_ToNumber(ctx, a);
    if (a->type == JSANY_NUMBER) a->num = Num_ToInteger(a->num);
}

void JSAny_ToUint32(RunContext *ctx, JSAny *a) {
    JSAny_ToNumber(ctx, a);
    if (a->type == JSANY_NUMBER) a->num = Num_ToUint32(a->num);
}

void JSAny_ToInt32(RunContext *ctx, JSAny *a) {
    JSAny_ToNumber(ctx, a);
    if (a->type == JSANY_NUMBER) a->num = Num_ToInt32(a->num);
}

void JSAny_ToUint16(RunContext *ctx, JSAny *a) {
    JSAny_ToNumber(ctx, a);
    if (a->type != JSANY_NUMBER) return;
    double x = Num_ToInteger(a->num);
    if (std::isinf(x)) {
        a->num = NAN;
        return;
    }
    if (x < 0 || x >= 65536.0) x = x - std::floor(x / 65536.0) * 65536.0;
    a->num = x;
}

// ---- string ----------------------------------------------------------------

void JSAny_ToString(RunContext *ctx, JSAny *a) {
    if (a->type == JSANY_OBJECT || a->type == JSANY_PROGOBJ) JSAny_ToPrimitive(ctx, a, HINT_STRING);
    const char *text;
    char buf[kNumBufSize];
    switch (a->type) {
    case JSANY_ERROR:
    case JSANY_STRING:
    case JSANY_CSTRING:
        return;
    case JSANY_NULL: text = "null"; break;
    case JSANY_UNDEFINED: text = "undefined"; break;
    case JSANY_UNDECLARED: text = "<undeclared>"; break;
    case JSANY_BOOLEAN: text = a->flag ? "true" : "false"; break;
    case JSANY_NUMBER: {
        size_t n = Num_ToText(a->num, buf, sizeof buf);
        if (n == 0) {
            JSAny_SetError(a, ERR_NOMEM);
            return;
        }
        JSAny_SetStringBytes(a, buf, n);
        return;
    }
    default: text = "<\?\?\?>"; break;
    }
    JSAny_SetStringCopy(a, text);
}

// ---- object ----------------------------------------------------------------

void JSAny_ToObject(RunContext *ctx, JSAny *a) {
    if (a->type == JSANY_OBJECT || a->type == JSANY_ERROR) return;
    gObjects->toObject(Ctx(ctx), a);
}

// ---- typeof ----------------------------------------------------------------

void JSAny_TypeOf(RunContext *ctx, JSAny *a) {
    const char *name = "undefined";
    switch (a->type) {
    case JSANY_BOOLEAN: name = "boolean"; break;
    case JSANY_NUMBER: name = "number"; break;
    case JSANY_STRING:
    case JSANY_CSTRING: name = "string"; break;
    case JSANY_NULL: name = "object"; break;
    case JSANY_OBJECT:
    case JSANY_PROGOBJ:
        gObjects->typeOf(Ctx(ctx), a);
        return;
    default: break;
    }
    JSAny_SetStringCopy(a, name);
}

// ---- diagnostic forms ------------------------------------------------------

char *JSAny_DisplayText(RunContext *ctx, const JSAny *a, uint32_t *err) {
    *err = 0;
    if (a->type == JSANY_ERROR) {
        *err = a->code ? a->code : ERR_WRONGTYPE;
        return nullptr;
    }
    if (JSAny_IsString(a)) {
        char *t = Text_Format("\"%s\"", a->str);
        if (!t) *err = ERR_NOMEM;
        return t;
    }
    JSAny copy;
    JSAny_InitFrom(&copy, a);
    JSAny_ToString(ctx, &copy);
    if (copy.type == JSANY_ERROR) {
        *err = copy.code ? copy.code : ERR_WRONGTYPE;
        return nullptr;
    }
    char *t = Text_FromBytes(copy.str, copy.len);
    JSAny_Clear(&copy);
    if (!t) *err = ERR_NOMEM;
    return t;
}

void JSAny_DebugPrint(RunContext *ctx, const JSAny *a) {
    if (JSAny_IsString(a)) {
        Plat_DebugPrintf("\"%s\"", a->str);
        return;
    }
    JSAny copy;
    JSAny_InitFrom(&copy, a);
    JSAny_ToString(ctx, &copy);
    if (JSAny_IsString(&copy)) Plat_DebugPrintf("%s", copy.str);
    else Plat_DebugWrite("<error>");
    JSAny_Clear(&copy);
}

}  // namespace quillon
