// Fuzz target: a whole run of a script text in a fresh library. A first
// byte below 8 chooses the run: bit 0 lenient, bit 1 compatibility level 3,
// bit 2 restoring; the rest (or the whole input) is the script. The break
// signal is raised before the run and the host answers "stop" after a
// budget of polls, so endless loops end. Afterwards the space is destroyed,
// the library closed, and no memory may be left.
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_common.h"
#include "support/scripthost.h"

#include "runtime/checks.h"

namespace {

constexpr size_t kMaxScript = 16384;
constexpr uint64_t kPolls = 3000;
constexpr int32_t kMemoryCap = 8 << 20;

// Reads the result in every form a host may ask for.
void ReadResult(JSProgramSpace *space) {
    JSTagItem count[] = {{JSTAG_COUNT, 0}, {JSTAG_END, 0}};
    GetJSResult(space, count);
    JSTagItem kind[] = {{JSTAG_NULL, 0}, {JSTAG_END, 0}};
    GetJSResult(space, kind);
    JSTagItem str[] = {{JSTAG_STRING, 0}, {JSTAG_INTEGER, 0}, {JSTAG_END, 0}};
    if (GetJSResult(space, str) == 0 && str[0].ti_Data) {
        volatile size_t n = std::strlen(reinterpret_cast<const char *>(str[0].ti_Data));
        (void)n;
    }
    JSTagItem num[] = {{JSTAG_FLOAT, 0}, {JSTAG_BOOLEAN, 0}, {JSTAG_END, 0}};
    GetJSResult(space, num);
}

}  // namespace

namespace {

// What one run of the input said: its result, what it printed, the reports
// it made and the result's text.
struct Outcome {
    uint32_t result = 0;
    std::string out;
    uint32_t reports = 0;
    std::string value;
};

Outcome RunOnce(const std::string &text, uint32_t flags, int32_t compat) {
    using namespace quillon_test;
    Outcome o;
    quillon_fuzz::CaptureDiagnostics();
    if (!OpenJSLibrary()) quillon_fuzz::Fault("cannot open the library");
    JSProgramSpace *space = CreateJSProgramSpace(nullptr, scripthost::Hooks(), 1);
    if (!space) quillon_fuzz::Fault("cannot create a space");
    scripthost::SetOutput(&o.out);
    scripthost::ClearReports();
    scripthost::SetPollBudget(kPolls);
    scripthost::SetMemoryCap(kMemoryCap);
    o.result = scripthost::Run(space, text.c_str(), flags, compat, true);
    if (o.result != 0 && o.result != 1 && o.result != 3 && o.result != 4)
        quillon_fuzz::Fault("a result outside 0, 1, 3 and 4");
    ReadResult(space);
    JSTagItem str[] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
    if (GetJSResult(space, str) == 0 && str[0].ti_Data) o.value = reinterpret_cast<const char *>(str[0].ti_Data);
    // A second run in the same space sees what the first one left behind.
    scripthost::Run(space, "var probe = this; String(probe)", JSRUN_RESULT, 0, true);
    o.reports = scripthost::Reports();
    scripthost::SetOutput(nullptr);
    scripthost::SetPollBudget(0);
    scripthost::SetMemoryCap(0);
    DeleteJSProgramSpace(space);
    CloseJSLibrary();
    SetJSDebugOutput(nullptr, nullptr);
    if (GetJSMemUse() != 0) quillon_fuzz::Fault("memory left after the last close", text);
    if (quillon_fuzz::DiagnosticsShowFault()) quillon_fuzz::Fault("diagnostics", quillon_fuzz::Diagnostics());
    return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > kMaxScript) return 0;
    uint32_t flags = JSRUN_RESULT;
    int32_t compat = 0;
    if (size > 0 && data[0] < 8) {
        if (data[0] & 1) flags |= JSRUN_LENIENT;
        if (data[0] & 2) compat = 3;
        if (data[0] & 4) flags |= JSRUN_RESTORING;
        ++data;
        --size;
    }
    std::string text(reinterpret_cast<const char *>(data), size);
    Outcome first = RunOnce(text, flags, compat);
#ifdef QUILLON_CHECKS
    // Checking builds run the input again without the remembered forms of
    // expressions, and with every shortcut off: a run that was not stopped
    // by the poll budget or the memory cap (which depend on how fast and how
    // big a run is) must say exactly the same. Inputs that read the clock or
    // the random generator are left out.
    if (first.result != 3 && text.find("Date") == std::string::npos && text.find("random") == std::string::npos) {
        const bool modes[][2] = {{true, false}, {false, false}};
        for (const auto &m : modes) {
            quillon::Chk_SetShortcuts(m[0]);
            quillon::Chk_SetForms(m[1]);
            Outcome other = RunOnce(text, flags, compat);
            quillon::Chk_SetShortcuts(true);
            quillon::Chk_SetForms(true);
            if (other.result == 3) continue;
            if (other.result != first.result || other.out != first.out || other.reports != first.reports ||
                other.value != first.value)
                quillon_fuzz::Fault(m[0] ? "the run differs without forms" : "the run differs without shortcuts",
                                    "result " + std::to_string(first.result) + " / " + std::to_string(other.result) +
                                        "\noutput:\n" + first.out + "\n---\n" + other.out);
        }
    }
#endif
    return 0;
}
