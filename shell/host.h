// The shell's host: the hook library that gives scripts print, console.log,
// load, readline and quit, and shows error reports on standard error.
#pragma once
#include "quillon.h"

namespace shell {

// The hook library of the shell.
const JSHostLibrary *Hooks();
// The program space the shell runs in (load() runs files there).
void SetSpace(JSProgramSpace *space);
// Status requested by quit(), or -1.
int QuitStatus();
// The break signal bit the shell raises on Ctrl-C.
constexpr uint32_t kBreakSignal = JSSIGNAL_CTRL_C;
// Runs a text in the shell's space with the shell's run settings.
uint32_t RunText(const char *text, uint32_t flags);
void SetRunSettings(int32_t compat, uint32_t flags);

}  // namespace shell
