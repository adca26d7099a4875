// The lexing loop, and the mapping of tokens back to the source text.
#include "lexer/lexstate.h"
#include "runtime/errors.h"
#include "runtime/memory.h"

namespace quillon {

namespace {

// Undoes a failed pass: the literal entries it made (an identifier keeps its
// entry) and both arrays.
void Abandon(LexState *st) {
    Lex_FreeLiterals(st->store, st->codes, st->count);
    Arr_Free(st->codes);
    Arr_Free(st->starts);
}

}  // namespace

void Lex_FreeLiterals(LexStore *store, const uint32_t *codes, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t code = codes[i];
        if (!Tk_IsOperand(code) || code - TK_OPERAND >= store->count) continue;
        Operand &op = store->ops[code - TK_OPERAND];
        if (op.marks == 0 && !op.id) Lex_FreeOperand(store, code - TK_OPERAND);
    }
}

uint32_t Lex_Run(LexStore *store, const char *text, int32_t compat, ProgramSpace *space,
                 uint32_t **codes, uint32_t **lens, uint32_t *count) {
    *codes = nullptr;
    *lens = nullptr;
    *count = 0;
    LexState st{store, space, text, compat, nullptr, nullptr, 0, nullptr};
    size_t textLen = std::strlen(text);
    if (textLen >= UINT32_MAX) return ERR_NOMEM;
    uint32_t cap = static_cast<uint32_t>(textLen / 4 + 16);
    st.codes = static_cast<uint32_t *>(Arr_Alloc(sizeof(uint32_t), cap));
    st.starts = static_cast<uint32_t *>(Arr_Alloc(sizeof(uint32_t), cap));
    if (!st.codes || !st.starts) {
        Abandon(&st);
        return ERR_NOMEM;
    }
    const char *at = text;
    while (*at) {
        // Room for this token and the final 0, so appending cannot fail.
        if (!Arr_EnsureT(st.codes, st.count + 2) || !Arr_EnsureT(st.starts, st.count + 2)) {
            Abandon(&st);
            return ERR_NOMEM;
        }
        uint32_t len = 0;
        const TokenRow *row = nullptr;
        uint32_t err = Lex_Match(&st, at, &len, &row);
        if (err) {
            Abandon(&st);
            return err;
        }
        if (len == 0) {
            ++at;
            continue;
        }
        uint32_t code = row->code;
        if (row->handler) {
            row->handler(&st, at, true, &code, &err);
            if (err) {
                Abandon(&st);
                return err;
            }
        }
        if (code != TK_END) {
            st.starts[st.count] = static_cast<uint32_t>(at - text);
            st.codes[st.count++] = code;
        }
        at += len;
    }
    // Each token's length runs to the start of the next one; blanks before
    // the first token count into the first token.
    uint32_t total = static_cast<uint32_t>(at - text);
    for (uint32_t i = 0; i < st.count; ++i) {
        uint32_t from = i == 0 ? 0 : st.starts[i];
        uint32_t to = i + 1 < st.count ? st.starts[i + 1] : total;
        st.starts[i] = to - from;
    }
    st.codes[st.count] = TK_END;
    st.starts[st.count] = 0;
    *codes = st.codes;
    *lens = st.starts;
    *count = st.count;
    return 0;
}

void Lex_TokenPosition(const uint32_t *codes, const uint32_t *lens, const uint32_t *tok,
                       uint32_t *start, uint32_t *end) {
    uint32_t n = static_cast<uint32_t>(tok - codes);
    uint32_t s = 0;
    for (uint32_t i = 0; i < n; ++i) s += lens[i];
    *start = s;
    *end = s + lens[n];
}

void Lex_OwnText(const char *source, uint32_t code, uint32_t spanStart, uint32_t spanLen,
                 bool first, uint32_t *start, uint32_t *end) {
    uint32_t s = spanStart, e = spanStart + spanLen;
    // Only the first token has blanks before its own text. (A `--` made from
    // "-->" starts its own text with what would read as a comment.)
    bool dec = code == TK_DEC && source[s] == '-' && source[s + 1] == '-';
    if (first && code != TK_END && !dec) s += Lex_SkipLeading(source + s);
    if (s > e) s = e;
    uint32_t own = Lex_OwnLength(code, source + s);
    if (own > e - s) own = e - s;
    *start = s;
    *end = s + own;
}

void Lex_TokenText(const char *source, const uint32_t *codes, const uint32_t *lens,
                   const uint32_t *tok, uint32_t *start, uint32_t *end) {
    uint32_t s, e;
    Lex_TokenPosition(codes, lens, tok, &s, &e);
    Lex_OwnText(source, *tok, s, e - s, tok == codes, start, end);
}

}  // namespace quillon
