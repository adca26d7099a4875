#include "builtins/value_guard.h"

#include "values/convert.h"

namespace quillon {

bool Arg_Int(RunContext *ctx, uint32_t i, int64_t dflt, int64_t *out) {
    if (i >= ctx->argc || ctx->args[i].type == JSANY_UNDEFINED) {
        *out = dflt;
        return true;
    }
    ValueGuard v(&ctx->args[i]);
    if (v.v.type != JSANY_NUMBER) JSAny_ToNumber(ctx, &v.v);
    if (Ret_FailOn(ctx, &v.v)) return false;
    *out = Num_TruncArg(v.v.num);
    return true;
}

}  // namespace quillon
