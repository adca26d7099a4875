// The extent check of checking builds (QUILLON_CHECKS). The token program
// is read in several ways: run by the executor, skipped as an untaken
// branch or an operand that is not needed, skipped after an error in a
// lenient run. Every end one of them finds for a statement or an
// expression is recorded against its start and its level; when two readers
// find different ends for the same start and level the program stops with
// both positions. The tables come from the C library, not the pool, so the
// check changes neither MemUse nor the allocations the out-of-memory tests
// count; a table that cannot be made only means nothing is recorded.
#include "interp/interp.h"

#ifdef QUILLON_CHECKS
#include <cstdio>
#include <cstdlib>

#include "lexer/code.h"
#include "platform/testswitch.h"

namespace quillon {

uint32_t gChkRecoveries = 0;

namespace {

struct ExtentSlot {
    uint32_t level;  // 0: free
    uint32_t end;    // token index
    const char *reader;
};
constexpr uint32_t kSlotsPerToken = 4;

uint32_t LineOf(const Code *c, uint32_t tok) {
    uint32_t feeds = 0;
    uint32_t offset = Code_Locate(c, tok, &feeds);
    (void)offset;
    return c->firstLine + feeds;
}

[[noreturn]] void Mismatch(const Code *c, uint32_t start, uint32_t level, const ExtentSlot &a, uint32_t end,
                           const char *reader) {
    char text[320];
    std::snprintf(text, sizeof text,
                  "extent check: the %s at token %u (line %u, level %u) ends at token %u (line %u) when %s, "
                  "at token %u (line %u) when %s",
                  level == kStmtLevel ? "statement" : "expression", start, LineOf(c, start), level, a.end,
                  LineOf(c, a.end), a.reader, end, LineOf(c, end), reader);
    Plat_CheckFailed(text);
}

}  // namespace

void Chk_Extent(RunContext *ctx, Tok start, uint32_t level, Tok end, const char *reader) {
    Code *code = ctx->code;
    if (!code || start < code->codes || start > code->codes + code->count) return;
    uint32_t s = static_cast<uint32_t>(start - code->codes);
    if (end < code->codes || end > code->codes + code->count) {
        char text[160];
        std::snprintf(text, sizeof text, "extent check: the reader %s left the program from token %u (line %u)",
                      reader, s, LineOf(code, s));
        Plat_CheckFailed(text);
    }
    uint32_t e = static_cast<uint32_t>(end - code->codes);
    auto *slots = static_cast<ExtentSlot *>(code->extents);
    if (!slots) {
        slots = static_cast<ExtentSlot *>(std::calloc(size_t{code->count + 1} * kSlotsPerToken, sizeof(ExtentSlot)));
        if (!slots) return;
        code->extents = slots;
    }
    ExtentSlot *row = slots + size_t{s} * kSlotsPerToken;
    for (uint32_t k = 0; k < kSlotsPerToken; ++k) {
        if (row[k].level == level) {
            if (row[k].end != e) Mismatch(code, s, level, row[k], e, reader);
            return;
        }
        if (row[k].level == 0) {
            row[k] = ExtentSlot{level, e, reader};
            return;
        }
    }
}

}  // namespace quillon
#endif
