#include "input.h"

#include <cerrno>
#include <unistd.h>

namespace shell {

namespace {

unsigned char gBuffer[4096];
size_t gStart = 0, gEnd = 0;

}  // namespace

int Input_Byte() {
    if (gStart == gEnd) {
        ssize_t n = read(0, gBuffer, sizeof gBuffer);
        if (n < 0) return errno == EINTR ? kInputInterrupted : kInputFailed;
        if (n == 0) return kInputEnd;
        gStart = 0;
        gEnd = static_cast<size_t>(n);
    }
    return gBuffer[gStart++];
}

ReadStatus Input_Line(std::string &line) {
    line.clear();
    bool any = false;
    for (;;) {
        int c = Input_Byte();
        if (c == kInputInterrupted) return ReadStatus::Interrupted;
        if (c == kInputFailed) return ReadStatus::Failed;
        if (c == kInputEnd) return any ? ReadStatus::Ok : ReadStatus::End;
        any = true;
        if (c == '\n') return ReadStatus::Ok;
        line += static_cast<char>(c);
    }
}

ReadStatus Input_All(std::string &text) {
    for (;;) {
        int c = Input_Byte();
        if (c == kInputEnd) return ReadStatus::Ok;
        if (c == kInputInterrupted) return ReadStatus::Interrupted;
        if (c == kInputFailed) return ReadStatus::Failed;
        text += static_cast<char>(c);
        // Take the rest of the buffer at once.
        text.append(reinterpret_cast<const char *>(gBuffer + gStart), gEnd - gStart);
        gStart = gEnd;
    }
}

}  // namespace shell
