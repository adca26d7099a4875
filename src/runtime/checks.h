// What checking builds (QUILLON_CHECKS: the sanitizer build of `make check`
// and the fuzz targets) add: a run-time switch that turns every shortcut of
// the interpreter off, so the general paths alone run the same programs and
// must give byte-identical results. A library built for users has no switch:
// Chk_Shortcuts() is a constant there and costs nothing. A library built
// with QUILLON_FORMS=OFF never remembers forms of expressions.
#pragma once

namespace quillon {

#ifdef QUILLON_CHECKS
extern bool gChkShortcuts;
extern bool gChkForms;
inline bool Chk_Shortcuts() { return gChkShortcuts; }
// The remembered forms of expressions (interp/forms.h) alone; they are off
// as well when the shortcuts are off.
inline bool Chk_Forms() { return gChkForms; }
// Turn the shortcuts / the forms on or off (tests); the environment
// variables QUILLON_SHORTCUTS=0 and QUILLON_FORMS=0 turn them off when the
// library is first opened.
void Chk_SetShortcuts(bool on);
void Chk_SetForms(bool on);
void Chk_Init();
#else
constexpr bool Chk_Shortcuts() { return true; }
#ifdef QUILLON_NO_FORMS
constexpr bool Chk_Forms() { return false; }
#else
constexpr bool Chk_Forms() { return true; }
#endif
inline void Chk_Init() {}
#endif

}  // namespace quillon
