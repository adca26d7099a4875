// Reading the token program without running it: line breaks, bracketed
// groups, and the scanners that find where a statement or an expression
// ends. The scanners mirror the grammar the executor reads, so a statement
// or an operand spans the same tokens whether it runs or is skipped; only
// code the executor would reject is read by the plainer token rules (which
// never report anything).
#pragma once
#include <cstdint>

#include "lexer/lexer.h"

namespace quillon {

using Tok = const uint32_t *;

inline Tok Scan_Lines(Tok p) {
    while (*p == TK_LINE) ++p;
    return p;
}

// The `else` of an `if` whose first branch ends at thenEnd (a `;` may come
// between), or null when it has none.
inline Tok Scan_ElseOf(Tok thenEnd) {
    Tok e = Scan_Lines(thenEnd);
    if (*e == TK_SEMI) e = Scan_Lines(e + 1);
    return *e == KW_ELSE ? e : nullptr;
}

// How much of an expression a skip takes: the lowest binary operator that
// belongs to it (by code), and whether assignment operators and commas do.
// An operand of a binary operator takes only tighter operators; an
// assignment expression adds assignments; a comma expression adds commas.
struct ExprLevel {
    uint32_t minPrec;
    bool assign;
    bool comma;
};
constexpr ExprLevel kCommaLevel{TK_LOGOR, true, true};
constexpr ExprLevel kAssignLevel{TK_LOGOR, true, false};
constexpr ExprLevel Scan_BinaryLevel(uint32_t minPrec) { return ExprLevel{minPrec, false, false}; }
// The right operand of && and ||.
constexpr ExprLevel Scan_LogicalLevel(uint32_t op) { return Scan_BinaryLevel(op == TK_LOGOR ? TK_LOGAND : TK_BITOR); }

// After a complete operand and a line break, does the token `next` (the
// first after the line breaks) carry the expression on at `level`? A `.`
// does (a member on the next line); so do a binary operator of the level, a
// compound assignment where assignments belong, and a comma where commas
// belong. Anything else (`(`, `[`, `=`, `++`, an operand ...) ends it at
// the line break.
inline bool Scan_LineContinues(uint32_t next, ExprLevel level) {
    return next == TK_DOT || (Tk_IsBinary(next) && next >= level.minPrec) ||
           (level.assign && Tk_IsCompoundAssign(next)) || (level.comma && next == TK_COMMA);
}

// Where the next postfix part of an operand ending at p starts, with its
// token in *t: only a `.` may stand on the next line, so after a line break
// anything else is no postfix part (*t is then TK_LINE, at p).
inline Tok Scan_NextPostfix(Tok p, uint32_t *t) {
    if (*p != TK_LINE) {
        *t = *p;
        return p;
    }
    Tok q = Scan_Lines(p);
    if (*q != TK_DOT) {
        *t = TK_LINE;
        return p;
    }
    *t = TK_DOT;
    return q;
}

// True when the token after an operand cannot continue it as a postfix part
// (a member, a call, ++ or --; a line break may hide a `.`).
inline bool Scan_EndsOperand(uint32_t t) {
    return t != TK_LINE && t != TK_LPAREN && t != TK_LBRACKET && t != TK_DOT && t != TK_INC && t != TK_DEC;
}

// Whether a statement at p is labelled: a name followed by `:` (line
// breaks between).
inline bool Scan_IsLabel(Tok p) { return Tk_IsOperand(*p) && *Scan_Lines(p + 1) == TK_COLON; }

// The statement list's termination rule: a statement that ends at `end`
// ends properly when its last token is `}`, `:` or `;`, or the next one is
// `;`, `}`, a line break or the end.
inline bool Scan_EndsStatement(Tok end) {
    uint32_t last = end[-1];
    if (last == TK_RBRACE || last == TK_COLON || last == TK_SEMI) return true;
    uint32_t t = *end;
    return t == TK_SEMI || t == TK_RBRACE || t == TK_LINE || t == TK_END;
}

// p at `(`, `[` or `{`: the position just past its matching closer, or the
// end of the program (the 0 token) when it has none.
Tok Scan_Group(Tok p);
// True when the group opening at p is closed before the end of the program
// (Scan_Group also returns the end for a group left open).
bool Scan_GroupClosed(Tok p);
// The end of the expression starting at p (line breaks before it are
// passed over) at `level`: the position just after its last token. p itself
// when no operand starts there.
Tok Scan_SkipExpr(Tok p, ExprLevel level);
// p at `function`: the position after the function's body (or where a
// malformed definition stops).
Tok Scan_SkipFunction(Tok p);
// Does a statement spanning [start, end) end well: after `}`, `:` or `;`,
// or before `;`, `}`, a line break, the end, `else` or `while`?
bool Scan_StatementComplete(Tok start, Tok end);
// Skips a simple statement (an expression, var, return, throw, break,
// continue, case, default or a function declaration); stops before the `;`
// that ends it. Malformed code is passed over up to `;`, `}`, `else`,
// `while` or a line break that ends it.
Tok Scan_SkipSimple(Tok p);
// Skips a whole statement without running it.
Tok Scan_SkipStatement(Tok p);

}  // namespace quillon
