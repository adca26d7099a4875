// The element store: dense vector and sparse hash behind one head. The dense
// part grows by half at least and only while a new index is within a small
// gap of its end; the sparse map is open-addressed with removal markers.
// Every growth is all or nothing: on 103 the old store stands untouched.
#include "objects/elements.h"
#include "objects/object.h"

#include <algorithm>
#include <cstring>

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
    SparseMap *m = Elems_Sparse(o);
    if (!m || m->count == 0) return nullptr;
    SparseSlot *slots = m->Slots();
    uint32_t slot = HashIndex(index) & m->mask;
    for (;;) {
        SparseSlot *s = &slots[slot];
        if (s->state == kEmpty) return nullptr;
        if (s->state == kUsed && s->index == index) return s;
        slot = (slot + 1) & m->mask;
    }
}

// An element store with room for `capacity` dense slots, the head and the
// slots in use copied from the old one (or a fresh head); null when memory
// ran out. The old store is left as it was.
JSAny *NewStore(const JSAny *old, uint32_t capacity) {
    uint64_t bytes = sizeof(ElemHead) + static_cast<uint64_t>(capacity) * sizeof(JSAny);
    if (bytes > 0x7FFFFFF0u) return nullptr;
    auto *h = static_cast<ElemHead *>(Mem_Alloc(static_cast<size_t>(bytes)));
    if (!h) return nullptr;
    auto *slots = reinterpret_cast<JSAny *>(h + 1);
    if (old) {
        *h = *Elems_HeadOf(old);
        std::memcpy(static_cast<void *>(slots), old, sizeof(JSAny) * h->denseLen);
    } else {
        h->sparse = nullptr;
        h->denseLen = 0;
    }
    h->capacity = capacity;
    return slots;
}

inline void FreeStore(JSAny *dense) { Mem_Free(Elems_HeadOf(dense)); }

// Makes room for n dense slots (growing by half at least, as vectors do).
bool Reserve(Object *o, uint32_t n) {
    uint32_t cap = o->dense ? Elems_HeadOf(o->dense)->capacity : 0;
    if (o->dense && cap >= n) return true;
    uint64_t grown = static_cast<uint64_t>(cap) + (cap + 16) / 2;
    uint64_t want = n == 0 ? 0 : n > grown ? n : grown;  // 0: a head for scattered elements only
    if (want > 0xFFFFFFFFu) want = n;
    if (o->dense) {
        // The store grows where it is when it can: a big vector is never
        // held twice over while it grows.
        uint64_t bytes = sizeof(ElemHead) + want * sizeof(JSAny);
        if (bytes > 0x7FFFFFF0u) return false;
        auto *h = static_cast<ElemHead *>(Mem_Realloc(Elems_HeadOf(o->dense), static_cast<size_t>(bytes)));
        if (!h) return false;
        h->capacity = static_cast<uint32_t>(want);
        o->dense = reinterpret_cast<JSAny *>(h + 1);
        return true;
    }
    JSAny *fresh = NewStore(nullptr, static_cast<uint32_t>(want));
    if (!fresh) return false;
    o->dense = fresh;
    return true;
}

// Rehashes into a map of `size` slots (a power of two).
bool SparseRehash(Object *o, uint32_t size) {
    if (!o->dense && !Reserve(o, 0)) return false;
    uint64_t bytes = sizeof(SparseMap) + static_cast<uint64_t>(size) * sizeof(SparseSlot);
    if (bytes > 0x7FFFFFF0u) return false;
    auto *fresh = static_cast<SparseMap *>(Mem_Alloc(static_cast<size_t>(bytes)));
    if (!fresh) return false;
    SparseSlot *to = fresh->Slots();
    for (uint32_t i = 0; i < size; ++i) to[i].state = kEmpty;
    uint32_t mask = size - 1;
    ElemHead *h = Elems_HeadOf(o->dense);
    fresh->count = 0;
    fresh->mask = mask;
    fresh->removed = 0;
    fresh->pad = 0;
    if (SparseMap *old = h->sparse) {
        SparseSlot *from = old->Slots();
        for (uint32_t i = 0; i <= old->mask; ++i) {
            const SparseSlot &s = from[i];
            if (s.state != kUsed) continue;
            uint32_t slot = HashIndex(s.index) & mask;
            while (to[slot].state != kEmpty) slot = (slot + 1) & mask;
            to[slot] = s;
        }
        fresh->count = old->count;
        Mem_Free(old);
    }
    h->sparse = fresh;
    return true;
}

// Places an owned value at a new index of the map; the value passes to the
// map on success. 103 with the map unchanged when it cannot grow.
uint32_t SparseInsert(Object *o, uint32_t index, const JSAny *v) {
    SparseMap *m = Elems_Sparse(o);
    uint32_t size = m ? m->mask + 1 : 0;
    uint32_t count = m ? m->count : 0, removed = m ? m->removed : 0;
    if ((count + removed + 1) * 4 > size * 3) {
        uint32_t want = 8;
        while ((count + 1) * 2 > want) want <<= 1;
        if (!SparseRehash(o, want)) return ERR_NOMEM;
        m = Elems_Sparse(o);
    }
    SparseSlot *slots = m->Slots();
    uint32_t slot = HashIndex(index) & m->mask;
    while (slots[slot].state == kUsed) slot = (slot + 1) & m->mask;
    if (slots[slot].state == kRemoved) --m->removed;
    slots[slot].state = kUsed;
    slots[slot].index = index;
    slots[slot].value = *v;
    ++m->count;
    return 0;
}

void SparseRemoveSlot(Object *o, SparseSlot *s) {
    SparseMap *m = Elems_Sparse(o);
    JSAny v = s->value;
    s->state = kRemoved;
    s->value = JSAny_Undeclared();
    --m->count;
    ++m->removed;
    JSAny_Clear(&v);
}

// Grows the dense vector to n slots, filling new ones with `fill`, and moves
// any elements of the sparse map that now fall inside it.
bool DenseGrow(Object *o, uint32_t n, int32_t fill) {
    if (!Reserve(o, n)) return false;
    ElemHead *h = Elems_HeadOf(o->dense);
    for (uint32_t i = h->denseLen; i < n; ++i) {
        SparseSlot *s = SparseFind(o, i);
        if (s) {
            o->dense[i] = s->value;
            s->value = JSAny_Undeclared();
            s->state = kRemoved;
            --h->sparse->count;
            ++h->sparse->removed;
        } else {
            o->dense[i].type = fill;
            o->dense[i].len = 0;
            o->dense[i].ptr = nullptr;
        }
    }
    h->denseLen = n;
    return true;
}

inline bool IsArguments(const Object *o) { return (o->classFlags & CF_ARGUMENTS) != 0; }

}  // namespace

bool Elems_Reserve(Object *o, uint32_t n) { return Reserve(o, n); }

JSAny *Elems_Find(Object *o, uint32_t index) {
    if (index < Elems_DenseLen(o)) {
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
    uint32_t denseLen = Elems_DenseLen(o);
    if (index < denseLen) {
        JSAny old = o->dense[index];
        o->dense[index] = *v;
        if (old.type != JSANY_ABSENT) JSAny_Clear(&old);
        if (index >= o->elementLength) o->elementLength = index + 1;
        return 0;
    }
    if (IsArguments(o)) {
        // Arguments objects keep a plain vector: new slots are holes.
        if (index >= kArgumentsLimit) return ERR_NOMEM;
        if (!DenseGrow(o, index + 1, JSANY_UNDECLARED)) return ERR_NOMEM;
        o->dense[index] = *v;
        o->elementLength = index + 1;
        return 0;
    }
    if (SparseSlot *s = SparseFind(o, index)) {
        JSAny old = s->value;
        s->value = *v;
        JSAny_Clear(&old);
        return 0;
    }
    // An index just past the dense part extends it, so arrays filled upward
    // (or with small gaps) stay dense; any other goes to the map. The gap is
    // bounded by a constant, so the vector never holds more than a fixed
    // number of empty slots per element, however the indexes are chosen.
    if (index - denseLen < kDenseGap && index < kDenseLimit) {
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
    JSAny_InitFrom(&v, value);
    if (v.type == JSANY_ERROR && value->type != JSANY_ERROR) return ERR_NOMEM;
    uint32_t st = Place(o, index, &v);
    if (st) JSAny_Clear(&v);
    return st;
}

void Elems_Remove(Object *o, uint32_t index) {
    if (index < Elems_DenseLen(o)) {
        JSAny old = o->dense[index];
        if (old.type == JSANY_ABSENT) return;
        o->dense[index].type = IsArguments(o) ? JSANY_UNDECLARED : JSANY_ABSENT;
        JSAny_Clear(&old);
        return;
    }
    SparseSlot *s = SparseFind(o, index);
    if (s) SparseRemoveSlot(o, s);
}

void Elems_Truncate(Object *o, uint32_t n) {
    if (!o->dense) return;
    ElemHead *h = Elems_HeadOf(o->dense);
    while (h->denseLen > n) {
        JSAny old = o->dense[--h->denseLen];
        if (old.type != JSANY_ABSENT) JSAny_Clear(&old);
    }
    SparseMap *m = h->sparse;
    if (!m || m->count == 0) return;
    // Whichever is shorter: the indexes that go, or the map itself (a pop
    // from a big sparse array costs one lookup, not a walk of the map).
    uint32_t from = n > h->denseLen ? n : h->denseLen;
    uint32_t end = o->elementLength;
    if (end > from && end - from <= m->mask) {
        for (uint32_t i = from; i < end; ++i)
            if (SparseSlot *s = SparseFind(o, i)) SparseRemoveSlot(o, s);
        return;
    }
    SparseSlot *slots = m->Slots();
    for (uint32_t i = 0; i <= m->mask; ++i) {
        SparseSlot *s = &slots[i];
        if (s->state == kUsed && s->index >= n) SparseRemoveSlot(o, s);
    }
}

void Elems_FreeAll(Object *o) {
    JSAny *dense = o->dense;
    if (!dense) return;
    o->dense = nullptr;
    ElemHead *h = Elems_HeadOf(dense);
    for (uint32_t n = h->denseLen; n > 0;) {
        JSAny &v = dense[--n];
        if (v.type != JSANY_ABSENT) JSAny_Clear(&v);
    }
    if (SparseMap *m = h->sparse) {
        SparseSlot *slots = m->Slots();
        for (uint32_t i = 0; i <= m->mask; ++i)
            if (slots[i].state == kUsed) JSAny_Clear(&slots[i].value);
        Mem_Free(m);
    }
    FreeStore(dense);
}

uint32_t Elems_Count(const Object *o) {
    uint32_t n = Elems_SparseCount(o);
    for (uint32_t i = 0, d = Elems_DenseLen(o); i < d; ++i)
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
    for (uint32_t i = 0, d = Elems_DenseLen(o); i < d; ++i)
        if (o->dense[i].type != JSANY_ABSENT) out[k++] = i;
    uint32_t denseEnd = k;
    if (SparseMap *m = Elems_Sparse(o)) {
        SparseSlot *slots = m->Slots();
        for (uint32_t i = 0; i <= m->mask; ++i)
            if (slots[i].state == kUsed) out[k++] = slots[i].index;
    }
    std::sort(out + denseEnd, out + k);
    return out;
}

}  // namespace quillon
