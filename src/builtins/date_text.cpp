// Date texts: the standard form with its zone suffix, the UTC form and the
// locale forms. Every writer is bounded by the buffer it is given (lengths
// are those snprintf reports, cut to what fits); an invalid time writes
// "Invalid Date".
#include "builtins/date_text.h"

#include <cstdio>
#include <cstring>

#include "platform/clock.h"

namespace quillon {

const char *const kDateMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char *const kDateDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

namespace {

constexpr uint32_t kErrWrongType = 212;

// Stores the length that snprintf reports, bounded by what fits.
size_t Fitted(int n, size_t size) {
    if (n < 0 || size == 0) return 0;
    return static_cast<size_t>(n) < size ? static_cast<size_t>(n) : size - 1;
}

size_t Put(char *buf, size_t size, const char *text) {
    return Fitted(std::snprintf(buf, size, "%s", text), size);
}

uint32_t FormatLocale(const DayTriple &t, uint32_t mode, char *buf, size_t size, size_t *len) {
    char weekday[32], date[32], time[32];
    if (!Plat_DateToText(Date_StampFromTriple(t), weekday, date, time, sizeof weekday)) {
        return kErrWrongType;
    }
    const bool withDate = (mode & DATEFMT_DATE) != 0;
    const bool withTime = (mode & DATEFMT_TIME) != 0;
    int n;
    if (withDate && !withTime) {
        n = std::snprintf(buf, size, "%s %s", weekday, date);
    } else if (withTime && !withDate) {
        n = std::snprintf(buf, size, "%s", time);
    } else {
        n = std::snprintf(buf, size, "%s %s %s", weekday, date, time);
    }
    *len = Fitted(n, size);
    return 0;
}

size_t FormatUtc(const DayTriple &local, int32_t zoneOffset, char *buf, size_t size) {
    const DayTriple t = zoneOffset != 0 ? Date_UtcTriple(local, zoneOffset) : local;
    if (!Date_IsValid(t)) return Put(buf, size, "Invalid Date");
    const DateFields f = Date_FieldsFromTriple(t);
    return Fitted(std::snprintf(buf, size, "%s, %02ld %s %04ld %02ld:%02ld:%02ld UTC",
                                kDateDayNames[Date_Weekday(t)], static_cast<long>(f.date),
                                kDateMonthNames[f.month], static_cast<long>(f.year),
                                static_cast<long>(f.hours), static_cast<long>(f.minutes),
                                static_cast<long>(f.seconds)),
                  size);
}

size_t FormatStandard(const DayTriple &t, uint32_t mode, int32_t zoneOffset, char *buf,
                      size_t size) {
    const DateFields f = Date_FieldsFromTriple(t);
    const char *day = kDateDayNames[Date_Weekday(t)];
    const char *month = kDateMonthNames[f.month];
    const bool withDate = (mode & DATEFMT_DATE) != 0;
    const bool withTime = (mode & DATEFMT_TIME) != 0;
    if (withDate && !withTime) {
        return Fitted(std::snprintf(buf, size, "%s %s %02ld %04ld", day, month,
                                    static_cast<long>(f.date), static_cast<long>(f.year)),
                      size);
    }
    char zone[24];
    Date_ZoneSuffix(zoneOffset, zone, sizeof zone);
    if (withTime && !withDate) {
        return Fitted(
            std::snprintf(buf, size, "%02ld:%02ld:%02ld %s", static_cast<long>(f.hours),
                          static_cast<long>(f.minutes), static_cast<long>(f.seconds), zone),
            size);
    }
    return Fitted(std::snprintf(buf, size, "%s %s %02ld %02ld:%02ld:%02ld %s %04ld", day, month,
                                static_cast<long>(f.date), static_cast<long>(f.hours),
                                static_cast<long>(f.minutes), static_cast<long>(f.seconds), zone,
                                static_cast<long>(f.year)),
                  size);
}

}  // namespace

size_t Date_ZoneSuffix(int32_t zoneOffset, char *buf, size_t size) {
    const int64_t off = zoneOffset;
    int64_t hhmm = (off / 60) * 100 + off % 60;
    if (hhmm < 0) hhmm = -hhmm;
    return Fitted(std::snprintf(buf, size, "UTC%c%04lld", zoneOffset > 0 ? '-' : '+',
                                static_cast<long long>(hhmm)),
                  size);
}

uint32_t Date_Format(const DayTriple &local, uint32_t mode, int32_t zoneOffset, char *buf,
                     size_t size, size_t *len) {
    *len = 0;
    if (size == 0) return 0;
    if (!Date_IsValid(local)) {
        *len = Put(buf, size, "Invalid Date");
        return 0;
    }
    if (mode & DATEFMT_LOCALE) return FormatLocale(local, mode, buf, size, len);
    if (mode & DATEFMT_UTC) {
        *len = FormatUtc(local, zoneOffset, buf, size);
        return 0;
    }
    *len = FormatStandard(local, mode, zoneOffset, buf, size);
    return 0;
}

}  // namespace quillon
