// indexOf and lastIndexOf: strict equality against each element in turn. A
// missing element reads as undefined. Over a huge length with few elements
// only the elements present are compared; the first gap stands for an
// undefined element.
#include <algorithm>

#include "builtins/array_access.h"
#include "objects/natives.h"
#include "values/operators.h"

namespace quillon {

namespace {

// Answers whether element i strictly equals the target; failures go to *code.
bool ElementEquals(Object *o, uint32_t i, const JSAny *target, ValueGuard &tmp, uint32_t *code) {
    if (JSAny *slot = Obj_FindOwnIndex(o, i)) {
        if (slot->type != JSANY_UNDECLARED) return Op_StrictEquals(slot, target);
        return target->type == JSANY_UNDEFINED;
    }
    Ary_Get(o, i, &tmp.v);
    if (tmp.v.type == JSANY_ERROR) {
        *code = tmp.v.code;
        return false;
    }
    return Op_StrictEquals(&tmp.v, target);
}

void ReturnIndex(RunContext *ctx, int64_t i) { JSAny_SetNumber(&ctx->ret, static_cast<double>(i)); }

// The start of both searches: the object and its length; false when the
// search is over before it starts (-1 with nothing to look for or in, or
// the failure as the result).
bool SearchStart(RunContext *ctx, ValueGuard *self, uint32_t *len) {
    if (!Ary_TakeThis(ctx, self) || !Ary_Length(ctx, self->v.obj, len)) return false;
    if (ctx->argc == 0 || *len == 0) {
        ReturnIndex(ctx, -1);
        return false;
    }
    return true;
}

}  // namespace

void Bi_ArrayIndexOf(RunContext *ctx, Function *) {
    ValueGuard self;
    uint32_t len;
    if (!SearchStart(ctx, &self, &len)) return;
    int64_t fromArg;
    if (!Arg_Int(ctx, 1, 0, &fromArg)) return;
    if (fromArg >= static_cast<int64_t>(len)) {
        ReturnIndex(ctx, -1);
        return;
    }
    uint32_t from = Ary_Relative(fromArg, len);
    Object *o = self.v.obj;
    const JSAny *target = &ctx->args[0];
    ValueGuard tmp;
    uint32_t code = 0;
    if (Ary_IsSparse(o, len - from)) {
        IndexList present;
        if (!Ary_Present(o, len, &present)) {
            Ret_Fail(ctx, ERR_NOMEM);
            return;
        }
        bool wantUndefined = target->type == JSANY_UNDEFINED;
        uint32_t k = static_cast<uint32_t>(
            std::lower_bound(present.items, present.items + present.count, from) - present.items);
        uint32_t expect = from;  // next index; a gap before the next present one reads undefined
        for (; k < present.count; ++k) {
            uint32_t i = present.items[k];
            if (wantUndefined && i > expect) break;
            if (ElementEquals(o, i, target, tmp, &code)) {
                ReturnIndex(ctx, i);
                return;
            }
            if (Ret_Fail(ctx, code)) return;
            expect = i + 1;
        }
        ReturnIndex(ctx, wantUndefined && expect < len ? static_cast<int64_t>(expect) : -1);
        return;
    }
    for (uint32_t i = from; i < len; ++i) {
        if (ElementEquals(o, i, target, tmp, &code)) {
            ReturnIndex(ctx, i);
            return;
        }
        if (Ret_Fail(ctx, code)) return;
    }
    ReturnIndex(ctx, -1);
}

void Bi_ArrayLastIndexOf(RunContext *ctx, Function *) {
    ValueGuard self;
    uint32_t len;
    if (!SearchStart(ctx, &self, &len)) return;
    int64_t fromArg;
    if (!Arg_Int(ctx, 1, static_cast<int64_t>(len) - 1, &fromArg)) return;
    if (fromArg >= static_cast<int64_t>(len)) fromArg = static_cast<int64_t>(len) - 1;
    if (fromArg < 0) fromArg += len;
    if (fromArg < 0) {
        ReturnIndex(ctx, -1);
        return;
    }
    uint32_t from = static_cast<uint32_t>(fromArg);
    Object *o = self.v.obj;
    const JSAny *target = &ctx->args[0];
    ValueGuard tmp;
    uint32_t code = 0;
    if (Ary_IsSparse(o, from + 1)) {
        IndexList present;
        if (!Ary_Present(o, from + 1, &present)) {
            Ret_Fail(ctx, ERR_NOMEM);
            return;
        }
        bool wantUndefined = target->type == JSANY_UNDEFINED;
        int64_t expect = from;  // next index downward
        for (uint32_t k = present.count; k-- > 0;) {
            uint32_t i = present.items[k];
            if (wantUndefined && i < expect) break;
            if (ElementEquals(o, i, target, tmp, &code)) {
                ReturnIndex(ctx, i);
                return;
            }
            if (Ret_Fail(ctx, code)) return;
            expect = static_cast<int64_t>(i) - 1;
        }
        ReturnIndex(ctx, wantUndefined && expect >= 0 ? expect : -1);
        return;
    }
    for (int64_t i = from; i >= 0; --i) {
        if (ElementEquals(o, static_cast<uint32_t>(i), target, tmp, &code)) {
            ReturnIndex(ctx, i);
            return;
        }
        if (Ret_Fail(ctx, code)) return;
    }
    ReturnIndex(ctx, -1);
}

}  // namespace quillon
