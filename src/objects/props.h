// The named-property store of an object: records in insertion order behind
// a small head (object.h), with a hash index once there are more than a
// handful of them. Keys are key texts of the library's key table, so a
// lookup compares pointers once the name's key is known.
#pragma once
#include <cstdint>
#include <cstring>

#include "objects/object.h"
#include "lexer/lexer.h"
#include "runtime/atoms.h"
#include "runtime/idtable.h"

namespace quillon {

struct IdEntry;

constexpr uint32_t kPropIndexThreshold = 8;

// Live record with this key (a key text), or null.
PropRec *Props_FindKey(Object *o, const char *key);
// Live record with this name, or null.
inline PropRec *Props_Find(Object *o, const char *name, uint32_t len, uint32_t hash) {
    if (!o->props) return nullptr;
    const char *key = Atom_Find(name, len, hash);
    return key ? Props_FindKey(o, key) : nullptr;
}
// Appends a record; `known` is the name's key when the caller has it, else
// `key` (a string record, may be null) gives the name's text when it is a
// counted string, else the name bytes are used. 103 on exhaustion, with the
// object as before.
uint32_t Props_Append(Object *o, const char *name, uint32_t len, uint32_t hash, const JSAny *key,
                      const JSAny *value, char *known = nullptr);
void Props_Remove(Object *o, PropRec *rec);
// Makes room for n records in all (for an object whose property count is
// known beforehand); 103 with the object as before.
uint32_t Props_Reserve(Object *o, uint32_t n);
// For tests: whether the store carries its hash index, and whether that is
// at most half full.
bool Props_HasIndex(const Object *o);
bool Props_IndexHalfFull(const Object *o);
void Props_FreeAll(Object *o);  // finishes every record and frees the store

inline bool Props_IsLive(const PropRec *r) { return r->key != nullptr; }
// True when a record's key is this name.
inline bool Props_KeyIs(const PropRec *r, const char *name, uint32_t len, uint32_t hash) {
    return r->key && Atom_Hash(r->key) == hash && Atom_Len(r->key) == len &&
           std::memcmp(r->key, name, len) == 0;
}
// The key of an identifier's name, which the identifier keeps once found;
// null when no property anywhere has that name (nothing is allocated).
const char *Props_KeyOfNameSlow(const IdEntry *id);
inline const char *Props_KeyOfName(const IdEntry *id) {
    // (Made once per name: every member read and store by name asks.)
    const char *k = static_cast<const IdPayload *>(Id_Payload(id))->keyText;
    return k ? k : Props_KeyOfNameSlow(id);
}
// The key of a live record as a string value (a share of the key text).
void Props_KeyValue(const PropRec *r, JSAny *out);

}  // namespace quillon
