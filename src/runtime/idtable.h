// The identifier table: interns every identifier of a program space once, so
// that names compare by entry identity after lexing. Open addressing with
// 8192 buckets at creation, doubling at three-quarters load; removal leaves
// a deletion marker so names placed past a removed one are still found.
#pragma once
#include <cstddef>
#include <cstdint>

namespace quillon {

struct IdTable;

struct IdEntry {
    IdEntry *next;
    IdEntry *prev;
    const char *name;  // stored inside the entry, zero-terminated
    int32_t refs;
    uint32_t hash;
    uint32_t length;
    uint32_t payloadSize;
    // payload bytes (zero-filled at creation), then the name
};

using IdDisposeHook = void (*)(void *arg, IdTable *table, IdEntry *entry);

struct IdTable {
    IdEntry *head;
    IdEntry *tail;
    uint32_t count;      // live entries
    IdEntry **buckets;
    uint32_t bucketCount;
    uint32_t growLimit;
    uint32_t markers;    // deletion markers in the buckets
    uint32_t payloadSize;
    IdDisposeHook dispose;
    void *hookArg;
};

constexpr uint32_t kIdTableBuckets = 8192;

IdTable *Id_Create(uint32_t payloadSize, IdDisposeHook dispose, void *hookArg);
// Finds or creates the entry for the name; a found entry gains a reference.
IdEntry *Id_Intern(IdTable *table, const char *name, size_t length);
// Finds the entry without taking a reference; null when absent.
IdEntry *Id_Find(IdTable *table, const char *name, size_t length);
void Id_Release(IdTable *table, IdEntry *entry);
void Id_Empty(IdTable *table);
void Id_Destroy(IdTable *table);

inline const char *Id_Name(const IdEntry *e) { return e->name; }
inline void *Id_Payload(IdEntry *e) { return e + 1; }
inline const void *Id_Payload(const IdEntry *e) { return e + 1; }

// Length of the identifier at the start of text by the 256-entry class
// table (first byte class 2, then any non-zero class); 0 when none.
size_t Id_Length(const uint8_t *classes, const char *text);

}  // namespace quillon
