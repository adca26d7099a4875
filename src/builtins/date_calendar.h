// Calendar arithmetic of Date objects. A Date keeps its moment as local
// civil fields; every method goes through the day triple {days since
// 1978-01-01, minutes since midnight, milliseconds since the start of the
// minute}. Time values are milliseconds since 1970-01-01 00:00 UTC.
#pragma once
#include <cstdint>

#include "platform/clock.h"

namespace quillon {

struct DayTriple {
    int32_t days;  // INT32_MIN marks an invalid date
    int32_t minutes;
    int32_t ms;
};

constexpr int32_t kDateInvalid = INT32_MIN;
constexpr DayTriple kInvalidTriple = {kDateInvalid, 0, 0};
constexpr int64_t kMsPerDay = 86400000;
constexpr int64_t kEpochDays1970 = -2922;         // 1970-01-01 counted from 1978-01-01
constexpr int64_t kEpochOffsetMs = 252460800000;  // 2922 days

inline bool Date_IsValid(const DayTriple &t) { return t.days != kDateInvalid; }

// The seven stored fields of a Date object (month 0 to 11). An invalid date
// stores INT32_MIN in all of them.
struct DateFields {
    int32_t year, month, date, hours, minutes, seconds, ms;
};

struct CivilDate {
    int32_t year;
    int32_t month;  // 1 to 12
    int32_t day;    // 1 to 31
};

// Days since 1978-01-01 of a proleptic Gregorian date. A month outside 1 to
// 12 carries into the year; the day is added as it stands (0 is the last day
// of the previous month). Exact for every int32 year.
int64_t Date_DaysFromCivil(int64_t year, int64_t month, int64_t day);
// The inverse, for any int32 day count.
CivilDate Date_CivilFromDays(int32_t days);

// Time value of a triple (NaN for the invalid triple).
double Date_TimeFromTriple(const DayTriple &t);
// Triple of a time value: the value is truncated to whole milliseconds and
// split into the day that contains it and non-negative minutes and
// milliseconds. NaN, infinities and moments whose day count does not fit
// give the invalid triple.
DayTriple Date_TripleFromTime(double t);

// Triple of stored fields (the reading of a Date object): a year of
// INT32_MIN gives the invalid triple; month, date, hours, minutes, seconds
// and ms are taken as signed 16-bit values.
DayTriple Date_TripleFromFields(const DateFields &f);
// Fields to store for a triple: civil date of the day, hours = minutes / 60,
// minutes % 60, seconds = ms / 1000, ms % 1000 (truncating, so negative
// parts stay negative). The invalid triple gives INT32_MIN everywhere.
DateFields Date_FieldsFromTriple(const DayTriple &t);

// Triple of a date given field by field (constructor, setters, Date.UTC):
// hours, minutes, seconds and ms are truncated to integers and carried
// upwards with truncating quotients, so a negative remainder stays negative;
// the month carries into the year and is made 0 to 11. Non-finite times and
// days that do not fit give the invalid triple.
DayTriple Date_Normalise(int64_t year, int64_t month, int64_t date, double hours, double minutes,
                         double seconds, double ms);

// Weekday, 0 = Sunday (1978-01-01 was one); a triple whose time of day is
// negative belongs to the day before. -1 for the invalid triple.
int32_t Date_Weekday(const DayTriple &t);

// The triple moved by a number of minutes (local to UTC: + zone offset;
// UTC to local: - zone offset), re-split from its time value.
DayTriple Date_ShiftTriple(const DayTriple &t, int64_t minutes);
inline DayTriple Date_UtcTriple(const DayTriple &local, int32_t zoneOffset) {
    return Date_ShiftTriple(local, zoneOffset);
}
inline DayTriple Date_LocalTriple(const DayTriple &utc, int32_t zoneOffset) {
    return Date_ShiftTriple(utc, -static_cast<int64_t>(zoneOffset));
}

// The UTC time value of a local triple (getTime): its time value plus the
// zone offset; NaN for the invalid triple.
double Date_UtcTimeOf(const DayTriple &local, int32_t zoneOffset);
// The local triple of a UTC time value (setTime, the constructor with a
// number): the value truncated, less the zone offset, split into a triple.
DayTriple Date_LocalTripleOf(double utcTime, int32_t zoneOffset);

// Triple of a platform date stamp (ticks of 1/50 s become milliseconds),
// and the stamp of a triple (milliseconds become ticks, truncating).
DayTriple Date_TripleFromStamp(const DateStamp &s);
DateStamp Date_StampFromTriple(const DayTriple &t);

// A stored field taken as a signed 16-bit value.
inline int32_t Date_Take16(int32_t v) {
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(v) & 0xFFFFu));
}

}  // namespace quillon
