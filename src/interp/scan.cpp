// The skipping scanners. Each reads the grammar the executor reads (the
// expression scanner follows precedence, assignments and commas exactly as
// the evaluator climbs them, with the same line-break rule), so what it
// finds as the end of a statement or an operand is where the executor would
// stop. Code the executor would reject falls back to plain token rules,
// which only need to stop somewhere sensible and never report. Nothing here
// recurses: nesting lives on small explicit stacks.
#include "interp/scan.h"

#include "runtime/memory.h"

namespace quillon {

namespace {

// Past the closer matching the opener at p, or at the end of the program
// when it has none (*closed tells which).
Tok GroupEnd(Tok p, bool *closed) {
    // Brackets of every kind count alike: the program's own grammar checks
    // report mismatches when the code runs.
    uint32_t depth = 0;
    for (;;) {
        uint32_t t = *p;
        if (t == TK_END) {
            *closed = false;
            return p;
        }
        ++p;
        if (Tk_Opens(t)) {
            ++depth;
        } else if (Tk_Closes(t)) {
            if (--depth == 0) {
                *closed = true;
                return p;
            }
        }
    }
}

}  // namespace

Tok Scan_Group(Tok p) {
    bool closed;
    return GroupEnd(p, &closed);
}

bool Scan_GroupClosed(Tok p) {
    bool closed;
    GroupEnd(p, &closed);
    return closed;
}

Tok Scan_SkipFunction(Tok p) {
    Tok q = Scan_Lines(p + 1);
    if (Tk_IsOperand(*q)) q = Scan_Lines(q + 1);
    if (*q != TK_LPAREN) return q;
    q = Scan_Lines(Scan_Group(q));
    if (*q != TK_LBRACE) return q;
    return Scan_Group(q);
}

namespace {

// The postfix parts after a primary: `.name` (also on the next line),
// `[...]`, `(...)`, then at most one `++` or `--`.
Tok SkipPostfix(Tok p) {
    for (;;) {
        uint32_t n;
        Tok q = Scan_NextPostfix(p, &n);
        if (n == TK_DOT) {
            Tok name = Scan_Lines(q + 1);
            if (!Tk_IsOperand(*name)) return name;
            p = name + 1;
            continue;
        }
        if (n == TK_LBRACKET || n == TK_LPAREN) {
            p = Scan_Group(q);
            continue;
        }
        if (n == TK_INC || n == TK_DEC) return q + 1;
        return p;
    }
}

// The conditionals whose middle branch a skip is inside: for each, whether
// the level it interrupted takes commas. Deeper nesting than this is
// refused by the executor long before (its nesting limit).
struct CondStack {
    static constexpr uint32_t kMax = 1024;
    uint64_t bits[kMax / 64] = {};
    uint32_t count = 0;
    bool Push(bool comma) {
        if (count == kMax) return false;
        uint64_t bit = uint64_t{1} << (count % 64);
        if (comma) bits[count / 64] |= bit;
        else bits[count / 64] &= ~bit;
        ++count;
        return true;
    }
    bool Pop() {
        --count;
        return (bits[count / 64] >> (count % 64)) & 1;
    }
};

}  // namespace

Tok Scan_SkipExpr(Tok p, ExprLevel level) {
    CondStack conds;
    for (;;) {
        // An operand: prefix operators and `new`, a primary, postfix parts.
        p = Scan_Lines(p);
        while (Tk_IsPrefix(*p) || *p == KW_NEW) p = Scan_Lines(p + 1);
        uint32_t t = *p;
        if (Tk_IsValue(t)) ++p;
        else if (Tk_Opens(t)) p = Scan_Group(p);
        else if (t == KW_FUNCTION) p = Scan_SkipFunction(p);
        else return p;
        p = SkipPostfix(p);
        // An operator that carries the expression on at this level; binary
        // operators, compound assignments, commas and a conditional's `:`
        // may stand on the next line, `=` may not.
        Tok op = Scan_Lines(p);
        uint32_t o = *op;
        if (Tk_IsBinary(o) && o >= level.minPrec) {
            if (o == TK_QUESTION) {
                // The middle branch is an assignment expression up to `:`.
                if (!conds.Push(level.comma)) return p;
                level = kAssignLevel;
            }
            p = op + 1;
            continue;
        }
        if (level.assign && (o == TK_ASSIGN ? op == p : Tk_IsCompoundAssign(o))) {
            p = op + 1;
            continue;
        }
        if (level.comma && o == TK_COMMA) {
            p = op + 1;
            continue;
        }
        if (conds.count && o == TK_COLON) {
            // The last branch: an assignment expression, then whatever the
            // interrupted level takes.
            level = ExprLevel{TK_LOGOR, true, conds.Pop()};
            p = op + 1;
            continue;
        }
        return p;
    }
}

namespace {

// A simple statement read by its grammar; returns where it ends (maybe
// malformed: the caller checks what follows).
Tok SimpleByGrammar(Tok p) {
    switch (*p) {
    case KW_VAR: {
        Tok q = p + 1;
        for (;;) {
            q = Scan_Lines(q);
            if (!Tk_IsOperand(*q)) return q;
            ++q;
            if (*q == TK_ASSIGN) {
                Tok r = Scan_SkipExpr(q + 1, kAssignLevel);
                if (r == Scan_Lines(q + 1)) return r;
                q = r;
            }
            Tok c = Scan_Lines(q);
            if (*c != TK_COMMA) return q;
            q = c + 1;
        }
    }
    case KW_RETURN: {
        uint32_t t = p[1];
        if (t == TK_SEMI || t == TK_RBRACE || t == TK_LINE || t == TK_END) return p + 1;
        return Scan_SkipExpr(p + 1, kCommaLevel);
    }
    case KW_THROW:
        return Scan_SkipExpr(p + 1, kCommaLevel);
    case KW_BREAK:
    case KW_CONTINUE:
        return Tk_IsOperand(p[1]) ? p + 2 : p + 1;
    case KW_CASE: {
        Tok e = Scan_SkipExpr(p + 1, kCommaLevel);
        Tok c = Scan_Lines(e);
        return *c == TK_COLON ? c + 1 : e;
    }
    case KW_DEFAULT: {
        Tok c = Scan_Lines(p + 1);
        return *c == TK_COLON ? c + 1 : p + 1;
    }
    case KW_FUNCTION:
        return Scan_SkipFunction(p);
    case KW_DUMP:
        return p + 1;
    default:
        return Scan_SkipExpr(p, kCommaLevel);
    }
}

// Past the `:` of the conditional whose middle branch starts at p (nested
// conditionals counted), or where a closer or `;` stops the search.
Tok SkipToColon(Tok p) {
    uint32_t nested = 0;
    for (;;) {
        uint32_t t = *p;
        if (t == TK_END || t == TK_SEMI || Tk_Closes(t)) return p;
        if (Tk_Opens(t)) {
            p = Scan_Group(p);
            continue;
        }
        ++p;
        if (t == TK_QUESTION) {
            ++nested;
        } else if (t == TK_COLON) {
            if (nested == 0) return p;
            --nested;
        }
    }
}

// The plain token rules for code the grammar does not accept: tokens are
// passed over up to `;` (not consumed), `}`, `else`, `while` or the end;
// groups whole; a line break ends the statement where it would end a
// well-formed one.
Tok SkipByTokens(Tok start, Tok p) {
    uint32_t prev = p > start ? p[-1] : 0;  // previous significant token
    for (;;) {
        uint32_t t = *p;
        switch (t) {
        case TK_END:
        case TK_SEMI:
        case TK_RBRACE:
        case KW_ELSE:
        case KW_WHILE:
            return p;
        case TK_LPAREN:
        case TK_LBRACKET:
            p = Scan_Group(p);
            prev = TK_RPAREN;
            continue;
        case KW_FUNCTION:
            while (*p != TK_END && *p != TK_LBRACE) ++p;
            if (*p == TK_END) return p;
            [[fallthrough]];
        case TK_LBRACE:
            p = Scan_Group(p);
            // A literal or function inside a list goes on; anything else
            // after a braced group ends the statement.
            if (*Scan_Lines(p) != TK_COMMA) return p;
            prev = TK_RBRACE;
            continue;
        case TK_QUESTION:
            p = SkipToColon(p + 1);
            prev = TK_COLON;
            continue;
        case TK_LINE: {
            if (p == start || prev == KW_BREAK || prev == KW_CONTINUE || prev == KW_RETURN) return p;
            Tok n = Scan_Lines(p);
            bool afterValue = Tk_IsValue(prev) || Tk_Closes(prev) || prev == TK_INC || prev == TK_DEC;
            if (afterValue && !Scan_LineContinues(*n, kCommaLevel)) return p;
            p = n;
            continue;
        }
        default:
            prev = t;
            ++p;
            continue;
        }
    }
}

// After a statement: an optional `;` and line breaks, then is `word` next?
Tok AfterOptionalSemi(Tok p, uint32_t word, bool *found) {
    Tok q = Scan_Lines(p);
    if (*q == TK_SEMI) q = Scan_Lines(q + 1);
    *found = *q == word;
    return q;
}

}  // namespace

bool Scan_StatementComplete(Tok start, Tok end) {
    if (end == start) return false;
    return Scan_EndsStatement(end) || *end == KW_ELSE || *end == KW_WHILE;
}

Tok Scan_SkipSimple(Tok p) {
    // Started at a line break (after a failure, say), nothing is left of
    // the statement.
    if (*p == TK_LINE) return p;
    Tok e = SimpleByGrammar(p);
    if (Scan_StatementComplete(p, e)) return e;
    return SkipByTokens(p, e);
}

namespace {

// What to do when the statement being skipped is complete.
enum class Pending : uint8_t { IfThen, DoBody, TryPart };

// A stack of pending kinds in a fixed buffer, spilling to the pool for deep
// nesting. A failed spill makes the skip run to the end of the program.
struct PendingStack {
    Pending small[64];
    Pending *heap = nullptr;
    uint32_t count = 0;
    bool ok = true;
    ~PendingStack() { Arr_Free(heap); }
    void Push(Pending k) {
        if (count < 64) {
            small[count++] = k;
            return;
        }
        if (!Arr_EnsureT(heap, count - 64 + 1)) {
            ok = false;
            return;
        }
        heap[count++ - 64] = k;
    }
    Pending Pop() {
        --count;
        return count < 64 ? small[count] : heap[count - 64];
    }
};

}  // namespace

Tok Scan_SkipStatement(Tok p) {
    // Statements that end in another statement (if, while, for, with, else,
    // labels) continue the loop; do and try remember what follows on an
    // explicit stack, so nesting never deepens the machine stack.
    PendingStack stack;
    for (;;) {
        p = Scan_Lines(p);
        Tok end;
        uint32_t t = *p;
        switch (t) {
        case KW_IF: {
            Tok q = Scan_Lines(p + 1);
            if (*q == TK_LPAREN) q = Scan_Group(q);
            stack.Push(Pending::IfThen);
            p = q;
            continue;
        }
        case KW_WHILE:
        case KW_WITH: {
            Tok q = Scan_Lines(p + 1);
            if (*q == TK_LPAREN) q = Scan_Group(q);
            p = q;
            continue;
        }
        case KW_FOR:
        case KW_SWITCH:
        case KW_CATCH: {
            Tok q = Scan_Lines(p + 1);
            if (*q != TK_LPAREN) {
                end = Scan_SkipSimple(p);
                break;
            }
            q = Scan_Lines(Scan_Group(q));
            if (t == KW_SWITCH) {
                end = *q == TK_LBRACE ? Scan_Group(q) : q;
                break;
            }
            p = q;
            continue;
        }
        case KW_ELSE:
            p = p + 1;
            continue;
        case KW_DO:
            stack.Push(Pending::DoBody);
            p = p + 1;
            continue;
        case KW_TRY:
            stack.Push(Pending::TryPart);
            p = p + 1;
            continue;
        case TK_LBRACE:
            end = Scan_Group(p);
            break;
        case TK_SEMI:
            end = p + 1;  // the empty statement
            break;
        default:
            if (Scan_IsLabel(p)) {
                p = Scan_Lines(p + 1) + 1;
                continue;
            }
            end = Scan_SkipSimple(p);
            break;
        }
        if (!stack.ok) {
            while (*end != TK_END) ++end;
            return end;
        }
        // The statement is complete: resume what was waiting for it.
        for (;;) {
            if (stack.count == 0) return end;
            Pending k = stack.Pop();
            if (k == Pending::IfThen) {
                bool hasElse;
                Tok e = AfterOptionalSemi(end, KW_ELSE, &hasElse);
                if (!hasElse) continue;
                p = e + 1;
                break;
            }
            if (k == Pending::DoBody) {
                bool hasWhile;
                Tok w = AfterOptionalSemi(end, KW_WHILE, &hasWhile);
                if (!hasWhile) continue;
                Tok q = Scan_Lines(w + 1);
                if (*q == TK_LPAREN) q = Scan_Group(q);
                Tok r = Scan_Lines(q);
                end = *r == TK_SEMI ? r + 1 : q;
                continue;
            }
            // TryPart: a catch or finally part may follow.
            Tok r = Scan_Lines(end);
            if (*r != KW_CATCH && *r != KW_FINALLY) continue;
            stack.Push(Pending::TryPart);
            if (*r == KW_CATCH) {
                Tok h = Scan_Lines(r + 1);
                if (*h == TK_LPAREN) h = Scan_Group(h);
                p = h;
            } else {
                p = r + 1;
            }
            break;
        }
    }
}

}  // namespace quillon
