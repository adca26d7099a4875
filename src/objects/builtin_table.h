// The built-in table: every constructor, prototype, method, static member
// and global name of a new program space, as rows in table order.
#pragma once
#include <cstdint>

#include "objects/function.h"

namespace quillon {

// A row: the name with its level prefix (none: a global; ".": a static
// member of the current group's head; "..": a member of its prototype),
// the arity, the native entry (or null), and the extra word (the entry's
// word, or for a row without entry the address of a constant value).
struct BuiltinRow {
    const char *name;
    int32_t arity;
    NativeEntry entry;
    uintptr_t extra;
};

extern const BuiltinRow kBuiltinRows[];

// The five constants computed when setup starts.
void Builtins_ComputeConstants();

}  // namespace quillon
