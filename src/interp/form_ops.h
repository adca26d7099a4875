// The layout of remembered forms, shared by the reader and runner
// (forms.cpp) and the runner of their calls (form_calls.cpp): 16-byte
// cells, a head and the operations of each form, and a loop's marks. Not
// for use outside interp/forms*.
#pragma once
#include <cstdint>

#include "interp/interp.h"
#include "lexer/code.h"
#include "values/jsany.h"
#include "values/numops.h"

namespace quillon {

enum class FormKind : uint8_t {
    Number,       // push num
    String,       // push the string literal at value (borrowed from the program's constants)
    Boolean,      // push arg != 0
    Null,         // push null
    This,         // push the this value
    Variable,     // push the value of the identifier at token arg (through its hint)
    Local,        // push local arg of the running activation, named id
    Parameter,    // push parameter arg of the running activation, named id
    Store,        // top into local arg named id (op: the compound operator, or None)
    Increment,    // local arg named id op= 1 (Add or Sub); push its old value (pad 1) or new
    StoreHinted,  // as Store, into the variable the hint of the identifier at token arg finds
    IncrementHinted, // as Increment, of the variable the hint of the identifier at token arg finds
    GetNamed,     // top = member id of top (arg: the name's token, whose hint it keeps; pad 1: "length")
    GetElem,      // pop key; top = element key of top
    StoreNamed,   // pop value; top = value, stored in member id of top (op as Store)
    StoreElem,    // pop value, key; top = value, stored in element key of top
    IncrementNamed, // member id of top op= 1 (Add or Sub; arg: the name's token); top = its old
                  // value (pad 1) or new
    Pop,          // pop (the value of a comma operand)
    Binary,       // pop b; top = top op b (two numbers; arg: the operator's token, pad: the
                  // walker's nesting there, for the general operator after a call)
    BinaryConst,  // top = top op num (two numbers): a number literal and Binary in one (arg, pad
                  // as Binary's)
    BinaryLocal,  // top = top op local arg named id (two numbers): Local and Binary in one
    Equality,     // pop b; top = top arg b (arg: == != === or !==)
    Negate,       // top = -top (a number)
    Plus,         // top stays (a number)
    BitNot,       // top = ~top (a number)
    Not,          // top = !top
    And,          // top falsy: go to arg; else pop
    Or,           // top truthy: go to arg; else pop
    JumpIfFalse,  // pop; falsy: go to arg
    Jump,         // go to arg
    Call,         // call (or construct) the callee under the pad arguments on top (arg: the
                  // callee's first token; id: a method's name, read from the object there;
                  // CallSite and CallEnd operations follow): the form's one call, after which
                  // only what RunAfterCall runs and a store may follow (CallEndsForm)
    CallSite,     // of the call before it: pad: the walker's nesting there | 0x100 a method
                  // | 0x200 a construction; arg: the method name's token; aux: the `=` token
                  // of the store that ends the form, if any (a CallEnd operation follows)
    End,          // the form's value is the one on the stack (after the last operation)
    // Loops' forms only:
    LoopTop,      // the top of a pass: the collector's safe point; a pending signal leaves for the walker
    StatementEnd, // pop the value of an expression statement into the completion
    Statement,    // the walker runs the statement at token arg (pad 1: of a block), which ends at stmtEnd
    BranchStatement, // the walker runs the branch of an `if` at token arg (St_Branch), which ends at
                  // branch.stmtEnd; the `if` is at branch.ifTok (pad 1: of a block)
    Done,         // the loop has ended
    NestTop,      // the top of the first pass of a loop inside the loop (as LoopTop)
    NestNext,     // the top of its next pass (as LoopTop), then go to arg
    // Read by RunCall only:
    CallEnd,      // of the call two before it: arg: the token after its argument list; pad:
                  // kCallStores | kCallTail
    Walk,         // after the call: the operator at token arg applied to top and what follows
                  // it, read by the walker (Ev_OperatorStep; pad: the walker's nesting there)
    OuterCall,    // after the call: a call with it among its arguments (as Call: pad: the
                  // arguments on the stack; CallSite: aux: the first argument the walker reads;
                  // CallEnd: pad: how many it reads, aux: the `(` token)
    // Read by RunOps (before the call):
    CalleeSlot,   // push the variable of an outer call's callee name, as a reference (pad 0: local
                  // arg named id; pad 1: through the hint of the identifier at token arg)
};

// The values a form's stack holds at most.
constexpr uint32_t kFormStack = 16;

// What follows a form's call (its CallEnd operation's pad): a store ends
// the form; values under the call or operations after it (RunAfterCall).
constexpr uint16_t kCallStores = 1, kCallTail = 2;

struct FormOp {
    FormKind kind;
    NumOp op;
    uint16_t pad;
    uint32_t arg;
    union {
        double num;
        const IdEntry *id;
        const JSAny *value;
        uint32_t stmtEnd;
        uint32_t aux;
        struct {
            uint32_t stmtEnd;
            uint32_t ifTok;
        } branch;
    };
};

struct FormHead {
    uint32_t end;      // token index after the expression
    uint16_t level;    // the level it was read at (forms.h)
    uint16_t count;    // operations that follow
    uint16_t depth;    // nesting the walker would use for it
    uint16_t misses;   // runs given up so far
    uint32_t start;    // token index of the expression
};

// Where the walker goes on when a loop's form gives up at operation `pc` or
// later (up to the next mark): a LoopPhase and a token.
struct LoopMark {
    uint32_t pc;
    uint32_t phase;
    uint32_t tok;
    uint32_t pad;
};

// A block branch of an `if` of a loop's body, whose statements after the
// first the walker finishes when one of them gives up: the rest of the
// block, then the `if` ends as the walker ends it. A loop's mark whose
// `phase` is kBranchMark names one of these in `pad` (its index among
// them, with kBranchThen and kBranchInBlock); its `tok` is the statement
// the walker goes on at.
struct BranchInfo {
    uint32_t after;    // the operation after the `if`
    uint32_t ifTok;    // the `if`
    uint32_t end;      // the token the `if` ends at
    uint32_t brace;    // the branch's `{`
};
constexpr uint32_t kBranchMark = 0x100;

// A `while` or three-clause `for` loop that is a statement of a loop's body
// and runs from the loop's form: its operations from `top` (its NestTop) to
// before `after`. Whatever of it the form hands to the walker (a statement,
// a give-up, a pending signal at a pass's top) the walker runs as part of
// that loop (St_LoopFrom), to its end; then the form goes on after it.
// Two cells.
struct NestInfo {
    uint32_t top;
    uint32_t after;
    uint32_t loopTok;  // the loop's keyword
    uint32_t end;      // the token the loop ends at (where its body ends)
    uint32_t body;     // the token after its header's `)`
    uint32_t semi;     // a `for`'s `;` after its first clause
    uint32_t flags;    // kNestInBlock
    uint32_t pad;
};
constexpr uint32_t kNestInBlock = 1;  // the loop is a statement of the body's block
static_assert(sizeof(NestInfo) == 32, "a loop inside a loop's form takes two cells");
constexpr uint32_t kBranchThen = 1u << 31;    // the branch run on a true condition
constexpr uint32_t kBranchInBlock = 1u << 30; // the `if` is a statement of the body's block

struct FormCell {
    union {
        FormHead head;
        FormOp op;
        LoopMark mark;
        BranchInfo branch;
    };
};
static_assert(sizeof(FormCell) == 16, "a form cell is 16 bytes");

// The call of a form, RunOps having stopped at its Call operation
// (ops[pc - 1]) with the callee (or the method's object) and the arguments
// on top of the stack st (sp values); ops are the operations of the form
// at `index` of the running program's store, `count` of them. False, with
// nothing done, when the walker is to read the expression; else *out
// receives the form's value or the failure (form_calls.cpp).
bool Form_RunCall(RunContext *ctx, uint32_t index, const FormOp *ops, uint32_t count, uint32_t pc, JSAny *st,
                  uint32_t sp, JSAny *out);

}  // namespace quillon
