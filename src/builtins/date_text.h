// The text forms of Date objects: the standard form with its zone suffix,
// the UTC form and the locale forms of the platform's date-to-text service.
#pragma once
#include <cstddef>
#include <cstdint>

#include "builtins/date_calendar.h"

namespace quillon {

// Mode bits of Date_Format.
enum : uint32_t {
    DATEFMT_LOCALE = 1,
    DATEFMT_STANDARD = 2,
    DATEFMT_UTC = 4,
    DATEFMT_DATE = 8,
    DATEFMT_TIME = 16,
};
// The modes of the methods.
constexpr uint32_t kDateFmtToString = 26, kDateFmtToDateString = 10, kDateFmtToTimeString = 18,
                   kDateFmtToLocaleString = 25, kDateFmtToLocaleDateString = 9,
                   kDateFmtToLocaleTimeString = 17, kDateFmtToUTCString = 6;

// Room for every text form, including the longest numbers a triple allows.
constexpr size_t kDateTextSize = 128;

// Month abbreviations "Jan" to "Dec" (index 0 to 11), weekdays "Sun" to "Sat".
extern const char *const kDateMonthNames[12];
extern const char *const kDateDayNames[7];

// The zone suffix of the standard form for a zone offset (minutes west of
// Greenwich): "UTC", "-" west or "+" otherwise, and four digits hhmm.
size_t Date_ZoneSuffix(int32_t zoneOffset, char *buf, size_t size);

// Writes the text form of a local triple in the given mode into buf (size
// bytes, kDateTextSize is always enough) and its length into *len. The
// invalid triple gives "Invalid Date". Returns 0, or 212 when the platform's
// date-to-text service fails for a locale form.
uint32_t Date_Format(const DayTriple &local, uint32_t mode, int32_t zoneOffset, char *buf,
                     size_t size, size_t *len);

}  // namespace quillon
