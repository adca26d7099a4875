// The growing text: one counted text block that grows by half (and 32 bytes)
// when it runs out, so appending n bytes costs amortised O(n). A text past
// the longest string, or a failed growth, marks the buffer failed: every
// later append answers false and the caller reports 103.
#include "builtins/strbuf.h"

#include <cstring>

namespace quillon {

bool StrBuf::Reserve(size_t extra) {
    if (failed) return false;
    size_t need = static_cast<size_t>(len) + extra;
    if (need <= cap) return true;
    if (need > kMaxStringLength) {
        failed = true;
        return false;
    }
    size_t grown = static_cast<size_t>(cap) + cap / 2 + 32;
    size_t want = need > grown ? need : grown;
    if (want > kMaxStringLength) want = kMaxStringLength;
    char *fresh = Text_Alloc(want);
    if (!fresh) {
        failed = true;
        return false;
    }
    if (len) std::memcpy(fresh, text, len);
    Text_Release(text);
    text = fresh;
    cap = static_cast<uint32_t>(want);
    return true;
}

bool StrBuf::Append(const char *bytes, size_t n) {
    if (n == 0) return !failed;
    if (!Reserve(n)) return false;
    std::memcpy(text + len, bytes, n);
    len += static_cast<uint32_t>(n);
    return true;
}

bool StrBuf::AppendStr(const char *s) { return Append(s, std::strlen(s)); }

bool StrBuf::AppendRepeat(const char *bytes, size_t n, uint64_t times) {
    if (n == 0 || times == 0) return !failed;
    if (times > kMaxStringLength / n) {
        failed = true;
        return false;
    }
    if (!Reserve(n * times)) return false;
    if (n == 1) {
        std::memset(text + len, bytes[0], times);
        len += static_cast<uint32_t>(times);
        return true;
    }
    for (uint64_t i = 0; i < times; ++i) {
        std::memcpy(text + len, bytes, n);
        len += static_cast<uint32_t>(n);
    }
    return true;
}

void StrBuf::Finish(JSAny *out) {
    if (failed) {
        JSAny_SetError(out, ERR_NOMEM);
        return;
    }
    char *t = text;
    if (!t || cap - len > len / 4 + 16) {
        // Much room left over (or nothing built): keep a block of the right size.
        t = Text_FromBytes(text ? text : "", len);
        if (!t) {
            JSAny_SetError(out, ERR_NOMEM);
            return;
        }
        Text_Release(text);
    }
    t[len] = 0;
    text = nullptr;
    uint32_t n = len;
    len = cap = 0;
    JSAny_SetStringAdoptLength(out, t, n);
}

}  // namespace quillon
