// Reading the token program without running it: line breaks, bracketed
// groups, and the scanners that find where a statement, a conditional branch
// or the right operand of && and || ends.
#pragma once
#include <cstdint>

#include "lexer/lexer.h"

namespace quillon {

using Tok = const uint32_t *;

inline Tok Scan_Lines(Tok p) {
    while (*p == TK_LINE) ++p;
    return p;
}

// True for the tokens that can end a value (an operand, true, false, null,
// this, `]`, `)`).
inline bool Scan_EndsValue(uint32_t t) {
    return t >= TK_OPERAND || t == KW_TRUE || t == KW_FALSE || t == KW_NULL || t == KW_THIS ||
           t == TK_RBRACKET || t == TK_RPAREN;
}

// p at `(`, `[` or `{`: the position just past its matching closer, or the
// end of the program (the 0 token) when it has none.
Tok Scan_Group(Tok p);
// Skips a simple statement; stops at `;` (not consumed), `}`, `else`,
// `while` or the end.
Tok Scan_SkipSimple(Tok p);
// Skips a whole statement without running it.
Tok Scan_SkipStatement(Tok p);
// p just after `?`: the position just past the `:` of this conditional.
Tok Scan_SkipConditional(Tok p);
// Skips the right operand of && (forAnd) or ||.
Tok Scan_SkipLogical(Tok p, bool forAnd);

}  // namespace quillon
