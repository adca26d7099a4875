#include "objects/props.h"

#include <cstring>

namespace quillon {

namespace {

constexpr uint32_t kRemovedSlot = 0xFFFFFFFFu;

inline bool Matches(const PropRec *r, const char *name, uint32_t len, uint32_t hash) {
    return r->hash == hash && r->key.len == len && r->key.type != JSANY_UNDECLARED &&
           std::memcmp(r->key.str, name, len) == 0;
}

// Builds (or rebuilds) the hash index for the live records; on exhausted
// memory the object simply goes on without an index.
void BuildIndex(Object *o) {
    uint32_t size = 16;
    while (size < o->propCount * 2 + 2) size <<= 1;
    auto *index = static_cast<uint32_t *>(Mem_AllocZero(sizeof(uint32_t) * size));
    Mem_Free(o->propIndex);
    o->propIndex = index;
    o->propMask = index ? size - 1 : 0;
    o->propIndexFill = 0;
    if (!index) return;
    for (uint32_t i = 0; i < o->propUsed; ++i) {
        const PropRec *r = &o->props[i];
        if (!Props_IsLive(r)) continue;
        uint32_t slot = r->hash & o->propMask;
        while (index[slot] != 0) slot = (slot + 1) & o->propMask;
        index[slot] = i + 1;
        ++o->propIndexFill;
    }
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
    if (o->propIndex) BuildIndex(o);
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
    if (!Arr_EnsureT(o->props, o->propUsed + 1)) return ERR_NOMEM;
    JSAny k;
    if (key && key->type == JSANY_STRING) {
        JSAny_InitFrom(&k, key);
    } else {
        char *t = Text_FromBytes(name, len);
        if (!t) return ERR_NOMEM;
        k.type = JSANY_STRING;
        k.len = len;
        k.str = t;
    }
    if (k.type != JSANY_STRING) return ERR_NOMEM;
    JSAny v;
    JSAny_InitFrom(&v, value);
    if (v.type == JSANY_ERROR && value->type != JSANY_ERROR) {  // string copy failed
        JSAny_Clear(&k);
        return ERR_NOMEM;
    }
    PropRec *r = &o->props[o->propUsed];
    r->key = k;
    r->value = v;
    r->hash = hash;
    r->pad = 0;
    uint32_t number = o->propUsed++;
    ++o->propCount;
    if (o->propIndex) {
        if ((o->propIndexFill + 1) * 2 > o->propMask + 1) {
            BuildIndex(o);
        } else {
            uint32_t slot = hash & o->propMask;
            while (o->propIndex[slot] != 0 && o->propIndex[slot] != kRemovedSlot)
                slot = (slot + 1) & o->propMask;
            if (o->propIndex[slot] == 0) ++o->propIndexFill;
            o->propIndex[slot] = number + 1;
        }
    } else if (o->propCount > kPropIndexThreshold) {
        BuildIndex(o);
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
        if (o->propIndex && o->propCount == 0) BuildIndex(o);
    } else if (o->propUsed - o->propCount > 8 && o->propUsed - o->propCount > o->propCount) {
        Compact(o);
    }
    JSAny_Clear(&value);
    JSAny_Clear(&key);
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
        JSAny_Clear(&props[i].value);
        JSAny_Clear(&props[i].key);
    }
    Arr_Free(props);
}

}  // namespace quillon
