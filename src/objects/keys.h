// Property keys: a key is either an array index or a name. Numbers 0 <= x <
// 4294967295 are indexes (truncated); strings of at most 10 digits without a
// leading zero, up to 4294967294, are indexes; every other key is a name
// (non-strings converted with the string conversion, and an index when the
// text they give is one).
#pragma once
#include <cstdint>

#include "values/jsany.h"

namespace quillon {

struct Key {
    bool isIndex;
    uint32_t index;
    const char *name;
    uint32_t len;
    uint32_t hash;
    const JSAny *str;  // the key as a string record when it is one (shared into new properties)
    JSAny holder;      // owns a converted key
};

// Fills k from a key value. Returns 0, the key's own code for an error key,
// the code of a failed conversion, or ERR_NOPROP when the key cannot become
// a name.
uint32_t Key_Make(const JSAny *key, Key *k);
inline void Key_Done(Key *k) { JSAny_Clear(&k->holder); }

}  // namespace quillon
