// The chain of run contexts in use, innermost first: what a conversion
// without a context at hand calls through, what a run started from a hook
// continues, and the set of context handles the host may pass back.
#include "values/context.h"

namespace quillon {

namespace {
RunContext *gCurrent = nullptr;
}

RunContext *Run_Current() { return gCurrent; }

bool Run_Enter(RunContext *ctx) {
    RunContext *outer = gCurrent;
    ctx->outer = outer;
    gCurrent = ctx;
    if (!outer) return true;
    ctx->nesting = outer->nesting;
    if (outer->depth >= kMaxCallDepth) {
        ctx->depth = outer->depth;
        return false;
    }
    ctx->depth = outer->depth + 1;
    return true;
}

void Run_Leave(RunContext *ctx) { gCurrent = ctx->outer; }

bool Run_IsLive(const void *handle) {
    if (!handle) return false;
    for (const RunContext *c = gCurrent; c; c = c->outer)
        if (c == handle) return true;
    return false;
}

bool Run_InRun(const RunContext *ctx) {
    for (; ctx; ctx = ctx->outer)
        if (!ctx->temp) return true;
    return false;
}

}  // namespace quillon
