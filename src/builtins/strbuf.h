// A growing text for results built piece by piece (joined arrays, converted
// and concatenated strings). The text lives in a counted text block that
// grows geometrically; finishing hands it to a value record.
#pragma once
#include <cstddef>
#include <cstdint>

#include "values/jsany.h"

namespace quillon {

// The longest string a built-in builds. Longer results fail as out of
// memory before anything is allocated.
constexpr size_t kMaxStringLength = 0x3FFFFFF0u;

struct StrBuf {
    char *text = nullptr;  // counted text block, or null before the first byte
    uint32_t len = 0;
    uint32_t cap = 0;      // characters the block holds (its terminating zero aside)
    bool failed = false;   // memory ran out or the text grew too long

    StrBuf() = default;
    StrBuf(const StrBuf &) = delete;
    StrBuf &operator=(const StrBuf &) = delete;
    ~StrBuf() { Text_Release(text); }

    // Room for `extra` more characters; false (and failed) when it cannot be had.
    bool Reserve(size_t extra);
    bool Append(const char *bytes, size_t n);
    bool AppendChar(char c) { return Append(&c, 1); }
    bool AppendStr(const char *s);
    // Appends the same text `times` times.
    bool AppendRepeat(const char *bytes, size_t n, uint64_t times);

    // Stores the text as a counted string into *out (error 103 when the
    // building failed); the buffer is empty afterwards.
    void Finish(JSAny *out);
};

}  // namespace quillon
