// The token table and the longest-match walk over it.
#include <cstring>

#include "lexer/lexstate.h"
#include "runtime/text.h"

namespace quillon {

namespace {

constexpr TokenRow kRows[] = {
    // punctuation
    {TK_LPAREN, "(", 0, nullptr}, {TK_RPAREN, ")", 0, nullptr},
    {TK_LBRACKET, "[", 0, nullptr}, {TK_RBRACKET, "]", 0, nullptr},
    {TK_LBRACE, "{", 0, nullptr}, {TK_RBRACE, "}", 0, nullptr},
    {TK_COMMA, ",", 0, nullptr}, {TK_SEMI, ";", 0, nullptr},
    {TK_DOT, ".", 0, nullptr}, {TK_COLON, ":", 0, nullptr},
    // assignment operators
    {TK_ASSIGN, "=", 0, nullptr}, {TK_OR_ASSIGN, "|=", 0, nullptr},
    {TK_XOR_ASSIGN, "^=", 0, nullptr}, {TK_AND_ASSIGN, "&=", 0, nullptr},
    {TK_SHL_ASSIGN, "<<=", 0, nullptr}, {TK_SAR_ASSIGN, ">>=", 0, nullptr},
    {TK_SHR_ASSIGN, ">>>=", 0, nullptr}, {TK_ADD_ASSIGN, "+=", 0, nullptr},
    {TK_SUB_ASSIGN, "-=", 0, nullptr}, {TK_MUL_ASSIGN, "*=", 0, nullptr},
    {TK_DIV_ASSIGN, "/=", 0, nullptr}, {TK_MOD_ASSIGN, "%=", 0, nullptr},
    // binary operators
    {TK_LOGOR, "||", 0, nullptr}, {TK_QUESTION, "?", 0, nullptr},
    {TK_LOGAND, "&&", 0, nullptr}, {TK_BITOR, "|", 0, nullptr},
    {TK_BITXOR, "^", 0, nullptr}, {TK_BITAND, "&", 0, nullptr},
    {TK_EQ, "==", 0, nullptr}, {TK_NE, "!=", 0, nullptr},
    {TK_SEQ, "===", 0, nullptr}, {TK_SNE, "!==", 0, nullptr},
    {TK_LT, "<", 0, nullptr}, {TK_GT, ">", 0, nullptr},
    {TK_LE, "<=", 0, nullptr}, {TK_GE, ">=", 0, nullptr},
    {TK_IN, "in", 0, nullptr}, {TK_INSTANCEOF, "instanceof", 0, nullptr},
    {TK_SHL, "<<", 0, nullptr}, {TK_SHR, ">>>", 0, nullptr}, {TK_SAR, ">>", 0, nullptr},
    {TK_ADD, "+", 0, nullptr}, {TK_SUB, "-", 0, nullptr},
    {TK_MUL, "*", 0, nullptr}, {TK_DIV, "/", 0, &Lex_Slash}, {TK_MOD, "%", 0, nullptr},
    // unary operators
    {TK_INC, "++", 0, nullptr}, {TK_DEC, "--", 0, nullptr},
    {TK_BITNOT, "~", 0, nullptr}, {TK_NOT, "!", 0, nullptr},
    // keywords
    {KW_BREAK, "break", 0, nullptr}, {KW_CASE, "case", 0, nullptr},
    {KW_CATCH, "catch", 0, nullptr}, {KW_CONTINUE, "continue", 0, nullptr},
    {KW_DEFAULT, "default", 0, nullptr}, {KW_DELETE, "delete", 0, nullptr},
    {KW_DO, "do", 0, nullptr}, {KW_ELSE, "else", 0, nullptr},
    {KW_FALSE, "false", 0, nullptr}, {KW_FINALLY, "finally", 0, nullptr},
    {KW_FOR, "for", 0, nullptr}, {KW_FUNCTION, "function", 0, nullptr},
    {KW_IF, "if", 0, nullptr}, {KW_IMPORT, "import", 0, nullptr},
    {KW_NEW, "new", 0, nullptr}, {KW_NULL, "null", 0, nullptr},
    {KW_RETURN, "return", 0, nullptr}, {KW_SWITCH, "switch", 0, nullptr},
    {KW_THIS, "this", 0, nullptr}, {KW_THROW, "throw", 0, nullptr},
    {KW_TRUE, "true", 0, nullptr}, {KW_TRY, "try", 0, nullptr},
    {KW_TYPEOF, "typeof", 0, nullptr}, {KW_VAR, "var", 0, nullptr},
    {KW_VOID, "void", 0, nullptr}, {KW_WHILE, "while", 0, nullptr},
    {KW_WITH, "with", 0, nullptr},
    // line breaks
    {TK_LINE, "\r\n", 0, nullptr}, {TK_LINE, "\r", 0, nullptr}, {TK_LINE, "\n", 0, nullptr},
    // blanks: skipped
    {TK_END, " ", 0, nullptr}, {TK_END, "\t", 0, nullptr}, {TK_END, "\v", 0, nullptr},
    {TK_END, "\f", 0, nullptr}, {TK_END, "\xA0", 0, nullptr},
    {TK_END, "\xEF\xBB\xBF", 0, nullptr},
    // comments, strings
    {TK_END, "//", 0, &Lex_LineComment}, {TK_END, "<!--", 0, &Lex_LineComment},
    {TK_END, "-->", 0, &Lex_Arrow}, {TK_END, "/*", 0, &Lex_BlockComment},
    {TK_END, "\"", 0, &Lex_String}, {TK_END, "'", 0, &Lex_String},
    // rows with the empty text: tried at every position
    {TK_END, "", 0, &Lex_Identifier}, {TK_END, "", 0, &Lex_Number},
    {TK_OTHER, "", -100, &Lex_Fallback},
};

constexpr uint32_t kRowCount = sizeof kRows / sizeof kRows[0];

struct SortedRow {
    const TokenRow *row;
    uint32_t len;
};

SortedRow gSorted[kRowCount];
uint8_t gClasses[256];
bool gReady = false;

inline uint8_t ByteAt(const SortedRow &r, uint32_t k) {
    return static_cast<uint8_t>(r.row->text[k]);
}

// Bytewise unsigned order, a prefix before the texts it starts.
bool Before(const SortedRow &a, const SortedRow &b) {
    return Str_Compare(a.row->text, b.row->text) < 0;
}

}  // namespace

void Lex_InitTables() {
    if (gReady) return;
    // Insertion sort keeps rows with equal texts in table order, so among
    // rows that tie the later one stays later.
    for (uint32_t i = 0; i < kRowCount; ++i) {
        SortedRow r{&kRows[i], static_cast<uint32_t>(std::strlen(kRows[i].text))};
        uint32_t j = i;
        while (j > 0 && Before(r, gSorted[j - 1])) {
            gSorted[j] = gSorted[j - 1];
            --j;
        }
        gSorted[j] = r;
    }
    for (int c = 0; c < 256; ++c) {
        uint8_t k = 0;
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '$') k = 2;
        else if (c >= '0' && c <= '9') k = 1;
        gClasses[c] = k;
    }
    gReady = true;
}

const uint8_t *Lex_Classes() { return gClasses; }

uint32_t Lex_Match(LexState *st, const char *at, uint32_t *len, const TokenRow **row) {
    uint32_t lo = 0, hi = kRowCount, k = 0;
    int32_t bestPrio = -32768;
    uint32_t bestLen = 0;
    const TokenRow *best = nullptr;
    for (;;) {
        // Rows whose text ends at this depth sort first in the range.
        uint32_t i = lo;
        for (; i < hi && gSorted[i].len == k; ++i) {
            const TokenRow *r = gSorted[i].row;
            if (r->priority < bestPrio) continue;
            uint32_t n = k;
            if (r->handler) {
                uint32_t code = r->code, err = 0;
                n = r->handler(st, at, false, &code, &err);
                if (err) return err;
            }
            if (n != 0 && n >= bestLen) {
                bestLen = n;
                bestPrio = r->priority;
                best = r;
            }
        }
        uint8_t b = static_cast<uint8_t>(at[k]);
        if (b == 0 || i >= hi) break;
        // The rest of the range shares k bytes and is ordered by byte k.
        uint32_t a = i, z = hi;
        while (a < z) {
            uint32_t m = (a + z) / 2;
            if (ByteAt(gSorted[m], k) < b) a = m + 1; else z = m;
        }
        uint32_t first = a;
        z = hi;
        while (a < z) {
            uint32_t m = (a + z) / 2;
            if (ByteAt(gSorted[m], k) <= b) a = m + 1; else z = m;
        }
        if (first == a) break;
        lo = first;
        hi = a;
        ++k;
    }
    *len = bestLen;
    *row = best;
    return 0;
}

uint32_t Lex_FixedLength(uint32_t code) {
    for (const TokenRow &r : kRows) {
        if (r.code == code && (!r.handler || r.handler == &Lex_Slash))
            return static_cast<uint32_t>(std::strlen(r.text));
    }
    return 0;
}

}  // namespace quillon
