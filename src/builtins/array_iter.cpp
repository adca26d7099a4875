// The iteration methods forEach, every, some, map and filter. Each calls the
// callback with (element, index, object) for every index from 0 below the
// length read at the start; a missing element reads as undefined. `this` in
// the callback is the second argument unless that is null or undefined. A
// callback that fails stops the method with its error.
#include "builtins/array_access.h"
#include "objects/natives.h"

namespace quillon {

namespace {

enum class Walk { ForEach, Every, Some, Map, Filter };

// The three arguments of a callback, released at the end.
struct CallArgs {
    JSAny v[3] = {JSAny_Undef(), JSAny_Undef(), JSAny_Undef()};
    CallArgs() = default;
    ~CallArgs() {
        for (JSAny &a : v) JSAny_Clear(&a);
    }
    CallArgs(const CallArgs &) = delete;
    CallArgs &operator=(const CallArgs &) = delete;
};

void Iterate(RunContext *ctx, Walk kind) {
    ValueGuard self;
    uint32_t len;
    if (!Ary_TakeThis(ctx, &self) || !Ary_Length(ctx, self.v.obj, &len)) return;
    Object *o = self.v.obj;
    ValueGuard result;
    if (kind == Walk::Map || kind == Walk::Filter) {
        if (!Ary_NewArray(ctx, &result)) return;
        if (kind == Walk::Map && Ret_Fail(ctx, Ary_SetLength(result.v.obj, len))) return;
    }
    if (ctx->argc > 0 && len > 0) {
        const JSAny *callback = &ctx->args[0];
        // A this argument of null or undefined (or none) calls with the
        // global value.
        const JSAny *thisArg = ctx->argc > 1 ? &ctx->args[1] : nullptr;
        if (!thisArg || thisArg->type == JSANY_NULL || thisArg->type == JSANY_UNDEFINED) thisArg = &ctx->global;
        // The callback's arguments are records of their own, made afresh for
        // every call: a host function reading them as strings converts them
        // in place, so they can share nothing with the element filter keeps
        // or the array `self` holds.
        CallArgs args;
        ValueGuard element, answer;
        uint32_t kept = 0;
        for (uint32_t i = 0; i < len; ++i) {
            Ary_Get(o, i, &element.v);
            if (Ret_FailOn(ctx, &element.v)) return;
            JSAny_Assign(&args.v[0], &element.v);
            JSAny_SetNumber(&args.v[1], i);
            JSAny_Assign(&args.v[2], &self.v);
            if (Ret_FailOn(ctx, &args.v[0])) return;
            Fn_Call(ctx, callback, thisArg, args.v, 3, &answer.v);
            if (Ret_FailOn(ctx, &answer.v)) return;
            uint32_t st = 0;
            bool stop = false;
            switch (kind) {
            case Walk::ForEach: break;
            case Walk::Every: stop = !JSAny_Truth(&answer.v); break;
            case Walk::Some: stop = JSAny_Truth(&answer.v); break;
            case Walk::Map: st = Ary_Put(result.v.obj, i, &answer.v); break;
            case Walk::Filter:
                if (JSAny_Truth(&answer.v)) st = Ary_Put(result.v.obj, kept++, &element.v);
                break;
            }
            if (Ret_Fail(ctx, st)) return;
            if (stop) {
                JSAny_SetBoolean(&ctx->ret, kind == Walk::Some);
                return;
            }
        }
    }
    switch (kind) {
    case Walk::ForEach: JSAny_SetUndefined(&ctx->ret); break;
    case Walk::Every: JSAny_SetBoolean(&ctx->ret, true); break;
    case Walk::Some: JSAny_SetBoolean(&ctx->ret, false); break;
    case Walk::Map:
    case Walk::Filter: JSAny_Move(&ctx->ret, &result.v); break;
    }
}

}  // namespace

void Bi_ArrayForEach(RunContext *ctx, Function *) { Iterate(ctx, Walk::ForEach); }
void Bi_ArrayEvery(RunContext *ctx, Function *) { Iterate(ctx, Walk::Every); }
void Bi_ArraySome(RunContext *ctx, Function *) { Iterate(ctx, Walk::Some); }
void Bi_ArrayMap(RunContext *ctx, Function *) { Iterate(ctx, Walk::Map); }
void Bi_ArrayFilter(RunContext *ctx, Function *) { Iterate(ctx, Walk::Filter); }

}  // namespace quillon
