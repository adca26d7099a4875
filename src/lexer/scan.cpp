// Scanners that measure literals and comments without making anything; the
// handlers use them, and so does the mapping of tokens back to their text.
#include "lexer/lexstate.h"
#include "numconv/numconv.h"
#include "runtime/errors.h"
#include "runtime/idtable.h"

namespace quillon {

namespace {

inline bool IsLineEnd(uint8_t c) { return c == 0 || c == '\n' || c == '\r'; }

// Letters that may not follow the flags of a regular-expression literal:
// ASCII letters and the Latin-1 letters (192 and up, without the signs of
// multiplication and division).
inline bool IsFlagLetter(uint8_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    return c >= 192 && c != 215 && c != 247;
}

}  // namespace

uint32_t Lex_ScanString(const char *at, bool *closed) {
    const auto *p = reinterpret_cast<const uint8_t *>(at);
    uint8_t quote = p[0];
    uint32_t i = 1;
    for (;;) {
        uint8_t c = p[i];
        if (c == quote) {
            *closed = true;
            return i + 1;
        }
        if (IsLineEnd(c)) break;
        if (c == '\\') {
            uint8_t e = p[i + 1];
            if (e == 0) {
                ++i;
                break;
            }
            i += 2;
            if (e == '\r' && p[i] == '\n') ++i;  // continuation over a CR LF pair
            continue;
        }
        ++i;
    }
    *closed = false;
    return i;
}

void Lex_ScanRegex(const char *at, RegexScan *out) {
    const auto *p = reinterpret_cast<const uint8_t *>(at);
    uint32_t i = 1;
    bool inClass = false;
    out->flags = 0;
    for (;;) {
        uint8_t c = p[i];
        if (IsLineEnd(c)) {
            out->length = i;
            out->bodyLen = i - 1;
            out->error = inClass ? ERR_RX_CLASSOPEN : ERR_RX_OPEN;
            return;
        }
        if (c == '\\') {
            i += IsLineEnd(p[i + 1]) ? 1 : 2;
            continue;
        }
        if (c == '[') inClass = true;
        else if (c == ']') inClass = false;
        else if (c == '/' && !inClass) break;
        ++i;
    }
    out->bodyLen = i - 1;
    ++i;
    for (;; ++i) {
        uint8_t c = p[i];
        if (c == 'i') out->flags |= 1;
        else if (c == 'g') out->flags |= 2;
        else if (c == 'm') out->flags |= 4;
        else break;
    }
    if (IsFlagLetter(p[i])) {
        out->length = i + 1;
        out->error = ERR_RX_FLAG;
        return;
    }
    out->length = i;
    out->error = 0;
}

uint32_t Lex_LineLength(const char *at) {
    const auto *p = reinterpret_cast<const uint8_t *>(at);
    uint32_t i = 0;
    while (!IsLineEnd(p[i])) ++i;
    return i;
}

uint32_t Lex_BlockLength(const char *at) {
    for (uint32_t i = 2; at[i]; ++i) {
        if (at[i] == '*' && at[i + 1] == '/') return i + 2;
    }
    return 0;
}

uint32_t Lex_SkipLeading(const char *at) {
    const auto *p = reinterpret_cast<const uint8_t *>(at);
    uint32_t i = 0;
    for (;;) {
        uint8_t c = p[i];
        if (c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == 0xA0) {
            ++i;
        } else if (c == 0xEF && p[i + 1] == 0xBB && p[i + 2] == 0xBF) {
            i += 3;
        } else if (c == '/' && p[i + 1] == '*') {
            uint32_t n = Lex_BlockLength(at + i);
            if (n == 0) return i;  // an unmatched comment is a token
            i += n;
        } else if ((c == '/' && p[i + 1] == '/') ||
                   (c == '<' && p[i + 1] == '!' && p[i + 2] == '-' && p[i + 3] == '-') ||
                   (c == '-' && p[i + 1] == '-' && p[i + 2] == '>')) {
            i += Lex_LineLength(at + i);
        } else {
            return i;
        }
    }
}

uint32_t Lex_OwnLength(uint32_t code, const char *at) {
    const auto *p = reinterpret_cast<const uint8_t *>(at);
    if (code == TK_END) return 0;
    if (code == TK_LINE) return (p[0] == '\r' && p[1] == '\n') ? 2 : 1;
    if (code == TK_OTHER) return 1;
    if (Tk_IsOperand(code)) {
        uint8_t c = p[0];
        if (c == '"' || c == '\'') {
            bool closed;
            return Lex_ScanString(at, &closed);
        }
        if (c == '/') {
            if (p[1] == '*') return 2;  // an unmatched comment
            RegexScan rx;
            Lex_ScanRegex(at, &rx);
            return rx.length;
        }
        if (Lex_Classes()[c] == 2) return static_cast<uint32_t>(Id_Length(Lex_Classes(), at));
        double v;
        size_t n = Num_ScanLiteral(at, true, &v);
        return n ? static_cast<uint32_t>(n) : 1;
    }
    uint32_t n = Lex_FixedLength(code);
    return n ? n : 1;
}

}  // namespace quillon
