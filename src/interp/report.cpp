// Error reports: building the heading and the source pieces of a report and
// delivering it to the host, to the diagnostic output, or to the run context
// for a `catch`; the once-per-run rule; and the user-break poll.
#include "interp/report.h"
#include "runtime/hookguard.h"

#include <cstdio>

#include "values/space.h"
#include "values/context.h"
#include "lexer/code.h"
#include "platform/debuglog.h"
#include "platform/signals.h"
#include "quillon.h"
#include "runtime/errors.h"
#include "runtime/memory.h"

namespace quillon {

uint32_t gHookDepth = 0;


namespace {

constexpr uint32_t kKindError = JSNOTIFY_ERROR;
constexpr uint32_t kKindWarning = JSNOTIFY_WARNING;
constexpr uint32_t kKindPoll = JSNOTIFY_POLL;
// Lines this long or longer are narrowed to the statement around the tokens.
constexpr uint32_t kLongLine = 81;
constexpr size_t kCodeTextSize = 120;

struct Report {
    char *heading = nullptr;  // counted texts; null when memory ran out
    char *before = nullptr;
    char *token = nullptr;
    char *after = nullptr;
    const char *position = nullptr;  // into the source, or null
    ~Report() {
        Text_Release(heading);
        Text_Release(before);
        Text_Release(token);
        Text_Release(after);
    }
};

inline const char *OrEmpty(const char *s) { return s ? s : ""; }
inline bool IsLineBreak(char c) { return c == '\n' || c == '\r'; }
inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

uint8_t UpperFirst(uint8_t c) {
    if (c >= 'a' && c <= 'z') return static_cast<uint8_t>(c - 32);
    if (c >= 224 && c <= 254 && c != 247) return static_cast<uint8_t>(c - 32);
    return c;
}

// Finds the source line around tokens [tok, tok + count) and cuts it into
// the three pieces. Returns the line number, or 0 when there is no position.
long BuildPieces(const RunContext *ctx, const uint32_t *tok, uint32_t count, Report *r) {
    const Code *code = ctx->code;
    if (!tok || !code || !code->codes || !code->lens || !code->source) return 0;
    if (tok < code->codes || tok > code->codes + code->count) return 0;
    uint32_t first = static_cast<uint32_t>(tok - code->codes);
    uint32_t last = first + (count ? count - 1 : 0);
    if (last > code->count || last < first) last = code->count;
    const char *src = code->source;
    uint32_t s, e, ignore;
    Code_TokenText(code, first, &s, &ignore);
    Code_TokenText(code, last, &ignore, &e);
    if (s > code->sourceLen) s = code->sourceLen;
    if (e > code->sourceLen) e = code->sourceLen;
    if (e < s) e = s;

    uint32_t ls = s;
    while (ls > 0 && !IsLineBreak(src[ls - 1])) --ls;
    uint32_t le = e;
    while (le < code->sourceLen && !IsLineBreak(src[le])) ++le;
    if (le - ls >= kLongLine) {
        uint32_t p = s;
        while (p > ls && src[p - 1] != ';') --p;
        ls = p;
        uint32_t q = e;
        while (q < le && src[q] != ';') ++q;
        le = q < le ? q + 1 : le;
    }
    while (ls < s && IsBlank(src[ls])) ++ls;
    while (le > e && IsBlank(src[le - 1])) --le;

    r->before = Text_FromBytes(src + ls, s - ls);
    r->token = Text_FromBytes(src + s, e - s);
    r->after = Text_FromBytes(src + e, le - e);
    r->position = ctx->act ? nullptr : src + s;

    return static_cast<long>(Code_LineAt(code, s));
}

char *BuildHeading(const RunContext *ctx, uint32_t errClass, uint32_t kind, long line) {
    char lineText[32] = "";
    if (line > 0) std::snprintf(lineText, sizeof lineText, " on line %ld", line);
    const char *fnLead = "";
    const char *fn = "";
    if (ctx->fnName && *ctx->fnName) {
        fnLead = line > 0 ? " of function " : " in function ";
        fn = ctx->fnName;
    }
    char *h = Text_Format("%s%s%s%s%s", Err_ClassPrefix(errClass),
                          kind == kKindWarning ? "warning" : "error", lineText, fnLead, fn);
    if (h) h[0] = static_cast<char>(UpperFirst(static_cast<uint8_t>(h[0])));
    return h;
}

const JSHostLibrary *HooksOf(const RunContext *ctx) {
    return ctx->space ? ctx->space->hooks : nullptr;
}

// Builds the report and delivers it: kept for `catch` inside `try` (unless
// `keepInTry` is false), to the host's HostNotify with a host handle, else
// on the diagnostic output. Returns false when a report kept for `catch`
// lost its heading or message to exhausted memory: the Error object made
// from it would carry a wrong message, so the failure becomes 103 instead.
bool Show(RunContext *ctx, uint32_t kind, uint32_t errClass, const char *message,
          const uint32_t *tok, uint32_t count, bool keepInTry) {
    Report r;
    long line = BuildPieces(ctx, tok, count, &r);
    r.heading = BuildHeading(ctx, errClass, kind, line);

    if (ctx->inTry && keepInTry) {
        Err_ClearTryReport(ctx);
        TryReport &t = ctx->tryReport;
        t.heading = r.heading;
        t.message = Text_FromString(message);
        t.before = r.before;
        t.token = r.token;
        t.after = r.after;
        t.kind = kind;
        t.errClass = errClass;
        t.valid = true;
        r.heading = r.before = r.token = r.after = nullptr;
        if (!t.heading || !t.message) {
            Err_ClearTryReport(ctx);
            return false;
        }
        return true;
    }
    const JSHostLibrary *hooks = HooksOf(ctx);
    if (ctx->hostHandle != 0 && hooks && hooks->HostNotify) {
        HookCall guard;
        hooks->HostNotify(kind, ctx->hostHandle, OrEmpty(r.heading), message, OrEmpty(r.before),
                          OrEmpty(r.token), OrEmpty(r.after), r.position);
        return true;
    }
    Plat_DebugReport(r.before, r.token, r.after, r.heading, message);
    return true;
}

// The raising rule: lenient runs get a warning and go on; otherwise the
// first report of the run is shown and the run stops.
uint32_t Raise(RunContext *ctx, uint32_t errClass, const char *message, const uint32_t *tok,
               uint32_t count) {
    if (ctx->flags & RUN_LENIENT)
        return Show(ctx, kKindWarning, errClass, message, tok, count, true) ? 0 : ERR_NOMEM;
    if (ctx->reported) return ERR_STOP;
    if (!Show(ctx, kKindError, errClass, message, tok, count, true)) return ERR_NOMEM;
    // A report kept for `catch` was not shown: later errors still are.
    if (!ctx->inTry) ctx->reported = true;
    return ERR_STOP;
}

uint32_t ShowOnce(RunContext *ctx, uint32_t errClass, const char *message, const uint32_t *tok,
                  uint32_t count, bool keepInTry) {
    if (ctx->reported) return ERR_STOP;
    if (!Show(ctx, kKindError, errClass, message, tok, count, keepInTry)) return ERR_NOMEM;
    if (!ctx->inTry || !keepInTry) ctx->reported = true;
    return ERR_STOP;
}

// Message and class of a code: its row, or a row made from the code's text.
const char *CodeMessage(uint32_t code, uint32_t *errClass, char *buf) {
    uint32_t row = Err_RowOfCode(code);
    if (row != ROW_FROM_CODE) {
        *errClass = Err_Row(row).errClass;
        return Err_Row(row).message;
    }
    *errClass = EC_ERROR;
    if (code == 0) return "Everything's OK";
    if (!Err_CodeText(code, buf, kCodeTextSize)) buf[0] = 0;
    return buf;
}

}  // namespace

uint32_t Err_Report(RunContext *ctx, uint32_t row, const uint32_t *tok) {
    return Err_ReportSpan(ctx, row, tok, 1);
}

uint32_t Err_ReportSpan(RunContext *ctx, uint32_t row, const uint32_t *tok, uint32_t count) {
    if (row >= ROW_COUNT) return Raise(ctx, EC_ERROR, "", tok, count);
    return Raise(ctx, Err_Row(row).errClass, Err_Row(row).message, tok, count);
}

uint32_t Err_ReportOnce(RunContext *ctx, uint32_t row, const uint32_t *tok, uint32_t count) {
    const ErrRowInfo &info = Err_Row(row < ROW_COUNT ? row : ROW_UNCAUGHT);
    return ShowOnce(ctx, info.errClass, row < ROW_COUNT ? info.message : "", tok, count, true);
}

uint32_t Err_ReportCode(RunContext *ctx, uint32_t code, const uint32_t *tok, uint32_t count) {
    if (Err_IsReported(code)) return code;  // shown before: nothing more to say
    char buf[kCodeTextSize];
    uint32_t errClass;
    const char *message = CodeMessage(code, &errClass, buf);
    return Raise(ctx, errClass, message, tok, count);
}

uint32_t Err_ReportValue(RunContext *ctx, const uint32_t *tok, uint32_t count, JSAny *value) {
    if (value->type != JSANY_ERROR) return 0;
    uint32_t code = value->code;
    if (Err_IsReported(code)) return code;
    uint32_t r = Err_ReportCode(ctx, code == 0 ? ERR_WRONGTYPE : code, tok, count);
    JSAny_SetError(value, r == ERR_NOMEM ? ERR_NOMEM : ERR_STOP);
    return r;
}

uint32_t Err_ReportText(RunContext *ctx, uint32_t errClass, const char *message,
                        const uint32_t *tok, uint32_t count) {
    return Raise(ctx, errClass, message ? message : "", tok, count);
}

uint32_t Err_PollBreak(RunContext *ctx, const uint32_t *tok) {
    uint32_t answer = JSANSWER_BREAK;  // without a host handle nobody is asked
    if (ctx->hostHandle != 0) {
        const JSHostLibrary *hooks = HooksOf(ctx);
        if (!hooks || !hooks->HostNotify) return 0;
        HookCall guard;
        answer = hooks->HostNotify(kKindPoll, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr);
    }
    if (answer == 0) return 0;
    if (answer == JSANSWER_STOP) return ERR_REPORTED | ERR_BREAK;
    // A break cannot be caught: its report is shown even inside `try`.
    const ErrRowInfo &info = Err_Row(ROW_BREAK_RECEIVED);
    ShowOnce(ctx, info.errClass, info.message, tok, 1, false);
    return ctx->hostHandle == 0 ? ERR_BREAK : (ERR_REPORTED | ERR_BREAK);
}

uint32_t Err_CheckBreak(RunContext *ctx, const uint32_t *tok) {
    // The pending signals are only read: clearing them is the host's part,
    // so a host that answers "go on" is asked again at the next check.
    if (!(Plat_SetSignal(0, 0) & ctx->breakMask)) return 0;
    return Err_PollBreak(ctx, tok);
}

void Err_ClearTryReport(RunContext *ctx) {
    TryReport &t = ctx->tryReport;
    Text_Release(t.heading);
    Text_Release(t.message);
    Text_Release(t.before);
    Text_Release(t.token);
    Text_Release(t.after);
    t.heading = t.message = t.before = t.token = t.after = nullptr;
    t.kind = 0;
    t.errClass = 0;
    t.valid = false;
}

}  // namespace quillon
