// The named-property store. Records sit in insertion order behind a
// PropHead in one block; deleted records keep their place (key null) until
// they outnumber the live ones, when the store is compacted. A block with
// room for more than kPropIndexThreshold records also holds an
// open-addressing index by the name's hash, after the records, at most half
// full. Every change that can fail allocates what it needs first, so a
// failure leaves the object exactly as it was.
#include "objects/object.h"
#include "objects/props.h"

#include <cstring>

#include "lexer/lexer.h"
#include "runtime/idtable.h"

namespace quillon {

namespace {

constexpr uint32_t kRemovedSlot = 0xFFFFFFFFu;
// Room of a new store when nothing says how many records it will hold:
// four records and the head take one 128-byte block of the pool (with its
// header); three would take 96 bytes (see Props_Reserve).
constexpr uint32_t kFirstCapacity = 4;

inline PropHead *Head(Object *o) { return Props_HeadOf(o->props); }

// log2 of the index size for a store of `capacity` records: at least 16
// slots, at least twice as many as records plus two.
uint32_t IndexLog2For(uint32_t capacity) {
    uint32_t log2 = 4;
    while ((1u << log2) < capacity * 2 + 2) ++log2;
    return log2;
}

inline uint32_t *IndexOf(PropRec *recs, const PropHead *h) {
    return h->indexBits ? reinterpret_cast<uint32_t *>(recs + h->capacity) : nullptr;
}
inline uint32_t IndexMask(const PropHead *h) { return (1u << (h->indexBits & 31)) - 1; }
inline uint32_t IndexFill(const PropHead *h) { return h->indexBits >> 5; }
inline void SetIndexFill(PropHead *h, uint32_t fill) { h->indexBits = (h->indexBits & 31) | (fill << 5); }

// Rebuilds the index of a store from its live records (removed marks go).
void RefillIndex(Object *o) {
    PropHead *h = Head(o);
    uint32_t *index = IndexOf(o->props, h);
    if (!index) return;
    uint32_t mask = IndexMask(h);
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
    SetIndexFill(h, fill);
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

// A store block with room for `capacity` records (and an index when that is
// more than a handful), holding the live records of `old` in order (or
// none); null when memory ran out. The old store is left as it was.
PropRec *NewStore(const PropRec *old, uint32_t capacity) {
    uint32_t log2 = capacity > kPropIndexThreshold ? IndexLog2For(capacity) : 0;
    uint64_t bytes = sizeof(PropHead) + static_cast<uint64_t>(capacity) * sizeof(PropRec) +
                     (log2 ? sizeof(uint32_t) << log2 : 0);
    if (capacity > 0x7FFFFFF || bytes > 0x7FFFFFF0u) return nullptr;
    auto *h = static_cast<PropHead *>(Mem_Alloc(static_cast<size_t>(bytes)));
    if (!h) return nullptr;
    auto *recs = reinterpret_cast<PropRec *>(h + 1);
    h->used = h->count = 0;
    h->capacity = capacity;
    h->indexBits = log2;
    if (old) {
        const PropHead *oh = Props_HeadOf(old);
        for (uint32_t i = 0; i < oh->used; ++i)
            if (old[i].key) recs[h->used++] = old[i];
        h->count = h->used;
    }
    return recs;
}

inline void FreeStore(PropRec *recs) { Mem_Free(Props_HeadOf(recs)); }

// Puts record `number` into the index (which has room: at most half full).
void IndexAdd(Object *o, uint32_t number) {
    PropHead *h = Head(o);
    uint32_t *index = IndexOf(o->props, h);
    if (!index) return;
    if ((IndexFill(h) + 1) * 2 > IndexMask(h) + 1) RefillIndex(o);  // removed marks make room
    uint32_t mask = IndexMask(h);
    uint32_t slot = Atom_Hash(o->props[number].key) & mask;
    while (index[slot] != 0 && index[slot] != kRemovedSlot) slot = (slot + 1) & mask;
    if (index[slot] == 0) SetIndexFill(h, IndexFill(h) + 1);
    index[slot] = number + 1;
}

}  // namespace

PropRec *Props_FindKey(Object *o, const char *key) {
    PropRec *recs = o->props;
    if (!recs) return nullptr;
    const PropHead *h = Props_HeadOf(recs);
    if (const uint32_t *index = IndexOf(recs, h)) {
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

uint32_t Props_Reserve(Object *o, uint32_t n) {
    if (o->props && Head(o)->capacity >= n) return 0;
    PropRec *grown = NewStore(o->props, n);
    if (!grown) return ERR_NOMEM;
    if (o->props) FreeStore(o->props);
    o->props = grown;
    RefillIndex(o);
    return 0;
}

uint32_t Props_Append(Object *o, const char *name, uint32_t len, uint32_t hash, const JSAny *key,
                      const JSAny *value, char *known) {
    // Everything the new record needs is allocated before anything changes:
    // a failure at any step gives back what the earlier steps took, and the
    // object is exactly as before.
    char *k = known;
    if (k) Atom_AddRef(k);
    else if (key && key->type == JSANY_STRING) k = Atom_GetText(key->str, len, hash);
    else k = Atom_Get(name, len, hash);
    if (!k) return ERR_NOMEM;
    JSAny v;
    JSAny_InitFrom(&v, value);
    if (v.type == JSANY_ERROR && value->type != JSANY_ERROR) {  // string copy failed
        Atom_Release(k);
        return ERR_NOMEM;
    }
    PropHead *h = o->props ? Head(o) : nullptr;
    if (!h || h->used == h->capacity) {
        // A full store moves to one twice the size of its live records (so
        // one that was mostly deleted records stays as it is).
        uint32_t cap = !h ? kFirstCapacity : h->count * 2 > h->capacity ? h->count * 2 : h->capacity;
        if (cap < 4) cap = 4;
        PropRec *grown = NewStore(o->props, cap);
        if (!grown) {
            JSAny_Clear(&v);
            Atom_Release(k);
            return ERR_NOMEM;
        }
        if (o->props) FreeStore(o->props);
        o->props = grown;
        h = Head(o);
        RefillIndex(o);
    }
    uint32_t number = h->used++;
    PropRec *r = &o->props[number];
    r->key = k;
    r->value = v;
    ++h->count;
    IndexAdd(o, number);
    return 0;
}

void Props_Remove(Object *o, PropRec *rec) {
    PropHead *h = Head(o);
    uint32_t number = static_cast<uint32_t>(rec - o->props);
    if (uint32_t *index = IndexOf(o->props, h)) {
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
    JSAny_Clear(&value);
    Atom_Release(key);
}

void Props_FreeAll(Object *o) {
    PropRec *props = o->props;
    if (!props) return;
    o->props = nullptr;
    PropHead *h = Props_HeadOf(props);
    for (uint32_t i = 0, used = h->used; i < used; ++i) {
        if (!props[i].key) continue;
        JSAny_Clear(&props[i].value);
        Atom_Release(props[i].key);
    }
    FreeStore(props);
}

bool Props_HasIndex(const Object *o) { return o->props && Props_HeadOf(o->props)->indexBits != 0; }

bool Props_IndexHalfFull(const Object *o) {
    const PropHead *h = Props_HeadOf(o->props);
    return h->indexBits && IndexFill(h) * 2 <= IndexMask(h) + 1;
}

const char *Props_KeyOfNameSlow(const IdEntry *id) {
    auto *payload = static_cast<IdPayload *>(Id_Payload(const_cast<IdEntry *>(id)));
    if (!payload->keyText) {
        payload->keyText = Atom_Find(id->name, id->length, id->hash);
        if (payload->keyText) Atom_AddRef(payload->keyText);
    }
    return payload->keyText;
}

void Props_KeyValue(const PropRec *r, JSAny *out) {
    JSAny shared;
    shared.type = JSANY_STRING;
    shared.len = Atom_Len(r->key);
    shared.str = r->key;
    JSAny_InitFrom(out, &shared);
}

JSAny *Obj_PropertyNames(Object *o, uint32_t *count) {
    uint32_t n = Props_Count(o);
    *count = n;
    if (n == 0) return nullptr;
    auto *names = static_cast<JSAny *>(Arr_Alloc(sizeof(JSAny), n));
    if (!names) {
        *count = ~0u;
        return nullptr;
    }
    uint32_t k = 0;
    for (uint32_t i = 0, used = Props_Used(o); i < used; ++i) {
        if (!o->props[i].key) continue;
        Props_KeyValue(&o->props[i], &names[k]);
        if (names[k++].type == JSANY_ERROR) {
            for (uint32_t j = 0; j < k; ++j) JSAny_Clear(&names[j]);
            Arr_Free(names);
            *count = ~0u;
            return nullptr;
        }
    }
    return names;
}

}  // namespace quillon
