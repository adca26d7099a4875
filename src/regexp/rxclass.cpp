// Bracket class bodies: the range check done while compiling and the member
// bitmap built before the first match. Both walk the body the same way, so
// what the compiler accepts is exactly what the bitmap holds.
#include "platform/latin1.h"
#include "regexp/rxprogram.h"
#include "runtime/errors.h"

namespace quillon {

namespace {

// One element of a class body: a single character or a set escape
// (\d \D \s \S \w \W, kept as its letter in `set`).
struct ClassAtom {
    uint8_t ch;
    uint8_t set;  // 0 for a single character
};

ClassAtom ReadAtom(const uint8_t *&p, const uint8_t *end) {
    ClassAtom a{*p++, 0};
    if (a.ch != '\\' || p >= end) return a;
    uint8_t e = *p;
    switch (e) {
        case 'd': case 'D': case 's': case 'S': case 'w': case 'W':
            ++p;
            a.set = e;
            return a;
        case 'b': ++p; a.ch = 8; return a;
        case 'f': ++p; a.ch = 12; return a;
        case 'n': ++p; a.ch = 10; return a;
        case 'r': ++p; a.ch = 13; return a;
        case 't': ++p; a.ch = 9; return a;
        case 'v': ++p; a.ch = 11; return a;
        case 'c':
            // \c takes any word character; otherwise the backslash stands
            // for itself and the c is read next.
            if (p + 1 < end && Rx_IsWordChar(p[1])) {
                a.ch = static_cast<uint8_t>(p[1] & 31);
                p += 2;
            }
            return a;
        case 'x': ++p; a.ch = Rx_ReadHexEscape(p, end, 2, 'x'); return a;
        case 'u': ++p; a.ch = Rx_ReadHexEscape(p, end, 4, 'u'); return a;
        default:
            if (e >= '0' && e <= '9') {
                a.ch = Rx_ReadOctalEscape(p, end);
                return a;
            }
            ++p;
            a.ch = e;
            return a;
    }
}

inline void SetBit(uint8_t *bits, uint32_t c) { bits[c >> 3] |= static_cast<uint8_t>(1u << (c & 7)); }

bool InSet(uint8_t set, uint8_t c) {
    switch (set) {
        case 'd': return c >= '0' && c <= '9';
        case 'D': return !(c >= '0' && c <= '9');
        case 's': return Rx_IsSpace(c);
        case 'S': return !Rx_IsSpace(c);
        case 'w': return Rx_IsWordChar(c);
        default: return !Rx_IsWordChar(c);
    }
}

}  // namespace

uint32_t RxClass_Walk(const uint8_t *body, uint32_t len, bool ignoreCase, uint8_t *bits) {
    const uint8_t *p = body;
    const uint8_t *end = body + len;
    if (bits) std::memset(bits, 0, RX_BITMAP_BYTES);
    while (p < end) {
        ClassAtom a = ReadAtom(p, end);
        if (a.set) {
            if (bits) {
                for (uint32_t c = 0; c < 256; ++c)
                    if (InSet(a.set, static_cast<uint8_t>(c))) SetBit(bits, c);
            }
            if (p < end && *p == '-') {
                // A set followed by '-' takes the '-' literally; \d is still
                // checked as if it were the character 9 starting a range.
                if (a.set == 'd' && p + 1 < end) {
                    const uint8_t *q = p + 1;
                    ClassAtom b = ReadAtom(q, end);
                    if (b.set || b.ch < '9') return ERR_RX_RANGE;
                }
                if (bits) SetBit(bits, '-');
                ++p;
            }
            continue;
        }
        if (p + 1 < end && *p == '-') {
            const uint8_t *q = p + 1;
            ClassAtom b = ReadAtom(q, end);
            if (b.set || b.ch < a.ch) return ERR_RX_RANGE;
            if (bits)
                for (uint32_t c = a.ch; c <= b.ch; ++c) SetBit(bits, c);
            p = q;
            continue;
        }
        if (bits) SetBit(bits, a.ch);
    }
    if (bits && ignoreCase) {
        for (uint32_t c = 0; c < 256; ++c) {
            if (!Rx_BitTest(bits, static_cast<uint8_t>(c))) continue;
            SetBit(bits, Plat_ToUpper(static_cast<uint8_t>(c)));
            SetBit(bits, Plat_ToLower(static_cast<uint8_t>(c)));
        }
    }
    return 0;
}

}  // namespace quillon
