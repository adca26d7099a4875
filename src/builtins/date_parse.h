// The free-form date text parser behind Date.parse and the Date constructor.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace quillon {

enum : int {
    DATEPARSE_UTC = 0,    // Date.parse: a time value in UTC
    DATEPARSE_LOCAL = 1,  // constructor: the local clock reading as a time value
};

// Parses len bytes of text. On success stores the time value in *out and
// returns true; a text the rules reject, or a date too far out for a Date,
// returns false. zoneOffset is the local zone's offset, minutes west of
// Greenwich. A text without a zone is local time: in UTC mode the offset is
// added. A zone in the text is applied in local mode only.
bool Date_ParseText(const char *text, size_t len, int mode, int32_t zoneOffset, double *out);

inline bool Date_Parse(const char *text, int mode, int32_t zoneOffset, double *out) {
    return Date_ParseText(text, std::strlen(text), mode, zoneOffset, out);
}

}  // namespace quillon
