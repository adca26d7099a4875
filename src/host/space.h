// Making and destroying program spaces (the record, and the list of live
// spaces, are values/space.h's). A new space gets its lexer store, its
// match state and its built-ins; a destroyed one gives back everything it
// owns and runs the cycle collector.
#pragma once
#include <cstdint>

#include "values/space.h"

struct JSHostLibrary;

namespace quillon {

ProgramSpace *Space_Create(ProgramSpace *parent, const JSHostLibrary *hooks, uintptr_t userData);
void Space_Destroy(ProgramSpace *space);

}  // namespace quillon
