// How the Array methods reach their object: length, index reads and
// deletes through the element store, and moves of index ranges. A move works
// on the dense vector itself when nothing can be inherited, visits only the
// indexes present when the range is sparse, and goes index by index else;
// every path leaves the same elements behind and reports 103 unchanged.
#include "builtins/array_access.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "objects/elements.h"
#include "values/space.h"
#include "runtime/text.h"

namespace quillon {

namespace {

constexpr uint32_t kHashLength = Str_Hash("length", 6);
// Lengths up to this are always walked index by index.
constexpr uint32_t kSparseMinLength = 65536;
// Ranges of deletion up to this are walked index by index.
constexpr uint32_t kDeleteWalk = 1024;
// The dense vector of an object never grows beyond this many slots.
constexpr uint32_t kDenseLimit = 0x7FFFFFF;

inline void CopyOut(const JSAny *slot, JSAny *out) {
    if (slot->type == JSANY_UNDECLARED) {
        JSAny_SetUndefined(out);
        return;
    }
    JSAny tmp;
    JSAny_InitFrom(&tmp, slot);
    JSAny_Clear(out);
    *out = tmp;
}

inline JSAny Absent() {
    JSAny a;
    a.type = JSANY_ABSENT;
    a.len = 0;
    a.ptr = nullptr;
    return a;
}

// The characters of a String object, or null.
const JSAny *StringValueOf(Object *o) {
    return Obj_WrappedValue(o, CF_STRING);
}

// True when no object of o's prototype chain has elements.
bool ChainWithoutElements(const Object *o) {
    for (const Object *p = o->prototype; p; p = p->prototype)
        if (Elems_DenseLen(p) != 0 || Elems_SparseCount(p) != 0) return false;
    return true;
}

// An array whose elements all sit in its dense vector, with nothing to
// inherit: moves can work on the vector itself.
bool DenseMovable(const Object *o, uint32_t end) {
    constexpr uint32_t kWant = CF_ARRAY | CF_HASLENGTH;
    return (o->classFlags & kWant) == kWant && !(o->classFlags & (CF_STRING | CF_ARGUMENTS)) &&
           Elems_SparseCount(o) == 0 && end <= kDenseLimit && ChainWithoutElements(o);
}

uint32_t DenseMove(Object *o, uint32_t from, uint32_t to, uint32_t count) {
    uint32_t end = (from > to ? from : to) + count;
    if (end > Elems_DenseLen(o)) {
        if (!Elems_Reserve(o, end)) return ERR_NOMEM;
        for (uint32_t i = Elems_DenseLen(o); i < end; ++i) o->dense[i] = Absent();
        Elems_HeadOf(o->dense)->denseLen = end;
    }
    JSAny *d = o->dense;
    // Destination slots the move does not refill from the source lose their value.
    for (uint32_t i = to; i < to + count; ++i) {
        if (i >= from && i < from + count) continue;
        if (d[i].type != JSANY_ABSENT) {
            JSAny old = d[i];
            d[i] = Absent();
            JSAny_Clear(&old);
        }
    }
    d = o->dense;  // releasing values runs no script, but stay safe
    std::memmove(static_cast<void *>(d + to), d + from, static_cast<size_t>(count) * sizeof(JSAny));
    for (uint32_t i = from; i < from + count; ++i)
        if (i < to || i >= to + count) d[i] = Absent();
    // The length follows the highest element, as stores would make it.
    for (uint32_t i = to + count; i > o->elementLength; --i) {
        if (d[i - 1].type != JSANY_ABSENT) {
            o->elementLength = i;
            break;
        }
    }
    if (o->dense) {
        ElemHead *h = Elems_HeadOf(o->dense);
        while (h->denseLen > o->elementLength && o->dense[h->denseLen - 1].type == JSANY_ABSENT) --h->denseLen;
    }
    return 0;
}

bool Contains(const IndexList &list, uint32_t index) {
    return std::binary_search(list.items, list.items + list.count, index);
}

uint32_t SparseMove(Object *o, uint32_t from, uint32_t to, uint32_t count) {
    IndexList present;
    if (!Ary_Present(o, from + count, &present)) return ERR_NOMEM;
    uint32_t first = static_cast<uint32_t>(
        std::lower_bound(present.items, present.items + present.count, from) - present.items);
    uint32_t n = present.count - first;
    ValueList values;
    if (!values.Reserve(n)) return ERR_NOMEM;
    for (uint32_t j = 0; j < n; ++j) {
        JSAny *v = &values.items[j];
        *v = JSAny_Undef();
        values.count = j + 1;
        Ary_Get(o, present.items[first + j], v);
        if (v->type == JSANY_ERROR) return v->code;
    }
    // Own elements of the destination that receive no value go.
    uint32_t ownCount;
    uint32_t *own = Obj_ElementIndexes(o, &ownCount);
    if (!own && ownCount == ~0u) return ERR_NOMEM;
    for (uint32_t k = 0; k < ownCount; ++k) {
        uint32_t d = own[k];
        if (d < to || d - to >= count) continue;
        uint32_t src = d - to + from;
        if (!(src >= from && Contains(present, src))) Ary_Delete(o, d);
    }
    Arr_Free(own);
    for (uint32_t j = 0; j < n; ++j) {
        uint32_t st = Ary_Put(o, present.items[first + j] - from + to, &values.items[j]);
        if (st) return st;
    }
    return 0;
}

uint32_t WalkMove(Object *o, uint32_t from, uint32_t to, uint32_t count) {
    ValueGuard v;
    for (uint32_t k = 0; k < count; ++k) {
        uint32_t j = to < from ? k : count - 1 - k;
        if (Ary_GetIf(o, from + j, &v.v)) {
            if (v.v.type == JSANY_ERROR) return v.v.code;
            uint32_t st = Ary_Put(o, to + j, &v.v);
            if (st) return st;
        } else {
            Ary_Delete(o, to + j);
        }
    }
    return 0;
}

}  // namespace

ValueList::~ValueList() {
    for (uint32_t i = 0; i < count; ++i) JSAny_Clear(&items[i]);
    Arr_Free(items);
}

bool Ary_TakeThis(RunContext *ctx, ValueGuard *self) {
    JSAny_Clear(&self->v);
    JSAny_InitFrom(&self->v, &ctx->thisValue);
    if (self->v.type != JSANY_OBJECT) JSAny_ToObject(ctx, &self->v);
    if (self->v.type == JSANY_OBJECT) return true;
    JSAny_SetError(&ctx->ret, self->v.type == JSANY_ERROR ? self->v.code : ERR_WRONGTYPE);
    return false;
}

bool Ary_Length(RunContext *ctx, Object *o, uint32_t *len) {
    if (Obj_ComputedArrayLength(o, len)) return true;
    ValueGuard v;
    Obj_GetName(o, "length", 6, kHashLength, &v.v);
    if (v.v.type != JSANY_NUMBER) JSAny_ToNumber(ctx, &v.v);
    if (Ret_FailOn(ctx, &v.v)) return false;
    double d = v.v.num;
    if (!std::isfinite(d)) {
        *len = 0;
        return true;
    }
    d = std::fmod(std::trunc(d), 4294967296.0);
    if (d < 0) d += 4294967296.0;
    *len = static_cast<uint32_t>(d);
    return true;
}

uint32_t Ary_SetLength(Object *o, double n) {
    JSAny v = JSAny_Num(n);
    return Obj_PutName(o, "length", 6, kHashLength, &v);
}

bool Ary_GetIf(Object *o, uint32_t i, JSAny *out) {
    if (JSAny *s = Obj_FindOwnIndex(o, i)) {
        CopyOut(s, out);
        return true;
    }
    if (const JSAny *sv = StringValueOf(o)) {
        if (i < sv->len) {
            JSAny_SetStringBytes(out, sv->str + i, 1);
            return true;
        }
    }
    for (Object *p = o->prototype; p; p = p->prototype) {
        if (JSAny *s = Obj_FindOwnIndex(p, i)) {
            CopyOut(s, out);
            return true;
        }
    }
    JSAny_SetUndefined(out);
    return false;
}

uint32_t Ary_Put(Object *o, uint32_t i, const JSAny *v) { return Obj_PutIndex(o, i, v); }

void Ary_Delete(Object *o, uint32_t i) {
    if (!Obj_FindOwnIndex(o, i)) return;
    JSAny key = JSAny_Num(i);
    Obj_Delete(o, &key);
}

uint32_t Ary_DeleteRange(Object *o, uint32_t lo, uint32_t hi) {
    if (hi <= lo) return 0;
    if (hi - lo <= kDeleteWalk) {
        for (uint32_t i = lo; i < hi; ++i) Ary_Delete(o, i);
        return 0;
    }
    uint32_t n;
    uint32_t *own = Obj_ElementIndexes(o, &n);
    if (!own && n == ~0u) return ERR_NOMEM;
    for (uint32_t k = 0; k < n; ++k)
        if (own[k] >= lo && own[k] < hi) Ary_Delete(o, own[k]);
    Arr_Free(own);
    return 0;
}

bool Ary_IsSparse(Object *o, uint32_t len) {
    if (len <= kSparseMinLength || StringValueOf(o)) return false;
    // The slots of the element stores bound the number of elements: when
    // even they are few next to the length, the length is mostly gaps.
    uint64_t slots = 0;
    for (Object *p = o; p; p = p->prototype) slots += static_cast<uint64_t>(Elems_DenseLen(p)) + Elems_SparseCount(p);
    return slots * 4 < len;
}

bool Ary_Present(Object *o, uint32_t len, IndexList *out) {
    Arr_Free(out->items);
    out->items = nullptr;
    out->count = 0;
    for (Object *p = o; p; p = p->prototype) {
        uint32_t n;
        uint32_t *own = Obj_ElementIndexes(p, &n);
        if (!own) {
            if (n == ~0u) return false;
            continue;
        }
        uint32_t keep = 0;
        for (uint32_t k = 0; k < n; ++k) keep += own[k] < len;
        if (keep && !Arr_EnsureT(out->items, out->count + keep)) {
            Arr_Free(own);
            return false;
        }
        for (uint32_t k = 0; k < n; ++k)
            if (own[k] < len) out->items[out->count++] = own[k];
        Arr_Free(own);
        if (p != o) std::sort(out->items, out->items + out->count);
    }
    uint32_t *end = std::unique(out->items, out->items + out->count);
    out->count = static_cast<uint32_t>(end - out->items);
    return true;
}

uint32_t Ary_Move(Object *o, uint32_t from, uint32_t to, uint32_t count, bool sparse) {
    if (count == 0 || from == to) return 0;
    if (sparse) return SparseMove(o, from, to, count);
    uint64_t end = static_cast<uint64_t>(from > to ? from : to) + count;
    if (end <= kDenseLimit && DenseMovable(o, static_cast<uint32_t>(end))) return DenseMove(o, from, to, count);
    return WalkMove(o, from, to, count);
}

uint32_t Ary_CopyRange(Object *src, uint32_t from, uint32_t count, Object *dst, uint32_t at) {
    if (count == 0) return 0;
    ValueGuard v;
    if (Ary_IsSparse(src, count)) {
        IndexList present;
        if (!Ary_Present(src, from + count, &present)) return ERR_NOMEM;
        for (uint32_t k = 0; k < present.count; ++k) {
            uint32_t i = present.items[k];
            if (i < from) continue;
            Ary_Get(src, i, &v.v);
            if (v.v.type == JSANY_ERROR) return v.v.code;
            uint32_t st = Ary_Put(dst, at + (i - from), &v.v);
            if (st) return st;
        }
        return 0;
    }
    for (uint32_t i = 0; i < count; ++i) {
        if (!Ary_GetIf(src, from + i, &v.v)) continue;
        if (v.v.type == JSANY_ERROR) return v.v.code;
        uint32_t st = Ary_Put(dst, at + i, &v.v);
        if (st) return st;
    }
    return 0;
}

bool Ary_NewArray(RunContext *ctx, ValueGuard *out) {
    JSAny_Clear(&out->v);
    Obj_NewArray(&out->v, ctx->space);
    if (out->v.type == JSANY_OBJECT) return true;
    JSAny_SetError(&ctx->ret, ERR_NOMEM);
    return false;
}

}  // namespace quillon
