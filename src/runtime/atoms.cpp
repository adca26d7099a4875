// The key table: open addressing with linear probing over the key texts,
// at most half full; removal shifts the following entries back, so there
// are no tombstones. The table is freed when its last key goes, so an idle
// library holds no memory for it.
#include "runtime/atoms.h"

#include <cstring>

namespace quillon {

namespace {

char **gTable = nullptr;  // Arr_*: capacity is the number of slots (a power of two)
uint32_t gMask = 0;
uint32_t gCount = 0;

constexpr uint32_t kFirstSize = 64;

inline AtomHead *HeadOf(char *key) { return static_cast<AtomHead *>(Text_KeyArea(key)); }

inline bool Same(const char *key, const char *name, uint32_t len, uint32_t hash) {
    const AtomHead *h = Atom_Head(key);
    return h->hash == hash && h->len == len && std::memcmp(key, name, len) == 0;
}

bool Grow() {
    uint32_t size = gTable ? (gMask + 1) * 2 : kFirstSize;
    if (size == 0) return false;
    auto *fresh = static_cast<char **>(Arr_Alloc(sizeof(char *), size));
    if (!fresh) return false;
    std::memset(fresh, 0, sizeof(char *) * size);
    uint32_t mask = size - 1;
    if (gTable) {
        for (uint32_t i = 0; i <= gMask; ++i) {
            char *k = gTable[i];
            if (!k) continue;
            uint32_t s = Atom_Hash(k) & mask;
            while (fresh[s]) s = (s + 1) & mask;
            fresh[s] = k;
        }
        Arr_Free(gTable);
    }
    gTable = fresh;
    gMask = mask;
    return true;
}

void Remove(char *key) {
    uint32_t i = Atom_Hash(key) & gMask;
    while (gTable[i] != key) i = (i + 1) & gMask;
    gTable[i] = nullptr;
    // Entries after the gap that probed past it move back into it.
    for (uint32_t j = (i + 1) & gMask; gTable[j]; j = (j + 1) & gMask) {
        uint32_t home = Atom_Hash(gTable[j]) & gMask;
        bool stays = i <= j ? (home > i && home <= j) : (home > i || home <= j);
        if (stays) continue;
        gTable[i] = gTable[j];
        gTable[j] = nullptr;
        i = j;
    }
    if (--gCount == 0) {
        Arr_Free(gTable);
        gTable = nullptr;
        gMask = 0;
    }
}

}  // namespace

char *Atom_Find(const char *name, uint32_t len, uint32_t hash) {
    if (!gTable) return nullptr;
    for (uint32_t i = hash & gMask;; i = (i + 1) & gMask) {
        char *k = gTable[i];
        if (!k) return nullptr;
        if (Same(k, name, len, hash)) return k;
    }
}

char *Atom_Get(const char *name, uint32_t len, uint32_t hash) {
    if (char *k = Atom_Find(name, len, hash)) {
        ++HeadOf(k)->refs;
        return k;
    }
    if ((gCount + 1) * 2 > (gTable ? gMask + 1 : 0) && !Grow()) return nullptr;
    char *k = Text_NewKey(name, len);
    if (!k) {
        if (gCount == 0) {  // the table was made for this key alone
            Arr_Free(gTable);
            gTable = nullptr;
            gMask = 0;
        }
        return nullptr;
    }
    AtomHead *h = HeadOf(k);
    h->hash = hash;
    h->len = len;
    h->refs = 1;
    uint32_t i = hash & gMask;
    while (gTable[i]) i = (i + 1) & gMask;
    gTable[i] = k;
    ++gCount;
    return k;
}

char *Atom_GetText(char *text, uint32_t len, uint32_t hash) {
    if (Text_IsKey(text)) {
        AtomHead *h = HeadOf(text);
        if (h->refs && h->len == len) {
            ++h->refs;
            return text;
        }
    }
    return Atom_Get(text, len, hash);
}

void Atom_ReleaseLast(char *key) {
    Remove(key);
    Text_Release(key);  // the table's share
}

uint32_t Atom_Count() { return gCount; }

void Atom_Reset() {
    gTable = nullptr;
    gMask = 0;
    gCount = 0;
}

}  // namespace quillon
