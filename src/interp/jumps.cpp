// The scanners' answers remembered per token of a program: where a group
// ends, where a statement ends and where a skipped operand ends do not
// change, so each is found once.
#include "interp/interp.h"
#include "interp/poscache.h"
#include "lexer/code.h"
#include "runtime/checks.h"

namespace quillon {

namespace {

template <class Scan>
Tok Remembered(RunContext *ctx, Tok p, uint32_t *CodeCache::*which, uint32_t *(*make)(Code *), Scan scan) {
    Code *code = ctx->code;
    if (!Chk_Shortcuts() || !code || p < code->codes || p > code->codes + code->count) return scan(p);
    uint32_t i = static_cast<uint32_t>(p - code->codes);
    uint32_t *ends = Cache_Table(code, which, make);
    if (!ends) return scan(p);
    if (ends[i]) return code->codes + ends[i];
    Tok end = scan(p);
    ends[i] = static_cast<uint32_t>(end - code->codes);
    return end;
}

}  // namespace

Tok Ev_GroupEnd(RunContext *ctx, Tok p) { return Remembered(ctx, p, &CodeCache::groupEnds, Cache_GroupEnds, Scan_Group); }

// (The group ends' table has an entry for every token; only openers use
// theirs for a group, so an operator's holds where its operand ends. The
// level is the operator's own: an assignment expression after `?` and
// `:`, the tighter operators after `&&` and `||`.)
Tok Ev_SkipOperand(RunContext *ctx, Tok opTok, ExprLevel level) {
    Tok end = Remembered(ctx, opTok, &CodeCache::groupEnds, Cache_GroupEnds,
                         [level](Tok op) { return Scan_SkipExpr(op + 1, level); });
#ifdef QUILLON_CHECKS
    Chk_Extent(ctx, Scan_Lines(opTok + 1), Ev_LevelCode(level), end, "skipped");
#endif
    return end;
}

Tok Ev_StatementEnd(RunContext *ctx, Tok p) {
    p = Scan_Lines(p);
    Tok end = Remembered(ctx, p, &CodeCache::statementEnds, Cache_StatementEnds, Scan_SkipStatement);
#ifdef QUILLON_CHECKS
    Chk_Extent(ctx, p, kStmtLevel, end, "skipped");
#endif
    return end;
}

}  // namespace quillon
