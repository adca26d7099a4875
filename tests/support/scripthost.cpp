#include "support/scripthost.h"

#include <cstring>

namespace quillon_test {
namespace scripthost {

namespace {

constexpr uint32_t kPrint = 1, kConsole = 2, kLog = 3, kError = 4;
constexpr uint32_t kMagic = 0x51534854;  // "QSHT"

struct Ref {
    uint32_t magic;
    uint32_t kind;
};

std::string *gOut = nullptr;
uint64_t gBudget = 0;
uint64_t gPolls = 0;
int32_t gMemoryCap = 0;
uint32_t gReports = 0;

bool AsRef(const void *data, uint32_t size, Ref &ref) {
    if (!data || size != sizeof(Ref)) return false;
    std::memcpy(&ref, data, sizeof ref);
    return ref.magic == kMagic;
}

uint32_t Answer(uint32_t result) { return result == 0 ? JSANSWER_DONE : JSANSWER_NOMEMORY; }

uint32_t Give(JSRunContext *ctx, uint32_t kind) {
    Ref ref = {kMagic, kind};
    return Answer(SetJSResultObject(ctx, &ref, sizeof ref));
}

uint32_t GiveString(JSRunContext *ctx, const char *text) {
    JSTagItem tags[] = {{JSTAG_STRING, reinterpret_cast<uintptr_t>(text)}, {JSTAG_END, 0}};
    return Answer(SetJSResult(ctx, tags));
}

uint32_t GetProperty(uintptr_t, JSRunContext *ctx, void *data, const char *name, uint32_t size,
                     uint32_t flags) {
    if (!name) return JSANSWER_NONAME;
    Ref ref;
    if (!data || size == 0) {
        uint32_t kind = std::strcmp(name, "print") == 0     ? kPrint
                        : std::strcmp(name, "console") == 0 ? kConsole
                                                            : 0;
        if (!kind) return JSANSWER_NONAME;
        if (flags & JSHOST_HAS) return JSANSWER_DONE;
        if (flags & JSHOST_GET) return Give(ctx, kind);
        return JSANSWER_NONAME;
    }
    if (!AsRef(data, size, ref)) return JSANSWER_NONAME;
    if (flags & JSHOST_NEXTNAME) {
        if (ref.kind != kConsole) return JSANSWER_DONE;
        if (!*name) return GiveString(ctx, "log");
        if (std::strcmp(name, "log") == 0) return GiveString(ctx, "error");
        return JSANSWER_DONE;
    }
    if (std::strcmp(name, "__typeof") == 0) {
        if (!(flags & JSHOST_GET)) return JSANSWER_NONAME;
        return GiveString(ctx, ref.kind == kConsole ? "object" : "function");
    }
    uint32_t member = 0;
    if (ref.kind == kConsole) {
        if (std::strcmp(name, "log") == 0) member = kLog;
        if (std::strcmp(name, "error") == 0) member = kError;
    }
    if (!member) return JSANSWER_NONAME;
    if (flags & JSHOST_HAS) return JSANSWER_DONE;
    if (flags & JSHOST_GET) return Give(ctx, member);
    return 4;  // members cannot be stored or deleted
}

uint32_t GetElement(uintptr_t, JSRunContext *, void *, uint32_t, uint32_t, uint32_t flags) {
    return (flags & (JSHOST_GET | JSHOST_HAS | JSHOST_NEXTNAME)) ? JSANSWER_NONAME : 4;
}

uint32_t Write(JSRunContext *ctx, bool error) {
    JSTagItem count[] = {{JSTAG_COUNT, 0}, {JSTAG_END, 0}};
    if (GetJSArguments(ctx, count) != 0) return JSANSWER_DONE;  // the context holds the failure
    std::string line = error ? "error: " : "";
    uint32_t n = static_cast<uint32_t>(count[0].ti_Data);
    for (uint32_t i = 0; i < n; ++i) {
        JSTagItem tags[] = {{JSTAG_SKIP, i}, {JSTAG_STRING, 0}, {JSTAG_END, 0}};
        if (GetJSArguments(ctx, tags) != 0) return JSANSWER_DONE;
        if (i) line += ' ';
        if (const char *s = reinterpret_cast<const char *>(tags[1].ti_Data)) line += s;
    }
    line += '\n';
    if (gOut) *gOut += line;
    return JSANSWER_DONE;
}

uint32_t Invoke(uintptr_t, JSRunContext *ctx, void *data, uint32_t size, uint32_t operation) {
    Ref ref;
    if (!AsRef(data, size, ref) || operation != JSHOST_CALL) return 4;
    switch (ref.kind) {
    case kPrint:
    case kLog: return Write(ctx, false);
    case kError: return Write(ctx, true);
    default: return 4;
    }
}

uint32_t Notify(uint32_t kind, uintptr_t, const char *, const char *, const char *, const char *,
                const char *, const char *) {
    if (kind == JSNOTIFY_POLL) {
        ++gPolls;
        if (gBudget != 0 && gPolls > gBudget) return JSANSWER_STOP;
        if (gMemoryCap != 0 && GetJSMemUse() > gMemoryCap) return JSANSWER_STOP;
        return JSANSWER_DONE;
    }
    ++gReports;
    return JSANSWER_DONE;
}

uint32_t Created(uintptr_t, uintptr_t, const void *, uint32_t) { return 0; }
uint32_t Released(uintptr_t, uintptr_t, void *, uint32_t) { return 0; }

const JSHostLibrary kHooks = {Invoke, GetProperty, GetElement, Notify, Created, Released};

}  // namespace

const JSHostLibrary *Hooks() { return &kHooks; }
void SetOutput(std::string *out) { gOut = out; }
void SetPollBudget(uint64_t polls) { gBudget = polls; }
uint64_t Polls() { return gPolls; }
void SetMemoryCap(int32_t bytes) { gMemoryCap = bytes; }
uint32_t Reports() { return gReports; }
void ClearReports() { gReports = 0; }

uint32_t Run(JSProgramSpace *space, const char *text, uint32_t flags, int32_t compat, bool budgeted) {
    gPolls = 0;
    uint32_t mask = budgeted ? kBreakBit : 0;
    if (budgeted) SetJSSignal(kBreakBit, kBreakBit);
    uint32_t r = RunJavaScript(space, text, flags, 1, mask, compat);
    if (budgeted) SetJSSignal(0, kBreakBit);
    return r;
}

}  // namespace scripthost
}  // namespace quillon_test
