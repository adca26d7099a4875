// The handlers of the token table: comments, the slash and the arrow rules,
// string and regular-expression literals, identifiers, numbers and the
// fallback for any other byte.
#include "lexer/lexstate.h"
#include "numconv/numconv.h"
#include "runtime/errors.h"
#include "runtime/idtable.h"
#include "runtime/memory.h"

namespace quillon {

namespace {

RegExpMaker gMaker = nullptr;

// A literal operand whose constant is an error value (lexical errors are
// raised only when the token is evaluated).
uint32_t ErrorOperand(LexState *st, uint32_t error, uint32_t *code) {
    uint32_t index;
    uint32_t err = Lex_NewOperand(st->store, nullptr, &index);
    if (err) return err;
    *st->store->ops[index].constant = JSAny_Err(error);
    *code = TK_OPERAND + index;
    return 0;
}

inline int HexValue(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Punctuation of the U+2010..U+2022 block in the platform's 8-bit set.
constexpr uint8_t kPunct2010[] = {
    0x2D, 0x00, 0x2D, 0x96, 0x97, 0x2D, 0x7C, 0x5F, 0x91, 0x92, 0x81,
    0x60, 0x93, 0x94, 0x84, 0x93, 0x86, 0x87, 0x95,
};

uint8_t CodePointByte(uint32_t cp) {
    if (cp <= 0xFF) return static_cast<uint8_t>(cp);
    if (cp == 0x2122) return 0x99;
    if (cp >= 0x2010 && cp <= 0x2022) return kPunct2010[cp - 0x2010];
    return '?';
}

// Decodes the escapes of a string body of n bytes into out (room for n
// bytes); returns the decoded length.
uint32_t DecodeString(const uint8_t *s, uint32_t n, int32_t compat, uint8_t *out) {
    uint32_t o = 0;
    uint32_t i = 0;
    while (i < n) {
        uint8_t c = s[i];
        if (c != '\\' || i + 1 >= n) {
            out[o++] = c;
            ++i;
            continue;
        }
        uint8_t e = s[i + 1];
        i += 2;
        switch (e) {
        case 'n': out[o++] = 10; break;
        case 'r': out[o++] = 13; break;
        case 't': out[o++] = 9; break;
        case 'b': out[o++] = 8; break;
        case 'f': out[o++] = 12; break;
        case 'v': out[o++] = 11; break;
        case 'x':
            if (i + 1 < n && HexValue(s[i]) >= 0 && HexValue(s[i + 1]) >= 0) {
                out[o++] = static_cast<uint8_t>(HexValue(s[i]) * 16 + HexValue(s[i + 1]));
                i += 2;
            } else {
                out[o++] = 'x';
            }
            break;
        case 'u': {
            uint32_t cp = 0;
            int k = 0;
            for (; k < 4 && i + k < n && HexValue(s[i + k]) >= 0; ++k)
                cp = cp * 16 + static_cast<uint32_t>(HexValue(s[i + k]));
            if (k == 4) {
                out[o++] = CodePointByte(cp);
                i += 4;
            } else {
                out[o++] = 'u';
            }
            break;
        }
        case '\r':
            if (i < n && s[i] == '\n') ++i;
            break;
        case '\n':
            if (compat >= 1 && compat <= 3) out[o++] = '\n';
            break;
        default:
            if (e >= '0' && e <= '7') {
                uint32_t v = e - '0';
                for (int k = 0; k < 2 && i < n && s[i] >= '0' && s[i] <= '7'; ++k, ++i)
                    v = v * 8 + (s[i] - '0');
                out[o++] = static_cast<uint8_t>(v);
            } else {
                out[o++] = e;
            }
            break;
        }
    }
    return o;
}

// True when a `/` after this token divides: after an operand, `true`,
// `false`, `null`, `this`, `)` or `]`, and after `++` or `--` (`i++ / 2`);
// anywhere else it starts a regular expression.
bool DividesAfter(uint32_t code) {
    return Tk_IsValue(code) || code == TK_RPAREN || code == TK_RBRACKET || code == TK_INC || code == TK_DEC;
}

}  // namespace

void Lex_SetRegExpMaker(RegExpMaker maker) { gMaker = maker; }

uint32_t Lex_LineComment(LexState *, const char *at, bool, uint32_t *code, uint32_t *) {
    *code = TK_END;
    return Lex_LineLength(at);
}

uint32_t Lex_Arrow(LexState *st, const char *at, bool, uint32_t *code, uint32_t *) {
    if (st->count > 0 && st->codes[st->count - 1] != TK_LINE) {
        *code = TK_DEC;  // a-->b is a -- > b
        return 2;
    }
    *code = TK_END;  // at the start of the program or of a line: a comment
    return Lex_LineLength(at);
}

uint32_t Lex_BlockComment(LexState *st, const char *at, bool commit, uint32_t *code,
                          uint32_t *err) {
    uint32_t n = st->noCommentEnd && at >= st->noCommentEnd ? 0 : Lex_BlockLength(at);
    if (n) {
        *code = TK_END;
        return n;
    }
    st->noCommentEnd = at;
    *code = TK_END;
    if (commit) *err = ErrorOperand(st, ERR_COMMENT_OPEN, code);
    return 2;
}

uint32_t Lex_Slash(LexState *st, const char *at, bool commit, uint32_t *code, uint32_t *err) {
    if (at[1] == '/' || at[1] == '*') {
        *code = TK_DIV;  // the comment rows are longer and win
        return 1;
    }
    uint32_t j = st->count;
    while (j > 0 && st->codes[j - 1] == TK_LINE) --j;
    if (j > 0 && DividesAfter(st->codes[j - 1])) {
        *code = TK_DIV;
        return 1;
    }
    RegexScan rx;
    Lex_ScanRegex(at, &rx);
    *code = TK_END;
    if (!commit) return rx.length;
    if (rx.error) {
        *err = ErrorOperand(st, rx.error, code);
        return rx.length;
    }
    uint32_t index;
    *err = Lex_NewOperand(st->store, nullptr, &index);
    if (*err) return rx.length;
    JSAny *k = st->store->ops[index].constant;
    if (gMaker) {
        gMaker(st->space, at + 1, rx.bodyLen, rx.flags, k);
        if (k->type == JSANY_ERROR && k->code == ERR_NOMEM) {
            Lex_FreeOperand(st->store, index);
            *err = ERR_NOMEM;
            return rx.length;
        }
    } else {
        *k = JSAny_Err(ERR_NOTIMPL);
    }
    *code = TK_OPERAND + index;
    return rx.length;
}

uint32_t Lex_String(LexState *st, const char *at, bool commit, uint32_t *code, uint32_t *err) {
    bool closed;
    uint32_t n = Lex_ScanString(at, &closed);
    *code = TK_END;
    if (!commit) return n;
    if (!closed) {
        *err = ErrorOperand(st, ERR_STRING_OPEN, code);
        return n;
    }
    uint32_t bodyLen = n - 2;
    char *text = Text_Alloc(bodyLen);
    if (!text) {
        *err = ERR_NOMEM;
        return n;
    }
    uint32_t len = DecodeString(reinterpret_cast<const uint8_t *>(at + 1), bodyLen, st->compat,
                                reinterpret_cast<uint8_t *>(text));
    text[len] = 0;
    uint32_t index;
    *err = Lex_NewOperand(st->store, nullptr, &index);
    if (*err) {
        Text_Release(text);
        return n;
    }
    JSAny_SetStringAdoptLength(st->store->ops[index].constant, text, len);
    *code = TK_OPERAND + index;
    return n;
}

uint32_t Lex_Identifier(LexState *st, const char *at, bool commit, uint32_t *code,
                        uint32_t *err) {
    uint32_t n = static_cast<uint32_t>(Id_Length(Lex_Classes(), at));
    *code = TK_END;
    if (n && commit) *code = Lex_InternName(st->store, at, n, err);
    return n;
}

uint32_t Lex_Number(LexState *st, const char *at, bool commit, uint32_t *code, uint32_t *err) {
    uint8_t c = static_cast<uint8_t>(at[0]);
    *code = TK_END;
    bool digit = c >= '0' && c <= '9';
    if (!digit && !(c == '.' && at[1] >= '0' && at[1] <= '9')) return 0;
    double v = 0;
    uint32_t n = static_cast<uint32_t>(Num_ScanLiteral(at, true, &v));
    if (n == 0 || !commit) return n;
    uint32_t index;
    *err = Lex_NewOperand(st->store, nullptr, &index);
    if (*err) return n;
    *st->store->ops[index].constant = JSAny_Num(v);
    *code = TK_OPERAND + index;
    return n;
}

uint32_t Lex_Fallback(LexState *, const char *at, bool, uint32_t *code, uint32_t *) {
    *code = TK_OTHER;
    return at[0] ? 1 : 0;
}

}  // namespace quillon
