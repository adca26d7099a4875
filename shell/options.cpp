#include "options.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace shell {

namespace {

bool ParseLevel(const char *text, int32_t &level) {
    char *end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (!*text || *end || errno || v < INT32_MIN || v > INT32_MAX) return false;
    level = static_cast<int32_t>(v);
    return true;
}

}  // namespace

const char *UsageText() {
    return "usage: quillon [-c LEVEL] [-l] [-i] [-e CODE | FILE]... [-- FILE...]\n"
           "       quillon -h | -v\n"
           "Runs each FILE and each CODE in order in one program space; \"-\" reads\n"
           "standard input. With neither, starts an interactive session when standard\n"
           "input is a terminal, else runs standard input as one script.\n"
           "  -c LEVEL  compatibility level of every run (0: the current language)\n"
           "  -l        lenient: errors become warnings and the run goes on\n"
           "  -e CODE   run CODE\n"
           "  -i        start an interactive session after the files and texts\n"
           "  -h        show this help\n"
           "  -v        show the library's identification text\n"
           "  --        the arguments that follow are files\n"
           "Exit status: the result code of the last run (0 success, 1 out of memory,\n"
           "3 user break, 4 error), the status given to quit(), 2 for usage errors and\n"
           "unreadable files.\n";
}

bool ParseOptions(int argc, char **argv, Options &options, std::string &error) {
    bool filesOnly = false;
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        if (filesOnly || arg[0] != '-' || std::strcmp(arg, "-") == 0) {
            options.sources.push_back({false, arg});
            continue;
        }
        if (std::strcmp(arg, "--") == 0) {
            filesOnly = true;
        } else if (std::strncmp(arg, "-c", 2) == 0) {
            const char *level = arg[2] ? arg + 2 : (i + 1 < argc ? argv[++i] : nullptr);
            if (!level) {
                error = "-c needs a compatibility level";
                return false;
            }
            if (!ParseLevel(level, options.run.compat)) {
                error = std::string("bad compatibility level: ") + level;
                return false;
            }
        } else if (std::strncmp(arg, "-e", 2) == 0) {
            const char *code = arg[2] ? arg + 2 : (i + 1 < argc ? argv[++i] : nullptr);
            if (!code) {
                error = "-e needs a text to run";
                return false;
            }
            options.sources.push_back({true, code});
        } else if (std::strcmp(arg, "-l") == 0) {
            options.run.flags |= JSRUN_LENIENT;
        } else if (std::strcmp(arg, "-i") == 0) {
            options.interactive = true;
        } else if (std::strcmp(arg, "-h") == 0 || std::strcmp(arg, "--help") == 0) {
            options.help = true;
        } else if (std::strcmp(arg, "-v") == 0 || std::strcmp(arg, "--version") == 0) {
            options.version = true;
        } else {
            error = std::string("unknown option ") + arg;
            return false;
        }
    }
    return true;
}

}  // namespace shell
