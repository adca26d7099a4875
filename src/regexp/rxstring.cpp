// String.prototype.match and String.prototype.search.
#include "objects/natives.h"
#include "builtins/string_this.h"
#include "values/space.h"
#include "regexp/rxexec.h"

namespace quillon {

namespace {

// The global form of match: every match from the start, each empty match
// stepping one character on; an array of the matched texts, or null.
void MatchAll(RunContext *ctx, RxTarget &t, const JSAny *input) {
    RxCaps caps;
    RxHit hit;
    ValueGuard result, item;
    uint32_t count = 0, from = 0;
    for (;;) {
        uint32_t r = RxExec_Run(ctx, t, input, from, caps, &hit);
        if (r == 0) break;
        if (Ret_Fail(ctx, r != 1 ? r : RxExec_Record(ctx, input, hit, caps))) return;
        if (count == 0) {
            Obj_NewArray(&result.v, ctx->space);
            if (Ret_FailOn(ctx, &result.v)) return;
        }
        JSAny_SetStringBytes(&item.v, input->str + hit.start, hit.end - hit.start);
        if (Ret_FailOn(ctx, &item.v) || Ret_Fail(ctx, Obj_PutIndex(result.v.obj, count, &item.v))) return;
        ++count;
        if (hit.end > hit.start) {
            from = hit.end;
        } else {
            if (hit.end >= input->len) break;
            from = hit.end + 1;
        }
    }
    if (t.obj) t.obj->lastIndex = 0;
    if (count == 0) JSAny_SetNull(&ctx->ret);
    else JSAny_Move(&ctx->ret, &result.v);
}

}  // namespace

void Bi_StringMatch(RunContext *ctx, Function *) {
    ValueGuard self;
    if (!Str_TakeThis(ctx, &self)) return;
    RxTarget t;
    if (Ret_Fail(ctx, RxExec_PatternArg(ctx, t))) return;
    if (t.Global()) {
        if (!Ret_Fail(ctx, RxExec_Shareable(&self.v))) MatchAll(ctx, t, &self.v);
        return;
    }
    // Otherwise what exec gives: the match with its groups, or null.
    RxCaps caps;
    RxHit hit;
    uint32_t r = RxExec_Run(ctx, t, &self.v, 0, caps, &hit);
    if (r == 0) {
        JSAny_SetNull(&ctx->ret);
        return;
    }
    if (Ret_Fail(ctx, r != 1 ? r : RxExec_Record(ctx, &self.v, hit, caps))) return;
    ValueGuard result;
    if (Ret_Fail(ctx, RxExec_Array(ctx, &self.v, hit, caps, &result.v))) return;
    JSAny_Move(&ctx->ret, &result.v);
}

void Bi_StringSearch(RunContext *ctx, Function *) {
    ValueGuard self;
    if (!Str_TakeThis(ctx, &self)) return;
    RxTarget t;
    if (Ret_Fail(ctx, RxExec_PatternArg(ctx, t))) return;
    RxCaps caps;
    RxHit hit;
    uint32_t r = RxExec_Run(ctx, t, &self.v, 0, caps, &hit);
    if (r == 0) {
        JSAny_SetNumber(&ctx->ret, -1);
        return;
    }
    if (Ret_Fail(ctx, r != 1 ? r : RxExec_Record(ctx, &self.v, hit, caps))) return;
    JSAny_SetNumber(&ctx->ret, hit.start);
}

}  // namespace quillon
