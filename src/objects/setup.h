// Global setup: builds the built-in objects of a new program space from the
// built-in table and stores every top-level name in its program-level slot.
#pragma once
#include <cstdint>

namespace quillon {

struct ProgramSpace;

// 0, or the status that ends the creation of the space.
uint32_t Setup_Globals(ProgramSpace *space);

// The banner text of __info.
extern const char kInfoBanner[];

}  // namespace quillon
