#include "values/refs.h"
#include "objects/props.h"

#include <cstring>

namespace quillon {

namespace {

constexpr uint32_t kRemovedSlot = 0xFFFFFFFFu;

inline bool Matches(const PropRec *r, const char *name, uint32_t len, uint32_t hash) {
    return r->hash == hash && r->key.len == len && r->key.type != JSANY_UNDECLARED &&
           std::memcmp(r->key.str, name, len) == 0;
}

// Index size for n live records: a power of two, at least 16, at most half
// full.
uint32_t IndexSizeFor(uint32_t n) {
    uint32_t size = 16;
    while (size < n * 2 + 2) size <<= 1;
    return size;
}

// Fills an emptied index of mask + 1 slots with the live records.
void FillIndex(Object *o, uint32_t *index, uint32_t mask) {
    std::memset(index, 0, sizeof(uint32_t) * (mask + 1));
    uint32_t fill = 0;
    for (uint32_t i = 0; i < o->propUsed; ++i) {
        const PropRec *r = &o->props[i];
        if (!Props_IsLive(r)) continue;
        uint32_t slot = r->hash & mask;
        while (index[slot] != 0) slot = (slot + 1) & mask;
        index[slot] = i + 1;
        ++fill;
    }
    o->propIndex = index;
    o->propMask = mask;
    o->propIndexFill = fill;
}

// Rebuilds the index in place (removed marks go); the live records always
// fit, since the index was sized for at least as many.
void RefillIndex(Object *o) {
    if (o->propIndex) FillIndex(o, o->propIndex, o->propMask);
}

// Drops deleted records, keeping the order of the live ones.
void Compact(Object *o) {
    uint32_t w = 0;
    for (uint32_t r = 0; r < o->propUsed; ++r) {
        if (!Props_IsLive(&o->props[r])) continue;
        if (w != r) o->props[w] = o->props[r];
        ++w;
    }
    o->propUsed = w;
    RefillIndex(o);
}

}  // namespace

PropRec *Props_Find(Object *o, const char *name, uint32_t len, uint32_t hash) {
    if (o->propIndex) {
        uint32_t slot = hash & o->propMask;
        for (;;) {
            uint32_t v = o->propIndex[slot];
            if (v == 0) return nullptr;
            if (v != kRemovedSlot) {
                PropRec *r = &o->props[v - 1];
                if (Matches(r, name, len, hash)) return r;
            }
            slot = (slot + 1) & o->propMask;
        }
    }
    PropRec *r = o->props;
    for (uint32_t i = 0, n = o->propUsed; i < n; ++i, ++r)
        if (Matches(r, name, len, hash)) return r;
    return nullptr;
}

uint32_t Props_Append(Object *o, const char *name, uint32_t len, uint32_t hash, const JSAny *key,
                      const JSAny *value) {
    // Everything the new record needs is allocated before anything changes,
    // the growth of the record vector last: a failure at any step gives back
    // what the earlier steps took, and the object is exactly as before.
    JSAny k;
    if (key && key->type == JSANY_STRING) {
        Val_Copy(&k, key);
        if (k.type != JSANY_STRING) return ERR_NOMEM;
    } else {
        char *t = Text_FromBytes(name, len);
        if (!t) return ERR_NOMEM;
        k.type = JSANY_STRING;
        k.len = len;
        k.str = t;
    }
    JSAny v;
    Val_Copy(&v, value);
    if (v.type == JSANY_ERROR && value->type != JSANY_ERROR) {  // string copy failed
        Val_Clear(&k);
        return ERR_NOMEM;
    }
    // A new index when the object passes the threshold or its index would
    // be more than half full.
    uint32_t *fresh = nullptr;
    uint32_t freshMask = 0;
    bool needIndex = o->propIndex ? (o->propIndexFill + 1) * 2 > o->propMask + 1
                                  : o->propCount + 1 > kPropIndexThreshold;
    if (needIndex) {
        uint32_t size = IndexSizeFor(o->propCount + 1);
        fresh = static_cast<uint32_t *>(Mem_Alloc(sizeof(uint32_t) * size));
        freshMask = size - 1;
    }
    // Most objects have a few properties: the first records get room for 4.
    if (!o->props) o->props = static_cast<PropRec *>(Arr_Alloc(sizeof(PropRec), 4));
    if ((needIndex && !fresh) || !o->props || !Arr_EnsureT(o->props, o->propUsed + 1)) {
        Mem_Free(fresh);
        Val_Clear(&v);
        Val_Clear(&k);
        return ERR_NOMEM;
    }
    PropRec *r = &o->props[o->propUsed];
    r->key = k;
    r->value = v;
    r->hash = hash;
    r->pad = 0;
    uint32_t number = o->propUsed++;
    ++o->propCount;
    if (fresh) {
        Mem_Free(o->propIndex);
        FillIndex(o, fresh, freshMask);
    } else if (o->propIndex) {
        uint32_t slot = hash & o->propMask;
        while (o->propIndex[slot] != 0 && o->propIndex[slot] != kRemovedSlot)
            slot = (slot + 1) & o->propMask;
        if (o->propIndex[slot] == 0) ++o->propIndexFill;
        o->propIndex[slot] = number + 1;
    }
    return 0;
}

void Props_Remove(Object *o, PropRec *rec) {
    uint32_t number = static_cast<uint32_t>(rec - o->props);
    if (o->propIndex) {
        uint32_t slot = rec->hash & o->propMask;
        while (o->propIndex[slot] != number + 1) slot = (slot + 1) & o->propMask;
        o->propIndex[slot] = kRemovedSlot;
    }
    JSAny key = rec->key, value = rec->value;
    rec->key = JSAny_Undeclared();
    rec->value = JSAny_Undeclared();
    --o->propCount;
    if (number + 1 == o->propUsed) {
        --o->propUsed;  // the last record: simply drop it
        while (o->propUsed && !Props_IsLive(&o->props[o->propUsed - 1])) --o->propUsed;
        if (o->propCount == 0) RefillIndex(o);
    } else if (o->propUsed - o->propCount > 8 && o->propUsed - o->propCount > o->propCount) {
        Compact(o);
    }
    Val_Clear(&value);
    Val_Clear(&key);
}

void Props_FreeAll(Object *o) {
    PropRec *props = o->props;
    uint32_t used = o->propUsed;
    o->props = nullptr;
    o->propUsed = o->propCount = 0;
    Mem_Free(o->propIndex);
    o->propIndex = nullptr;
    o->propMask = 0;
    for (uint32_t i = 0; i < used; ++i) {
        if (!Props_IsLive(&props[i])) continue;
        Val_Clear(&props[i].value);
        Val_Clear(&props[i].key);
    }
    Arr_Free(props);
}

}  // namespace quillon
