#include "platform/debuglog.h"

#include <cstdio>
#include <cstdlib>

namespace quillon {

namespace {

DebugWriter gWriter = nullptr;
void *gUser = nullptr;

}  // namespace

void Plat_SetDebugWriter(DebugWriter writer, void *user) {
    gWriter = writer;
    gUser = user;
}

void Plat_DebugWrite(const char *text) {
    if (gWriter) {
        gWriter(text, gUser);
    } else {
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

}  // namespace quillon
