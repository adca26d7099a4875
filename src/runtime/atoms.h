// The key table: one shared key text per distinct property name, for the
// whole library. Property records hold a key by pointer, so two names are
// the same exactly when their key texts are the same block, and a record
// needs no room of its own for the name's length or hash.
//
// A key text is a counted text (runtime/memory.h) with an area in front that
// holds its length, hash and the number of holders (property records and
// identifiers). While it has holders the table keeps one share of the text;
// when the last holder goes the key leaves the table, and the text itself
// lives on only as long as string values still share it.
#pragma once
#include <cstddef>
#include <cstdint>

#include "runtime/memory.h"

namespace quillon {

struct AtomHead {
    uint32_t hash;  // Str_Hash of the bytes
    uint32_t len;
    uint32_t refs;  // holders; 0 once the key has left the table
    uint32_t pad;
};
static_assert(sizeof(AtomHead) == kTextKeyArea);

inline const AtomHead *Atom_Head(const char *key) { return static_cast<const AtomHead *>(Text_KeyArea(key)); }
inline uint32_t Atom_Len(const char *key) { return Atom_Head(key)->len; }
inline uint32_t Atom_Hash(const char *key) { return Atom_Head(key)->hash; }

// The key for a name, or null when no property anywhere has that name. No
// holder is added.
char *Atom_Find(const char *name, uint32_t len, uint32_t hash);
// The key for a name with one more holder, made when new; null when memory
// ran out.
char *Atom_Get(const char *name, uint32_t len, uint32_t hash);
// The same for a string's text: a text that is itself a live key is taken
// as it is.
char *Atom_GetText(char *text, uint32_t len, uint32_t hash);
inline void Atom_AddRef(char *key) { ++static_cast<AtomHead *>(Text_KeyArea(key))->refs; }
void Atom_ReleaseLast(char *key);  // the last holder gone: out of the table
inline void Atom_Release(char *key) {  // null is ignored
    if (key && --static_cast<AtomHead *>(Text_KeyArea(key))->refs == 0) Atom_ReleaseLast(key);
}
// Number of keys in the table (for tests).
uint32_t Atom_Count();
// Forgets the table (the library's first open: the pool is new).
void Atom_Reset();

}  // namespace quillon
