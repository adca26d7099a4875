// Fuzz target: the date text parser. Each input is parsed in both modes and
// under a few zone offsets; an accepted text must give a whole number of
// milliseconds within the range of the calendar (a day's slack for the zone), a
// second parse must agree with the first, the UTC text of an accepted date
// must read back to the same second, and the parser must not touch the
// interpreter's memory.
#include <cmath>
#include <cstdint>
#include <string>

#include "builtins/date_calendar.h"
#include "builtins/date_parse.h"
#include "builtins/date_text.h"
#include "fuzz_common.h"
#include "runtime/memory.h"

namespace {

constexpr size_t kMaxInput = 1024;
// Dates here are fields, not a clipped time value: the calendar takes any
// time within 2e17 ms of the epoch.
constexpr double kMaxTime = 2.0e17;
const int32_t kZones[] = {0, -60, 300, -840, 720};

void CheckValue(const std::string &text, double v) {
    if (std::isnan(v) || std::fabs(v) > kMaxTime + 24 * 3600e3)
        quillon_fuzz::Fault("an accepted date outside the range of a Date", text);
    if (v != std::trunc(v)) quillon_fuzz::Fault("an accepted date with a fraction of a millisecond", text);
}

// An accepted time, written in the UTC text form, reads back to the same
// second (for years the parser can read: four digits or more, positive).
void CheckRoundTrip(const std::string &text, double v) {
    quillon::DayTriple t = quillon::Date_TripleFromTime(v);
    if (!quillon::Date_IsValid(t)) quillon_fuzz::Fault("an accepted date the calendar refuses", text);
    quillon::DateFields f = quillon::Date_FieldsFromTriple(t);
    if (f.year < 1000 || f.year > 200000) return;
    char buf[quillon::kDateTextSize];
    size_t len = 0;
    if (quillon::Date_Format(t, quillon::kDateFmtToUTCString, 0, buf, sizeof buf, &len) != 0) return;
    double back = 0;
    if (!quillon::Date_ParseText(buf, len, quillon::DATEPARSE_UTC, 0, &back))
        quillon_fuzz::Fault("the UTC text of an accepted date does not parse", text + " -> " + std::string(buf, len));
    double whole = std::floor(v / 1000.0) * 1000.0;
    if (back != whole) quillon_fuzz::Fault("the UTC text of an accepted date reads back differently",
                                           text + " -> " + std::string(buf, len));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace quillon;
    if (size > kMaxInput) return 0;
    quillon_fuzz::OpenOnce();
    int64_t before = MemUse;
    const char *text = reinterpret_cast<const char *>(data);
    std::string shown(text, size);
    for (int32_t zone : kZones) {
        double utc = 0, local = 0;
        bool okUtc = Date_ParseText(text, size, DATEPARSE_UTC, zone, &utc);
        bool okLocal = Date_ParseText(text, size, DATEPARSE_LOCAL, zone, &local);
        if (okUtc) CheckValue(shown, utc);
        if (okUtc && zone == 0) CheckRoundTrip(shown, utc);
        if (okLocal) CheckValue(shown, local);
        // Parsing again gives the same answer: the parser keeps no state.
        double again = 0;
        if (Date_ParseText(text, size, DATEPARSE_UTC, zone, &again) != okUtc || (okUtc && again != utc))
            quillon_fuzz::Fault("two parses of one text differ", shown);
    }
    if (MemUse != before) quillon_fuzz::Fault("the parser changed MemUse", shown);
    return 0;
}
