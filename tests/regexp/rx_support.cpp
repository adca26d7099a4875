#include "rx_support.h"

#include <cstdio>

namespace rx_test {

std::string Hex(uint32_t code) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "<error 0x%X>", code);
    return buf;
}

std::vector<std::string> Exec(const std::string &pattern, const std::string &input, uint32_t flags,
                              uint32_t start, bool multiline) {
    quillon::RxProgram *p = nullptr;
    uint32_t err = quillon::Rx_Compile(pattern.data(), static_cast<uint32_t>(pattern.size()), flags, false, &p);
    if (err) return {Hex(err)};
    std::vector<quillon::RxCapture> caps(quillon::Rx_GroupCount(p) + 1);
    uint32_t s = 0, e = 0;
    uint32_t r = quillon::Rx_Match(p, input.data(), static_cast<uint32_t>(input.size()), start, multiline, &s, &e,
                                   caps.data(), nullptr, nullptr);
    std::vector<std::string> out;
    if (r == 0) {
        out.push_back("<no match>");
    } else if (r != 1) {
        out.push_back(Hex(r));
    } else {
        out.push_back(input.substr(s, e - s));
        for (uint32_t g = 0; g < quillon::Rx_GroupCount(p); ++g)
            out.push_back(caps[g].start < 0 ? std::string(kUnset) : input.substr(caps[g].start, caps[g].length));
    }
    quillon::Rx_Free(p);
    return out;
}

int64_t MatchIndex(const std::string &pattern, const std::string &input, uint32_t flags, uint32_t start) {
    quillon::RxProgram *p = nullptr;
    if (quillon::Rx_Compile(pattern.data(), static_cast<uint32_t>(pattern.size()), flags, false, &p)) return -1;
    uint32_t s = 0, e = 0;
    uint32_t r = quillon::Rx_Match(p, input.data(), static_cast<uint32_t>(input.size()), start, false, &s, &e,
                                   nullptr, nullptr, nullptr);
    quillon::Rx_Free(p);
    return r == 1 ? static_cast<int64_t>(s) : -1;
}

uint32_t CompileCode(const std::string &pattern, uint32_t flags) {
    quillon::RxProgram *p = nullptr;
    uint32_t err = quillon::Rx_Compile(pattern.data(), static_cast<uint32_t>(pattern.size()), flags, false, &p);
    quillon::Rx_Free(p);
    return err;
}

}  // namespace rx_test
