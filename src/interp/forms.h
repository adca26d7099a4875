// Remembered forms of expressions. An expression made only of number and
// boolean literals, variables, parentheses and operators that cannot do
// anything but compute (`+ - * / % << >> >>> & | ^`, comparisons and
// equalities, `&& || ?:`, prefix `- + ! ~`) is read from its tokens once, the
// second time it is reached, into a short list of operations kept with its
// program; after that it runs from the list.
//
// Invariants that keep a form exact:
// - a form is made only of what the token walker would read there at the
//   same precedence, ending at the same token; anything else in the
//   expression (a call, a member, an assignment, a syntax error ...) means
//   no form, so faulty code is still reported only when the walker reaches it;
// - running a form has no effect until it has its value: variables are read
//   through their remembered resolutions (interp/hints.h), which has no
//   effect; any operand that is not a number or boolean (or an operator
//   that would have to convert one) gives the form up, and the walker then
//   evaluates the expression from its first token as if the form had not
//   been tried;
// - a form runs only where the walker's nesting of the same expression would
//   stay within the nesting limit;
// - a lone variable or literal never becomes a form (the walker gives a
//   reference there, which assignments need);
// - forms are memory of their program: counted, freed with it, and a form
//   that cannot be made for want of memory is simply not made.
#pragma once
#include <cstdint>

#include "values/context.h"
#include "interp/scan.h"
#include "runtime/checks.h"
#include "lexer/code.h"
#include "values/jsany.h"

namespace quillon {

// The levels an expression is read at, as the walker's readers take it: a
// comma expression (Ev_Comma) or an assignment expression (Ev_Assign). The
// two start at the same token; the outer one is tried first, and when it
// has no form there the inner one is.
enum : uint32_t { FORM_LEVEL_COMMA = 0, FORM_LEVEL_ASSIGN = 1 };

// What the form index of a program says of the expression at a token.
enum : uint32_t {
    FORM_UNSEEN = 0,    // not reached yet
    FORM_SEEN = 1,      // + level: reached once, by the reader of that level
    FORM_NONE = 3,      // no form: the walker reads it every time
    FORM_FIRST = 4,     // + index: the form's first cell in the store
};

// Reads a form for the expression at `start` read at `level`, or notes the
// reach; called on reaches without a form yet.
void Form_Reached(RunContext *ctx, Tok start, uint32_t level);
// Runs the form at `index` of the running program; true with its value in
// *out and the position after the expression in *end, false (nothing done)
// when the walker must read the expression instead.
bool Form_Run(RunContext *ctx, uint32_t index, uint32_t level, JSAny *out, Tok *end);

// The form index's entry for the expression at `start` in the running
// program; null when forms are off or the token is not the program's.
__attribute__((always_inline)) inline uint32_t *Form_Slot(RunContext *ctx, Tok start) {
    if (!Chk_Forms() || !ctx->forms) return nullptr;
    uint32_t i = static_cast<uint32_t>(start - ctx->code->codes);
    return i < ctx->code->count ? ctx->forms + i : nullptr;
}

// The form of the expression at `start` read at `level`, when there is one
// and it runs. When it does not, *inner (if asked for) tells whether the
// reader one level in may still find a form at the same token, so that it
// need not look when it cannot.
__attribute__((always_inline)) inline bool Form_Try(RunContext *ctx, Tok start, uint32_t level, JSAny *out,
                                                    Tok *end, bool *inner = nullptr) {
    uint32_t *slot = Form_Slot(ctx, start);
    if (!slot) {
        if (inner) *inner = false;
        return false;
    }
    if (*slot >= FORM_FIRST) {
        if (Form_Run(ctx, *slot - FORM_FIRST, level, out, end)) return true;
    } else if (*slot == FORM_UNSEEN || *slot == static_cast<uint32_t>(FORM_SEEN) + level) {
        Form_Reached(ctx, start, level);
    }
    if (inner) *inner = *slot != FORM_NONE && *slot != static_cast<uint32_t>(FORM_SEEN) + level;
    return false;
}

// The walker's part of Ev_Comma, from the expression's first token, after
// the form of the comma level was tried there (`inner` as Form_Try gives it).
Tok Ev_CommaRest(RunContext *ctx, Tok start, JSAny *out, bool inner);

// Ev_Comma, for the statements' readers that run it most (conditions, loop
// updates): the form tried in place, the walker's part called only when it
// does not run. Ev_Comma itself is this.
__attribute__((always_inline)) inline Tok Ev_CommaInline(RunContext *ctx, Tok p, JSAny *out) {
    Tok start = Scan_Lines(p);
    Tok end;
    JSAny v;
    bool inner;
    if (Form_Try(ctx, start, FORM_LEVEL_COMMA, &v, &end, &inner)) {
        JSAny_Clear(out);
        *out = v;
        return end;
    }
    return Ev_CommaRest(ctx, start, out, inner);
}

}  // namespace quillon
