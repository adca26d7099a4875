// The Object constructor and the methods of Object.prototype (eval, watch
// and unwatch have entries of their own elsewhere).
#include "builtins/native_args.h"
#include "builtins/natives.h"
#include "host/space.h"

namespace quillon {

// Object(x): x converted to an object; with no argument a new empty one.
void Bi_Object(RunContext *ctx, Function *) {
    if (ctx->argc == 0) {
        Obj_NewInto(&ctx->ret, ctx->space->protos[PROTO_OBJECT]);
        return;
    }
    ValueCopy x(&ctx->args[0]);
    JSAny_ToObject(ctx, &x.v);
    JSAny_Move(&ctx->ret, &x.v);
}

namespace {

// The class names in the order they are tested: an object with several of
// these flags is named by the first.
struct ClassName {
    uint32_t flag;
    const char *text;
};
constexpr ClassName kClassNames[] = {
    {CF_ARGUMENTS, "[object Arguments]"}, {CF_ARRAY, "[object Array]"},
    {CF_BOOLEAN, "[object Boolean]"},     {CF_DATE, "[object Date]"},
    {CF_FUNCTION, "[object Function]"},   {CF_NUMBER, "[object Number]"},
    {CF_STRING, "[object String]"},       {CF_REGEXP, "[object RegExp]"},
    {CF_ERROR, "[object Error]"},
};

}  // namespace

void Bi_ObjectToString(RunContext *ctx, Function *) {
    if (ctx->thisValue.type != JSANY_OBJECT) {
        JSAny_SetUndefined(&ctx->ret);
        return;
    }
    uint32_t flags = ctx->thisValue.obj->classFlags;
    const char *text = "[object Object]";
    for (const ClassName &c : kClassNames) {
        if (flags & c.flag) {
            text = c.text;
            break;
        }
    }
    JSAny_SetStringCopy(&ctx->ret, text);
}

void Bi_ObjectValueOf(RunContext *ctx, Function *) { JSAny_Assign(&ctx->ret, &ctx->thisValue); }

}  // namespace quillon
