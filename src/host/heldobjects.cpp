// Open addressing with linear probing; a removal shifts the entries of its
// run back (no tombstones), so a lookup stops at the first empty entry. The
// table is a pool array (counted in MemUse) of a power-of-two capacity at
// most half full.
#include "host/heldobjects.h"

#include "runtime/memory.h"

namespace quillon {

namespace {

struct Entry {
    const Object *object;  // null: empty
    uint32_t holds;
};

Entry *gTable = nullptr;  // Arr_*
uint32_t gCount = 0;

inline uint32_t Mask() { return Arr_Capacity(gTable) - 1; }

inline uint32_t Home(const Object *o) {
    uint64_t k = reinterpret_cast<uintptr_t>(o);
    k ^= k >> 33;
    k *= 0xff51afd7ed558ccdull;
    k ^= k >> 33;
    return static_cast<uint32_t>(k);
}

Entry *Find(const Object *o) {
    if (!gTable || !o) return nullptr;
    for (uint32_t i = Home(o) & Mask();; i = (i + 1) & Mask()) {
        if (gTable[i].object == o) return &gTable[i];
        if (!gTable[i].object) return nullptr;
    }
}

void Insert(Entry *table, uint32_t mask, const Object *o, uint32_t holds) {
    uint32_t i = Home(o) & mask;
    while (table[i].object) i = (i + 1) & mask;
    table[i] = Entry{o, holds};
}

// Makes room for one more entry; false when out of memory.
bool Reserve() {
    uint32_t cap = Arr_Capacity(gTable);
    if ((gCount + 1) * 2 <= cap) return true;
    uint32_t grown = cap ? cap * 2 : 16;
    auto *fresh = static_cast<Entry *>(Arr_Alloc(sizeof(Entry), grown));
    if (!fresh) return false;
    for (uint32_t i = 0; i < grown; ++i) fresh[i] = Entry{nullptr, 0};
    for (uint32_t i = 0; i < cap; ++i)
        if (gTable[i].object) Insert(fresh, grown - 1, gTable[i].object, gTable[i].holds);
    Arr_Free(gTable);
    gTable = fresh;
    return true;
}

}  // namespace

bool Held_Add(Object *o) {
    if (Entry *e = Find(o)) {
        ++e->holds;
        return true;
    }
    if (!Reserve()) return false;
    Insert(gTable, Mask(), o, 1);
    ++gCount;
    return true;
}

bool Held_Drop(Object *o) {
    Entry *e = Find(o);
    if (!e) return false;
    if (--e->holds != 0) return true;
    // Remove, then move back every entry of the run that the hole now
    // separates from its home position.
    uint32_t mask = Mask();
    uint32_t hole = static_cast<uint32_t>(e - gTable);
    gTable[hole] = Entry{nullptr, 0};
    for (uint32_t i = (hole + 1) & mask; gTable[i].object; i = (i + 1) & mask) {
        uint32_t home = Home(gTable[i].object) & mask;
        // The entry may fill the hole when its home is not inside (hole, i].
        bool between = hole <= i ? (home > hole && home <= i) : (home > hole || home <= i);
        if (between) continue;
        gTable[hole] = gTable[i];
        gTable[i] = Entry{nullptr, 0};
        hole = i;
    }
    --gCount;
    return true;
}

bool Held_Has(const Object *o) { return Find(o) != nullptr; }

void Held_Shutdown() {
    Arr_Free(gTable);
    gTable = nullptr;
    gCount = 0;
}

}  // namespace quillon
