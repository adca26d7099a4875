// The constructors of Error and its six subclasses (one shared entry that
// tells the class from the function's name) and Error.prototype.toString.
#include <cstring>

#include "builtins/native_args.h"
#include "objects/natives.h"

namespace quillon {

namespace {

// Error class numbers as the error table counts them.
constexpr const char *kErrorNames[] = {"Error",       "EvalError", "RangeError", "ReferenceError",
                                       "SyntaxError", "TypeError", "URIError"};

uint32_t ClassOf(const Function *fn) {
    if (fn->name)
        for (uint32_t i = 0; i < 7; ++i)
            if (!std::strcmp(fn->name, kErrorNames[i])) return i;
    return 0;
}

}  // namespace

// Error(message), with or without new: an error object of the constructor's
// class; the argument, as a string, is its message.
void Bi_Error(RunContext *ctx, Function *fn) {
    ValueGuard message;
    if (ctx->argc > 0 && !Arg_String(ctx, 0, message)) return;
    Obj_NewError(ctx->space, &ctx->ret, ctx->argc > 0 ? &message.v : nullptr, ClassOf(fn));
}

// "name: message" when both are strings, the one that is a string when only
// one is, else the message value as it is.
void Bi_ErrorToString(RunContext *ctx, Function *) {
    if (ctx->thisValue.type != JSANY_OBJECT) {
        JSAny_SetUndefined(&ctx->ret);
        return;
    }
    Object *o = ctx->thisValue.obj;
    ValueGuard name, message;
    Obj_GetStr(o, "name", &name.v);
    Obj_GetStr(o, "message", &message.v);
    bool hasName = JSAny_IsString(&name.v), hasMessage = JSAny_IsString(&message.v);
    if (hasName && hasMessage) {
        size_t len = static_cast<size_t>(name.v.len) + 2 + message.v.len;
        char *t = Text_Alloc(len);
        if (t) {
            std::memcpy(t, name.v.str, name.v.len);
            std::memcpy(t + name.v.len, ": ", 2);
            std::memcpy(t + name.v.len + 2, message.v.str, message.v.len);
        }
        Ret_Text(ctx, t, len);
        return;
    }
    JSAny_Move(&ctx->ret, hasName ? &name.v : &message.v);
}

}  // namespace quillon
