// The shell's command line:
//   quillon [-c LEVEL] [-l] [-i] [-e CODE | FILE]... [-- FILE...]
//   quillon -h | -v
#pragma once
#include <string>
#include <vector>

#include "host.h"

namespace shell {

// One text to run: a file ("-" is standard input) or the text of an -e.
struct Source {
    bool isCode = false;
    std::string value;
};

struct Options {
    RunSettings run;
    std::vector<Source> sources;  // in command-line order
    bool interactive = false;     // -i: a session after the sources
    bool help = false;            // -h
    bool version = false;         // -v
};

// Parses the arguments; false with a message in `error` on a usage error.
bool ParseOptions(int argc, char **argv, Options &options, std::string &error);

// The usage text (ends with a line feed).
const char *UsageText();

}  // namespace shell
