// Showing a report that was kept for `catch` when no catch took it.
#include "values/space.h"
#include "values/context.h"
#include "platform/debuglog.h"
#include "quillon.h"
#include "interp/report.h"
#include "runtime/hookguard.h"

namespace quillon {

namespace {
inline const char *OrEmpty(const char *s) { return s ? s : ""; }
}  // namespace

void Err_ShowTryReport(RunContext *ctx) {
    const TryReport &t = ctx->tryReport;
    if (!t.valid || ctx->reported) return;
    const JSHostLibrary *hooks = ctx->space ? ctx->space->hooks : nullptr;
    if (ctx->hostHandle != 0 && hooks && hooks->HostNotify) {
        HookCall guard;
        hooks->HostNotify(t.kind, ctx->hostHandle, OrEmpty(t.heading), OrEmpty(t.message),
                          OrEmpty(t.before), OrEmpty(t.token), OrEmpty(t.after), nullptr);
    } else {
        Plat_DebugReport(t.before, t.token, t.after, t.heading, t.message);
    }
    if (!(ctx->flags & RUN_LENIENT)) ctx->reported = true;
}

}  // namespace quillon
