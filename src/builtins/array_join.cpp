// join, toString and toLocaleString of arrays. The text is built in one
// growing buffer; an array met again while it is being joined (an array that
// contains itself, directly or further down) contributes the empty text, so
// joining a cycle ends; deep nesting is bounded like the evaluator's own
// nesting.
#include "builtins/array_access.h"
#include "objects/natives.h"
#include "builtins/strbuf.h"
#include "interp/interp.h"
#include "numconv/numconv.h"

namespace quillon {

namespace {

constexpr int32_t kCompatOld = 3;

// The arrays being joined right now, innermost first (frames live on the
// machine stack of the joins in progress).
struct JoinFrame {
    Object *o;
    JoinFrame *outer;
};
JoinFrame *gJoining = nullptr;

struct JoinScope {
    JoinFrame frame;
    explicit JoinScope(Object *o) : frame{o, gJoining} { gJoining = &frame; }
    ~JoinScope() { gJoining = frame.outer; }
    JoinScope(const JoinScope &) = delete;
    JoinScope &operator=(const JoinScope &) = delete;
};

bool BeingJoined(const Object *o) {
    for (const JoinFrame *f = gJoining; f; f = f->outer)
        if (f->o == o) return true;
    return false;
}

// Kept apart so the number buffer is not on the stack of nested joins.
__attribute__((noinline)) bool AppendNumber(StrBuf &buf, double d) {
    char text[kNumBufSize];
    size_t n = Num_ToText(d, text, sizeof text);
    if (n == 0) {
        buf.failed = true;
        return false;
    }
    return buf.Append(text, n);
}

// Appends the text of one element: null and undefined give nothing; in the
// older form strings are quoted. Returns 0 or the failure code.
uint32_t AppendElement(RunContext *ctx, StrBuf &buf, const JSAny *v, bool quoted) {
    switch (v->type) {
    case JSANY_NULL:
    case JSANY_UNDEFINED:
    case JSANY_UNDECLARED:
        return 0;
    case JSANY_STRING:
    case JSANY_CSTRING:
        if (quoted) buf.AppendChar('"');
        buf.Append(v->str, v->len);
        if (quoted) buf.AppendChar('"');
        break;
    case JSANY_NUMBER:
        AppendNumber(buf, v->num);
        break;
    case JSANY_BOOLEAN:
        buf.AppendStr(v->flag ? "true" : "false");
        break;
    case JSANY_ERROR:
        return v->code;
    default: {
        ValueGuard text(v);
        JSAny_ToString(ctx, &text.v);
        if (text.v.type == JSANY_ERROR) return text.v.code;
        buf.Append(text.v.str, text.v.len);
        break;
    }
    }
    return buf.failed ? ERR_NOMEM : 0;
}

// Appends the text of one element in the locale form: its toLocaleString
// method's value converted to a string; null and undefined give nothing.
uint32_t AppendLocaleElement(RunContext *ctx, StrBuf &buf, const JSAny *v) {
    switch (v->type) {
    case JSANY_NULL:
    case JSANY_UNDEFINED:
    case JSANY_UNDECLARED:
        return 0;
    case JSANY_ERROR:
        return v->code;
    default:
        break;
    }
    ValueGuard text;
    Nat_CallMethod(ctx, v, "toLocaleString", &text.v);
    if (!JSAny_IsString(&text.v)) JSAny_ToString(ctx, &text.v);
    if (text.v.type == JSANY_ERROR) return text.v.code;
    buf.Append(text.v.str, text.v.len);
    return buf.failed ? ERR_NOMEM : 0;
}

enum class JoinForm { Plain, Old, Locale };

inline uint32_t AppendIn(JoinForm form, RunContext *ctx, StrBuf &buf, const JSAny *v) {
    if (form == JoinForm::Locale) return AppendLocaleElement(ctx, buf, v);
    return AppendElement(ctx, buf, v, form == JoinForm::Old);
}

void Join(RunContext *ctx, const char *sep, uint32_t sepLen, JoinForm form) {
    const bool old = form == JoinForm::Old;
    ValueGuard self;
    uint32_t len;
    if (!Ary_TakeThis(ctx, &self) || !Ary_Length(ctx, self.v.obj, &len)) return;
    Object *o = self.v.obj;
    if (BeingJoined(o)) {
        JSAny_SetStringCopy(&ctx->ret, "");
        return;
    }
    NestGuard nest(ctx);
    if (!nest.ok) {
        JSAny_SetError(&ctx->ret, Ev_Fail(ctx, ROW_NESTED_TOO_DEEPLY, ctx->callTok));
        return;
    }
    JoinScope scope(o);
    StrBuf buf;
    // The separators alone may already be more than a string can hold.
    if (len > 1 && static_cast<uint64_t>(len - 1) * sepLen > kMaxStringLength) {
        Ret_Fail(ctx, ERR_NOMEM);
        return;
    }
    if (old) buf.AppendChar('[');
    ValueGuard v;
    if (Ary_IsSparse(o, len)) {
        // Only the elements present cost a visit; the gaps are separators.
        IndexList present;
        if (!Ary_Present(o, len, &present)) {
            Ret_Fail(ctx, ERR_NOMEM);
            return;
        }
        uint32_t next = 0;  // first index not written yet
        for (uint32_t k = 0; k < present.count; ++k) {
            uint32_t i = present.items[k];
            uint64_t seps = static_cast<uint64_t>(i - next) + 1 - (next == 0 ? 1 : 0);
            buf.AppendRepeat(sep, sepLen, seps);
            Ary_Get(o, i, &v.v);
            if (Ret_Fail(ctx, AppendIn(form, ctx, buf, &v.v))) return;
            next = i + 1;
        }
        if (len > next) buf.AppendRepeat(sep, sepLen, static_cast<uint64_t>(len - next) - (next == 0 ? 1 : 0));
    } else {
        for (uint32_t i = 0; i < len; ++i) {
            if (i > 0 && !buf.Append(sep, sepLen)) break;
            Ary_Get(o, i, &v.v);
            if (Ret_Fail(ctx, AppendIn(form, ctx, buf, &v.v))) return;
        }
    }
    if (old) buf.AppendChar(']');
    buf.Finish(&ctx->ret);
}

}  // namespace

void Bi_ArrayJoin(RunContext *ctx, Function *) {
    if (ctx->argc == 0 || ctx->args[0].type == JSANY_UNDEFINED) {
        Join(ctx, ",", 1, JoinForm::Plain);
        return;
    }
    ValueGuard sep(&ctx->args[0]);
    JSAny_ToString(ctx, &sep.v);
    if (Ret_FailOn(ctx, &sep.v)) return;
    Join(ctx, sep.v.str, sep.v.len, JoinForm::Plain);
}

void Bi_ArrayToString(RunContext *ctx, Function *) {
    if (ctx->compat == kCompatOld) Join(ctx, ", ", 2, JoinForm::Old);
    else Join(ctx, ",", 1, JoinForm::Plain);
}

void Bi_ArrayToLocaleString(RunContext *ctx, Function *) { Join(ctx, ",", 1, JoinForm::Locale); }

}  // namespace quillon
