// The debug log: the library's diagnostic output. Everything the library says
// on its own (bad handles, leak warnings, reports of runs without a host
// handle, Debug.write) goes here; by default to standard error, or to the
// writer a host installs.
#pragma once
#include <cstdarg>

namespace quillon {

using DebugWriter = void (*)(const char *text, void *user);

void Plat_SetDebugWriter(DebugWriter writer, void *user);
void Plat_DebugWrite(const char *text);
void Plat_DebugPrintf(const char *format, ...) __attribute__((format(printf, 1, 2)));
void Plat_DebugVPrintf(const char *format, va_list args);

}  // namespace quillon
