// Latin-1 collation: base letters first (case and accents ignored), then
// length, then the bytes, so "a" sorts before "B" and an accented letter
// beside its base letter. (The case mapping is inline in latin1.h.)
#include "platform/latin1.h"

namespace quillon {

namespace {

// Primary weight of a byte: letters with accents weigh as their base letter,
// upper and lower case alike. Bytes without a letter meaning keep their own
// value, above every letter of the same range.
constexpr uint8_t BaseLetter(uint8_t c) {
    if (c >= 'a' && c <= 'z') return c - 32;
    if (c >= 192) {
        constexpr const char *kBase =
            // 192..223: ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖ×ØÙÚÛÜÝÞß
            "AAAAAAACEEEEIIIIDNOOOOO\xD7OUUUUYTS"
            // 224..255: àáâãäåæçèéêëìíîïðñòóôõö÷øùúûüýþÿ
            "AAAAAAACEEEEIIIIDNOOOOO\xF7OUUUUYTY";
        return static_cast<uint8_t>(kBase[c - 192]);
    }
    return c;
}

}  // namespace

int32_t Plat_Collate(const char *a, size_t alen, const char *b, size_t blen) {
    const auto *ua = reinterpret_cast<const uint8_t *>(a);
    const auto *ub = reinterpret_cast<const uint8_t *>(b);
    size_t n = alen < blen ? alen : blen;
    for (size_t i = 0; i < n; ++i) {
        int d = BaseLetter(ua[i]) - BaseLetter(ub[i]);
        if (d != 0) return d;
    }
    if (alen != blen) return alen < blen ? -1 : 1;
    for (size_t i = 0; i < n; ++i) {
        int d = ua[i] - ub[i];
        if (d != 0) return d;
    }
    return 0;
}

}  // namespace quillon
