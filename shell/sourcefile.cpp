#include "sourcefile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "input.h"

namespace shell {

bool Source_Read(const std::string &path, bool dashIsStdin, std::string &text, std::string &error) {
    text.clear();
    if (dashIsStdin && path == "-") {
        if (Input_All(text) != ReadStatus::Ok) {
            error = "read error";
            return false;
        }
        Source_SkipInterpreterLine(text);
        return true;
    }
    errno = 0;
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = std::strerror(errno);
        return false;
    }
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    // A folder opens but cannot be read.
    int failure = std::ferror(f) ? errno : 0;
    std::fclose(f);
    if (failure) {
        error = std::strerror(failure);
        return false;
    }
    Source_SkipInterpreterLine(text);
    return true;
}

void Source_SkipInterpreterLine(std::string &text) {
    if (text.compare(0, 2, "#!") != 0) return;
    text.erase(0, text.find('\n') == std::string::npos ? text.size() : text.find('\n'));
}

}  // namespace shell
