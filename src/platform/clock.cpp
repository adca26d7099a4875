// Date stamp and zone offset from the C library's clock, both of which tests
// may pin to fixed values, and the date-to-text service of the locale forms.
// Day counts are from 1978-01-01, as the MorphOS date stamp counts them.
#include "platform/clock.h"

#include <cstdio>
#include <ctime>
#include <sys/time.h>

namespace quillon {

namespace {

bool gZonePinned = false;
int32_t gZone = 0;
bool gStampPinned = false;
DateStamp gStamp{};

// Days from 1978-01-01 to the civil date (proleptic Gregorian).
int32_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const int64_t daysSince1970 = era * 146097 + static_cast<int64_t>(doe) - 719468;
    return static_cast<int32_t>(daysSince1970 - 2922);
}

void CivilFromDays(int64_t days1978, int64_t &y, unsigned &m, unsigned &d) {
    int64_t z = days1978 + 2922 + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

}  // namespace

DateStamp Plat_DateStamp() {
    if (gStampPinned) return gStamp;
    struct timeval tv;
    gettimeofday(&tv, nullptr);
    time_t secs = tv.tv_sec;
    struct tm local;
    localtime_r(&secs, &local);
    DateStamp s;
    s.days = DaysFromCivil(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                           static_cast<unsigned>(local.tm_mday));
    s.minutes = local.tm_hour * 60 + local.tm_min;
    s.ticks = local.tm_sec * 50 + static_cast<int32_t>(tv.tv_usec / 20000);
    return s;
}

int32_t Plat_ZoneOffset() {
    if (gZonePinned) return gZone;
    // Date methods ask for the offset on every call; the zone tables are read
    // at most once a second (per thread, so tasks never share the cache).
    thread_local time_t cachedAt = -1;
    thread_local int32_t cached = 0;
    time_t now = time(nullptr);
    if (now == cachedAt) return cached;
    struct tm local;
    if (!localtime_r(&now, &local)) return 0;
    cached = static_cast<int32_t>(-local.tm_gmtoff / 60);
    cachedAt = now;
    return cached;
}

void Plat_PinZoneOffset(bool pinned, int32_t minutesWest) {
    gZonePinned = pinned;
    gZone = minutesWest;
}

void Plat_PinDateStamp(bool pinned, DateStamp stamp) {
    gStampPinned = pinned;
    gStamp = stamp;
}

bool Plat_DateToText(const DateStamp &stamp, char *weekday, char *date, char *time,
                     size_t size) {
    static const char *const kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                        "Thursday", "Friday", "Saturday"};
    static const char *const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (size < 16) return false;
    int64_t y;
    unsigned m, d;
    CivilFromDays(stamp.days, y, m, d);
    int wd = static_cast<int>(((stamp.days % 7) + 7) % 7);  // 1978-01-01 was a Sunday
    std::snprintf(weekday, size, "%s", kDays[wd]);
    std::snprintf(date, size, "%02u-%s-%02d", d, kMonths[m - 1],
                  static_cast<int>(((y % 100) + 100) % 100));
    int32_t secs = stamp.ticks / 50;
    std::snprintf(time, size, "%02d:%02d:%02d", stamp.minutes / 60, stamp.minutes % 60, secs);
    return true;
}

}  // namespace quillon
