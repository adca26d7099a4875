// Calendar arithmetic of dates: civil dates from day counts and back
// (proleptic Gregorian, days counted from 1978-01-01), day triples from time
// values and back, and field carries. Years, months and days are clamped
// first, so no product overflows for any value a script gives.
#include "builtins/date_calendar.h"

#include <cmath>

namespace quillon {

namespace {

// Quotient rounded toward minus infinity (b > 0).
constexpr int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b < 0) ? q - 1 : q;
}

constexpr int32_t kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

// Years beyond this bound give day counts far outside any triple; clamping
// keeps the products below exact and free of overflow for any caller.
constexpr int64_t kYearBound = int64_t{1} << 40;

constexpr int64_t Clamp(int64_t v) {
    return v > kYearBound ? kYearBound : v < -kYearBound ? -kYearBound : v;
}

constexpr int64_t DaysFromCivilImpl(int64_t year, int64_t month, int64_t day) {
    year = Clamp(year);
    month = Clamp(month);
    day = Clamp(day);
    if (month < 1 || month > 12) {
        const int64_t m0 = month - 1;
        year += FloorDiv(m0, 12);
        month = m0 - FloorDiv(m0, 12) * 12 + 1;
    }
    // Leap days are counted up to the end of February of y1: through the
    // previous year for January and February, through this year after.
    const int64_t y1 = month >= 3 ? year + 1 : year;
    return 365 * year + FloorDiv(y1 + 3, 4) - FloorDiv(y1 + 99, 100) + FloorDiv(y1 + 399, 400) +
           kDaysBeforeMonth[month - 1] + day - 722451;
}

static_assert(DaysFromCivilImpl(1978, 1, 1) == 0);
static_assert(DaysFromCivilImpl(1970, 1, 1) == -2922);

// Day count of 0000-03-01, the start of the first 400-year cycle of years
// that begin in March (each such year ends with the leap day, if any).
constexpr int64_t kCycleBase = DaysFromCivilImpl(0, 3, 1);

constexpr int64_t kMsPerMinute = 60000;
// Larger magnitudes never give a day count that fits a triple.
constexpr double kTimeBound = 2.0e17;

bool FitsDays(int64_t days) { return days > INT32_MIN && days <= INT32_MAX; }

int64_t TimeMs(const DayTriple &t) {
    return static_cast<int64_t>(t.days) * kMsPerDay +
           static_cast<int64_t>(t.minutes) * kMsPerMinute + t.ms + kEpochOffsetMs;
}

DayTriple TripleFromMs(int64_t t) {
    const int64_t d = t - kEpochOffsetMs;
    const int64_t days = FloorDiv(d, kMsPerDay);
    if (!FitsDays(days)) return kInvalidTriple;
    const int64_t r = d - days * kMsPerDay;
    DayTriple out;
    out.days = static_cast<int32_t>(days);
    out.minutes = static_cast<int32_t>(r / kMsPerMinute);
    out.ms = static_cast<int32_t>(r % kMsPerMinute);
    return out;
}

// Splits v into a remainder with v's sign below the unit in magnitude and
// returns the truncated quotient. fmod is exact, so integers below 2^53 carry
// exactly; beyond that the result is out of range anyway.
double Carry(double &v, double unit) {
    const double r = std::fmod(v, unit);
    const double q = (v - r) / unit;
    v = r;
    return q;
}

}  // namespace

int64_t Date_DaysFromCivil(int64_t year, int64_t month, int64_t day) {
    return DaysFromCivilImpl(year, month, day);
}

CivilDate Date_CivilFromDays(int32_t days) {
    const int64_t z = static_cast<int64_t>(days) - kCycleBase;
    const int64_t era = FloorDiv(z, 146097);
    int64_t rest = z - era * 146097;   // 0 to 146096
    int64_t centuries = rest / 36524;  // the last century has one day more
    if (centuries > 3) centuries = 3;
    rest -= centuries * 36524;
    const int64_t quads = rest / 1461;
    rest -= quads * 1461;
    int64_t years = rest / 365;  // the last year of four has the leap day
    if (years > 3) years = 3;
    rest -= years * 365;                      // day of the March-based year, 0 to 365
    const int64_t mp = (5 * rest + 2) / 153;  // 0 = March ... 11 = February
    CivilDate c;
    c.day = static_cast<int32_t>(rest - (153 * mp + 2) / 5 + 1);
    c.month = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);
    c.year = static_cast<int32_t>(era * 400 + centuries * 100 + quads * 4 + years +
                                  (c.month <= 2 ? 1 : 0));
    return c;
}

double Date_TimeFromTriple(const DayTriple &t) {
    if (!Date_IsValid(t)) return std::nan("");
    return static_cast<double>(TimeMs(t));
}

DayTriple Date_TripleFromTime(double t) {
    if (!std::isfinite(t)) return kInvalidTriple;
    t = std::trunc(t);
    if (std::fabs(t) > kTimeBound) return kInvalidTriple;
    return TripleFromMs(static_cast<int64_t>(t));
}

DayTriple Date_TripleFromFields(const DateFields &f) {
    if (f.year == kDateInvalid) return kInvalidTriple;
    const int64_t days = Date_DaysFromCivil(f.year, static_cast<int64_t>(Date_Take16(f.month)) + 1,
                                            Date_Take16(f.date));
    if (!FitsDays(days)) return kInvalidTriple;
    DayTriple t;
    t.days = static_cast<int32_t>(days);
    t.minutes = Date_Take16(f.hours) * 60 + Date_Take16(f.minutes);
    t.ms = Date_Take16(f.seconds) * 1000 + Date_Take16(f.ms);
    return t;
}

DateFields Date_FieldsFromTriple(const DayTriple &t) {
    if (!Date_IsValid(t)) {
        return DateFields{kDateInvalid, kDateInvalid, kDateInvalid, kDateInvalid,
                          kDateInvalid, kDateInvalid, kDateInvalid};
    }
    const CivilDate c = Date_CivilFromDays(t.days);
    DateFields f;
    f.year = c.year;
    f.month = c.month - 1;
    f.date = c.day;
    f.hours = t.minutes / 60;
    f.minutes = t.minutes % 60;
    f.seconds = t.ms / 1000;
    f.ms = t.ms % 1000;
    return f;
}

DayTriple Date_Normalise(int64_t year, int64_t month, int64_t date, double hours, double minutes,
                         double seconds, double ms) {
    if (!std::isfinite(hours) || !std::isfinite(minutes) || !std::isfinite(seconds) ||
        !std::isfinite(ms)) {
        return kInvalidTriple;
    }
    hours = std::trunc(hours);
    minutes = std::trunc(minutes);
    seconds = std::trunc(seconds);
    ms = std::trunc(ms);
    seconds += Carry(ms, 1000);
    minutes += Carry(seconds, 60);
    hours += Carry(minutes, 60);
    const double dayCarry = Carry(hours, 24);
    if (!(std::fabs(dayCarry) < 1e12)) return kInvalidTriple;
    if (month > kYearBound || month < -kYearBound) return kInvalidTriple;
    const int64_t days = Date_DaysFromCivil(year, month + 1, date) + static_cast<int64_t>(dayCarry);
    if (!FitsDays(days)) return kInvalidTriple;
    DayTriple t;
    t.days = static_cast<int32_t>(days);
    t.minutes = static_cast<int32_t>(hours * 60 + minutes);
    t.ms = static_cast<int32_t>(seconds * 1000 + ms);
    return t;
}

int32_t Date_Weekday(const DayTriple &t) {
    if (!Date_IsValid(t)) return -1;
    int64_t day = t.days;
    if (static_cast<int64_t>(t.minutes) * kMsPerMinute + t.ms < 0) day -= 1;
    return static_cast<int32_t>(day - FloorDiv(day, 7) * 7);
}

DayTriple Date_ShiftTriple(const DayTriple &t, int64_t minutes) {
    if (!Date_IsValid(t)) return kInvalidTriple;
    if (minutes > kYearBound || minutes < -kYearBound) return kInvalidTriple;
    return TripleFromMs(TimeMs(t) + minutes * kMsPerMinute);
}

double Date_UtcTimeOf(const DayTriple &local, int32_t zoneOffset) {
    if (!Date_IsValid(local)) return std::nan("");
    return static_cast<double>(TimeMs(local) + static_cast<int64_t>(zoneOffset) * kMsPerMinute);
}

DayTriple Date_LocalTripleOf(double utcTime, int32_t zoneOffset) {
    if (!std::isfinite(utcTime)) return kInvalidTriple;
    return Date_TripleFromTime(std::trunc(utcTime) -
                               static_cast<double>(zoneOffset) * static_cast<double>(kMsPerMinute));
}

DayTriple Date_TripleFromStamp(const DateStamp &s) {
    DayTriple t;
    t.days = s.days;
    t.minutes = s.minutes;
    t.ms = s.ticks * 20;
    return t;
}

DateStamp Date_StampFromTriple(const DayTriple &t) {
    DateStamp s;
    s.days = t.days;
    s.minutes = t.minutes;
    s.ticks = t.ms / 20;
    return s;
}

}  // namespace quillon
