#include "interp/scan.h"

#include "runtime/memory.h"

namespace quillon {

namespace {

inline bool Opens(uint32_t t) { return t == TK_LPAREN || t == TK_LBRACKET || t == TK_LBRACE; }

// The next token that is not a line break.
inline uint32_t Next(Tok p) { return *Scan_Lines(p); }

}  // namespace

Tok Scan_Group(Tok p) {
    // Brackets of every kind count alike: the program's own grammar checks
    // report mismatches when the code runs.
    uint32_t depth = 0;
    for (;;) {
        uint32_t t = *p;
        if (t == TK_END) return p;
        ++p;
        if (Opens(t)) {
            ++depth;
        } else if (t == TK_RPAREN || t == TK_RBRACKET || t == TK_RBRACE) {
            if (--depth == 0) return p;
        }
    }
}

Tok Scan_SkipConditional(Tok p) {
    uint32_t nested = 0;
    for (;;) {
        uint32_t t = *p;
        if (t == TK_END) return p;
        if (Opens(t)) {
            p = Scan_Group(p);
            continue;
        }
        if (t == TK_RPAREN || t == TK_RBRACKET || t == TK_RBRACE || t == TK_SEMI) return p;
        ++p;
        if (t == TK_QUESTION) ++nested;
        else if (t == TK_COLON) {
            if (nested == 0) return p;
            --nested;
        }
    }
}

Tok Scan_SkipSimple(Tok p) {
    Tok start = p;
    uint32_t prev = 0;      // previous significant token
    bool afterGroup = false;  // the previous token closed a ( ) group
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
            p = Scan_Group(p);
            prev = TK_RPAREN;
            afterGroup = true;
            continue;
        case KW_FUNCTION:
            while (*p != TK_END && *p != TK_LBRACE) ++p;
            if (*p == TK_END) return p;
            [[fallthrough]];
        case TK_LBRACE:
            p = Scan_Group(p);
            if (Next(p) == TK_COMMA) {
                prev = TK_RBRACE;
                afterGroup = false;
                continue;
            }
            return p;
        case TK_QUESTION:
            p = Scan_SkipConditional(p + 1);
            prev = TK_COLON;
            afterGroup = false;
            continue;
        case TK_LINE: {
            if (p == start || afterGroup) return p;
            if (prev == KW_BREAK || prev == KW_CONTINUE || prev == KW_RETURN) return p;
            if (prev == TK_INC || prev == TK_DEC || prev == KW_TRUE || prev == KW_FALSE ||
                prev == KW_NULL || prev == KW_THIS || prev == TK_RBRACKET || prev >= TK_OPERAND) {
                uint32_t n = Next(p);
                if (n >= 769 && n <= 1538) {
                    p = Scan_Lines(p);
                    continue;
                }
                return p;
            }
            p = Scan_Lines(p);
            continue;
        }
        default:
            prev = t;
            afterGroup = false;
            ++p;
            continue;
        }
    }
}

namespace {

// After a statement: an optional `;` and line breaks, then is `word` next?
Tok AfterOptionalSemi(Tok p, uint32_t word, bool *found) {
    Tok q = Scan_Lines(p);
    if (*q == TK_SEMI) q = Scan_Lines(q + 1);
    *found = *q == word;
    return q;
}

}  // namespace

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
        default:
            if (t >= TK_OPERAND && Next(p + 1) == TK_COLON) {  // a label
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

Tok Scan_SkipLogical(Tok p, bool forAnd) {
    for (;;) {
        uint32_t t = *p;
        switch (t) {
        case TK_END:
        case TK_COMMA:
        case TK_SEMI:
        case TK_RPAREN:
        case TK_RBRACKET:
        case TK_RBRACE:
        case TK_COLON:
        case TK_QUESTION:
            return p;
        case TK_LPAREN:
        case TK_LBRACKET:
        case TK_LBRACE:
            p = Scan_Group(p);
            continue;
        case TK_LOGOR:
            if (forAnd) return p;
            ++p;
            continue;
        default:
            ++p;
            continue;
        }
    }
}

}  // namespace quillon
