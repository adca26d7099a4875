// Ctrl-C for the shell: SIGINT raises the library's break signal, which the
// interpreter notices at its next loop iteration or call and answers with a
// poll of the host (HostNotify kind 7). Three interrupts that nobody takes
// end the process the ordinary way, for a run stuck where it never polls.
#pragma once
#include "quillon.h"

namespace shell {

// The break signal bit of every run the shell makes.
constexpr uint32_t kBreakSignal = JSSIGNAL_CTRL_C;

// Installs the SIGINT handler. Blocking reads are not restarted after it,
// so a read waiting for input learns of the interrupt.
void Signals_Install();
// Takes a pending break: true (and clears it) when one was pending.
bool Signals_TakeBreak();

}  // namespace shell
