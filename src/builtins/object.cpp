// The Object constructor and the methods of Object.prototype (eval, watch
// and unwatch have entries of their own elsewhere). The own-property tests
// follow the member rules of the object model: what hasOwnProperty answers
// is what a member read finds on the value itself, and what
// propertyIsEnumerable answers is what for-in lists.
#include "builtins/native_args.h"
#include "objects/natives.h"
#include "values/space.h"
#include "interp/interp.h"
#include "objects/member.h"

namespace quillon {

// Object(x): x converted to an object; with no argument a new empty one.
void Bi_Object(RunContext *ctx, Function *) {
    if (ctx->argc == 0) {
        Obj_NewInto(&ctx->ret, ctx->space->protos[PROTO_OBJECT]);
        return;
    }
    ValueGuard x(&ctx->args[0]);
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

namespace {

// null and undefined have no properties to ask about and no methods to call:
// such a `this` fails with 212.
bool ThisHasMembers(RunContext *ctx) {
    int32_t t = ctx->thisValue.type;
    if (t != JSANY_NULL && t != JSANY_UNDEFINED && t != JSANY_UNDECLARED) return true;
    JSAny_SetError(&ctx->ret, ERR_WRONGTYPE);
    return false;
}

// hasOwnProperty and propertyIsEnumerable: the argument is converted to a
// string first (a conversion that throws is the call's error), then `this`
// is asked.
void OwnTest(RunContext *ctx, bool listedOnly) {
    ValueGuard name;
    if (!Arg_String(ctx, 0, name) || !ThisHasMembers(ctx)) return;
    uint32_t status = 0;
    bool has = Obj_HasOwnMember(ctx, &ctx->thisValue, name.v.str, name.v.len, listedOnly, &status);
    if (status) JSAny_SetError(&ctx->ret, status);
    else JSAny_SetBoolean(&ctx->ret, has);
}

}  // namespace

void Bi_ObjectHasOwnProperty(RunContext *ctx, Function *) { OwnTest(ctx, false); }

void Bi_ObjectPropertyIsEnumerable(RunContext *ctx, Function *) { OwnTest(ctx, true); }

// isPrototypeOf(v): whether `this` is on v's prototype chain, walked as
// lookups walk it (so Function.prototype is on the chain of every function).
void Bi_ObjectIsPrototypeOf(RunContext *ctx, Function *) {
    const JSAny *v = &ctx->args[0];
    if (v->type != JSANY_OBJECT) {
        JSAny_SetBoolean(&ctx->ret, false);
        return;
    }
    if (!ThisHasMembers(ctx)) return;
    bool found = false;
    if (ctx->thisValue.type == JSANY_OBJECT) {
        const Object *self = ctx->thisValue.obj;
        for (Object *p = Obj_NextInChain(v->obj); p && !found; p = Obj_NextInChain(p)) found = p == self;
    }
    JSAny_SetBoolean(&ctx->ret, found);
}

// toLocaleString(): the value of `this`'s toString method. That method may
// be this one again (o.toString = Object.prototype.toLocaleString): the
// nesting of native calls is bounded as the evaluator's own is.
void Bi_ObjectToLocaleString(RunContext *ctx, Function *) {
    if (!ThisHasMembers(ctx)) return;
    NestGuard nest(ctx);
    if (!nest.ok) {
        JSAny_SetError(&ctx->ret, Ev_Fail(ctx, ROW_NESTED_TOO_DEEPLY, ctx->callTok));
        return;
    }
    JSAny result = JSAny_Undef();
    Nat_CallMethod(ctx, &ctx->thisValue, "toString", &result);
    JSAny_Move(&ctx->ret, &result);
}

}  // namespace quillon
