// The identifier table's open addressing: linear probing from the name's
// hash, deletion markers for removed entries, a rebuild into a table twice
// as large at three-quarters load. An entry's address never changes while
// it lives, so interned names compare by pointer.
#include "runtime/idtable.h"

#include <cstdio>
#include <cstring>

#include "platform/alert.h"
#include "runtime/memory.h"
#include "runtime/text.h"

namespace quillon {

namespace {

// A bucket that held an entry since removed: probing goes on past it.
IdEntry *const kRemoved = reinterpret_cast<IdEntry *>(uintptr_t{1});

inline bool NameIs(const IdEntry *e, const char *name, size_t length) {
    return e->length == length && std::memcmp(e->name, name, length) == 0;
}

// Slot of the entry with this name, or of the first reusable slot where it
// would go (*found tells which).
uint32_t Probe(const IdTable *t, const char *name, size_t length, uint32_t hash, bool *found) {
    uint32_t mask = t->bucketCount - 1;
    uint32_t slot = hash & mask;
    uint32_t firstFree = UINT32_MAX;
    for (uint32_t n = 0; n < t->bucketCount; ++n) {
        IdEntry *e = t->buckets[slot];
        if (!e) {
            *found = false;
            return firstFree != UINT32_MAX ? firstFree : slot;
        }
        if (e == kRemoved) {
            if (firstFree == UINT32_MAX) firstFree = slot;
        } else if (e->hash == hash && NameIs(e, name, length)) {
            *found = true;
            return slot;
        }
        slot = (slot + 1) & mask;
    }
    *found = false;
    return firstFree;
}

void Place(IdEntry **buckets, uint32_t count, IdEntry *e) {
    uint32_t mask = count - 1;
    uint32_t slot = e->hash & mask;
    while (buckets[slot]) slot = (slot + 1) & mask;
    buckets[slot] = e;
}

bool Rebuild(IdTable *t, uint32_t newCount) {
    auto **fresh = static_cast<IdEntry **>(Mem_AllocZero(sizeof(IdEntry *) * newCount));
    if (!fresh) return false;
    for (IdEntry *e = t->head; e; e = e->next) Place(fresh, newCount, e);
    Mem_Free(t->buckets);
    t->buckets = fresh;
    t->bucketCount = newCount;
    t->growLimit = newCount / 4 * 3;
    t->markers = 0;
    return true;
}

void Unlink(IdTable *t, IdEntry *e) {
    if (e->prev) e->prev->next = e->next; else t->head = e->next;
    if (e->next) e->next->prev = e->prev; else t->tail = e->prev;
    e->next = e->prev = nullptr;
}

void ClearBucket(IdTable *t, IdEntry *e) {
    uint32_t mask = t->bucketCount - 1;
    uint32_t slot = e->hash & mask;
    for (uint32_t n = 0; n < t->bucketCount; ++n) {
        if (t->buckets[slot] == e) {
            t->buckets[slot] = kRemoved;
            ++t->markers;
            return;
        }
        if (!t->buckets[slot]) return;
        slot = (slot + 1) & mask;
    }
}

void FreeEntry(IdTable *t, IdEntry *e) {
    if (t->dispose) t->dispose(t->hookArg, t, e);
    Unlink(t, e);
    Mem_Free(e);
}

}  // namespace

IdTable *Id_Create(uint32_t payloadSize, IdDisposeHook dispose, void *hookArg) {
    auto *t = static_cast<IdTable *>(Mem_AllocZero(sizeof(IdTable)));
    if (!t) return nullptr;
    t->buckets = static_cast<IdEntry **>(Mem_AllocZero(sizeof(IdEntry *) * kIdTableBuckets));
    if (!t->buckets) {
        Mem_Free(t);
        return nullptr;
    }
    t->bucketCount = kIdTableBuckets;
    t->growLimit = kIdTableBuckets / 4 * 3;
    t->payloadSize = (payloadSize + 7) & ~7u;
    t->dispose = dispose;
    t->hookArg = hookArg;
    return t;
}

IdEntry *Id_Find(IdTable *t, const char *name, size_t length) {
    bool found;
    uint32_t slot = Probe(t, name, length, Str_Hash(name, length), &found);
    return found ? t->buckets[slot] : nullptr;
}

IdEntry *Id_Intern(IdTable *t, const char *name, size_t length) {
    if (length > 0xFFFFFF) return nullptr;
    uint32_t hash = Str_Hash(name, length);
    bool found;
    uint32_t slot = Probe(t, name, length, hash, &found);
    if (found) {
        IdEntry *e = t->buckets[slot];
        ++e->refs;
        return e;
    }
    auto *e = static_cast<IdEntry *>(Mem_Alloc(sizeof(IdEntry) + t->payloadSize + length + 1));
    if (!e) return nullptr;
    std::memset(e, 0, sizeof(IdEntry) + t->payloadSize);
    char *text = reinterpret_cast<char *>(e + 1) + t->payloadSize;
    std::memcpy(text, name, length);
    text[length] = 0;
    e->name = text;
    e->refs = 1;
    e->hash = hash;
    e->length = static_cast<uint32_t>(length);
    e->payloadSize = t->payloadSize;
    if (slot == UINT32_MAX) {  // only markers left: clean them out first
        if (!Rebuild(t, t->bucketCount)) {
            Mem_Free(e);
            return nullptr;
        }
        slot = Probe(t, name, length, hash, &found);
    }
    if (t->buckets[slot] == kRemoved) --t->markers;
    t->buckets[slot] = e;
    e->prev = t->tail;
    if (t->tail) t->tail->next = e; else t->head = e;
    t->tail = e;
    ++t->count;
    if (t->count > t->growLimit) {
        if (!Rebuild(t, t->bucketCount * 2)) {
            ClearBucket(t, e);
            Unlink(t, e);
            --t->count;
            Mem_Free(e);
            return nullptr;
        }
    } else if (t->markers > t->bucketCount / 4) {
        Rebuild(t, t->bucketCount);  // a failed clean-up leaves the markers in place
    }
    return e;
}

void Id_Release(IdTable *t, IdEntry *e) {
    if (e->refs <= 0) {
        Plat_Alert("Ident overdispose");
        return;
    }
    if (--e->refs > 0) return;
    ClearBucket(t, e);
    --t->count;
    FreeEntry(t, e);
}

void Id_Empty(IdTable *t) {
    while (IdEntry *e = t->head) {
        if (e->refs <= 0) {
            Plat_Alert("Ident overdispose");
        } else {
            e->refs = 0;
        }
        FreeEntry(t, e);
    }
    t->count = 0;
    t->markers = 0;
    std::memset(t->buckets, 0, sizeof(IdEntry *) * t->bucketCount);
}

void Id_Destroy(IdTable *t) {
    if (!t) return;
    if (t->head) {
        long n = 0;
        for (IdEntry *e = t->head; e; e = e->next) ++n;
        char msg[64];
        std::snprintf(msg, sizeof msg, "%ld idents left in IdTable", n);
        Plat_Alert(msg);
        // The entries cannot be reached by anyone once the table is gone.
        while (IdEntry *e = t->head) {
            Unlink(t, e);
            Mem_Free(e);
        }
    }
    Mem_Free(t->buckets);
    Mem_Free(t);
}

size_t Id_Length(const uint8_t *classes, const char *text) {
    const auto *p = reinterpret_cast<const uint8_t *>(text);
    if (classes[p[0]] != 2) return 0;
    size_t n = 1;
    while (classes[p[n]] != 0) ++n;
    return n;
}

}  // namespace quillon
