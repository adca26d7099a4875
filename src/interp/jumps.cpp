// The scanners' answers remembered per token of a program: where a group
// ends and where a statement ends do not change, so each is found once.
#include "interp/interp.h"
#include "interp/poscache.h"
#include "lexer/code.h"
#include "runtime/checks.h"

namespace quillon {

namespace {

template <class Scan>
Tok Remembered(RunContext *ctx, Tok p, uint32_t *(*table)(Code *), Scan scan) {
    Code *code = ctx->code;
    if (!Chk_Shortcuts() || !code || p < code->codes || p > code->codes + code->count) return scan(p);
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
    // Without shortcuts every identifier is resolved in full, every time.
    ctx->hints = code && Chk_Shortcuts() ? Cache_ResolveHints(code) : nullptr;
    // Forms of expressions need the hints: their variables are read through them.
    if (!ctx->hints || !Chk_Forms()) {
        ctx->forms = nullptr;
        return;
    }
    const auto *c = static_cast<const CodeCache *>(code->cache);
    ctx->forms = c && c->formIndex ? c->formIndex : Cache_FormIndex(code);
}

Tok Ev_GroupEnd(RunContext *ctx, Tok p) { return Remembered(ctx, p, Cache_GroupEnds, Scan_Group); }

Tok Ev_StatementEnd(RunContext *ctx, Tok p) {
    p = Scan_Lines(p);
    Tok end = Remembered(ctx, p, Cache_StatementEnds, Scan_SkipStatement);
#ifdef QUILLON_CHECKS
    Chk_Extent(ctx, p, kStmtLevel, end, "skipped");
#endif
    return end;
}

}  // namespace quillon
