// The Date constructor and its two static members, Date.parse and Date.UTC.
#include <cmath>

#include "builtins/date_object.h"
#include "builtins/date_parse.h"
#include "builtins/date_text.h"
#include "objects/natives.h"
#include "values/space.h"
#include "values/context.h"
#include "platform/clock.h"
#include "values/convert.h"

namespace quillon {

namespace {

constexpr uint32_t kMaxDateArgs = 7;

// Years written with two digits belong to the 1900s. The constructor keeps
// negative years; Date.UTC moves every year up to 99.
int32_t FullYear(int32_t year) { return year >= 0 && year <= 99 ? year + 1900 : year; }
int32_t FullYearUTC(int32_t year) { return year <= 99 ? year + 1900 : year; }

// Converts up to n arguments to numbers, in order. Returns 0 or the first
// conversion's error code.
uint32_t ArgNumbers(RunContext *ctx, uint32_t n, double *out) {
    for (uint32_t i = 0; i < n; ++i)
        if (uint32_t st = DateObj_ArgNumber(ctx, i, &out[i])) return st;
    return 0;
}

// The local triple of a date given field by field: year, month and day of
// month as integers (the month and day taken as 16-bit values), the time
// fields as numbers. A day of month not given is 1, any other field 0.
DayTriple TripleOfParts(const double *v, uint32_t n, int32_t year) {
    const int32_t month = n > 1 ? Date_Take16(Num_TruncArg(v[1])) : 0;
    const int32_t day = n > 2 ? Date_Take16(Num_TruncArg(v[2])) : 1;
    return Date_Normalise(year, month, day, n > 3 ? v[3] : 0, n > 4 ? v[4] : 0, n > 5 ? v[5] : 0,
                          n > 6 ? v[6] : 0);
}

// The moment a new Date starts with, from the constructor's arguments.
uint32_t ConstructedTriple(RunContext *ctx, DayTriple *out) {
    const uint32_t argc = ctx->argc;
    if (argc == 0) {
        *out = Date_TripleFromStamp(Plat_DateStamp());
        return 0;
    }
    if (argc == 1) {
        const JSAny *a = &ctx->args[0];
        if (JSAny_IsString(a)) {
            // The local parse gives the local clock reading as a time value.
            double t;
            *out = Date_ParseText(a->str, a->len, DATEPARSE_LOCAL, Plat_ZoneOffset(), &t)
                       ? Date_TripleFromTime(t)
                       : kInvalidTriple;
            return 0;
        }
        double t;
        if (uint32_t st = DateObj_ArgNumber(ctx, 0, &t)) return st;
        *out = std::isfinite(t) ? Date_LocalTripleOf(t, Plat_ZoneOffset()) : kInvalidTriple;
        return 0;
    }
    double v[kMaxDateArgs];
    const uint32_t n = argc < kMaxDateArgs ? argc : kMaxDateArgs;
    if (uint32_t st = ArgNumbers(ctx, n, v)) return st;
    for (uint32_t i = 0; i < n; ++i) {
        if (!std::isfinite(v[i])) {
            *out = kInvalidTriple;
            return 0;
        }
    }
    *out = TripleOfParts(v, n, FullYear(Num_TruncArg(v[0])));
    return 0;
}

}  // namespace

// Date(...) without `new` gives the text of the current moment and ignores
// its arguments; `new Date(...)` makes a Date object.
void Bi_Date(RunContext *ctx, Function *) {
    if (!ctx->construct) {
        DateObj_AnswerText(ctx, Date_TripleFromStamp(Plat_DateStamp()), kDateFmtToString);
        return;
    }
    DayTriple t;
    if (uint32_t st = ConstructedTriple(ctx, &t)) {
        JSAny_SetError(&ctx->ret, st);
        return;
    }
    Object *o = Obj_New(ctx->space ? ctx->space->protos[PROTO_DATE] : nullptr);
    if (!o) {
        JSAny_SetError(&ctx->ret, ERR_NOMEM);
        return;
    }
    o->classFlags |= CF_DATE;
    if (uint32_t st = DateObj_WriteTriple(o, t, ctx->space)) {
        Obj_Release(o);
        JSAny_SetError(&ctx->ret, st);
        return;
    }
    JSAny_AdoptObject(&ctx->ret, o);
}

// Date.parse(text): the UTC time value of a date text, NaN when the text
// is not a date.
void Bi_DateParse(RunContext *ctx, Function *) {
    if (ctx->argc == 0) return;  // the preset "bad arguments" stays
    JSAny text;
    JSAny_InitFrom(&text, &ctx->args[0]);
    JSAny_ToString(ctx, &text);
    if (text.type == JSANY_ERROR) {
        // A value without a text form is a bad argument; other failures
        // (memory, a throw from a conversion method, a break) go on as they are.
        const uint32_t code = text.code;
        JSAny_SetError(&ctx->ret, code == 0 || code == ERR_WRONGTYPE ? ERR_BADARGS : code);
        return;
    }
    double t;
    const bool ok = Date_ParseText(text.str, text.len, DATEPARSE_UTC, Plat_ZoneOffset(), &t);
    JSAny_Clear(&text);
    JSAny_SetNumber(&ctx->ret, ok ? t : NAN);
}

// Date.UTC(year, month, day, hours, minutes, seconds, ms): the time value
// of a UTC date given field by field.
void Bi_DateUTC(RunContext *ctx, Function *) {
    const uint32_t argc = ctx->argc;
    if (argc > kMaxDateArgs) {
        JSAny_SetUndefined(&ctx->ret);
        return;
    }
    double v[kMaxDateArgs];
    if (uint32_t st = ArgNumbers(ctx, argc, v)) {
        JSAny_SetError(&ctx->ret, st);
        return;
    }
    for (uint32_t i = 0; i < argc; ++i) {
        if (!std::isfinite(v[i])) {
            JSAny_SetNumber(&ctx->ret, v[i]);
            return;
        }
    }
    const int32_t year = FullYearUTC(argc > 0 ? Num_TruncArg(v[0]) : 1900);
    JSAny_SetNumber(&ctx->ret, Date_TimeFromTriple(TripleOfParts(v, argc, year)));
}

}  // namespace quillon
