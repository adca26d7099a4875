// Shared helpers of the fuzz targets: a fault found by a target aborts, so
// that both libFuzzer and the corpus replay report it.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>

#include "quillon.h"

namespace quillon_fuzz {

[[noreturn]] inline void Fault(const char *what, const std::string &detail = std::string()) {
    std::fprintf(stderr, "fuzz fault: %s\n%s\n", what, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

// The library's diagnostic output since the capture began.
inline std::string &Diagnostics() {
    static std::string text;
    return text;
}

inline void CaptureDiagnostics() {
    Diagnostics().clear();
    SetJSDebugOutput([](const char *text, void *) { Diagnostics() += text; }, nullptr);
}

// True when the diagnostics show a leak warning or a broken value record.
inline bool DiagnosticsShowFault() {
    const std::string &d = Diagnostics();
    return d.find("Warning:") != std::string::npos || d.find("UFO") != std::string::npos;
}

// Opens the library once for the targets that test a module on its own.
inline void OpenOnce() {
    static bool open = false;
    if (!open) {
        CaptureDiagnostics();
        if (!OpenJSLibrary()) Fault("cannot open the library");
        open = true;
    }
}

}  // namespace quillon_fuzz
