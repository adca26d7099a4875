// Error reports. A script error is shown once per run as a report: a heading
// (error class, "error" or "warning", line, enclosing function), the message
// of its row in the error table, and the source line with the offending
// tokens picked out. Reports go to the host's HostNotify hook or, without a
// host handle, to the diagnostic output; inside `try` they are kept in the
// run context for the Error object that `catch` receives.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/signals.h"
#include "runtime/errtable.h"

namespace quillon {

struct RunContext;
struct JSAny;

// Raise an error at a token (or span of tokens) of the current token program.
// Lenient runs show a warning and get 0 back; otherwise the first error of a
// run is shown and every call returns ERR_STOP (0x40008020).
__attribute__((cold)) uint32_t Err_Report(RunContext *ctx, uint32_t row, const uint32_t *tok);
__attribute__((cold)) uint32_t Err_ReportSpan(RunContext *ctx, uint32_t row, const uint32_t *tok, uint32_t count);
// Shows the report unless one was shown in this run; no lenient handling.
__attribute__((cold)) uint32_t Err_ReportOnce(RunContext *ctx, uint32_t row, const uint32_t *tok, uint32_t count);
// Maps a code to its row and reports it.
__attribute__((cold)) uint32_t Err_ReportCode(RunContext *ctx, uint32_t code, const uint32_t *tok, uint32_t count);
// Reports an error value unless already reported; the value becomes ERR_STOP.
__attribute__((cold)) uint32_t Err_ReportValue(RunContext *ctx, const uint32_t *tok, uint32_t count, JSAny *value);
// Reports with a message and class of its own (an uncaught Error object or
// thrown value), shown as it is; a null message reports an empty one.
__attribute__((cold)) uint32_t Err_ReportText(RunContext *ctx, uint32_t errClass, const char *message,
                        const uint32_t *tok, uint32_t count);
// Asks the host whether to stop (HostNotify kind 7).
uint32_t Err_PollBreak(RunContext *ctx, const uint32_t *tok);
// The user-break check: reads the pending task signals and polls the host
// only when one under the run's mask is pending. 0 means go on.
uint32_t Err_CheckBreak(RunContext *ctx, const uint32_t *tok);
// Whether a signal under the mask is pending (what the check looks at first).
inline bool Err_BreakPending(uint32_t mask) { return (Plat_PendingSignals() & mask) != 0; }
// The same check with its common case (nothing pending) inline.
inline uint32_t Err_CheckBreakFast(RunContext *ctx, const uint32_t *tok, uint32_t mask) {
    return Err_BreakPending(mask) ? Err_CheckBreak(ctx, tok) : 0;
}
// Shows the report kept for `catch` when the failure leaves the outermost
// `try` without being caught (at most one report per run, as always).
void Err_ShowTryReport(RunContext *ctx);
// Releases the report pieces kept for `catch`.
void Err_ClearTryReport(RunContext *ctx);

}  // namespace quillon
