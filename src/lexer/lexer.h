// The lexer: turns a zero-terminated 8-bit source text into a token program
// (32-bit codes ended by 0, with the source length of every token), and
// keeps the operand store of a program space: its identifiers (interned in
// the space's IdTable, one operand entry each for the life of the space,
// whose constant slot is the identifier's program-level variable) and its
// literal constants (one entry per occurrence, freed at the end of the run
// unless a function's tokens mark them).
#pragma once
#include <cstdint>

#include "values/jsany.h"

namespace quillon {

struct IdTable;
struct IdEntry;
struct ProgramSpace;

// Token codes.
enum : uint32_t {
    TK_END = 0,
    TK_LINE = 256,
    TK_OTHER = 257,
    TK_LPAREN = 512, TK_RPAREN, TK_LBRACKET, TK_RBRACKET, TK_LBRACE, TK_RBRACE,
    TK_COMMA, TK_SEMI, TK_DOT, TK_COLON,
    TK_ASSIGN = 768, TK_OR_ASSIGN, TK_XOR_ASSIGN, TK_AND_ASSIGN, TK_SHL_ASSIGN,
    TK_SAR_ASSIGN, TK_SHR_ASSIGN, TK_ADD_ASSIGN, TK_SUB_ASSIGN, TK_MUL_ASSIGN,
    TK_DIV_ASSIGN, TK_MOD_ASSIGN,
    TK_LOGOR = 1056, TK_QUESTION = 1064, TK_LOGAND = 1072, TK_BITOR = 1088,
    TK_BITXOR = 1104, TK_BITAND = 1120,
    TK_EQ = 1136, TK_NE, TK_SEQ, TK_SNE,
    TK_LT = 1152, TK_GT, TK_LE, TK_GE, TK_IN, TK_INSTANCEOF,
    TK_SHL = 1168, TK_SHR, TK_SAR,  // << 1168, >>> 1169, >> 1170
    TK_ADD = 1184, TK_SUB,
    TK_MUL = 1200, TK_DIV, TK_MOD,
    TK_INC = 1536, TK_DEC, TK_BITNOT, TK_NOT,
    KW_BREAK = 2003, KW_CASE = 2005, KW_CATCH = 2006, KW_CONTINUE = 2010,
    KW_DEFAULT = 2011, KW_DELETE = 2012, KW_DO = 2013, KW_ELSE = 2015, KW_FALSE = 2017,
    KW_FINALLY = 2019, KW_FOR = 2021, KW_FUNCTION = 2022, KW_IF = 2024, KW_IMPORT = 2026,
    KW_NEW = 2033, KW_NULL = 2034, KW_DUMP = 2036, KW_RETURN = 2039, KW_SWITCH = 2043,
    KW_THIS = 2045, KW_THROW = 2046, KW_TRUE = 2049, KW_TRY = 2050, KW_TYPEOF = 2051,
    KW_VAR = 2052, KW_VOID = 2053, KW_WHILE = 2054, KW_WITH = 2055,
    TK_OPERAND = 3001,
};

inline bool Tk_IsOperand(uint32_t code) { return code >= TK_OPERAND; }

// Token classes the readers of the token program share.
// `=` and the compound assignments `|=` ... `%=`.
inline bool Tk_IsAssign(uint32_t t) { return t >= TK_ASSIGN && t <= TK_MOD_ASSIGN; }
inline bool Tk_IsCompoundAssign(uint32_t t) { return t > TK_ASSIGN && t <= TK_MOD_ASSIGN; }
// The binary operator of a compound assignment (`^=` gives `^`).
inline uint32_t Tk_BinaryOfAssign(uint32_t t) {
    constexpr uint32_t kOps[] = {TK_BITOR, TK_BITXOR, TK_BITAND, TK_SHL, TK_SAR, TK_SHR,
                                 TK_ADD,   TK_SUB,    TK_MUL,    TK_DIV, TK_MOD};
    return kOps[t - TK_OR_ASSIGN];
}
// The binary operators, `?` included; the precedence group of one is its
// code with the low four bits cleared.
inline bool Tk_IsBinary(uint32_t t) { return t >= TK_LOGOR && t <= TK_MOD; }
inline uint32_t Tk_Group(uint32_t t) { return t & ~15u; }
// Operators that may stand before an operand.
inline bool Tk_IsPrefix(uint32_t t) {
    return (t >= TK_INC && t <= TK_NOT) || t == TK_ADD || t == TK_SUB || t == KW_DELETE || t == KW_TYPEOF ||
           t == KW_VOID;
}
// A token that is a whole operand by itself: an operand token, true, false,
// null or this.
inline bool Tk_IsValue(uint32_t t) {
    return t >= TK_OPERAND || t == KW_TRUE || t == KW_FALSE || t == KW_NULL || t == KW_THIS;
}
inline bool Tk_Opens(uint32_t t) { return t == TK_LPAREN || t == TK_LBRACKET || t == TK_LBRACE; }
inline bool Tk_Closes(uint32_t t) { return t == TK_RPAREN || t == TK_RBRACKET || t == TK_RBRACE; }

// The payload of an identifier entry: its token code, and flags the
// interpreter keeps about the name.
struct IdPayload {
    uint32_t code;
    uint32_t flags;
    char *keyText;  // the name's key (runtime/atoms, one holder), made when first needed, or null
};
// The name has been declared as a local or parameter of some function (so a
// remembered program-level resolution of it must be checked again).
constexpr uint32_t ID_EVER_LOCAL = 1;
// Set only while a parameter list is checked for a name given twice.
constexpr uint32_t ID_PARAM_SEEN = 0x80000000u;

struct Operand {
    int32_t marks;     // -1 free; 0 used by the current token program only; n > 0 held by n marks
    IdEntry *id;       // identifier, or null for a literal
    JSAny *constant;   // the literal's value; for an identifier its program-level slot
};

struct Code;

struct LexStore {
    IdTable *ids;
    Operand *ops;      // Arr_*
    uint32_t count;    // entries in use or freed below the high-water mark
    uint32_t freeHint;
    // Codes that hold marks in this store. A Code can outlive its store
    // (a function kept alive by a host's value slot); when the store goes,
    // they forget it and give nothing back later.
    Code *marked;
    IdEntry *argumentsId;  // the interpreter's `arguments`, interned on first use
};

// Builds the sorted token table and the character classes (first open).
void Lex_InitTables();
// The 256-entry character-class table (2 identifier start, 1 digit, 0 other).
const uint8_t *Lex_Classes();

LexStore *Lex_CreateStore();
void Lex_DestroyStore(LexStore *store);

// Lexes text; on success returns 0 and the arrays (Arr_* of count + 1 codes
// and lengths, ended by 0). On failure returns the code with both arrays
// freed.
uint32_t Lex_Run(LexStore *store, const char *text, int32_t compat, ProgramSpace *space,
                 uint32_t **codes, uint32_t **lens, uint32_t *count);
// Token code of an identifier text (interned); 0 and *err = 103 on exhaustion.
uint32_t Lex_Name(LexStore *store, const char *name, uint32_t *err);

IdEntry *Lex_IdOf(const LexStore *store, uint32_t code);
// The same two answers without checks, for operand tokens of a live token
// program of this store (whose entries are in use by definition).
inline IdEntry *Lex_IdOfOperand(const LexStore *store, uint32_t code) {
    return store->ops[code - TK_OPERAND].id;
}
inline JSAny *Lex_SlotOfOperand(const LexStore *store, uint32_t code) {
    return store->ops[code - TK_OPERAND].constant;
}
// For literals their constant; for identifiers their program-level slot;
// for true, false and null the shared constants; else null.
JSAny *Lex_ConstOf(const LexStore *store, uint32_t code);
const char *Lex_NameOf(const LexStore *store, uint32_t code);

void Lex_Mark(LexStore *store, const uint32_t *codes);
void Lex_Unmark(LexStore *store, const uint32_t *codes);
void Lex_EndRun(LexStore *store);
// Frees the literal entries of one token program that nothing marked: for a
// token program that ends before its run does (the text of eval, of the
// Function constructor), so that a loop of them does not pile up entries.
void Lex_FreeLiterals(LexStore *store, const uint32_t *codes, uint32_t count);
void Lex_Dump(const LexStore *store);

// Source start and end offsets of token `tok` of a program.
void Lex_TokenPosition(const uint32_t *codes, const uint32_t *lens, const uint32_t *tok,
                       uint32_t *start, uint32_t *end);
// Source start and end offsets of the token's own text: without the blanks
// and comments counted into its length (before the first token, and after
// any token).
void Lex_TokenText(const char *source, const uint32_t *codes, const uint32_t *lens,
                   const uint32_t *tok, uint32_t *start, uint32_t *end);

// The regular-expression part makes RegExp objects for literals through this
// hook: body text, its length and the flag bits (1 i, 2 g, 4 m); the result
// record receives the object or an error value.
using RegExpMaker = void (*)(ProgramSpace *space, const char *body, uint32_t len, uint32_t flags,
                             JSAny *out);
void Lex_SetRegExpMaker(RegExpMaker maker);

}  // namespace quillon
