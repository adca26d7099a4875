// Remembered forms of expressions. An expression made only of literals,
// variables, members, parentheses and operators that cannot do anything
// but compute (`+ - * / % << >> >>> & | ^`, comparisons and equalities,
// `&& || ?:`, prefix `- + ! ~`), with at most one call (and the calls
// that have it among their arguments) and at most one store at its end,
// is read from its tokens once, the second time it is
// reached, into a short list of operations kept with its program; after
// that it runs from the list.
//
// Invariants that keep a form exact:
// - a form is made only of what the token walker would read there at the
//   same precedence, ending at the same token; anything else in the
//   expression (a function literal, an assignment inside, a syntax
//   error ...) means no form, so faulty code is still reported only when
//   the walker reaches it;
// - running a form has no effect until its call or its last operation:
//   variables are read through their remembered resolutions
//   (interp/hints.h), which has no effect; any operand that is not a number
//   or boolean (or an operator that would have to convert one) gives the
//   form up, and the walker then evaluates the expression from its first
//   token as if the form had not been tried;
// - from its call on a form cannot give up: the call and what follows it
//   (binary operators, their right operands either numbers or read by the
//   walker's own step for an operator; calls with it among their arguments,
//   whose later arguments the walker reads) run as the walker runs them;
// - a form runs only where the walker's nesting of the same expression would
//   stay within the nesting limit;
// - a lone variable or literal never becomes a form (the walker gives a
//   reference there, which assignments need);
// - forms are memory of their program: counted, freed with it, and a form
//   that cannot be made for want of memory is simply not made.
#pragma once
#include <cstdint>

#include "values/context.h"
#include "interp/interp.h"
#include "interp/scan.h"
#include "runtime/checks.h"
#include "lexer/code.h"
#include "values/jsany.h"

namespace quillon {

// The levels an expression is read at, as the walker's readers take it: a
// comma expression (Ev_Comma) or an assignment expression (Ev_Assign). The
// two start at the same token; the outer one is tried first, and when it
// has no form there the inner one is.
// A loop's form (below) is kept at its keyword's token, at a level of its own.
enum : uint32_t { FORM_LEVEL_COMMA = 0, FORM_LEVEL_ASSIGN = 1, FORM_LEVEL_LOOP = 2 };

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

// ---- remembered forms of loops ----
// A `while` or three-clause `for` loop whose condition and update have
// forms runs whole passes from one form: the walker's check at the
// top of every pass, the condition, each statement of the body with its
// completion, the update, and back. Body statements that have forms
// (expression statements, `var name = e` of a local, `if` with an
// expression statement in each branch) run from the form; any other
// statement of the body is run by the walker, called from the form.
// Exactness rests on the same invariant as an expression's form: nothing
// happens in a statement until its last operation, so a statement that
// gives up has done nothing, and the walker goes on from that statement as
// if the loop's form had run the statements before it itself; a statement
// the walker ran from the form that ends otherwise than normally, where it
// is known to end, hands its result to the walker's statement list.

// Where the walker goes on after the loop's form ran.
enum class LoopPhase : uint8_t {
    Walk,    // no form here: the walker runs this pass from its condition
    Done,    // the condition was false: the loop has ended normally
    Top,     // a signal is pending: the walker goes on at the top of a pass
    Cond,    // at the condition
    Body,    // in the body (where *resume says: its statement list at a statement
             // or after one; the whole body when resume->from and ->after are null)
    Update,  // at the update
};

// The parts of a loop as the walker finds them.
struct LoopShape {
    Tok cond;           // the condition's first token (after any line breaks), or null
    uint32_t condEnd;   // the token the condition is followed by: `)` or `;`
    Tok update;         // the update's first token, or null
    Tok updateEnd;      // the header's `)`, which the update runs to
    Tok body;           // the body's first token
};

// Where the walker's `while` or three-clause `for` starts when the form of
// a loop around it ran the loop up to a point (St_LoopFrom): the pass it is
// in goes on at `phase` (Cond, Body where `resume` says, Update; its top was
// made), or, at Top, a pass starts (the form found a signal pending there).
// `body` is the token after the header's `)`, `semi` a `for`'s `;` after
// its first clause, `end` where the body ends when a whole pass ran, else
// null.
struct LoopEntry {
    LoopPhase phase;
    ListResume resume;
    Tok body;
    Tok semi;
    Tok end;
};
// The rest of the `while` or `for` loop at p, as LoopEntry says; its end
// and completion as the statement's. Called at the loop statement's own
// nesting level.
Tok St_LoopFrom(RunContext *ctx, Tok p, const LoopEntry *entry, uint32_t *cpl);

// Runs the loop's form at `index` from the condition of a pass whose
// top the walker has made (see Form_Loop).
LoopPhase Form_RunLoop(RunContext *ctx, uint32_t index, ListResume *resume, Tok *bodyEnd);
// Reads the form of the loop at `loop` when `passes` is the count at which
// it is tried; true when it was made.
bool Form_ReadLoop(RunContext *ctx, Tok loop, const LoopShape &shape, uint32_t passes);

// At the top of a loop's pass, after the walker's check: makes the form of
// the loop at `loop` (when `passes`, the passes run so far in this entry,
// is one of the counts it is tried at) and runs it. On a return in the
// middle of the body *resume is where the walker goes on; *bodyEnd is set
// to where the body ends when the form ran at least one whole pass.
__attribute__((always_inline)) inline LoopPhase Form_Loop(RunContext *ctx, Tok loop, const LoopShape &shape,
                                                          uint32_t passes, ListResume *resume, Tok *bodyEnd) {
    uint32_t *slot = Form_Slot(ctx, loop);
    if (!slot || *slot == FORM_NONE) return LoopPhase::Walk;
    if (*slot < FORM_FIRST && !Form_ReadLoop(ctx, loop, shape, passes)) return LoopPhase::Walk;
    return Form_RunLoop(ctx, *slot - FORM_FIRST, resume, bodyEnd);
}

}  // namespace quillon
