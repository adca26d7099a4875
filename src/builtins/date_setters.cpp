// The fourteen field setters of Date objects (setFullYear ... setUTCMilliseconds).
// One entry serves them all; the function's name says which run of fields
// it replaces and whether it works in UTC.
#include <cmath>
#include <cstring>

#include "builtins/date_object.h"
#include "objects/natives.h"
#include "values/context.h"
#include "platform/clock.h"
#include "values/convert.h"

namespace quillon {

namespace {

struct SetterRow {
    const char *name;
    int first;      // the field the first argument replaces
    uint32_t most;  // arguments accepted
    bool utc;
};

// setMilliseconds works as its UTC form: the milliseconds are the same in
// every zone.
constexpr SetterRow kSetters[] = {
    {"setFullYear", DF_YEAR, 3, false},   {"setUTCFullYear", DF_YEAR, 3, true},
    {"setMonth", DF_MONTH, 2, false},     {"setUTCMonth", DF_MONTH, 2, true},
    {"setDate", DF_DATE, 1, false},       {"setUTCDate", DF_DATE, 1, true},
    {"setHours", DF_HOURS, 4, false},     {"setUTCHours", DF_HOURS, 4, true},
    {"setMinutes", DF_MINUTES, 3, false}, {"setUTCMinutes", DF_MINUTES, 3, true},
    {"setSeconds", DF_SECONDS, 2, false}, {"setUTCSeconds", DF_SECONDS, 2, true},
    {"setMilliseconds", DF_MS, 1, true},  {"setUTCMilliseconds", DF_MS, 1, true},
};

const SetterRow *FindSetter(const char *name) {
    if (!name) return nullptr;
    for (const SetterRow &r : kSetters)
        if (std::strcmp(r.name, name) == 0) return &r;
    return nullptr;
}

// An integer field given as a number, kept in the signed 32-bit range.
int32_t WholeField(double v) { return Num_TruncArg(v); }

}  // namespace

void Bi_DateSetFields(RunContext *ctx, Function *fn) {
    const SetterRow *row = FindSetter(fn->name);
    if (!row) {
        JSAny_SetError(&ctx->ret, ERR_NOTIMPL);
        return;
    }
    Object *o = DateObj_This(ctx);
    if (!o) return;
    const uint32_t argc = ctx->argc;
    if (argc == 0 || argc > row->most) {
        JSAny_SetUndefined(&ctx->ret);
        return;
    }
    double given[4];
    for (uint32_t i = 0; i < argc; ++i) {
        if (uint32_t st = DateObj_ArgNumber(ctx, i, &given[i])) {
            JSAny_SetError(&ctx->ret, st);
            return;
        }
    }
    for (uint32_t i = 0; i < argc; ++i) {
        if (!std::isfinite(given[i])) {
            DateObj_Answer(ctx, DateObj_WriteTriple(o, kInvalidTriple), given[i]);
            return;
        }
    }
    DayTriple local;
    if (uint32_t st = DateObj_ReadTriple(o, &local)) {
        JSAny_SetError(&ctx->ret, st);
        return;
    }
    if (!Date_IsValid(local)) {
        JSAny_SetNumber(&ctx->ret, NAN);
        return;
    }
    const int32_t zone = Plat_ZoneOffset();
    const DayTriple base = row->utc ? Date_UtcTriple(local, zone) : local;
    if (!Date_IsValid(base)) {  // the UTC moment is beyond the calendar's reach
        DateObj_Answer(ctx, DateObj_WriteTriple(o, kInvalidTriple), NAN);
        return;
    }
    const DateFields f = Date_FieldsFromTriple(base);
    double v[DF_COUNT];
    for (int i = 0; i < DF_COUNT; ++i) v[i] = DateObj_FieldOf(f, i);
    for (uint32_t i = 0; i < argc; ++i) v[row->first + static_cast<int>(i)] = given[i];
    DayTriple t =
        Date_Normalise(WholeField(v[DF_YEAR]), WholeField(v[DF_MONTH]), WholeField(v[DF_DATE]),
                       v[DF_HOURS], v[DF_MINUTES], v[DF_SECONDS], v[DF_MS]);
    if (row->utc) t = Date_LocalTriple(t, zone);
    DateObj_Answer(ctx, DateObj_WriteTriple(o, t), Date_UtcTimeOf(t, zone));
}

}  // namespace quillon
