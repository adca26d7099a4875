// The interpreter's internal interface: expressions, statements, function
// definitions and invocations executed straight from the token program.
// Every evaluator takes the position of its first token and returns the
// position after what it consumed (the same position when it found nothing).
#pragma once
#include <cstdint>

#include "values/context.h"
#include "interp/poscache.h"
#include "interp/scan.h"
#include "runtime/checks.h"
#include "runtime/errtable.h"
#include "values/evalslot.h"
#include "objects/call.h"

namespace quillon {

struct ScriptFunction;

// ---- failures ----
// Reports a row at a token and returns the failure code to propagate (a
// lenient run's warning still abandons the construct).
// (Failures are rare: the failure paths are compiled as cold code, out of
// the way of the paths that run.)
__attribute__((cold)) uint32_t Ev_Fail(RunContext *ctx, uint32_t row, Tok at);
// Codes that travel without a report of their own: out of memory, user
// break, a throw in flight, and codes already reported.
inline bool Ev_Travels(uint32_t code) {
    return (code & ERR_REPORTED) || code == ERR_NOMEM || Err_IsBreak(code) ||
           code == CPL_THROW;
}
// Reports an error value in the slot unless it travels as it is; returns
// the code (0 when the slot holds no error).
__attribute__((cold)) uint32_t Ev_CheckFailed(RunContext *ctx, JSAny *v, Tok at);
inline uint32_t Ev_Check(RunContext *ctx, JSAny *v, Tok at) {
    return v->type != JSANY_ERROR ? 0 : Ev_CheckFailed(ctx, v, at);
}

// RAII guard for the nesting limit.
struct NestGuard {
    RunContext *ctx;
    bool ok;
    explicit NestGuard(RunContext *c) : ctx(c), ok(++c->nesting <= kMaxNesting) {}
    ~NestGuard() { --ctx->nesting; }
};

// The prefix operators read in one run before an operand; a longer run is
// read as an operand of its own, one nesting level deeper.
constexpr uint32_t kMaxPrefix = 32;

// Installs the token program being executed (and its tables of remembered
// resolutions and forms). Without shortcuts every identifier is resolved in full,
// every time.
inline void Ctx_SetCode(RunContext *ctx, Code *code) {
    ctx->code = code;
    ctx->hints = code && Chk_Shortcuts() ? Cache_Table(code, &CodeCache::resolveHints, Cache_ResolveHints) : nullptr;
    // Forms of expressions (forms.h) read their variables through the hints.
    ctx->forms = ctx->hints && Chk_Forms() ? Cache_Table(code, &CodeCache::formIndex, Cache_FormIndex) : nullptr;
}

// ---- remembered scans (jumps.cpp) ----
// Scan_Group and Scan_SkipStatement on the current program, each answer
// found once per token.
Tok Ev_GroupEnd(RunContext *ctx, Tok p);
Tok Ev_StatementEnd(RunContext *ctx, Tok p);

// ---- the extent check (extent.cpp; checking builds only) ----
// Levels of the check: a whole statement, or an expression at an ExprLevel.
constexpr uint32_t kStmtLevel = 1;
inline uint32_t Ev_LevelCode(ExprLevel l) {
    return l.minPrec | (l.assign ? 1u << 16 : 0) | (l.comma ? 1u << 17 : 0);
}
#ifdef QUILLON_CHECKS
// Records that `reader` found the construct at `start` (of the running
// program) at `level` to end at `end`; stops the program when another
// reader found another end there.
void Chk_Extent(RunContext *ctx, Tok start, uint32_t level, Tok end, const char *reader);
// Recoveries of lenient runs so far (statements abandoned after an error):
// a statement inside which one happened ends where the recovery left it, not
// where the grammar says, so its end is not compared.
extern uint32_t gChkRecoveries;
#endif
// The executor read the expression at p up to `end`: in checking builds the
// skipping scanner must find the same end.
inline void Ev_CheckExtent([[maybe_unused]] RunContext *ctx, [[maybe_unused]] Tok p,
                           [[maybe_unused]] ExprLevel level, [[maybe_unused]] Tok end) {
#ifdef QUILLON_CHECKS
    Tok s = Scan_Lines(p);
    Chk_Extent(ctx, s, Ev_LevelCode(level), end, "run");
    Chk_Extent(ctx, s, Ev_LevelCode(level), Scan_SkipExpr(s, level), "skipped");
#endif
}
// Skips the operand after the operator at opTok (a `?`, `:`, `&&` or
// `||`: an operand not needed, a branch not taken), at `level`; where it
// ends is remembered at the operator (jumps.cpp).
Tok Ev_SkipOperand(RunContext *ctx, Tok opTok, ExprLevel level);

// ---- expressions (expr.cpp) ----
Tok Ev_Expr(RunContext *ctx, Tok p, EvalSlot *out, uint32_t minPrec);
Tok Ev_Assign(RunContext *ctx, Tok p, EvalSlot *out);
// A comma expression turned into a value; on failure *out is an error value.
Tok Ev_Comma(RunContext *ctx, Tok p, JSAny *out);
// An assignment expression turned into a value.
Tok Ev_AssignValue(RunContext *ctx, Tok p, JSAny *out);
// An argument of a call read as the call's reader reads it (into *out,
// which holds nothing).
Tok Ev_ArgumentValue(RunContext *ctx, Tok p, JSAny *out);
// One step of Ev_Expr's loop: the binary operator at opTok (`?` with its
// branches, `&&` and `||` included) with what follows it read from the
// tokens, applied to out->v (the left value, taken over), which receives
// the result or the failure; the position after what it read.
Tok Ev_OperatorStep(RunContext *ctx, Tok opTok, EvalSlot *out);
// The call (or construction) of the callee's value in cur->v, read after
// the arguments as a call reads it (an error or undefined there is the
// call's failure), with `this` from *thisValue when haveThis (released
// here either way); cur->v receives the result or the failure, reported at
// calleeTok. `end` is the position after the call's `)`.
void Ev_CallGeneral(RunContext *ctx, EvalSlot *cur, const JSAny *args, uint32_t argc, JSAny *thisValue,
                    bool haveThis, bool construct, Tok calleeTok, Tok end);
// A call's result that is an error: a native's "no value" becomes
// undefined, anything else is the call's failure, reported at calleeTok.
__attribute__((cold)) void Ev_CallFailed(RunContext *ctx, EvalSlot *cur, bool construct, Tok calleeTok, Tok end);
// The call (not a construction) of a callee value that is neither a
// failure nor undefined nor a regular expression (which Ev_CallGeneral
// looks at first): made with calleeTok as the call's token.
__attribute__((always_inline)) inline void Ev_CallCallee(RunContext *ctx, EvalSlot *cur, const JSAny *args,
                                                         uint32_t argc, JSAny *thisValue, bool haveThis, Tok calleeTok,
                                                         Tok end) {
    Tok savedCall = ctx->callTok;
    ctx->callTok = calleeTok;
    Fn_CallValueInline(ctx, cur, args, argc, haveThis ? thisValue : nullptr);
    ctx->callTok = savedCall;
    JSAny_Clear(thisValue);
    if (cur->v.type == JSANY_ERROR) Ev_CallFailed(ctx, cur, false, calleeTok, end);
}
__attribute__((always_inline)) inline void Ev_Call(RunContext *ctx, EvalSlot *cur, const JSAny *args, uint32_t argc,
                                                   JSAny *thisValue, bool haveThis, bool construct, Tok calleeTok,
                                                   Tok end) {
    if (!construct && cur->v.type == JSANY_OBJECT && cur->v.obj->kind != ObjKind::RegExp)
        Ev_CallCallee(ctx, cur, args, argc, thisValue, haveThis, calleeTok, end);
    else
        Ev_CallGeneral(ctx, cur, args, argc, thisValue, haveThis, construct, calleeTok, end);
}
// The store of an assignment: the value (taken over) put through the
// reference in *out, which receives the value stored or the failure,
// reported at the operator `opTok`.
void Ev_PutValue(RunContext *ctx, EvalSlot *out, JSAny *value, Tok opTok);
// Its first case, inline for the callers that store most: a value that
// holds no share goes into a variable as it is. False, with nothing done,
// otherwise.
inline bool Ev_PutPlainVariable(EvalSlot *out, const JSAny *value) {
    if (!Chk_Shortcuts() || out->v.type != JSREF_VARIABLE || value->type < 0) return false;
    auto *var = static_cast<JSAny *>(out->v.ptr);
    JSAny old = *var;
    *var = *value;
    JSAny_Clear(&old);
    out->v = *value;
    return true;
}
// Releases the scope objects a host gave for a pending name lookup.
void Ev_DropScopeObjects(RunContext *ctx);
// Resolves an identifier token to a reference (or value).
uint32_t Ev_Resolve(RunContext *ctx, uint32_t code, EvalSlot *out, Tok at);
// The local of the running activation that the identifier at `at` was last
// resolved to, when that still holds; null otherwise.
JSAny *Ev_HintedLocal(RunContext *ctx, Tok at, const IdEntry *id);
uint32_t Ev_ResolveId(RunContext *ctx, uint32_t code, IdEntry *id, EvalSlot *out, Tok at);
// The resolution itself, without the remembered answer.
uint32_t Ev_ResolveFull(RunContext *ctx, uint32_t code, IdEntry *id, EvalSlot *out);

// ---- statements (stmt.cpp) ----
// Where a block's statement list goes on when its first statements ran
// from their loop's form: at its statement `from`, or, when `after` is
// set, after that statement, which has run (called from the form) to
// `after` with completion `cpl`.
struct ListResume {
    Tok from;
    Tok after;
    uint32_t cpl;
#ifdef QUILLON_CHECKS
    // A lenient recovery happened in what the loop's form ran of the body:
    // the body's end is then where the recovery left it (no extent check).
    bool recovered = false;
#endif
};
// Runs statements until `}`, the end or a completion other than normal
// (from where `resume` says when it is given).
Tok St_List(RunContext *ctx, Tok p, uint32_t *completion, const ListResume *resume = nullptr);
// One statement (a block going on where `resume` says when it is given).
Tok St_Statement(RunContext *ctx, Tok p, uint32_t *completion, const ListResume *resume = nullptr);
// The first statement of a function's body (after its `{`).
inline Tok St_BodyFirst(Tok body) {
    Tok p = body + 1;
    while (*p == TK_LINE || *p == TK_SEMI) ++p;
    return p;
}
// A script function's body (its `{`) whose first statement is a `return`
// (a getter, a small helper), as St_Statement runs it: the `return` is run
// from its form directly when it has one.
Tok St_ReturnBody(RunContext *ctx, Tok body, uint32_t *completion);
// An expression statement, a `return` or an `if` at p (after any line
// breaks) run from its form of the comma level, as St_Statement would run
// it; null, with nothing done, when it has none or the form gives up.
Tok St_FormStatement(RunContext *ctx, Tok p, uint32_t *cpl);
// A branch of `if`: St_Statement, trying the statement's form first.
Tok St_Branch(RunContext *ctx, Tok p, uint32_t *cpl);
// The rest of the `if` at ifTok whose branch taken (the one run on a true
// condition when `then`) is the block at `brace`, once its statements before
// `from` ran from a loop's form: the block's list goes on at `from`, then
// the `if` ends as IfStatement ends it. Called at the `if`'s own nesting
// level less one (the statement's level, as StatementAt counts it, is
// added here).
Tok St_BranchFrom(RunContext *ctx, Tok ifTok, Tok brace, Tok from, bool then, uint32_t *cpl);
// Declares a variable in the current scope (as `var` does); null when out of memory.
JSAny *St_Declare(RunContext *ctx, IdEntry *id);

// ---- functions (func.cpp) ----
// p at `function`: makes the function object; *end receives the position
// after its body. Returns 0 or the failure code.
uint32_t Fn_Define(RunContext *ctx, Tok p, bool declaration, JSAny *out, Tok *end);
// The pre-pass: defines every function declaration of a statement list.
uint32_t Fn_Prepass(RunContext *ctx, Tok p);
// The `arguments` identifier of a store.
IdEntry *Fn_ArgumentsId(LexStore *store);

// ---- runs (run.cpp) ----
// Runs the text given to eval in the current context; the completion value
// becomes *result.
uint32_t Run_Eval(RunContext *ctx, const JSAny *text, JSAny *result, Tok at);
// The finishing of a completion at the top of a run or a function body.
uint32_t Run_Finish(RunContext *ctx, uint32_t completion, Tok at);

}  // namespace quillon
