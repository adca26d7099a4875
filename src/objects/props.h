// The named-property store of an object: records in insertion order, with a
// hash index once there are more than a handful of them.
#pragma once
#include <cstdint>

#include "objects/object.h"

namespace quillon {

constexpr uint32_t kPropIndexThreshold = 8;

// Live record with this name, or null.
PropRec *Props_Find(Object *o, const char *name, uint32_t len, uint32_t hash);
// Appends a record; `key` (a string record, may be null) is shared when it is
// a counted string, else the name bytes are copied. 103 on exhaustion, with
// the object as before.
uint32_t Props_Append(Object *o, const char *name, uint32_t len, uint32_t hash, const JSAny *key,
                      const JSAny *value);
void Props_Remove(Object *o, PropRec *rec);
void Props_FreeAll(Object *o);  // finishes every record and frees the store

inline bool Props_IsLive(const PropRec *r) { return r->key.type != JSANY_UNDECLARED; }

}  // namespace quillon
