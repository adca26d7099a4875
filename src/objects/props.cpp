// The named-property store. Records sit in insertion order behind a
// PropHead in one block; deleted records keep their place (key null) until
// they outnumber the live ones, when the store is compacted. Objects with
// more than kPropIndexThreshold properties get an open-addressing index by
// the name's hash. Every change that can fail allocates what it needs
// first, so a failure leaves the object exactly as it was.
#include "values/refs.h"
#include "objects/props.h"

#include <cstring>

namespace quillon {

namespace {

constexpr uint32_t kRemovedSlot = 0xFFFFFFFFu;
constexpr uint32_t kFirstCapacity = 4;

inline PropHead *Head(Object *o) { return Props_HeadOf(o->props); }
inline uint32_t IndexMask(const PropHead *h) { return Arr_Capacity(h->index) - 1; }

// Index size for n live records: a power of two, at least 16, at most half
// full.
uint32_t IndexSizeFor(uint32_t n) {
    uint32_t size = 16;
    while (size < n * 2 + 2) size <<= 1;
    return size;
}

// Fills an emptied index with the live records.
void FillIndex(Object *o, uint32_t *index) {
    PropHead *h = Head(o);
    uint32_t mask = Arr_Capacity(index) - 1;
    std::memset(index, 0, sizeof(uint32_t) * (mask + 1));
    uint32_t fill = 0;
    for (uint32_t i = 0; i < h->used; ++i) {
        const PropRec *r = &o->props[i];
        if (!r->key) continue;
        uint32_t slot = Atom_Hash(r->key) & mask;
        while (index[slot] != 0) slot = (slot + 1) & mask;
        index[slot] = i + 1;
        ++fill;
    }
    h->index = index;
    h->indexFill = fill;
}

// Rebuilds the index in place (removed marks go); the live records always
// fit, since the index was sized for at least as many.
void RefillIndex(Object *o) {
    if (uint32_t *index = Head(o)->index) FillIndex(o, index);
}

// Drops deleted records, keeping the order of the live ones.
void Compact(Object *o) {
    PropHead *h = Head(o);
    uint32_t w = 0;
    for (uint32_t r = 0; r < h->used; ++r) {
        if (!o->props[r].key) continue;
        if (w != r) o->props[w] = o->props[r];
        ++w;
    }
    h->used = w;
    RefillIndex(o);
}

// A store block with room for `capacity` records, the head copied from the
// old store (or zeroed), the records copied; null when memory ran out.
PropRec *NewStore(const PropRec *old, uint32_t capacity) {
    uint64_t bytes = sizeof(PropHead) + static_cast<uint64_t>(capacity) * sizeof(PropRec);
    if (bytes > 0x7FFFFFF0u) return nullptr;
    auto *h = static_cast<PropHead *>(Mem_Alloc(static_cast<size_t>(bytes)));
    if (!h) return nullptr;
    auto *recs = reinterpret_cast<PropRec *>(h + 1);
    if (old) {
        *h = *Props_HeadOf(old);
        std::memcpy(static_cast<void *>(recs), old, sizeof(PropRec) * h->used);
    } else {
        h->used = h->count = h->indexFill = 0;
        h->index = nullptr;
    }
    h->capacity = capacity;
    return recs;
}

inline void FreeStore(PropRec *recs) { Mem_Free(Props_HeadOf(recs)); }

}  // namespace

PropRec *Props_FindKey(Object *o, const char *key) {
    PropRec *recs = o->props;
    if (!recs) return nullptr;
    const PropHead *h = Props_HeadOf(recs);
    if (const uint32_t *index = h->index) {
        uint32_t mask = IndexMask(h);
        for (uint32_t slot = Atom_Hash(key) & mask;; slot = (slot + 1) & mask) {
            uint32_t v = index[slot];
            if (v == 0) return nullptr;
            if (v != kRemovedSlot && recs[v - 1].key == key) return &recs[v - 1];
        }
    }
    for (PropRec *r = recs, *end = recs + h->used; r != end; ++r)
        if (r->key == key) return r;
    return nullptr;
}

uint32_t Props_Append(Object *o, const char *name, uint32_t len, uint32_t hash, const JSAny *key,
                      const JSAny *value) {
    // Everything the new record needs is allocated before anything changes:
    // a failure at any step gives back what the earlier steps took, and the
    // object is exactly as before.
    char *k = key && key->type == JSANY_STRING ? Atom_GetText(key->str, len, hash) : Atom_Get(name, len, hash);
    if (!k) return ERR_NOMEM;
    JSAny v;
    Val_Copy(&v, value);
    if (v.type == JSANY_ERROR && value->type != JSANY_ERROR) {  // string copy failed
        Atom_Release(k);
        return ERR_NOMEM;
    }
    PropHead *h = o->props ? Head(o) : nullptr;
    uint32_t used = h ? h->used : 0, count = h ? h->count : 0;
    // A new index when the object passes the threshold or its index would
    // be more than half full.
    uint32_t *fresh = nullptr;
    bool needIndex = h && h->index ? (h->indexFill + 1) * 2 > Arr_Capacity(h->index)
                                   : count + 1 > kPropIndexThreshold;
    if (needIndex) fresh = static_cast<uint32_t *>(Arr_Alloc(sizeof(uint32_t), IndexSizeFor(count + 1)));
    PropRec *grown = nullptr;
    if (!h || used == h->capacity) {
        uint32_t cap = h ? h->capacity * 2 : kFirstCapacity;
        if (cap < used + 1) cap = used + 1;
        grown = NewStore(o->props, cap);
    }
    if ((needIndex && !fresh) || (!grown && (!h || used == h->capacity))) {
        Arr_Free(fresh);
        if (grown) FreeStore(grown);
        Val_Clear(&v);
        Atom_Release(k);
        return ERR_NOMEM;
    }
    if (grown) {
        if (o->props) FreeStore(o->props);
        o->props = grown;
        h = Head(o);
    }
    PropRec *r = &o->props[h->used];
    r->key = k;
    r->value = v;
    uint32_t number = h->used++;
    ++h->count;
    if (fresh) {
        Arr_Free(h->index);
        FillIndex(o, fresh);
    } else if (uint32_t *index = h->index) {
        uint32_t mask = IndexMask(h);
        uint32_t slot = hash & mask;
        while (index[slot] != 0 && index[slot] != kRemovedSlot) slot = (slot + 1) & mask;
        if (index[slot] == 0) ++h->indexFill;
        index[slot] = number + 1;
    }
    return 0;
}

void Props_Remove(Object *o, PropRec *rec) {
    PropHead *h = Head(o);
    uint32_t number = static_cast<uint32_t>(rec - o->props);
    if (uint32_t *index = h->index) {
        uint32_t mask = IndexMask(h);
        uint32_t slot = Atom_Hash(rec->key) & mask;
        while (index[slot] != number + 1) slot = (slot + 1) & mask;
        index[slot] = kRemovedSlot;
    }
    char *key = rec->key;
    JSAny value = rec->value;
    rec->key = nullptr;
    rec->value = JSAny_Undeclared();
    --h->count;
    if (number + 1 == h->used) {
        --h->used;  // the last record: simply drop it
        while (h->used && !o->props[h->used - 1].key) --h->used;
        if (h->count == 0) RefillIndex(o);
    } else if (h->used - h->count > 8 && h->used - h->count > h->count) {
        Compact(o);
    }
    Val_Clear(&value);
    Atom_Release(key);
}

void Props_FreeAll(Object *o) {
    PropRec *props = o->props;
    if (!props) return;
    o->props = nullptr;
    PropHead *h = Props_HeadOf(props);
    Arr_Free(h->index);
    for (uint32_t i = 0, used = h->used; i < used; ++i) {
        if (!props[i].key) continue;
        Val_Clear(&props[i].value);
        Atom_Release(props[i].key);
    }
    FreeStore(props);
}

void Props_KeyValue(const PropRec *r, JSAny *out) {
    JSAny shared;
    shared.type = JSANY_STRING;
    shared.len = Atom_Len(r->key);
    shared.str = r->key;
    JSAny_InitFrom(out, &shared);
}

}  // namespace quillon
