// quillon: the command-line host of quillon.library. Runs files and texts
// in one program space, or an interactive session; see options.cpp for the
// command line and host.h for what scripts can reach.
// Exit status: the result code of the last run (0 success, 1 out of memory,
// 3 user break, 4 any other error), the status given to quit(), 2 for usage
// errors and unreadable files, 70 when the library leaked at the end.
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "host.h"
#include "options.h"
#include "session.h"
#include "signals.h"
#include "sourcefile.h"

namespace {

constexpr int kUsageStatus = 2;
constexpr int kLeakStatus = 70;

struct Text {
    std::string name;
    std::string text;
};

// Prints the identification text the library gives, without its "\r\n".
int ShowVersion() {
    JSLibraryBase *base = OpenJSLibrary();
    if (!base) {
        std::fprintf(stderr, "quillon: cannot open the library\n");
        return 1;
    }
    std::string id(base->lib_IdString, std::strcspn(base->lib_IdString, "\r\n"));
    std::printf("%s\n", id.c_str());
    CloseJSLibrary();
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    shell::Options options;
    std::string error;
    if (!shell::ParseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "quillon: %s\n%s", error.c_str(), shell::UsageText());
        return kUsageStatus;
    }
    if (options.help) {
        std::fputs(shell::UsageText(), stdout);
        return 0;
    }
    if (options.version) return ShowVersion();

    // Every file is read before anything runs, so an unreadable one runs nothing.
    bool interactive = options.interactive;
    if (options.sources.empty() && !interactive) {
        if (isatty(0)) interactive = true;
        else options.sources.push_back({false, "-"});
    }
    std::vector<Text> texts;
    for (const shell::Source &source : options.sources) {
        Text t;
        // Reports name a file as given, "-e" for a text and "stdin" for "-".
        t.name = source.isCode ? "-e" : source.value == "-" ? "stdin" : source.value;
        std::string error;
        if (source.isCode) {
            t.text = source.value;
        } else if (!shell::Source_Read(source.value, true, t.text, error)) {
            std::fprintf(stderr, "quillon: cannot read %s: %s\n", source.value.c_str(), error.c_str());
            return kUsageStatus;
        }
        texts.push_back(std::move(t));
    }

    // Ctrl-C from here on stops the first run instead of the process.
    shell::Signals_Install();
    if (!shell::Host_Open(options.run)) return 1;
    int status = 0;
    for (const Text &t : texts) {
        status = static_cast<int>(shell::Host_Run(t.text.c_str(), t.name.c_str(), 0));
        if (status != 0 || shell::Host_QuitStatus() >= 0) break;
    }
    if (interactive && shell::Host_QuitStatus() < 0) status = shell::RunSession();
    if (shell::Host_QuitStatus() >= 0) status = shell::Host_QuitStatus();
    if (!shell::Host_Close()) return kLeakStatus;
    return status;
}
