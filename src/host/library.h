// The library frame: open count, the set-up of library-wide state at the
// first open and its tear-down at the last close.
#pragma once

namespace quillon {

// True while the library is open (between the first open and the last close).
bool Lib_IsOpen();

}  // namespace quillon
