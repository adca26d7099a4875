// The debug log: writes to the host's writer when one is installed, else to
// standard error. Formatted texts use a stack buffer, and one of their own
// (outside the interpreter's pool) when longer; report highlights become
// terminal colour sequences only on a terminal.
#include "platform/debuglog.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace quillon {

namespace {

DebugWriter gWriter = nullptr;
void *gUser = nullptr;

// The report highlight on a terminal: the original console's pens 3 and 1 on
// pen 0 as the terminal's colour sequences, and the reset that ends a report.
constexpr const char *kHighlight = "\x1b[0;33;40m";
constexpr const char *kNormal = "\x1b[0;31;40m";
constexpr const char *kReset = "\x1b[0m";

inline const char *OrEmpty(const char *s) { return s ? s : ""; }

}  // namespace

void Plat_SetDebugWriter(DebugWriter writer, void *user) {
    gWriter = writer;
    gUser = user;
}

void Plat_DebugWrite(const char *text) {
    if (gWriter) {
        gWriter(text, gUser);
    } else {
        // What the host has written to standard output comes first, so the
        // two streams keep their order when they share a terminal or a file.
        std::fflush(stdout);
        std::fputs(text, stderr);
        std::fflush(stderr);
    }
}

void Plat_DebugVPrintf(const char *format, va_list args) {
    char small[512];
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (n < 0) return;
    if (static_cast<size_t>(n) < sizeof small) {
        Plat_DebugWrite(small);
        return;
    }
    // Long texts (a long source line in a report) are formatted into a
    // buffer of their own; the debug log is outside the interpreter's pool.
    char *big = static_cast<char *>(std::malloc(static_cast<size_t>(n) + 1));
    if (!big) return;
    std::vsnprintf(big, static_cast<size_t>(n) + 1, format, args);
    Plat_DebugWrite(big);
    std::free(big);
}

void Plat_DebugPrintf(const char *format, ...) {
    va_list args;
    va_start(args, format);
    Plat_DebugVPrintf(format, args);
    va_end(args);
}

void Plat_DebugReport(const char *before, const char *token, const char *after,
                      const char *heading, const char *message) {
    // Asked at every report: a host may redirect standard error meanwhile.
    bool colour = !gWriter && isatty(STDERR_FILENO);
    if (colour) {
        Plat_DebugPrintf("%s%s%s%s%s\n%s: %s%s\n", OrEmpty(before), kHighlight, OrEmpty(token),
                         kNormal, OrEmpty(after), OrEmpty(heading), OrEmpty(message), kReset);
    } else {
        Plat_DebugPrintf("%s%s%s\n%s: %s\n", OrEmpty(before), OrEmpty(token), OrEmpty(after),
                         OrEmpty(heading), OrEmpty(message));
    }
}

}  // namespace quillon
