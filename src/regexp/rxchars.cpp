// Latin-1 character rules of regular expressions (word and space
// characters) and the escape readers shared by terms and classes.
#include "regexp/rxprogram.h"
#include "runtime/errors.h"

namespace quillon {

bool Rx_IsWordChar(uint8_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           (c >= 192 && c != 215 && c != 247);
}

bool Rx_IsSpace(uint8_t c) { return (c >= 9 && c <= 13) || c == 32 || c == 160; }

namespace {

int HexValue(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

uint8_t Rx_ReadHexEscape(const uint8_t *&p, const uint8_t *end, uint32_t digits, uint8_t letter) {
    const uint8_t *q = p;
    uint32_t value = 0;
    for (uint32_t i = 0; i < digits && q < end; ++i, ++q) {
        int d = HexValue(*q);
        if (d < 0) return letter;  // not an escape: the letter itself, p stays after it
        value = value * 16 + static_cast<uint32_t>(d);
    }
    p = q;
    return static_cast<uint8_t>(value);
}

uint8_t Rx_ReadOctalEscape(const uint8_t *&p, const uint8_t *end) {
    uint32_t value = 0;
    while (p < end && *p >= '0' && *p <= '7') {
        uint32_t next = value * 8 + static_cast<uint32_t>(*p - '0');
        ++p;
        if (next > 255) break;
        value = next;
    }
    return static_cast<uint8_t>(value);
}

uint32_t Rx_ParseFlags(const char *text, uint32_t len, uint32_t *flags) {
    uint32_t f = 0;
    for (uint32_t i = 0; i < len; ++i) {
        switch (text[i]) {
            case 'g': f |= RX_GLOBAL; break;
            case 'i': f |= RX_IGNORECASE; break;
            case 'm': f |= RX_MULTILINE; break;
            default: return ERR_RX_FLAG;
        }
    }
    *flags = f;
    return 0;
}

}  // namespace quillon
