// The interactive session: reads a statement or expression per entry
// (continuing lines while a bracket or string is open), runs it in the
// shell's program space keeping the value of its last expression, and
// prints that value. Errors are shown and the session goes on; Ctrl-C stops
// a running entry or drops the one being typed; Ctrl-D leaves.
#pragma once

namespace shell {

// Runs the session; returns the status the shell exits with (0, or the one
// given to quit()).
int RunSession();

}  // namespace shell
