// The shell's host: the program space every script of one shell process
// runs in, and the hook library that gives scripts the shell's functions:
//   print(...)         the arguments as strings, separated by spaces, and a line feed
//   console.log(...)   the same; console.error(...) the same on standard error
//   load(file)         runs a file in the same program space
//   readline()         one line of standard input without its line feed; null at the end
//   quit([status])     stops every run and leaves the shell with that status
// Each but load is a program object that the interpreter finds through the
// unknown-name hook and calls through HostInvoke; console's members are
// reached through the member hook, and `typeof` asks each object for
// "__typeof". load is a script function the shell defines at the start, so
// that a file that cannot be run makes it throw an Error naming the file.
// Every report the shell shows names the source it came from: the file, "-e"
// for a text given with -e, or "stdin".
#pragma once
#include <string>

#include "quillon.h"

namespace shell {

struct RunSettings {
    int32_t compat = 0;   // compatibility level of every run
    uint32_t flags = 0;   // run flags of every run (lenient)
};

// Opens the library and creates the shell's program space.
bool Host_Open(const RunSettings &settings);
// Deletes the space and closes the library. False when the library was left
// with memory in use or program objects were made but never released.
bool Host_Close();

// Runs a text in the shell's space; `name` names it in reports and
// `extraFlags` are added to the settings' run flags. Returns the call's
// result code (0, 1, 3 or 4).
uint32_t Host_Run(const char *text, const char *name, uint32_t extraFlags);
// Status requested by quit(), or -1.
int Host_QuitStatus();
// Whether the last run ended by a break the shell took (Ctrl-C).
bool Host_BreakTaken();

// The last result in the form the interactive session prints: strings
// quoted, other values converted to strings. False when there is nothing to
// print (no value, or undefined).
bool Host_ResultText(std::string &text);

}  // namespace shell
