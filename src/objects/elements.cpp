#include "values/refs.h"
#include "objects/elements.h"

#include <algorithm>

namespace quillon {

namespace {

constexpr uint32_t kEmpty = 0, kUsed = 1, kRemoved = 2;
// Largest gap between the end of the dense part and a new index that still
// extends the dense part.
constexpr uint32_t kDenseGap = 16;
// The dense part never grows to this many slots; arguments objects, which
// keep every element there, refuse indexes from this one on.
constexpr uint32_t kDenseLimit = 0x7FFFFFF;
constexpr uint32_t kArgumentsLimit = 0xFFFFFFF;

inline uint32_t HashIndex(uint32_t i) { return i * 2654435761u; }

SparseSlot *SparseFind(const Object *o, uint32_t index) {
    if (!o->sparse || o->sparseCount == 0) return nullptr;
    uint32_t slot = HashIndex(index) & o->sparseMask;
    for (;;) {
        SparseSlot *s = &o->sparse[slot];
        if (s->state == kEmpty) return nullptr;
        if (s->state == kUsed && s->index == index) return s;
        slot = (slot + 1) & o->sparseMask;
    }
}

// Rehashes into a map of `size` slots (a power of two).
bool SparseRehash(Object *o, uint32_t size) {
    auto *fresh = static_cast<SparseSlot *>(Arr_Alloc(sizeof(SparseSlot), size));
    if (!fresh) return false;
    for (uint32_t i = 0; i < size; ++i) fresh[i].state = kEmpty;
    uint32_t mask = size - 1;
    if (o->sparse) {
        for (uint32_t i = 0; i <= o->sparseMask; ++i) {
            const SparseSlot &s = o->sparse[i];
            if (s.state != kUsed) continue;
            uint32_t slot = HashIndex(s.index) & mask;
            while (fresh[slot].state != kEmpty) slot = (slot + 1) & mask;
            fresh[slot] = s;
        }
        Arr_Free(o->sparse);
    }
    o->sparse = fresh;
    o->sparseMask = mask;
    o->sparseRemoved = 0;
    return true;
}

// Places an owned value at a new index of the map; the value passes to the
// map on success. 103 with the map unchanged when it cannot grow.
uint32_t SparseInsert(Object *o, uint32_t index, const JSAny *v) {
    uint32_t size = o->sparse ? o->sparseMask + 1 : 0;
    if ((o->sparseCount + o->sparseRemoved + 1) * 4 > size * 3) {
        uint32_t want = 8;
        while ((o->sparseCount + 1) * 2 > want) want <<= 1;
        if (!SparseRehash(o, want)) return ERR_NOMEM;
    }
    uint32_t slot = HashIndex(index) & o->sparseMask;
    while (o->sparse[slot].state == kUsed) slot = (slot + 1) & o->sparseMask;
    if (o->sparse[slot].state == kRemoved) --o->sparseRemoved;
    o->sparse[slot].state = kUsed;
    o->sparse[slot].index = index;
    o->sparse[slot].value = *v;
    ++o->sparseCount;
    return 0;
}

void SparseRemoveSlot(Object *o, SparseSlot *s) {
    JSAny v = s->value;
    s->state = kRemoved;
    s->value = JSAny_Undeclared();
    --o->sparseCount;
    ++o->sparseRemoved;
    Val_Clear(&v);
}

// Grows the dense vector to n slots, filling new ones with `fill`, and moves
// any elements of the sparse map that now fall inside it.
bool DenseGrow(Object *o, uint32_t n, int32_t fill) {
    if (!Arr_EnsureT(o->dense, n)) return false;
    for (uint32_t i = o->denseLen; i < n; ++i) {
        SparseSlot *s = SparseFind(o, i);
        if (s) {
            o->dense[i] = s->value;
            s->value = JSAny_Undeclared();
            s->state = kRemoved;
            --o->sparseCount;
            ++o->sparseRemoved;
        } else {
            o->dense[i].type = fill;
            o->dense[i].len = 0;
            o->dense[i].ptr = nullptr;
        }
    }
    o->denseLen = n;
    return true;
}

inline bool IsArguments(const Object *o) { return (o->classFlags & CF_ARGUMENTS) != 0; }

}  // namespace

JSAny *Elems_Find(Object *o, uint32_t index) {
    if (index < o->denseLen) {
        JSAny *v = &o->dense[index];
        return v->type == JSANY_ABSENT ? nullptr : v;
    }
    SparseSlot *s = SparseFind(o, index);
    return s ? &s->value : nullptr;
}

namespace {

// Stores an owned value at index; the value passes to the store on success.
// The only step that can fail is the growth of the store, and it comes
// before any change, so a failure leaves the object as it was.
uint32_t Place(Object *o, uint32_t index, const JSAny *v) {
    if (index < o->denseLen) {
        JSAny old = o->dense[index];
        o->dense[index] = *v;
        if (old.type != JSANY_ABSENT) Val_Clear(&old);
        if (index >= o->elementLength) o->elementLength = index + 1;
        return 0;
    }
    if (IsArguments(o)) {
        // Arguments objects keep a plain vector: new slots are holes.
        if (index >= kArgumentsLimit) return ERR_NOMEM;
        if (!DenseGrow(o, index + 1, JSANY_UNDECLARED)) return ERR_NOMEM;
        o->dense[index] = *v;
        o->elementLength = o->denseLen;
        return 0;
    }
    if (SparseSlot *s = SparseFind(o, index)) {
        JSAny old = s->value;
        s->value = *v;
        Val_Clear(&old);
        return 0;
    }
    // An index just past the dense part extends it, so arrays filled upward
    // (or with small gaps) stay dense; any other goes to the map. The gap is
    // bounded by a constant, so the vector never holds more than a fixed
    // number of empty slots per element, however the indexes are chosen.
    if (index - o->denseLen < kDenseGap && index < kDenseLimit) {
        if (!DenseGrow(o, index + 1, JSANY_ABSENT)) return ERR_NOMEM;
        o->dense[index] = *v;
        if (index >= o->elementLength) o->elementLength = index + 1;
        return 0;
    }
    uint32_t st = SparseInsert(o, index, v);
    if (st) return st;
    if (index >= o->elementLength) o->elementLength = index + 1;
    return 0;
}

}  // namespace

uint32_t Elems_Add(Object *o, uint32_t index, const JSAny *value) {
    // The copy comes first: when it fails nothing has been touched.
    JSAny v;
    Val_Copy(&v, value);
    if (v.type == JSANY_ERROR && value->type != JSANY_ERROR) return ERR_NOMEM;
    uint32_t st = Place(o, index, &v);
    if (st) Val_Clear(&v);
    return st;
}

void Elems_Remove(Object *o, uint32_t index) {
    if (index < o->denseLen) {
        JSAny old = o->dense[index];
        if (old.type == JSANY_ABSENT) return;
        o->dense[index].type = IsArguments(o) ? JSANY_UNDECLARED : JSANY_ABSENT;
        Val_Clear(&old);
        return;
    }
    SparseSlot *s = SparseFind(o, index);
    if (s) SparseRemoveSlot(o, s);
}

void Elems_Truncate(Object *o, uint32_t n) {
    while (o->denseLen > n) {
        JSAny old = o->dense[--o->denseLen];
        if (old.type != JSANY_ABSENT) Val_Clear(&old);
    }
    if (!o->sparse || o->sparseCount == 0) return;
    // Whichever is shorter: the indexes that go, or the map itself (a pop
    // from a big sparse array costs one lookup, not a walk of the map).
    uint32_t from = n > o->denseLen ? n : o->denseLen;
    uint32_t end = o->elementLength;
    if (end > from && end - from <= o->sparseMask) {
        for (uint32_t i = from; i < end; ++i)
            if (SparseSlot *s = SparseFind(o, i)) SparseRemoveSlot(o, s);
        return;
    }
    for (uint32_t i = 0; i <= o->sparseMask; ++i) {
        SparseSlot *s = &o->sparse[i];
        if (s->state == kUsed && s->index >= n) SparseRemoveSlot(o, s);
    }
}

void Elems_FreeAll(Object *o) {
    JSAny *dense = o->dense;
    uint32_t n = o->denseLen;
    SparseSlot *sparse = o->sparse;
    uint32_t mask = o->sparseMask;
    o->dense = nullptr;
    o->denseLen = 0;
    o->sparse = nullptr;
    o->sparseCount = 0;
    o->sparseMask = 0;
    o->sparseRemoved = 0;
    while (n > 0) {
        JSAny &v = dense[--n];
        if (v.type != JSANY_ABSENT) Val_Clear(&v);
    }
    Arr_Free(dense);
    if (sparse) {
        for (uint32_t i = 0; i <= mask; ++i)
            if (sparse[i].state == kUsed) Val_Clear(&sparse[i].value);
        Arr_Free(sparse);
    }
}

uint32_t Elems_Count(const Object *o) {
    uint32_t n = o->sparseCount;
    for (uint32_t i = 0; i < o->denseLen; ++i)
        if (o->dense[i].type != JSANY_ABSENT) ++n;
    return n;
}

uint32_t *Obj_ElementIndexes(Object *o, uint32_t *count) {
    uint32_t n = Elems_Count(o);
    *count = n;
    if (n == 0) return nullptr;
    auto *out = static_cast<uint32_t *>(Arr_Alloc(sizeof(uint32_t), n));
    if (!out) {
        *count = ~0u;
        return nullptr;
    }
    uint32_t k = 0;
    for (uint32_t i = 0; i < o->denseLen; ++i)
        if (o->dense[i].type != JSANY_ABSENT) out[k++] = i;
    uint32_t denseEnd = k;
    if (o->sparse)
        for (uint32_t i = 0; i <= o->sparseMask; ++i)
            if (o->sparse[i].state == kUsed) out[k++] = o->sparse[i].index;
    std::sort(out + denseEnd, out + k);
    return out;
}

}  // namespace quillon
