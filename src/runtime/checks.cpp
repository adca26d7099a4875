// The switch of checking builds (see checks.h).
#include "runtime/checks.h"

#ifdef QUILLON_CHECKS
#include "platform/testswitch.h"

namespace quillon {

bool gChkShortcuts = true;
#ifdef QUILLON_NO_FORMS
bool gChkForms = false;
#else
bool gChkForms = true;
#endif

void Chk_SetShortcuts(bool on) { gChkShortcuts = on; }
#ifdef QUILLON_NO_FORMS
void Chk_SetForms(bool) {}
#else
void Chk_SetForms(bool on) { gChkForms = on; }
#endif

void Chk_Init() {
    gChkShortcuts = !Plat_TestSwitchOff("QUILLON_SHORTCUTS");
    Chk_SetForms(!Plat_TestSwitchOff("QUILLON_FORMS"));
}

}  // namespace quillon
#endif
