#include "host.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace shell {

namespace {

// The host functions and objects a script can reach; a program object's
// bytes hold one of these kinds.
enum Kind : uint32_t { K_PRINT = 1, K_CONSOLE, K_LOAD, K_READLINE, K_QUIT };

struct Global {
    const char *name;
    Kind kind;
};
constexpr Global kGlobals[] = {
    {"print", K_PRINT}, {"console", K_CONSOLE}, {"load", K_LOAD}, {"readline", K_READLINE}, {"quit", K_QUIT},
};

JSProgramSpace *gSpace = nullptr;
int gQuit = -1;
int32_t gCompat = 0;
uint32_t gFlags = 0;

const Global *FindGlobal(const char *name) {
    for (const Global &g : kGlobals)
        if (std::strcmp(g.name, name) == 0) return &g;
    return nullptr;
}

uint32_t MakeObject(JSRunContext *ctx, Kind kind) { return SetJSResultObject(ctx, &kind, sizeof kind) == 0 ? 0 : 1; }

uint32_t GetProperty(uintptr_t, JSRunContext *ctx, void *data, const char *name, uint32_t size,
                     uint32_t flags) {
    if (!data || size != sizeof(Kind)) {
        const Global *g = FindGlobal(name);
        if (!g) return 2;
        if (flags & JSHOST_HAS) return 0;
        if (flags & JSHOST_GET) return MakeObject(ctx, g->kind);
        return 2;
    }
    Kind kind;
    std::memcpy(&kind, data, sizeof kind);
    if (std::strcmp(name, "__typeof") == 0) {
        if (!(flags & JSHOST_GET)) return 0;
        JSTagItem tags[] = {{JSTAG_STRING, reinterpret_cast<uintptr_t>(kind == K_CONSOLE ? "object" : "function")},
                            {JSTAG_END, 0}};
        return SetJSResult(ctx, tags) == 0 ? 0 : 1;
    }
    if (kind == K_CONSOLE && std::strcmp(name, "log") == 0) {
        if (flags & JSHOST_HAS) return 0;
        if (flags & JSHOST_GET) return MakeObject(ctx, K_PRINT);
    }
    return 2;
}

// Writes the arguments converted to strings, separated by spaces.
uint32_t Print(JSRunContext *ctx) {
    JSTagItem count[] = {{JSTAG_COUNT, 0}, {JSTAG_END, 0}};
    if (GetJSArguments(ctx, count) != 0) return 0;
    uint32_t n = static_cast<uint32_t>(count[0].ti_Data);
    std::string line;
    for (uint32_t i = 0; i < n; ++i) {
        JSTagItem tags[] = {{JSTAG_SKIP, i}, {JSTAG_STRING, 0}, {JSTAG_END, 0}};
        if (GetJSArguments(ctx, tags) != 0) return 0;  // the failure is the call's result
        if (i) line += ' ';
        const char *s = reinterpret_cast<const char *>(tags[1].ti_Data);
        if (s) line += s;
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
    JSTagItem undef[] = {{JSTAG_END, 0}};
    SetJSResult(ctx, undef);
    return 0;
}

uint32_t Invoke(uintptr_t, JSRunContext *ctx, void *data, uint32_t size, uint32_t operation) {
    if (!data || size != sizeof(Kind) || operation != JSHOST_CALL) return 4;
    Kind kind;
    std::memcpy(&kind, data, sizeof kind);
    switch (kind) {
    case K_PRINT:
        return Print(ctx);
    case K_QUIT: {
        JSTagItem tags[] = {{JSTAG_INTEGER, 0}, {JSTAG_END, 0}};
        GetJSArguments(ctx, tags);
        gQuit = static_cast<int>(static_cast<intptr_t>(tags[0].ti_Data));
        return 3;  // stop the run like a user break
    }
    case K_READLINE: {
        std::string line;
        int c;
        bool any = false;
        while ((c = std::fgetc(stdin)) != EOF) {
            any = true;
            if (c == '\n') break;
            line += static_cast<char>(c);
        }
        JSTagItem tags[] = {{any ? JSTAG_STRING : JSTAG_NULL, reinterpret_cast<uintptr_t>(line.c_str())},
                            {JSTAG_END, 0}};
        SetJSResult(ctx, tags);
        return 0;
    }
    case K_LOAD: {
        JSTagItem tags[] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
        if (GetJSArguments(ctx, tags) != 0 || !tags[0].ti_Data) return 4;
        const char *path = reinterpret_cast<const char *>(tags[0].ti_Data);
        FILE *f = std::fopen(path, "rb");
        if (!f) return 4;
        std::string text;
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
        std::fclose(f);
        uint32_t r = RunJavaScript(gSpace, text.c_str(), gFlags, 1, kBreakSignal, gCompat);
        return r == 0 ? 0 : (r == 3 ? 3 : 4);
    }
    default:
        return 4;
    }
}

uint32_t Notify(uint32_t kind, uintptr_t, const char *heading, const char *message, const char *before,
                const char *token, const char *after, const char *) {
    if (kind == JSNOTIFY_POLL) {
        if (SetJSSignal(0, 0) & kBreakSignal) {
            SetJSSignal(0, kBreakSignal);
            return 8;
        }
        return 0;
    }
    if (kind == JSNOTIFY_ERROR && heading && std::strcmp(heading, "Error") == 0 && !before) {
        std::fprintf(stderr, "Error: %s\n", message ? message : "");
        return 0;
    }
    const char *b = before ? before : "", *t = token ? token : "", *a = after ? after : "";
    if (*b || *t || *a) std::fprintf(stderr, "%s%s%s\n", b, t, a);
    std::fprintf(stderr, "%s: %s\n", heading ? heading : "", message ? message : "");
    return 0;
}

const JSHostLibrary kHooks = {Invoke, GetProperty, nullptr, Notify, nullptr, nullptr};

}  // namespace

const JSHostLibrary *Hooks() { return &kHooks; }
void SetSpace(JSProgramSpace *space) { gSpace = space; }
int QuitStatus() { return gQuit; }
void SetRunSettings(int32_t compat, uint32_t flags) {
    gCompat = compat;
    gFlags = flags;
}
uint32_t RunText(const char *text, uint32_t flags) {
    return RunJavaScript(gSpace, text, flags, 1, kBreakSignal, gCompat);
}

}  // namespace shell
