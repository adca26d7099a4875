// The Array constructor and the methods that add, remove and move elements:
// push, pop, shift, unshift, splice, slice, concat and reverse.
#include <algorithm>
#include <cmath>

#include "builtins/array_access.h"
#include "objects/natives.h"
#include "values/space.h"

namespace quillon {

namespace {

constexpr int32_t kCompatOld = 3;  // the compatibility level of the older forms

inline void ReturnLength(RunContext *ctx, uint64_t n) { JSAny_SetNumber(&ctx->ret, static_cast<double>(n)); }

inline bool TooLong(RunContext *ctx, uint64_t n) {
    if (n <= kMaxArrayLength) return false;
    JSAny_SetError(&ctx->ret, ERR_SUBSCRIPT);
    return true;
}

}  // namespace

void Bi_Array(RunContext *ctx, Function *) {
    if (ctx->argc == 1 && ctx->args[0].type == JSANY_NUMBER && ctx->compat != kCompatOld) {
        ValueGuard a;
        if (!Ary_NewArray(ctx, &a)) return;
        double d = ctx->args[0].num;
        double n = 0;
        if (std::isfinite(d)) {
            n = std::fmod(std::trunc(d), 4294967296.0);
            if (n < 0) n += 4294967296.0;
        }
        if (Ret_Fail(ctx, Obj_SetLength(a.v.obj, static_cast<uint32_t>(n)))) return;
        JSAny_Move(&ctx->ret, &a.v);
        return;
    }
    ValueGuard a;
    Obj_NewArrayFrom(ctx->space, &a.v, ctx->argc, ctx->args);
    if (Ret_FailOn(ctx, &a.v)) return;
    JSAny_Move(&ctx->ret, &a.v);
}

void Bi_ArrayPush(RunContext *ctx, Function *) {
    ValueGuard self;
    uint32_t len;
    if (!Ary_TakeThis(ctx, &self) || !Ary_Length(ctx, self.v.obj, &len)) return;
    Object *o = self.v.obj;
    uint64_t end = static_cast<uint64_t>(len) + ctx->argc;
    if (TooLong(ctx, end)) return;
    for (uint32_t i = 0; i < ctx->argc; ++i)
        if (Ret_Fail(ctx, Ary_Put(o, len + i, &ctx->args[i]))) return;
    // An array's length has followed its elements already; storing it again
    // changes nothing unless a stored `length` property stands in front of
    // it (an array without named properties has none).
    uint32_t now;
    bool followed = o->props == nullptr && Obj_ComputedArrayLength(o, &now) && now == end;
    if (!followed && Ret_Fail(ctx, Ary_SetLength(o, static_cast<double>(end)))) return;
    if (ctx->compat == kCompatOld) {
        if (ctx->argc) JSAny_Assign(&ctx->ret, &ctx->args[ctx->argc - 1]);
        else JSAny_SetNull(&ctx->ret);
        return;
    }
    ReturnLength(ctx, end);
}

void Bi_ArrayPop(RunContext *ctx, Function *) {
    ValueGuard self;
    uint32_t len;
    if (!Ary_TakeThis(ctx, &self) || !Ary_Length(ctx, self.v.obj, &len)) return;
    if (len < 1) {
        JSAny_SetNull(&ctx->ret);
        return;
    }
    Object *o = self.v.obj;
    ValueGuard last;
    Ary_Get(o, len - 1, &last.v);
    if (Ret_FailOn(ctx, &last.v)) return;
    Ary_Delete(o, len - 1);
    if (Ret_Fail(ctx, Ary_SetLength(o, len - 1))) return;
    JSAny_Move(&ctx->ret, &last.v);
}

void Bi_ArrayShift(RunContext *ctx, Function *) {
    ValueGuard self;
    uint32_t len;
    if (!Ary_TakeThis(ctx, &self) || !Ary_Length(ctx, self.v.obj, &len)) return;
    if (len < 1) {
        JSAny_SetUndefined(&ctx->ret);
        return;
    }
    Object *o = self.v.obj;
    ValueGuard first;
    Ary_Get(o, 0, &first.v);
    if (Ret_FailOn(ctx, &first.v)) return;
    if (Ret_Fail(ctx, Ary_Move(o, 1, 0, len - 1, Ary_IsSparse(o, len)))) return;
    Ary_Delete(o, len - 1);
    if (Ret_Fail(ctx, Ary_SetLength(o, len - 1))) return;
    JSAny_Move(&ctx->ret, &first.v);
}

void Bi_ArrayUnshift(RunContext *ctx, Function *) {
    ValueGuard self;
    uint32_t len;
    if (!Ary_TakeThis(ctx, &self) || !Ary_Length(ctx, self.v.obj, &len)) return;
    Object *o = self.v.obj;
    uint32_t k = ctx->argc;
    uint64_t end = static_cast<uint64_t>(len) + k;
    if (TooLong(ctx, end)) return;
    if (Ret_Fail(ctx, Ary_Move(o, 0, k, len, Ary_IsSparse(o, len)))) return;
    for (uint32_t j = 0; j < k; ++j)
        if (Ret_Fail(ctx, Ary_Put(o, j, &ctx->args[j]))) return;
    if (Ret_Fail(ctx, Ary_SetLength(o, static_cast<double>(end)))) return;
    ReturnLength(ctx, end);
}

void Bi_ArraySplice(RunContext *ctx, Function *) {
    if (ctx->argc == 0) {
        JSAny_SetUndefined(&ctx->ret);
        return;
    }
    ValueGuard self;
    uint32_t len;
    if (!Ary_TakeThis(ctx, &self) || !Ary_Length(ctx, self.v.obj, &len)) return;
    Object *o = self.v.obj;
    int64_t startArg, delArg;
    if (!Arg_Int(ctx, 0, 0, &startArg)) return;
    uint32_t start = Ary_Relative(startArg, len);
    uint32_t del = len - start;
    if (ctx->argc >= 2) {
        if (!Arg_Int(ctx, 1, 0, &delArg)) return;
        del = delArg < 0 ? 0 : (delArg > del ? del : static_cast<uint32_t>(delArg));
    }
    uint32_t items = ctx->argc > 2 ? ctx->argc - 2 : 0;
    uint64_t newLen = static_cast<uint64_t>(len) - del + items;
    if (TooLong(ctx, newLen)) return;

    ValueGuard removed;
    if (!Ary_NewArray(ctx, &removed)) return;
    if (Ret_Fail(ctx, Ary_CopyRange(o, start, del, removed.v.obj, 0))) return;
    if (Ret_Fail(ctx, Ary_SetLength(removed.v.obj, del))) return;

    uint32_t tail = len - start - del;
    if (items != del) {
        if (Ret_Fail(ctx, Ary_Move(o, start + del, start + items, tail, Ary_IsSparse(o, tail)))) return;
        if (items < del && Ret_Fail(ctx, Ary_DeleteRange(o, static_cast<uint32_t>(newLen), len))) return;
    }
    for (uint32_t j = 0; j < items; ++j)
        if (Ret_Fail(ctx, Ary_Put(o, start + j, &ctx->args[2 + j]))) return;
    if (Ret_Fail(ctx, Ary_SetLength(o, static_cast<double>(newLen)))) return;

    if (ctx->compat == kCompatOld && del <= 1) {
        // The older form hands back the one element removed, not an array.
        ValueGuard one;
        if (del == 1) {
            Ary_Get(removed.v.obj, 0, &one.v);
            if (Ret_FailOn(ctx, &one.v)) return;
        }
        JSAny_Move(&ctx->ret, &one.v);
        return;
    }
    JSAny_Move(&ctx->ret, &removed.v);
}

void Bi_ArraySlice(RunContext *ctx, Function *) {
    ValueGuard self;
    uint32_t len;
    if (!Ary_TakeThis(ctx, &self) || !Ary_Length(ctx, self.v.obj, &len)) return;
    int64_t startArg, endArg;
    if (!Arg_Int(ctx, 0, 0, &startArg) || !Arg_Int(ctx, 1, len, &endArg)) return;
    uint32_t start = Ary_Relative(startArg, len), end = Ary_Relative(endArg, len);
    uint32_t n = end > start ? end - start : 0;
    ValueGuard result;
    if (!Ary_NewArray(ctx, &result)) return;
    if (Ret_Fail(ctx, Ary_CopyRange(self.v.obj, start, n, result.v.obj, 0))) return;
    if (Ret_Fail(ctx, Ary_SetLength(result.v.obj, n))) return;
    JSAny_Move(&ctx->ret, &result.v);
}

void Bi_ArrayConcat(RunContext *ctx, Function *) {
    ValueGuard self;
    uint32_t len;
    if (!Ary_TakeThis(ctx, &self) || !Ary_Length(ctx, self.v.obj, &len)) return;
    ValueGuard result;
    if (!Ary_NewArray(ctx, &result)) return;
    Object *out = result.v.obj;
    if (Ret_Fail(ctx, Ary_CopyRange(self.v.obj, 0, len, out, 0))) return;
    uint64_t n = len;
    for (uint32_t a = 0; a < ctx->argc; ++a) {
        const JSAny *arg = &ctx->args[a];
        if (arg->type == JSANY_OBJECT && (arg->obj->classFlags & CF_ARRAY)) {
            uint32_t alen;
            if (!Ary_Length(ctx, arg->obj, &alen)) return;
            if (TooLong(ctx, n + alen)) return;
            if (Ret_Fail(ctx, Ary_CopyRange(arg->obj, 0, alen, out, static_cast<uint32_t>(n)))) return;
            n += alen;
        } else {
            if (TooLong(ctx, n + 1)) return;
            if (Ret_Fail(ctx, Ary_Put(out, static_cast<uint32_t>(n), arg))) return;
            n += 1;
        }
    }
    if (Ret_Fail(ctx, Ary_SetLength(out, static_cast<double>(n)))) return;
    JSAny_Move(&ctx->ret, &result.v);
}

void Bi_ArrayReverse(RunContext *ctx, Function *) {
    ValueGuard self;
    uint32_t len;
    if (!Ary_TakeThis(ctx, &self) || !Ary_Length(ctx, self.v.obj, &len)) return;
    Object *o = self.v.obj;
    ValueGuard lower, upper;
    // Swaps the pair (lo, len - 1 - lo); a missing element moves as a gap.
    auto swapPair = [&](uint32_t lo) -> uint32_t {
        uint32_t hi = len - 1 - lo;
        bool hasLo = Ary_GetIf(o, lo, &lower.v);
        if (lower.v.type == JSANY_ERROR) return lower.v.code;
        bool hasHi = Ary_GetIf(o, hi, &upper.v);
        if (upper.v.type == JSANY_ERROR) return upper.v.code;
        uint32_t st = 0;
        if (hasHi) st = Ary_Put(o, lo, &upper.v);
        else Ary_Delete(o, lo);
        if (st) return st;
        if (hasLo) st = Ary_Put(o, hi, &lower.v);
        else Ary_Delete(o, hi);
        return st;
    };
    if (Ary_IsSparse(o, len)) {
        IndexList present;
        if (!Ary_Present(o, len, &present)) {
            Ret_Fail(ctx, ERR_NOMEM);
            return;
        }
        // Each pair once, by its lower index, in ascending order.
        IndexList lows;
        if (present.count && !Arr_EnsureT(lows.items, present.count)) {
            Ret_Fail(ctx, ERR_NOMEM);
            return;
        }
        for (uint32_t k = 0; k < present.count; ++k) {
            uint32_t i = present.items[k], mirror = len - 1 - i;
            if (i != mirror) lows.items[lows.count++] = i < mirror ? i : mirror;
        }
        std::sort(lows.items, lows.items + lows.count);
        uint32_t *end = std::unique(lows.items, lows.items + lows.count);
        for (uint32_t *p = lows.items; p != end; ++p)
            if (Ret_Fail(ctx, swapPair(*p))) return;
    } else {
        for (uint32_t lo = 0; lo < len / 2; ++lo)
            if (Ret_Fail(ctx, swapPair(lo))) return;
    }
    JSAny_Move(&ctx->ret, &self.v);
}

}  // namespace quillon
