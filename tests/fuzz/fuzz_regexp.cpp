// Fuzz target: the regular-expression compiler and matcher. The first byte
// gives the flags (bit 0 i, bit 1 g, bit 2 m, bit 3 a plain literal, bit 4
// line-wise anchors forced); then the pattern up to the first zero byte and
// the input after it (without a zero byte the pattern is matched against
// itself). Every match of the input is found as a global search would, each
// checked to lie inside the input with its captures; a poll stops patterns
// that backtrack without end. No memory may be left afterwards.
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_common.h"
#include "regexp/regexp.h"
#include "runtime/errors.h"
#include "runtime/memory.h"

namespace {

constexpr size_t kMaxInput = 4096;
constexpr uint32_t kPolls = 40;
constexpr uint32_t kStopped = 0x7777;

uint32_t Poll(void *arg) {
    uint32_t *left = static_cast<uint32_t *>(arg);
    if (*left == 0) return kStopped;
    --*left;
    return 0;
}

bool IsSyntaxError(uint32_t code) { return code >= quillon::ERR_RX_QUANTIFIER && code <= quillon::ERR_RX_FLAGSGIVEN; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace quillon;
    if (size == 0 || size > kMaxInput) return 0;
    quillon_fuzz::OpenOnce();
    int64_t before = MemUse;
    uint8_t bits = data[0];
    const char *rest = reinterpret_cast<const char *>(data + 1);
    size_t restLen = size - 1;
    const char *zero = static_cast<const char *>(std::memchr(rest, 0, restLen));
    std::string pattern(rest, zero ? static_cast<size_t>(zero - rest) : restLen);
    std::string input = zero ? std::string(zero + 1, rest + restLen) : pattern;

    uint32_t flags = 0;
    if (bits & 1) flags |= RX_IGNORECASE;
    if (bits & 2) flags |= RX_GLOBAL;
    if (bits & 4) flags |= RX_MULTILINE;
    RxProgram *p = nullptr;
    uint32_t r = Rx_Compile(pattern.data(), static_cast<uint32_t>(pattern.size()), flags, (bits & 8) != 0, &p);
    if (r != 0) {
        if (p) quillon_fuzz::Fault("a failed compile left a program");
        if (!IsSyntaxError(r)) quillon_fuzz::Fault("compile failed with an unexpected code", std::to_string(r));
        if (MemUse != before) quillon_fuzz::Fault("a failed compile left memory", pattern);
        return 0;
    }
    uint32_t srcLen = 0;
    const char *src = Rx_Source(p, &srcLen);
    if (srcLen != pattern.size() || std::memcmp(src, pattern.data(), srcLen) != 0)
        quillon_fuzz::Fault("the program's source differs from the pattern");
    if (Rx_Flags(p) != flags) quillon_fuzz::Fault("the program's flags differ");

    uint32_t groups = Rx_GroupCount(p);
    RxCapture caps[100];
    RxCapture *capsArg = groups <= 100 ? caps : nullptr;
    uint32_t len = static_cast<uint32_t>(input.size());
    uint32_t budget = kPolls;
    uint32_t start = 0;
    for (uint32_t round = 0; round <= len + 1; ++round) {
        uint32_t ms = 0, me = 0;
        r = Rx_Match(p, input.data(), len, start, (bits & 16) != 0, &ms, &me, capsArg, Poll, &budget);
        if (r == 0 || r == kStopped) break;
        if (r != 1) quillon_fuzz::Fault("match failed with an unexpected code", std::to_string(r));
        if (ms < start || ms > me || me > len) quillon_fuzz::Fault("a match outside the input", pattern);
        for (uint32_t g = 0; capsArg && g < groups; ++g) {
            if (caps[g].start < 0) continue;
            uint64_t end = static_cast<uint64_t>(caps[g].start) + caps[g].length;
            if (end > len) quillon_fuzz::Fault("a capture outside the input", pattern);
        }
        start = me > ms ? me : me + 1;
        if (start > len) break;
    }
    Rx_Free(p);
    if (MemUse != before) quillon_fuzz::Fault("memory left after the program was freed", pattern);
    return 0;
}
