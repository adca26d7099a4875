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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace quillon_test;
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

    quillon_fuzz::CaptureDiagnostics();
    if (!OpenJSLibrary()) quillon_fuzz::Fault("cannot open the library");
    JSProgramSpace *space = CreateJSProgramSpace(nullptr, scripthost::Hooks(), 1);
    if (!space) quillon_fuzz::Fault("cannot create a space");
    scripthost::SetOutput(nullptr);
    scripthost::SetPollBudget(kPolls);
    scripthost::SetMemoryCap(kMemoryCap);
    uint32_t r = scripthost::Run(space, text.c_str(), flags, compat, true);
    if (r != 0 && r != 1 && r != 3 && r != 4) quillon_fuzz::Fault("a result outside 0, 1, 3 and 4");
    ReadResult(space);
    // A second run in the same space sees what the first one left behind.
    scripthost::Run(space, "var probe = this; String(probe)", JSRUN_RESULT, 0, true);
    scripthost::SetPollBudget(0);
    scripthost::SetMemoryCap(0);
    DeleteJSProgramSpace(space);
    CloseJSLibrary();
    SetJSDebugOutput(nullptr, nullptr);
    if (GetJSMemUse() != 0) quillon_fuzz::Fault("memory left after the last close", text);
    if (quillon_fuzz::DiagnosticsShowFault()) quillon_fuzz::Fault("diagnostics", quillon_fuzz::Diagnostics());
    return 0;
}
