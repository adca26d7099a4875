// Date stamp, zone offset and the date-to-text service of the locale forms.
#pragma once
#include <cstddef>
#include <cstdint>

namespace quillon {

// The current local time as a date stamp: days since 1978-01-01, minutes
// since midnight, ticks (1/50 s) since the start of the minute.
struct DateStamp {
    int32_t days;
    int32_t minutes;
    int32_t ticks;
};
DateStamp Plat_DateStamp();

// Minutes west of Greenwich of the local time zone, read afresh each time
// from the C library's local time (0 when it cannot be determined).
int32_t Plat_ZoneOffset();
// Tests pin the offset (and the clock) so that results do not depend on the
// machine's settings.
void Plat_PinZoneOffset(bool pinned, int32_t minutesWest);
void Plat_PinDateStamp(bool pinned, DateStamp stamp);

// The locale date-to-text service: weekday name ("Saturday"), date text
// ("05-Nov-22") and time text ("12:30:00") of a date stamp, independent of
// the process's locale settings. Buffers of at least 16 bytes each.
bool Plat_DateToText(const DateStamp &stamp, char *weekday, char *date, char *time,
                     size_t size);

}  // namespace quillon
