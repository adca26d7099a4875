// The scanners' answers remembered per token of a program: where a group
// ends and where a statement ends do not change, so each is found once.
#include "interp/interp.h"
#include "interp/poscache.h"
#include "lexer/code.h"

namespace quillon {

namespace {

template <class Scan>
Tok Remembered(RunContext *ctx, Tok p, uint32_t *(*table)(Code *), Scan scan) {
    Code *code = ctx->code;
    if (!code || p < code->codes || p > code->codes + code->count) return scan(p);
    uint32_t i = static_cast<uint32_t>(p - code->codes);
    uint32_t *ends = table(code);
    if (!ends) return scan(p);
    if (ends[i]) return code->codes + ends[i];
    Tok end = scan(p);
    ends[i] = static_cast<uint32_t>(end - code->codes);
    return end;
}

}  // namespace

void Ctx_SetCode(RunContext *ctx, Code *code) {
    ctx->code = code;
    ctx->hints = code ? Cache_ResolveHints(code) : nullptr;
}

Tok Ev_GroupEnd(RunContext *ctx, Tok p) { return Remembered(ctx, p, Cache_GroupEnds, Scan_Group); }

Tok Ev_StatementEnd(RunContext *ctx, Tok p) {
    return Remembered(ctx, Scan_Lines(p), Cache_StatementEnds, Scan_SkipStatement);
}

}  // namespace quillon
