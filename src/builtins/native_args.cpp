// The natives' kit's out-of-line half: integer arguments and calling a
// method of a value by name.
#include "builtins/native_args.h"

#include <cstring>

#include "objects/function.h"
#include "objects/member.h"
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

void Nat_CallMethod(RunContext *ctx, const JSAny *self, const char *name, JSAny *result) {
    EvalSlot method;
    method.v = JSAny_Undef();
    method.v.type = JSREF_MEMBER;
    JSAny_InitFrom(&method.base, self);
    method.key = JSAny_Borrow(name, static_cast<uint32_t>(std::strlen(name)));
    Obj_GetMember(ctx, &method, false);
    if (method.v.type == JSANY_ERROR) {
        JSAny_Clear(result);
        *result = method.v;
        return;
    }
    Fn_Call(ctx, &method.v, self, nullptr, 0, result);
    JSAny_Clear(&method.v);
    if (result->type == JSANY_ERROR && result->code == ERR_NOVALUE) JSAny_SetUndefined(result);
}

}  // namespace quillon
