// Fuzz target: the date text parser. Each input is parsed in both modes and
// under a few zone offsets; an accepted text must give a whole number of
// milliseconds within the range of a Date (a day's slack for the zone), a
// second parse must agree with the first, and the parser must not touch the
// interpreter's memory.
#include <cmath>
#include <cstdint>
#include <string>

#include "builtins/date_parse.h"
#include "fuzz_common.h"
#include "runtime/memory.h"

namespace {

constexpr size_t kMaxInput = 1024;
constexpr double kMaxTime = 8.64e15;
const int32_t kZones[] = {0, -60, 300, -840, 720};

void CheckValue(const std::string &text, double v) {
    if (std::isnan(v) || std::fabs(v) > kMaxTime + 24 * 3600e3)
        quillon_fuzz::Fault("an accepted date outside the range of a Date", text);
    if (v != std::trunc(v)) quillon_fuzz::Fault("an accepted date with a fraction of a millisecond", text);
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
        if (okLocal) CheckValue(shown, local);
        // Parsing again gives the same answer: the parser keeps no state.
        double again = 0;
        if (Date_ParseText(text, size, DATEPARSE_UTC, zone, &again) != okUtc || (okUtc && again != utc))
            quillon_fuzz::Fault("two parses of one text differ", shown);
    }
    if (MemUse != before) quillon_fuzz::Fault("the parser changed MemUse", shown);
    return 0;
}
