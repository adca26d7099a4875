// The static generics of Array and String: Array.join(a, sep) is
// Array.prototype.join called on a, String.charAt(s, i) is
// String.prototype.charAt called on s. The row's extra word names the
// constructor (1 Array, 2 String); the method has the function's name.
#include "builtins/native_args.h"
#include "objects/natives.h"
#include "values/space.h"

namespace quillon {

void Bi_StaticGeneric(RunContext *ctx, Function *fn) {
    Object *proto = ctx->space->protos[fn->extra == 1 ? PROTO_ARRAY : PROTO_STRING];
    ValueGuard method;
    if (proto && fn->name) Obj_GetStr(proto, fn->name, &method.v);
    if (!Nat_IsFunctionValue(&method.v) || ctx->argc == 0) {
        JSAny_SetUndefined(&ctx->ret);
        return;
    }
    ValueGuard target(&ctx->args[0]);
    JSAny_ToObject(ctx, &target.v);
    if (Ret_FailOn(ctx, &target.v)) return;
    JSAny result = JSAny_Undef();
    Fn_Call(ctx, &method.v, &target.v, ctx->args + 1, ctx->argc - 1, &result);
    JSAny_Move(&ctx->ret, &result);
}

}  // namespace quillon
