// The switch of checking builds (see checks.h).
#include "runtime/checks.h"

#ifdef QUILLON_CHECKS
#include "platform/testswitch.h"

namespace quillon {

bool gChkShortcuts = true;

void Chk_SetShortcuts(bool on) { gChkShortcuts = on; }

void Chk_Init() { gChkShortcuts = !Plat_TestSwitchOff("QUILLON_SHORTCUTS"); }

}  // namespace quillon
#endif
