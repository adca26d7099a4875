// Value slots: a library-wide table in which hosts keep script values
// between calls (above all functions to call back later). 10 slots at first
// use, growing by 10; a slot is free while it holds the undeclared kind.
#pragma once
#include <cstdint>

#include "values/jsany.h"

namespace quillon {

// Copies the value into the free slot with the lowest index; -1 when the
// table cannot grow.
int32_t Slots_Hold(const JSAny *value);
// 0, or 2 for an index beyond the table.
uint32_t Slots_Release(uint32_t index);
// The slot's record, or null beyond the table.
JSAny *Slots_Get(uint32_t index);
// Releases every slot and frees the table (the last close).
void Slots_Shutdown();

}  // namespace quillon
