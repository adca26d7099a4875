// Reading and writing the seven numeric properties of Date objects, and
// the small helpers every Date method shares.
#include "builtins/date_object.h"

#include <cstring>
#include <utility>

#include "objects/natives.h"
#include "values/context.h"
#include "objects/object.h"
#include "objects/props.h"
#include "runtime/errors.h"
#include "runtime/text.h"
#include "values/convert.h"
#include "values/space.h"

namespace quillon {

namespace {

struct FieldName {
    const char *name;
    uint32_t len;
    uint32_t hash;
};

constexpr FieldName Field(const char *name, uint32_t len) {
    return {name, len, Str_Hash(name, len)};
}

constexpr FieldName kFields[DF_COUNT] = {
    Field("year", 4),    Field("month", 5),   Field("date", 4), Field("hours", 5),
    Field("minutes", 7), Field("seconds", 7), Field("ms", 2),
};

// A triple that is not a plain clock reading: minutes outside the day or
// milliseconds outside the minute.
bool NeedsResplit(const DayTriple &t) {
    return t.minutes < 0 || t.minutes >= 1440 || t.ms < 0 || t.ms >= 60000;
}

}  // namespace

int DateObj_FieldIndex(const char *name) {
    if (!name) return -1;
    for (int i = 0; i < DF_COUNT; ++i)
        if (std::strcmp(kFields[i].name, name) == 0) return i;
    return -1;
}

int32_t DateObj_FieldOf(const DateFields &f, int field) {
    switch (field) {
    case DF_YEAR: return f.year;
    case DF_MONTH: return f.month;
    case DF_DATE: return f.date;
    case DF_HOURS: return f.hours;
    case DF_MINUTES: return f.minutes;
    case DF_SECONDS: return f.seconds;
    default: return f.ms;
    }
}

uint32_t DateObj_ReadField(Object *o, int field, int32_t *out) {
    const FieldName &fn = kFields[field];
    JSAny v = JSAny_Undef();
    Obj_GetName(o, fn.name, fn.len, fn.hash, &v);
    if (v.type == JSANY_ERROR) return v.code ? v.code : ERR_NOPROP;
    if (v.type != JSANY_NUMBER) {
        JSAny_Clear(&v);
        return ERR_NOPROP;
    }
    *out = Num_TruncArg(v.num);
    return 0;
}

namespace {

// Whether a property record's key is field I's name (Props_KeyIs with the
// name's length known here, so that the comparison of its bytes is a few
// loads rather than a call).
template <int I>
inline bool FieldKeyIs(const PropRec &r) {
    constexpr FieldName fn = kFields[I];
    return r.key && Atom_Hash(r.key) == fn.hash && Atom_Len(r.key) == fn.len &&
           std::memcmp(r.key, fn.name, fn.len) == 0;
}

template <int... I>
inline bool FieldKeysAre(const PropRec *p, std::integer_sequence<int, I...>) {
    return (FieldKeyIs<I>(p[I]) && ...);
}

// True when the object's first seven property records are the seven fields
// in their order (as the constructor and the setters leave them): the
// fields can then be read and written in place without looking them up.
bool FieldsInPlace(const Object *o) {
    return Props_Used(o) >= DF_COUNT && FieldKeysAre(o->props, std::make_integer_sequence<int, DF_COUNT>());
}

}  // namespace

uint32_t DateObj_ReadTriple(Object *o, DayTriple *out) {
    int32_t values[DF_COUNT];
    if (FieldsInPlace(o)) {
        bool numbers = true;
        for (int i = 0; i < DF_COUNT && numbers; ++i) {
            const JSAny &v = o->props[i].value;
            numbers = v.type == JSANY_NUMBER;
            if (numbers) values[i] = Num_TruncArg(v.num);
        }
        if (numbers) {
            if (values[DF_YEAR] == kDateInvalid) {
                *out = kInvalidTriple;
                return 0;
            }
            const DateFields f = {values[DF_YEAR],    values[DF_MONTH],   values[DF_DATE], values[DF_HOURS],
                                  values[DF_MINUTES], values[DF_SECONDS], values[DF_MS]};
            *out = Date_TripleFromFields(f);
            return 0;
        }
    }
    for (int i = 0; i < DF_COUNT; ++i) {
        if (uint32_t st = DateObj_ReadField(o, i, &values[i])) return st;
        if (i == DF_YEAR && values[i] == kDateInvalid) {
            *out = kInvalidTriple;
            return 0;
        }
    }
    const DateFields f = {values[DF_YEAR],    values[DF_MONTH],   values[DF_DATE], values[DF_HOURS],
                          values[DF_MINUTES], values[DF_SECONDS], values[DF_MS]};
    *out = Date_TripleFromFields(f);
    return 0;
}

namespace {

static_assert(DF_COUNT == sizeof(ProgramSpace::dateKeys) / sizeof(char *));

// The space's key of field i, made (the space holding it) at the first use;
// null when memory ran out.
char *SpaceKey(ProgramSpace *space, int i) {
    char *&k = space->dateKeys[i];
    if (!k) k = Atom_Get(kFields[i].name, kFields[i].len, kFields[i].hash);
    return k;
}

}  // namespace

uint32_t DateObj_WriteTriple(Object *o, const DayTriple &t, ProgramSpace *space) {
    DayTriple w = t;
    // The carries of field arithmetic keep the sign of what was carried, so
    // a time before midnight can arrive as negative minutes of the next day;
    // stored that way every getter and text would show a negative hour.
    if (Date_IsValid(w) && NeedsResplit(w)) w = Date_ShiftTriple(w, 0);
    const DateFields f = Date_FieldsFromTriple(w);
    if (FieldsInPlace(o)) {
        for (int i = 0; i < DF_COUNT; ++i) {
            JSAny &slot = o->props[i].value;
            JSAny_Clear(&slot);
            slot = JSAny_Num(DateObj_FieldOf(f, i));
        }
        return 0;
    }
    // An object with no properties yet (a new date) gets the seven in order
    // in a store made to their size: what storing them one by one would
    // append, without looking for what cannot be there.
    bool fresh = !o->props && !(o->classFlags & CF_REGEXP);
    if (fresh) {
        if (uint32_t st = Props_Reserve(o, DF_COUNT)) return st;
    }
    for (int i = 0; i < DF_COUNT; ++i) {
        const JSAny v = JSAny_Num(DateObj_FieldOf(f, i));
        const FieldName &fn = kFields[i];
        char *key = fresh && space ? SpaceKey(space, i) : nullptr;
        uint32_t st = key       ? Props_Append(o, fn.name, fn.len, fn.hash, nullptr, &v, key)
                      : fresh ? Obj_AddName(o, fn.name, fn.len, fn.hash, &v)
                              : Obj_PutName(o, fn.name, fn.len, fn.hash, &v);
        if (st) return st;
    }
    return 0;
}

Object *DateObj_This(RunContext *ctx) {
    if (ctx->thisValue.type == JSANY_OBJECT) return ctx->thisValue.obj;
    JSAny_SetUndefined(&ctx->ret);
    return nullptr;
}

uint32_t DateObj_ArgNumber(RunContext *ctx, uint32_t i, double *out) {
    JSAny v;
    JSAny_InitFrom(&v, &ctx->args[i]);
    JSAny_ToNumber(ctx, &v);
    if (v.type == JSANY_ERROR) return v.code ? v.code : ERR_WRONGTYPE;
    if (v.type != JSANY_NUMBER) {  // not reached: conversions give a number or an error
        JSAny_Clear(&v);
        return ERR_WRONGTYPE;
    }
    *out = v.num;
    return 0;
}

void DateObj_Answer(RunContext *ctx, uint32_t status, double value) {
    if (status) JSAny_SetError(&ctx->ret, status);
    else JSAny_SetNumber(&ctx->ret, value);
}

// Date.prototype is marked as a Date, as the prototypes of the other
// classes carry their class flag; it holds no fields of its own, so a Date
// that loses one of its properties does not silently inherit a value.
uint32_t Bi_DatePrototypeSetup(ProgramSpace *, Object *proto) {
    proto->classFlags |= CF_DATE;
    return 0;
}

}  // namespace quillon
