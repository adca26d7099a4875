// The free-form date parser: numbers, month and weekday words (any prefix,
// the later word winning), am/pm and zone words, read left to right into
// one parse state.
// Digit runs saturate instead of overflowing; a word or number it cannot
// place makes the parse fail (the caller's NaN).
#include "builtins/date_parse.h"

#include "builtins/date_calendar.h"
#include "platform/latin1.h"

namespace quillon {

namespace {

// Word actions: below 0 am/pm, 0 ignored, 2 to 13 a month (value - 2),
// from kZoneWord on a zone of (value - kZoneWord) minutes west.
constexpr int32_t kAm = -1;
constexpr int32_t kPm = -2;
constexpr int32_t kZoneWord = 10000;

struct DateWord {
    const char *name;
    int32_t action;
};

// Searched from the last entry, so a short prefix picks the later entry
// ("ma" is "may", not "march").
constexpr DateWord kWords[] = {
    {"am", kAm},      {"pm", kPm},    {"monday", 0},     {"tuesday", 0},  {"wednesday", 0},
    {"thursday", 0},  {"friday", 0},  {"saturday", 0},   {"sunday", 0},   {"january", 2},
    {"february", 3},  {"march", 4},   {"april", 5},      {"may", 6},      {"june", 7},
    {"july", 8},      {"august", 9},  {"september", 10}, {"october", 11}, {"november", 12},
    {"december", 13}, {"gmt", 10000}, {"ut", 10000},     {"utc", 10000},  {"est", 10300},
    {"edt", 10240},   {"cst", 10360}, {"cdt", 10300},    {"mst", 10420},  {"mdt", 10360},
    {"pst", 10480},   {"pdt", 10420},
};

constexpr int64_t kUnset = INT64_MIN;
// Digit runs saturate here; any larger number is out of range anyway.
constexpr int64_t kNumberCap = 100000000000000;  // 10^14

inline bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }
inline bool IsLetter(uint8_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool IsSeparator(uint8_t c) { return c <= 32 || c == ','; }


// The entry that the whole word is a prefix of, searched from the end;
// -1 when there is none.
int FindWord(const uint8_t *word, size_t n) {
    for (int k = static_cast<int>(sizeof kWords / sizeof kWords[0]) - 1; k >= 0; --k) {
        const char *name = kWords[k].name;
        size_t j = 0;
        while (j < n && name[j] != '\0' && Plat_ToLower(word[j]) == static_cast<uint8_t>(name[j])) ++j;
        if (j == n) return k;
    }
    return -1;
}

struct ParseState {
    int64_t year = kUnset, month = kUnset, day = kUnset;
    int64_t hour = kUnset, minute = kUnset, second = kUnset;
    int64_t zone = kUnset;  // minutes west of Greenwich
    uint8_t prev = 0;       // the last '+', '-', '/' or ':' not yet used
    bool offsetRead = false;
};

// Applies a number given the byte after it (ignored at the end).
bool TakeNumber(ParseState &s, int64_t n, bool atEnd, uint8_t next) {
    if (s.prev == '+' || s.prev == '-') {
        int64_t offset = n < 24 ? n * 60 : (n / 100) * 60 + n % 100;
        if (s.prev == '+') offset = -offset;  // east of Greenwich
        if (s.zone != kUnset && s.zone != 0) return false;
        s.zone = offset;
        s.offsetRead = true;
        return true;
    }
    if (n >= 70 || (s.prev == '/' && s.month != kUnset && s.day != kUnset && s.year == kUnset)) {
        if (s.year != kUnset) return false;
        if (!atEnd && !IsSeparator(next) && next != '/') return false;
        s.year = n <= 99 ? n + 1900 : n;
        return true;
    }
    if (!atEnd && next == ':') {
        if (s.hour == kUnset) {
            s.hour = n;
        } else if (s.minute == kUnset) {
            s.minute = n;
        } else {
            return false;
        }
        return true;
    }
    if (!atEnd && next == '/') {
        if (s.month == kUnset) {
            s.month = n - 1;
        } else if (s.day == kUnset) {
            s.day = n;
        } else {
            return false;
        }
        return true;
    }
    if (!atEnd && !IsSeparator(next) && next != '+' && next != '-') return false;
    if (s.offsetRead && n < 60) {
        // "GMT+1:30": minutes of the offset just read.
        s.zone = s.zone < 0 ? s.zone - n : s.zone + n;
        return true;
    }
    if (s.hour != kUnset && s.minute == kUnset) {
        s.minute = n;
    } else if (s.hour != kUnset && s.minute != kUnset && s.second == kUnset) {
        s.second = n;
    } else if (s.day == kUnset) {
        s.day = n;
    } else {
        return false;
    }
    return true;
}

bool TakeWord(ParseState &s, const uint8_t *word, size_t n) {
    const int k = FindWord(word, n);
    if (k < 0) return false;
    const int32_t action = kWords[k].action;
    if (action == kAm || action == kPm) {
        if (s.hour == kUnset || s.hour > 12) return false;
        if (action == kAm && s.hour == 12) s.hour = 0;
        if (action == kPm && s.hour < 12) s.hour += 12;
    } else if (action >= kZoneWord) {
        s.zone = action - kZoneWord;
    } else if (action > 0) {
        if (s.month != kUnset) return false;
        s.month = action - 2;
    }
    return true;
}

}  // namespace

bool Date_ParseText(const char *text, size_t len, int mode, int32_t zoneOffset, double *out) {
    const uint8_t *p = reinterpret_cast<const uint8_t *>(text);
    ParseState s;
    size_t i = 0;
    while (i < len) {
        const uint8_t c = p[i];
        if (IsSeparator(c)) {
            ++i;
        } else if (c == '(') {
            // A comment, nesting, to the matching ')' or the end of the text.
            size_t depth = 1;
            for (++i; i < len && depth > 0; ++i) {
                if (p[i] == '(') ++depth;
                if (p[i] == ')') --depth;
            }
        } else if (c == '-') {
            if (i + 1 < len && IsDigit(p[i + 1])) s.prev = c;
            ++i;
        } else if (c == '+' || c == '/' || c == ':') {
            s.prev = c;
            ++i;
        } else if (IsDigit(c)) {
            int64_t n = 0;
            for (; i < len && IsDigit(p[i]); ++i) {
                if (n <= kNumberCap) n = n * 10 + (p[i] - '0');
            }
            if (!TakeNumber(s, n, i >= len, i < len ? p[i] : 0)) return false;
            s.prev = 0;
        } else if (IsLetter(c)) {
            const size_t start = i;
            while (i < len && IsLetter(p[i])) ++i;
            if (!TakeWord(s, p + start, i - start)) return false;
            s.prev = 0;
        } else {
            return false;
        }
    }
    if (s.year == kUnset || s.month == kUnset || s.day == kUnset) return false;
    const int64_t hour = s.hour == kUnset ? 0 : s.hour;
    const int64_t minute = s.minute == kUnset ? 0 : s.minute;
    const int64_t second = s.second == kUnset ? 0 : s.second;
    const int64_t days = Date_DaysFromCivil(s.year, s.month + 1, s.day);
    if (days <= INT32_MIN || days > INT32_MAX) return false;
    // Every clock field is below 70 here, so the sum is exact.
    double value = static_cast<double>(days * kMsPerDay + kEpochOffsetMs) +
                   static_cast<double>(((hour * 60 + minute) * 60 + second) * 1000);
    if (mode == DATEPARSE_UTC) {
        if (s.zone == kUnset) value += static_cast<double>(zoneOffset) * 60000.0;
    } else if (s.zone != kUnset) {
        value += static_cast<double>(s.zone - zoneOffset) * 60000.0;
    }
    if (!Date_IsValid(Date_TripleFromTime(value))) return false;
    *out = value;
    return true;
}

}  // namespace quillon
