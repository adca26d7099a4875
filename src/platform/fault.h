// Texts of the platform's error numbers (the DOS Fault service).
#pragma once
#include <cstddef>
#include <cstdint>

namespace quillon {

// Writes the text of a platform error number into buf; false when the number
// has no text or the text does not fit.
bool Plat_FaultText(uint32_t code, char *buf, size_t size);

}  // namespace quillon
