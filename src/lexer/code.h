// A token program with what is needed to run it and to report errors in it:
// the token codes (ended by 0), the source length of every token, and the
// source text they were made from. A run's token program borrows the host's
// text; a function keeps a Code of its own definition (its tokens and its
// source text as a counted string) that lives as long as any function object
// made from it.
#pragma once
#include <cstdint>

namespace quillon {

struct IdEntry;
struct LexStore;
struct ProgramSpace;

struct Code {
    uint32_t refs;
    uint32_t count;       // tokens before the final 0
    uint32_t *codes;      // count + 1 entries (Arr_*)
    uint32_t *lens;       // count + 1 source lengths (Arr_*); 32-bit so long comments map right
    const char *source;   // text the lengths map into
    uint32_t sourceLen;
    uint32_t firstLine;   // line of the first token in the text it came from
    char *ownedSource;    // counted text when the Code owns its source, else null
    LexStore *store;      // operand store the operand tokens index
    ProgramSpace *space;
    bool marked;          // the operand entries carry a mark for this Code
    Code *markedNext;     // the store's list of marked Codes (see Lex_DestroyStore)
    Code *markedPrev;
    // For a function's Code: its parameters and where its body starts.
    uint32_t nparams;
    IdEntry **params;     // Arr_* of nparams entries, or null
    IdEntry *name;        // the function's name, or null
    uint32_t bodyStart;   // index of the `{` of the body
    uint8_t argumentsUse; // the interpreter's note: 0 not looked at, 1 the body never names
                          // `arguments` (nor `eval`), 2 it may
    uint8_t bodyHasDeclarations;  // the interpreter's note: 1 the body declares no function
    uint8_t bodyStartsReturn;     // the interpreter's note: 0 not looked at, 1 the body's first
                                  // statement is a `return`, 2 it is not
    void *cache;          // position caches of the interpreter, freed with the Code
    // Where the last look-up of a token's offset ended: the next one that
    // goes forward starts there, so walking a program front to back costs
    // one pass over its lengths and text.
    mutable uint32_t cursorTok;
    mutable uint32_t cursorOffset;
    mutable uint32_t cursorLines;  // line feeds before cursorOffset
#ifdef QUILLON_CHECKS
    void *extents;  // checking builds: the ends the readers found (C library memory)
#endif
};

// Makes a Code that owns copies of tokens [from, from + n) of `parent`, their
// lengths, and the source text they cover; marks its operand tokens. Null on
// exhausted memory.
Code *Code_NewCopy(const Code *parent, uint32_t from, uint32_t n);
// Wraps freshly lexed arrays (taking them over) with a borrowed source text.
// Null on exhausted memory; the arrays are freed then as well.
Code *Code_NewRun(LexStore *store, ProgramSpace *space, uint32_t *codes, uint32_t *lens,
                  uint32_t count, const char *source, uint32_t sourceLen);
inline void Code_AddRef(Code *c) { ++c->refs; }
void Code_Release(Code *c);
// Hook through which the interpreter frees its position caches.
void Code_SetCacheFree(void (*freeCache)(Code *c));

// Source offset of token i (sum of the lengths before it).
uint32_t Code_Offset(const Code *c, uint32_t i);
// Source offset of token i and the number of line feeds before it.
uint32_t Code_Locate(const Code *c, uint32_t i, uint32_t *lineFeeds);
// Source offsets of the own text of token i (without the blanks and
// comments around it).
void Code_TokenText(const Code *c, uint32_t i, uint32_t *start, uint32_t *end);
// Line of the source offset `offset` (firstLine for the first line).
uint32_t Code_LineAt(const Code *c, uint32_t offset);

}  // namespace quillon
