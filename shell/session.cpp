#include "session.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "continuation.h"
#include "host.h"
#include "lineedit.h"
#include "signals.h"

namespace shell {

namespace {

constexpr const char *kPrompt = "js> ";
constexpr const char *kMorePrompt = "... ";

bool Blank(const std::string &text) { return text.find_first_not_of(" \t\r\n") == std::string::npos; }

void RunEntry(const std::string &text) {
    Signals_TakeBreak();  // a Ctrl-C typed before the entry does not stop it
    uint32_t r = Host_Run(text.c_str(), "stdin", JSRUN_RESULT);
    std::string value;
    if (r == JSRESULT_OK && Host_ResultText(value)) {
        value += '\n';
        std::fwrite(value.data(), 1, value.size(), stdout);
    } else if (r == JSRESULT_BREAK && Host_BreakTaken() && Host_QuitStatus() < 0) {
        std::fflush(stdout);
        std::fputs("User break\n", stderr);
    }
    std::fflush(stdout);
}

}  // namespace

int RunSession() {
    LineEditor editor;
    if (const char *home = std::getenv("HOME"); home && *home)
        editor.UseHistoryFile(std::string(home) + "/.quillon_history");
    std::string entry;
    for (;;) {
        std::string line;
        ReadStatus status = editor.Read(entry.empty() ? kPrompt : kMorePrompt, line);
        if (status == ReadStatus::Interrupted) {
            Signals_TakeBreak();
            entry.clear();
            continue;
        }
        if (status != ReadStatus::Ok) {
            // End of input: what was typed so far still runs.
            if (!editor.Editing()) std::fputs("\n", stdout);
            if (!Blank(entry)) RunEntry(entry);
            break;
        }
        editor.Remember(line);
        entry += line;
        entry += '\n';
        if (NeedsMoreInput(entry)) continue;
        if (!Blank(entry)) RunEntry(entry);
        entry.clear();
        if (Host_QuitStatus() >= 0) break;
    }
    std::fflush(stdout);
    return Host_QuitStatus() >= 0 ? Host_QuitStatus() : 0;
}

}  // namespace shell
