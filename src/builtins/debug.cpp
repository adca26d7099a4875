// Debug.write and Debug.writeln: their arguments on the diagnostic output,
// strings as they are and other values in their printed form, with nothing
// between them. Neither gives a value.
#include "objects/natives.h"
#include "values/context.h"
#include "platform/debuglog.h"
#include "values/convert.h"

namespace quillon {

namespace {

void WriteArgs(RunContext *ctx, bool newline) {
    for (uint32_t i = 0; i < ctx->argc; ++i) {
        const JSAny *a = &ctx->args[i];
        bool last = newline && i + 1 == ctx->argc;
        if (JSAny_IsString(a)) {
            Plat_DebugPrintf(last ? "%s\n" : "%s", a->str);
            continue;
        }
        JSAny_DebugPrint(ctx, a);
        if (last) Plat_DebugWrite("\n");
    }
    if (newline && ctx->argc == 0) Plat_DebugWrite("\n");
    JSAny_SetError(&ctx->ret, ERR_NOVALUE);
}

}  // namespace

void Bi_DebugWrite(RunContext *ctx, Function *) { WriteArgs(ctx, false); }

void Bi_DebugWriteln(RunContext *ctx, Function *) { WriteArgs(ctx, true); }

}  // namespace quillon
