// What checking builds (QUILLON_CHECKS: the sanitizer build of `make check`
// and the fuzz targets) add: a run-time switch that turns every shortcut of
// the interpreter off, so the general paths alone run the same programs and
// must give byte-identical results. A library built for users has no switch:
// Chk_Shortcuts() is a constant there and costs nothing.
#pragma once

namespace quillon {

#ifdef QUILLON_CHECKS
extern bool gChkShortcuts;
inline bool Chk_Shortcuts() { return gChkShortcuts; }
// Turns the shortcuts on or off (tests); the environment variable
// QUILLON_SHORTCUTS=0 turns them off when the library is first opened.
void Chk_SetShortcuts(bool on);
void Chk_Init();
#else
constexpr bool Chk_Shortcuts() { return true; }
inline void Chk_Init() {}
#endif

}  // namespace quillon
