// The debug log: the library's diagnostic output. Everything the library says
// on its own (bad handles, leak warnings, reports of runs without a host
// handle, Debug.write) goes here; by default to standard error, or to the
// writer a host installs.
// Reports carry a highlighted source excerpt. On a terminal the highlight is
// drawn with the terminal's own colour sequences (ESC [) and the colour is
// reset at the end of each report; everywhere else (a file, a pipe, a host's
// writer) a report is plain text without any control sequence.
#pragma once
#include <cstdarg>

namespace quillon {

using DebugWriter = void (*)(const char *text, void *user);

void Plat_SetDebugWriter(DebugWriter writer, void *user);
void Plat_DebugWrite(const char *text);
void Plat_DebugPrintf(const char *format, ...) __attribute__((format(printf, 1, 2)));
void Plat_DebugVPrintf(const char *format, va_list args);

// Writes a report: the source line as the text before the offending tokens,
// the tokens (highlighted) and the text after them, a line feed, then
// "heading: message" and a line feed. Null pieces print as empty texts.
void Plat_DebugReport(const char *before, const char *token, const char *after,
                      const char *heading, const char *message);

}  // namespace quillon
