// Switches of the checking builds (QUILLON_CHECKS), read from the process
// environment when the library is first opened. Only checking builds have
// them; a library built for users reads no setting of any kind.
#pragma once

namespace quillon {

#ifdef QUILLON_CHECKS
// True when the environment variable `name` is set to "0".
bool Plat_TestSwitchOff(const char *name);
// A check found a fault: prints the text on standard error and aborts.
[[noreturn]] void Plat_CheckFailed(const char *text);
#endif

}  // namespace quillon
