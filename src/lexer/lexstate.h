// Inside the lexer: the state of one lexing pass, the rows of the token
// table and the scanners shared by the handlers and by the code that maps
// tokens back to their own text.
#pragma once
#include <cstdint>

#include "lexer/lexer.h"

namespace quillon {

struct LexState {
    LexStore *store;
    ProgramSpace *space;
    const char *text;   // start of the source
    int32_t compat;
    uint32_t *codes;    // codes emitted so far (Arr_*)
    uint32_t *starts;   // source offset of each emitted code (Arr_*)
    uint32_t count;
    // Past this point no "*/" follows (null until a comment was found open),
    // so each unmatched "/*" costs one look to the end of the text at most.
    const char *noCommentEnd;
};

// A handler measures what it matches at `at`. With `commit` it also makes
// what the token needs (operand entries, constants) and gives the final
// code; matching calls it without `commit`, and only the winning row is
// called again with it. Returns the bytes matched (0: no match); *code is the
// token code (0: emit nothing); *err a failure that stops lexing.
using LexHandler = uint32_t (*)(LexState *st, const char *at, bool commit, uint32_t *code,
                                uint32_t *err);

struct TokenRow {
    uint32_t code;
    const char *text;
    int16_t priority;
    LexHandler handler;
};

// Handlers (handlers.cpp).
uint32_t Lex_LineComment(LexState *, const char *, bool, uint32_t *, uint32_t *);
uint32_t Lex_Arrow(LexState *, const char *, bool, uint32_t *, uint32_t *);
uint32_t Lex_BlockComment(LexState *, const char *, bool, uint32_t *, uint32_t *);
uint32_t Lex_Slash(LexState *, const char *, bool, uint32_t *, uint32_t *);
uint32_t Lex_String(LexState *, const char *, bool, uint32_t *, uint32_t *);
uint32_t Lex_Identifier(LexState *, const char *, bool, uint32_t *, uint32_t *);
uint32_t Lex_Number(LexState *, const char *, bool, uint32_t *, uint32_t *);
uint32_t Lex_Fallback(LexState *, const char *, bool, uint32_t *, uint32_t *);

// Operand entries (operands.cpp). A new entry is held by its identifier
// (marks 1) or, for a literal, by the current token program only (marks 0);
// its constant is a fresh slot of tag 5. Returns 0 or 103.
uint32_t Lex_NewOperand(LexStore *store, IdEntry *id, uint32_t *index);
// Finishes the entry's constant and makes the entry free.
void Lex_FreeOperand(LexStore *store, uint32_t index);
// Token code of an identifier text, interning it and giving a new
// identifier its entry; 0 with *err = 103 on exhausted memory.
uint32_t Lex_InternName(LexStore *store, const char *name, uint32_t len, uint32_t *err);

// The longest-match walk over the sorted table at `at`. Returns 0 or the
// error of a handler; *len is the bytes matched (0: none), *row the winner.
uint32_t Lex_Match(LexState *st, const char *at, uint32_t *len, const TokenRow **row);

// Length of the fixed text of a token code made by a row without a handler
// (or `/`); 0 when no such row exists.
uint32_t Lex_FixedLength(uint32_t code);

// ---- scanners (scan.cpp): measure only, never allocate ----

// A string literal at `at` (opening quote included): its length and whether
// the closing quote was found (then the length includes it).
uint32_t Lex_ScanString(const char *at, bool *closed);

struct RegexScan {
    uint32_t length;   // bytes of the whole literal (with the flags)
    uint32_t bodyLen;  // bytes between the slashes
    uint32_t flags;    // 1 i, 2 g, 4 m
    uint32_t error;    // 0, ERR_RX_CLASSOPEN, ERR_RX_OPEN or ERR_RX_FLAG
};
void Lex_ScanRegex(const char *at, RegexScan *out);

// Length of a line comment: up to the next zero, line feed or carriage return.
uint32_t Lex_LineLength(const char *at);
// Length of a closed block comment at `at`, or 0 when it is not closed.
uint32_t Lex_BlockLength(const char *at);
// Blanks (with the no-break space and the byte-order mark) and comments that
// may stand before the first token of a text.
uint32_t Lex_SkipLeading(const char *at);
// Length of the own text of a token with this code that starts at `at`.
uint32_t Lex_OwnLength(uint32_t code, const char *at);
// Own text of a token whose length span starts at `spanStart`: `first` for
// the first token of a program, which has the blanks before it in its span.
void Lex_OwnText(const char *source, uint32_t code, uint32_t spanStart, uint32_t spanLen,
                 bool first, uint32_t *start, uint32_t *end);

}  // namespace quillon
