#include "host.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "input.h"
#include "signals.h"
#include "sourcefile.h"

namespace shell {

namespace {

// Handle and user data of the shell's runs and program objects.
constexpr uintptr_t kHostHandle = 1;
constexpr uintptr_t kUserData = 1;
// Nested load() calls allowed. Each one counts twice toward the library's
// call depth of 25 (the script function load and the run of the file), so
// 8 leave 9 levels of calls to the file loaded last.
constexpr int kMaxLoadDepth = 8;
// Any answer the interpreter does not know fails the operation with "Wrong
// type of object for operation".
constexpr uint32_t kRefuse = 4;

// What a program object of the shell stands for.
enum class Kind : uint32_t { Print = 1, Console, Log, Error, LoadFile, Readline, Quit, ToString };

// The bytes of every program object the shell makes. `of` names the object a
// toString method belongs to.
struct HostRef {
    uint32_t magic;
    Kind kind;
    Kind of;
};
constexpr uint32_t kRefMagic = 0x51534831;  // "QSH1"

struct Name {
    const char *name;
    Kind kind;
};
constexpr Name kGlobals[] = {
    {"print", Kind::Print}, {"console", Kind::Console}, {"readline", Kind::Readline},
    {"quit", Kind::Quit},
};
// load() is a script function the shell defines when it starts (kLoadSetup):
// a host function cannot make a call fail with an error of its own text, a
// script function can. It calls the host's file runner, reached by this name
// only while the set-up runs, and throws an Error naming the file when the
// runner answers with a failure text.
constexpr Name kLoadRunner = {"__loadFile", Kind::LoadFile};
constexpr const char *kLoadSetup =
    "var load = (function (runFile) {\n"
    "  return function load(file) {\n"
    "    var failure = arguments.length ? runFile(file) : runFile();\n"
    "    if (failure !== undefined) throw new Error(failure);\n"
    "  };\n"
    "})(__loadFile);\n";
// The heading ending of a report raised by that throw.
constexpr const char *kLoadThrowSuffix = " of function load";
constexpr Name kConsoleMembers[] = {{"log", Kind::Log}, {"error", Kind::Error}};

enum class Stop { None, Quit, Break };

JSProgramSpace *gSpace = nullptr;
RunSettings gSettings;
Stop gStop = Stop::None;
int gQuit = -1;
int gLoadDepth = 0;
bool gSettingUp = false;
long gObjectsMade = 0, gObjectsReleased = 0;

// Names of the sources being run, innermost last: a file, "-e" or "stdin".
// Every report the shell shows starts with the innermost one.
std::vector<std::string> gSources;
// The first report line shown since a load() began running its file: what
// the Error of a failed load() says.
std::string gFirstReport;

// The failure load() is about to throw. `shown` says whether the loaded
// file's own report has already told the user; the report of the throw
// itself, when no catch takes it, is then not shown again.
struct LoadFailure {
    bool pending = false;
    bool shown = false;
    std::string message;
};
LoadFailure gLoadFailure;

const char *SourceName() { return gSources.empty() ? "stdin" : gSources.back().c_str(); }

const char *NameOf(Kind kind) {
    if (kind == Kind::LoadFile) return "load";
    for (const Name &n : kGlobals)
        if (n.kind == kind) return n.name;
    for (const Name &n : kConsoleMembers)
        if (n.kind == kind) return n.name;
    return "toString";
}

const Name *Find(const Name *table, size_t count, const char *name) {
    for (size_t i = 0; i < count; ++i)
        if (std::strcmp(table[i].name, name) == 0) return &table[i];
    return nullptr;
}

bool AsRef(const void *data, uint32_t size, HostRef &ref) {
    if (!data || size != sizeof(HostRef)) return false;
    std::memcpy(&ref, data, sizeof ref);
    return ref.magic == kRefMagic;
}

uint32_t Answer(uint32_t result) { return result == 0 ? JSANSWER_DONE : JSANSWER_NOMEMORY; }

uint32_t GiveObject(JSRunContext *ctx, Kind kind, Kind of = Kind::Print) {
    HostRef ref = {kRefMagic, kind, of};
    return Answer(SetJSResultObject(ctx, &ref, sizeof ref));
}

uint32_t GiveString(JSRunContext *ctx, const char *text) {
    JSTagItem tags[] = {{JSTAG_STRING, reinterpret_cast<uintptr_t>(text)}, {JSTAG_END, 0}};
    return Answer(SetJSResult(ctx, tags));
}

// The text a host object shows when converted to a string.
std::string Describe(Kind kind) {
    if (kind == Kind::Console) return "[object Console]";
    return std::string("function ") + NameOf(kind) + "() { [host code] }";
}

// ---- HostGetProperty and HostGetElement ------------------------------------

uint32_t GetProperty(uintptr_t, JSRunContext *ctx, void *data, const char *name, uint32_t size,
                     uint32_t flags) {
    HostRef ref;
    if (!data || size == 0) {
        // A name no scope of the script holds (asked of the host itself, which
        // scripts see as a program object of no bytes): the shell's globals.
        const Name *g = Find(kGlobals, sizeof kGlobals / sizeof kGlobals[0], name);
        if (!g && gSettingUp && std::strcmp(name, kLoadRunner.name) == 0) g = &kLoadRunner;
        if (!g) return JSANSWER_NONAME;
        if (flags & JSHOST_HAS) return JSANSWER_DONE;
        if (flags & JSHOST_GET) return GiveObject(ctx, g->kind);
        return JSANSWER_NONAME;
    }
    if (!AsRef(data, size, ref)) return JSANSWER_NONAME;
    if (flags & JSHOST_NEXTNAME) {
        // for-in over console gives its members in order.
        if (ref.kind != Kind::Console) return JSANSWER_DONE;
        size_t count = sizeof kConsoleMembers / sizeof kConsoleMembers[0];
        size_t next = 0;
        if (*name) {
            while (next < count && std::strcmp(kConsoleMembers[next].name, name) != 0) ++next;
            ++next;
        }
        return next < count ? GiveString(ctx, kConsoleMembers[next].name) : JSANSWER_DONE;
    }
    if (std::strcmp(name, "__typeof") == 0) {
        if (!(flags & JSHOST_GET)) return JSANSWER_NONAME;
        return GiveString(ctx, ref.kind == Kind::Console ? "object" : "function");
    }
    const Name *member = nullptr;
    if (ref.kind == Kind::Console)
        member = Find(kConsoleMembers, sizeof kConsoleMembers / sizeof kConsoleMembers[0], name);
    bool isToString = std::strcmp(name, "toString") == 0 && ref.kind != Kind::ToString;
    if (!member && !isToString) return JSANSWER_NONAME;
    if (flags & JSHOST_HAS) return JSANSWER_DONE;
    if (flags & JSHOST_GET)
        return member ? GiveObject(ctx, member->kind) : GiveObject(ctx, Kind::ToString, ref.kind);
    // Members of the shell's objects cannot be stored or deleted.
    return kRefuse;
}

uint32_t GetElement(uintptr_t, JSRunContext *, void *, uint32_t, uint32_t, uint32_t flags) {
    // The shell's objects have no elements.
    return (flags & (JSHOST_GET | JSHOST_HAS | JSHOST_NEXTNAME)) ? JSANSWER_NONAME : kRefuse;
}

// ---- HostInvoke --------------------------------------------------------------

// The arguments converted to strings and separated by spaces; false when a
// conversion failed (the failure is then the call's result).
bool JoinArguments(JSRunContext *ctx, std::string &line) {
    JSTagItem count[] = {{JSTAG_COUNT, 0}, {JSTAG_END, 0}};
    if (GetJSArguments(ctx, count) != 0) return false;
    uint32_t n = static_cast<uint32_t>(count[0].ti_Data);
    for (uint32_t i = 0; i < n; ++i) {
        JSTagItem tags[] = {{JSTAG_SKIP, i}, {JSTAG_STRING, 0}, {JSTAG_END, 0}};
        if (GetJSArguments(ctx, tags) != 0) return false;
        if (i) line += ' ';
        if (const char *s = reinterpret_cast<const char *>(tags[1].ti_Data)) line += s;
    }
    line += '\n';
    return true;
}

uint32_t Write(JSRunContext *ctx, FILE *out) {
    std::string line;
    if (!JoinArguments(ctx, line)) return JSANSWER_DONE;  // the context holds the failure
    if (out == stderr) std::fflush(stdout);
    std::fwrite(line.data(), 1, line.size(), out);
    return JSANSWER_DONE;
}

uint32_t Readline(JSRunContext *ctx) {
    std::fflush(stdout);
    std::string line;
    switch (Input_Line(line)) {
    case ReadStatus::Ok:
        return GiveString(ctx, line.c_str());
    case ReadStatus::Interrupted:
        Signals_TakeBreak();
        gStop = Stop::Break;
        return JSANSWER_BREAK;
    default: {
        JSTagItem tags[] = {{JSTAG_NULL, 0}, {JSTAG_END, 0}};
        return Answer(SetJSResult(ctx, tags));
    }
    }
}

// The text of a failed load(): "cannot load FILE: REASON".
std::string LoadFailureText(const std::string &path, std::string reason) {
    // A reason from a report of the file itself need not name it twice.
    if (reason.compare(0, path.size() + 2, path + ": ") == 0) reason.erase(0, path.size() + 2);
    return "cannot load " + path + (reason.empty() ? "" : ": " + reason);
}

// Makes load() throw: the wrapper turns the text into an Error.
uint32_t FailLoad(JSRunContext *ctx, const std::string &message, bool shown) {
    gLoadFailure.pending = true;
    gLoadFailure.shown = shown;
    gLoadFailure.message = message;
    return GiveString(ctx, message.c_str());
}

// Runs a file in the shell's space. Answers undefined when it ran, a failure
// text when it could not be run or failed (the text names the file and the
// reason), and stops the caller when the file's run was stopped.
uint32_t LoadFile(JSRunContext *ctx) {
    JSTagItem count[] = {{JSTAG_COUNT, 0}, {JSTAG_END, 0}};
    if (GetJSArguments(ctx, count) != 0) return JSANSWER_DONE;
    if (count[0].ti_Data == 0) return FailLoad(ctx, "cannot load: no file named", false);
    JSTagItem tags[] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
    if (GetJSArguments(ctx, tags) != 0) return JSANSWER_DONE;  // the context holds the failure
    const char *arg = reinterpret_cast<const char *>(tags[0].ti_Data);
    std::string path = arg ? arg : "";
    std::string text, error;
    if (!Source_Read(path, false, text, error)) return FailLoad(ctx, LoadFailureText(path, error), false);
    if (gLoadDepth >= kMaxLoadDepth)
        return FailLoad(ctx, LoadFailureText(path, "files loaded " + std::to_string(gLoadDepth) + " deep"),
                        false);
    std::fflush(stdout);
    std::string outerFirst;
    outerFirst.swap(gFirstReport);
    ++gLoadDepth;
    gSources.push_back(path);
    uint32_t r = RunJavaScript(gSpace, text.c_str(), gSettings.flags, kHostHandle, kBreakSignal,
                               gSettings.compat);
    gSources.pop_back();
    --gLoadDepth;
    std::string first;
    first.swap(gFirstReport);
    gFirstReport = outerFirst.empty() ? first : outerFirst;
    if (r == JSRESULT_OK) return JSANSWER_DONE;
    if (r == JSRESULT_NOMEMORY) return JSANSWER_NOMEMORY;
    if (r == JSRESULT_BREAK) return JSANSWER_BREAK;
    // The file's own report has been shown; the Error repeats it.
    return FailLoad(ctx, LoadFailureText(path, first), !first.empty());
}

uint32_t Quit(JSRunContext *ctx) {
    JSTagItem tags[] = {{JSTAG_INTEGER, 0}, {JSTAG_END, 0}};
    GetJSArguments(ctx, tags);
    gQuit = static_cast<int>(static_cast<int32_t>(tags[0].ti_Data)) & 255;
    gStop = Stop::Quit;
    return JSANSWER_BREAK;  // stops every run under way, as a break does
}

uint32_t Invoke(uintptr_t, JSRunContext *ctx, void *data, uint32_t size, uint32_t operation) {
    HostRef ref;
    if (!AsRef(data, size, ref) || operation != JSHOST_CALL) return kRefuse;
    switch (ref.kind) {
    case Kind::Print:
    case Kind::Log: return Write(ctx, stdout);
    case Kind::Error: return Write(ctx, stderr);
    case Kind::Readline: return Readline(ctx);
    case Kind::LoadFile: return LoadFile(ctx);
    case Kind::Quit: return Quit(ctx);
    case Kind::ToString: return GiveString(ctx, Describe(ref.of).c_str());
    default: return kRefuse;  // console is not a function
    }
}

// ---- HostNotify --------------------------------------------------------------

// Shows a report: the source line, a row of carets under the offending
// tokens, then the source's name, the heading and the message.
void ShowReport(const char *heading, const char *message, const char *before, const char *token,
                const char *after) {
    std::fflush(stdout);
    std::string out;
    const char *b = before ? before : "", *t = token ? token : "", *a = after ? after : "";
    if (*b || *t || *a) {
        out = std::string(b) + t + a + "\n";
        if (*t) {
            for (const char *p = b; *p; ++p) out += *p == '\t' ? '\t' : ' ';
            size_t width = std::strcspn(t, "\r\n");
            out.append(width ? width : 1, '^');
            out += '\n';
        }
    }
    std::string line = std::string(SourceName()) + ": " + (heading ? heading : "") + ": " +
                       (message ? message : "");
    if (gFirstReport.empty()) gFirstReport = line;
    out += line + "\n";
    std::fwrite(out.data(), 1, out.size(), stderr);
}

bool EndsWith(const char *text, const char *end) {
    size_t n = std::strlen(text), m = std::strlen(end);
    return n >= m && std::strcmp(text + n - m, end) == 0;
}

uint32_t Notify(uint32_t kind, uintptr_t, const char *heading, const char *message, const char *before,
                const char *token, const char *after, const char *) {
    if (kind == JSNOTIFY_POLL) {
        if (!Signals_TakeBreak()) return JSANSWER_DONE;
        gStop = Stop::Break;
        return JSANSWER_STOP;
    }
    // The box after a run that quit() or a break stopped says only "User
    // break"; the shell has already acted on it.
    bool box = kind == JSNOTIFY_ERROR && !before && !token && !after;
    if (box && gStop != Stop::None) return JSANSWER_DONE;
    // A failed load() that no catch took: its text is told once, without
    // the lines of the shell's own load function.
    if (gLoadFailure.pending && heading && message && gLoadFailure.message == message &&
        EndsWith(heading, kLoadThrowSuffix)) {
        gLoadFailure.pending = false;
        if (!gLoadFailure.shown)
            ShowReport(kind == JSNOTIFY_WARNING ? "Warning" : "Error", message, nullptr, nullptr, nullptr);
        return JSANSWER_DONE;
    }
    ShowReport(heading, message, before, token, after);
    return JSANSWER_DONE;
}

uint32_t ObjectCreated(uintptr_t, uintptr_t, const void *, uint32_t) {
    ++gObjectsMade;
    return 0;
}

uint32_t ObjectReleased(uintptr_t, uintptr_t, void *, uint32_t) {
    ++gObjectsReleased;
    return 0;
}

const JSHostLibrary kHooks = {Invoke, GetProperty, GetElement, Notify, ObjectCreated, ObjectReleased};

}  // namespace

bool Host_Open(const RunSettings &settings) {
    gSettings = settings;
    // The library's diagnostic output (Debug.write, reports of conversions
    // made while the session prints a value, leak warnings) stays its own:
    // standard error, coloured on a terminal.
    if (!OpenJSLibrary()) {
        std::fprintf(stderr, "quillon: cannot open the library\n");
        return false;
    }
    gSpace = CreateJSProgramSpace(nullptr, &kHooks, kUserData);
    if (!gSpace) {
        std::fprintf(stderr, "quillon: cannot create a program space\n");
        CloseJSLibrary();
        return false;
    }
    gSettingUp = true;
    gSources.push_back("quillon");
    uint32_t r = RunJavaScript(gSpace, kLoadSetup, 0, kHostHandle, 0, 0);
    gSources.pop_back();
    gSettingUp = false;
    if (r != JSRESULT_OK) {
        std::fprintf(stderr, "quillon: cannot set up the shell's functions\n");
        DeleteJSProgramSpace(gSpace);
        gSpace = nullptr;
        CloseJSLibrary();
        return false;
    }
    return true;
}

bool Host_Close() {
    std::fflush(stdout);
    DeleteJSProgramSpace(gSpace);
    gSpace = nullptr;
    CloseJSLibrary();
    bool clean = true;
    if (GetJSMemUse() != 0) {
        std::fprintf(stderr, "quillon: the library kept %ld bytes after closing\n",
                     static_cast<long>(GetJSMemUse()));
        clean = false;
    }
    if (gObjectsMade != gObjectsReleased) {
        std::fprintf(stderr, "quillon: %ld program objects were never released\n",
                     gObjectsMade - gObjectsReleased);
        clean = false;
    }
    return clean;
}

uint32_t Host_Run(const char *text, const char *name, uint32_t extraFlags) {
    gStop = Stop::None;
    gLoadFailure = LoadFailure{};
    gFirstReport.clear();
    gSources.assign(1, name);
    uint32_t r = RunJavaScript(gSpace, text, gSettings.flags | extraFlags, kHostHandle, kBreakSignal,
                               gSettings.compat);
    gSources.clear();
    return r;
}

int Host_QuitStatus() { return gQuit; }
bool Host_BreakTaken() { return gStop == Stop::Break; }

bool Host_ResultText(std::string &text) {
    JSTagItem count[] = {{JSTAG_COUNT, 0}, {JSTAG_END, 0}};
    if (GetJSResult(gSpace, count) != 0 || count[0].ti_Data == 0) return false;
    JSTagItem kind[] = {{JSTAG_NULL, 0}, {JSTAG_END, 0}};
    if (GetJSResult(gSpace, kind) != 0) return false;  // undefined has no kind
    if (kind[0].ti_Data == JSTAG_HOSTOBJECT) {
        // Converting it would need the host; the shell knows its own objects.
        JSTagItem obj[] = {{JSTAG_HOSTOBJECT, 0}, {JSTAG_SIZE, 0}, {JSTAG_END, 0}};
        HostRef ref;
        if (GetJSResult(gSpace, obj) != 0 ||
            !AsRef(reinterpret_cast<void *>(obj[0].ti_Data), static_cast<uint32_t>(obj[1].ti_Data), ref))
            text = "[host object]";
        else
            text = Describe(ref.kind);
        return true;
    }
    JSTagItem str[] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
    if (GetJSResult(gSpace, str) != 0 || !str[0].ti_Data) {
        text = "<error>";
        return true;
    }
    const char *s = reinterpret_cast<const char *>(str[0].ti_Data);
    // Appended piece by piece: "text" + std::string draws a false warning
    // from GCC 12 at -O3.
    text.clear();
    bool quoted = kind[0].ti_Data == JSTAG_STRING;
    if (quoted) text += '"';
    text += s;
    if (quoted) text += '"';
    return true;
}

}  // namespace shell
