// The getters of Date objects, getTime, getTimezoneOffset, getYear, and the
// two setters of whole values, setTime and setYear.
#include <cmath>

#include "builtins/date_object.h"
#include "objects/natives.h"
#include "values/context.h"
#include "platform/clock.h"
#include "values/convert.h"

namespace quillon {

namespace {

// Reads this object's local triple; on failure the result is set and null
// returned.
Object *ThisTriple(RunContext *ctx, DayTriple *t) {
    Object *o = DateObj_This(ctx);
    if (!o) return nullptr;
    if (uint32_t st = DateObj_ReadTriple(o, t)) {
        JSAny_SetError(&ctx->ret, st);
        return nullptr;
    }
    return o;
}

// A stored integer as a getter's result: INT32_MIN marks an invalid date.
double FieldValue(int32_t v) { return v == kDateInvalid ? NAN : v; }

}  // namespace

// getFullYear, getMonth, getDate, getHours, getMinutes, getSeconds,
// getMilliseconds: the local field as it is stored. extra names the field.
void Bi_DateGetField(RunContext *ctx, Function *fn) {
    Object *o = DateObj_This(ctx);
    if (!o) return;
    const int field = DateObj_FieldIndex(reinterpret_cast<const char *>(fn->extra));
    if (field < 0) {
        JSAny_SetError(&ctx->ret, ERR_NOTIMPL);
        return;
    }
    int32_t v = 0;
    const uint32_t st = DateObj_ReadField(o, field, &v);
    DateObj_Answer(ctx, st, FieldValue(v));
}

// The getUTC... forms: the field of the same moment in UTC.
void Bi_DateGetUTCField(RunContext *ctx, Function *fn) {
    const int field = DateObj_FieldIndex(reinterpret_cast<const char *>(fn->extra));
    DayTriple t;
    if (!ThisTriple(ctx, &t)) return;
    if (field < 0) {
        JSAny_SetError(&ctx->ret, ERR_NOTIMPL);
        return;
    }
    const DayTriple utc = Date_UtcTriple(t, Plat_ZoneOffset());
    if (!Date_IsValid(utc)) {
        JSAny_SetNumber(&ctx->ret, NAN);
        return;
    }
    JSAny_SetNumber(&ctx->ret, DateObj_FieldOf(Date_FieldsFromTriple(utc), field));
}

// getDay: 0 = Sunday. A stored time of day below zero belongs to the day
// before.
void Bi_DateGetDay(RunContext *ctx, Function *) {
    DayTriple t;
    if (!ThisTriple(ctx, &t)) return;
    const int32_t wd = Date_Weekday(t);
    JSAny_SetNumber(&ctx->ret, wd < 0 ? NAN : wd);
}

void Bi_DateGetUTCDay(RunContext *ctx, Function *) {
    DayTriple t;
    if (!ThisTriple(ctx, &t)) return;
    const int32_t wd = Date_Weekday(Date_UtcTriple(t, Plat_ZoneOffset()));
    JSAny_SetNumber(&ctx->ret, wd < 0 ? NAN : wd);
}

// getTime, valueOf, toNumber: the UTC time value.
void Bi_DateGetTime(RunContext *ctx, Function *) {
    DayTriple t;
    if (!ThisTriple(ctx, &t)) return;
    JSAny_SetNumber(&ctx->ret, Date_UtcTimeOf(t, Plat_ZoneOffset()));
}

void Bi_DateGetTimezoneOffset(RunContext *ctx, Function *) {
    DayTriple t;
    if (!ThisTriple(ctx, &t)) return;
    JSAny_SetNumber(&ctx->ret, Date_IsValid(t) ? Plat_ZoneOffset() : NAN);
}

// getYear: the year less 1900; runs of the older levels 1 to 3 see years
// from 2000 on in full.
void Bi_DateGetYear(RunContext *ctx, Function *) {
    Object *o = DateObj_This(ctx);
    if (!o) return;
    int32_t year = 0;
    if (uint32_t st = DateObj_ReadField(o, DF_YEAR, &year)) {
        JSAny_SetError(&ctx->ret, st);
        return;
    }
    if (year == kDateInvalid) {
        JSAny_SetNumber(&ctx->ret, NAN);
        return;
    }
    const bool full = ctx->compat >= 1 && ctx->compat <= 3 && year >= 2000;
    JSAny_SetNumber(&ctx->ret, full ? year : static_cast<double>(year) - 1900);
}

// setTime(t): the date becomes the moment t (NaN and infinities make it
// invalid); the result is the new time value.
void Bi_DateSetTime(RunContext *ctx, Function *) {
    Object *o = DateObj_This(ctx);
    if (!o) return;
    if (ctx->argc == 0) {
        JSAny_SetUndefined(&ctx->ret);
        return;
    }
    double t;
    if (uint32_t st = DateObj_ArgNumber(ctx, 0, &t)) {
        JSAny_SetError(&ctx->ret, st);
        return;
    }
    const int32_t zone = Plat_ZoneOffset();
    const DayTriple local = Date_LocalTripleOf(t, zone);
    DateObj_Answer(ctx, DateObj_WriteTriple(o, local), Date_UtcTimeOf(local, zone));
}

// setYear(y): replaces the year, two-digit years meaning the 1900s; the
// result is the new time value. As with the field setters, a NaN or
// infinite year makes the date invalid and is the result, and an invalid
// date stays as it is with the result NaN.
void Bi_DateSetYear(RunContext *ctx, Function *) {
    Object *o = DateObj_This(ctx);
    if (!o) return;
    if (ctx->argc == 0) {
        JSAny_SetUndefined(&ctx->ret);
        return;
    }
    double y;
    if (uint32_t st = DateObj_ArgNumber(ctx, 0, &y)) {
        JSAny_SetError(&ctx->ret, st);
        return;
    }
    int32_t stored = 0;
    if (uint32_t st = DateObj_ReadField(o, DF_YEAR, &stored)) {
        JSAny_SetError(&ctx->ret, st);
        return;
    }
    if (!std::isfinite(y)) {
        DateObj_Answer(ctx, DateObj_WriteTriple(o, kInvalidTriple), y);
        return;
    }
    if (stored == kDateInvalid) {
        JSAny_SetNumber(&ctx->ret, NAN);
        return;
    }
    y = std::trunc(y);
    if (y >= 0 && y <= 99) y += 1900;
    const JSAny v = JSAny_Num(y);
    if (uint32_t st = Obj_PutStr(o, "year", &v)) {
        JSAny_SetError(&ctx->ret, st);
        return;
    }
    DayTriple t;
    uint32_t st = DateObj_ReadTriple(o, &t);
    // A year too far out for the calendar leaves an invalid date, not a
    // year no reading can use.
    if (!st && !Date_IsValid(t)) st = DateObj_WriteTriple(o, kInvalidTriple);
    DateObj_Answer(ctx, st, st ? 0 : Date_UtcTimeOf(t, Plat_ZoneOffset()));
}

}  // namespace quillon
