// quillon: runs script files with quillon.library.
//   quillon [-c LEVEL] [-l] FILE.js
// Exit status: the run's result code (0 success, 1 out of memory, 3 user
// break, 4 any other error); 2 for usage errors and unreadable files.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host.h"

namespace {

void OnInterrupt(int) { SetJSSignal(shell::kBreakSignal, shell::kBreakSignal); }

int Usage() {
    std::fprintf(stderr, "usage: quillon [-c LEVEL] [-l] FILE.js\n");
    return 2;
}

bool ReadFile(const char *path, std::string &out) {
    FILE *f = std::strcmp(path, "-") == 0 ? stdin : std::fopen(path, "rb");
    if (!f) return false;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    bool ok = !std::ferror(f);
    if (f != stdin) std::fclose(f);
    return ok;
}

}  // namespace

int main(int argc, char **argv) {
    int32_t compat = 0;
    uint32_t flags = 0;
    const char *file = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-c") == 0 && i + 1 < argc) {
            compat = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "-l") == 0) {
            flags |= JSRUN_LENIENT;
        } else if (argv[i][0] == '-' && argv[i][1] != 0) {
            return Usage();
        } else if (!file) {
            file = argv[i];
        } else {
            return Usage();
        }
    }
    if (!file) return Usage();
    std::string text;
    if (!ReadFile(file, text)) {
        std::fprintf(stderr, "quillon: cannot read %s\n", file);
        return 2;
    }
    if (!OpenJSLibrary()) {
        std::fprintf(stderr, "quillon: cannot open the library\n");
        return 1;
    }
    std::signal(SIGINT, OnInterrupt);
    JSProgramSpace *space = CreateJSProgramSpace(nullptr, shell::Hooks(), 1);
    if (!space) {
        std::fprintf(stderr, "quillon: cannot create a program space\n");
        CloseJSLibrary();
        return 1;
    }
    shell::SetSpace(space);
    shell::SetRunSettings(compat, flags);
    uint32_t result = shell::RunText(text.c_str(), flags);
    std::fflush(stdout);
    DeleteJSProgramSpace(space);
    CloseJSLibrary();
    if (shell::QuitStatus() >= 0) return shell::QuitStatus();
    return static_cast<int>(result);
}
