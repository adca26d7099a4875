// The Boolean constructor and the methods of Boolean.prototype.
#include "builtins/native_args.h"
#include "objects/natives.h"

namespace quillon {

// Boolean(x): x converted to a boolean, false without an argument (new
// wraps the primitive).
void Bi_Boolean(RunContext *ctx, Function *) {
    bool b = ctx->argc > 0 && JSAny_Truth(&ctx->args[0]);
    JSAny_SetBoolean(&ctx->ret, b);
}

namespace {

// The boolean `this` stands for: a primitive boolean, or the "__value" of a
// Boolean object; false (and error 212 as the result) for anything else.
bool ThisBoolean(RunContext *ctx, bool *out) {
    const JSAny *v = Nat_ThisPrimitive(ctx, JSANY_BOOLEAN, CF_BOOLEAN);
    if (v) *out = v->flag != 0;
    return v != nullptr;
}

}  // namespace

void Bi_BooleanValueOf(RunContext *ctx, Function *) {
    bool b;
    if (ThisBoolean(ctx, &b)) JSAny_SetBoolean(&ctx->ret, b);
}

void Bi_BooleanToString(RunContext *ctx, Function *) {
    bool b;
    if (ThisBoolean(ctx, &b)) JSAny_SetStringCopy(&ctx->ret, b ? "true" : "false");
}

}  // namespace quillon
