// Date objects as their methods see them. A Date is a plain object holding
// its moment in local time as seven numeric properties; the methods read
// them into a day triple, work on that, and write them back.
#pragma once
#include <cstdint>

#include "builtins/date_calendar.h"

namespace quillon {

struct ProgramSpace;

struct RunContext;
struct Object;

// The seven properties, in the order they are read.
enum DateField : int {
    DF_YEAR,
    DF_MONTH,
    DF_DATE,
    DF_HOURS,
    DF_MINUTES,
    DF_SECONDS,
    DF_MS,
    DF_COUNT,
};

// The field a property name stands for ("year", "month", ...), or -1.
int DateObj_FieldIndex(const char *name);
// One field of a set of stored fields.
int32_t DateObj_FieldOf(const DateFields &f, int field);

// Reads one property as an integer (truncated into the signed 32-bit range,
// NaN giving INT32_MIN). Returns 0, ERR_NOPROP when the property is missing
// or not a number, or the error code the property read gave.
uint32_t DateObj_ReadField(Object *o, int field, int32_t *out);
// Reads the seven properties into the local triple. A year of INT32_MIN
// gives the invalid triple without reading further. Returns 0 or a code as
// DateObj_ReadField does.
uint32_t DateObj_ReadTriple(Object *o, DayTriple *out);
// Writes the seven properties from a local triple (the invalid triple
// stores INT32_MIN in each). A triple with negative or overlong parts of a
// day is re-split first, so the stored fields are always a proper clock
// reading. Returns 0 or the code of the failed store.
// (`space`: the space whose date keys a new date takes, or null.)
uint32_t DateObj_WriteTriple(Object *o, const DayTriple &t, ProgramSpace *space = nullptr);

// The call's `this` as an object; for any other `this` the result is set to
// undefined and null returned (the method then does nothing).
Object *DateObj_This(RunContext *ctx);
// Argument i converted to a number. Returns 0, or the conversion's error code.
uint32_t DateObj_ArgNumber(RunContext *ctx, uint32_t i, double *out);
// Stores a finished method's outcome: an error code, else the number.
void DateObj_Answer(RunContext *ctx, uint32_t status, double value);
// Stores the text form of a local triple in the given mode (DATEFMT_* bits)
// as the result, or the code of its failure.
void DateObj_AnswerText(RunContext *ctx, const DayTriple &local, uint32_t mode);

}  // namespace quillon
