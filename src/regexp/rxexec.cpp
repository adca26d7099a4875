// One execution of an expression for the natives: the compiled program of
// the target (its own, or its RegExp object's), the match with the
// user-break poll, and the record of its result in the space's last-match
// statics and in exec's array. Every failure is a code, 103 included.
#include "regexp/rxexec.h"

#include "builtins/native_args.h"
#include "values/space.h"
#include "regexp/rxstatics.h"
#include "interp/report.h"
#include "values/convert.h"

namespace quillon {

namespace {

// The matcher asks this every few thousand steps: the user-break check of
// the run, so a pattern that backtracks for ever can still be stopped.
uint32_t PollBreak(void *arg) {
    auto *ctx = static_cast<RunContext *>(arg);
    return Err_CheckBreak(ctx, ctx->callTok);
}

constexpr char kEmptyPattern[] = "(?:)";

// A slice of the input as a new string into *out; false when memory ran out.
bool Slice(const JSAny *input, uint32_t from, uint32_t n, JSAny *out) {
    JSAny_SetStringBytes(out, input->str + from, n);
    return out->type != JSANY_ERROR;
}

}  // namespace

RxTarget::~RxTarget() {
    if (obj) Obj_Release(obj);
    Rx_Free(own);
}

void RxTarget::Take(RegExpObject *re) {
    Obj_AddRef(re);
    obj = re;
    flags = re->flags;
}

uint32_t RxTarget::Program(RxProgram **out) {
    if (own) {
        *out = own;
        return 0;
    }
    return RxObj_Program(obj, out);
}

bool RxCaps::Ensure(uint32_t n) { return n == 0 || Arr_EnsureT(items, n); }

uint32_t RxExec_Run(RunContext *ctx, RxTarget &t, const JSAny *input, uint32_t from, RxCaps &caps,
                    RxHit *hit) {
    RxProgram *p;
    uint32_t err = t.Program(&p);
    if (err) return err;
    uint32_t groups = Rx_GroupCount(p);
    if (!caps.Ensure(groups)) return ERR_NOMEM;
    uint32_t start, end;
    uint32_t r = Rx_Match(p, input->str, input->len, from, ctx->space->multiline != 0, &start, &end,
                          groups ? caps.items : nullptr, PollBreak, ctx);
    if (r == 1) {
        hit->start = start;
        hit->end = end;
        hit->groupCount = groups;
        hit->from = from;
    }
    return r;
}

uint32_t RxExec_Shareable(JSAny *input) {
    if (input->type == JSANY_STRING && Text_RefCount(input->str) < kTextMaxRefs - 1) return 0;
    JSAny own = JSAny_Undef();
    JSAny_SetStringBytes(&own, input->str, input->len);
    if (own.type == JSANY_ERROR) return ERR_NOMEM;
    JSAny_Clear(input);
    *input = own;
    return 0;
}

uint32_t RxExec_Record(RunContext *ctx, const JSAny *input, const RxHit &hit, const RxCaps &caps) {
    RxFound f;
    f.input = input;
    f.start = hit.start;
    f.end = hit.end;
    // Older scripts (level 3) see the left context from where the search began.
    f.leftFrom = ctx->compat == 3 ? hit.from : 0;
    f.groupCount = hit.groupCount;
    f.caps = caps.items;
    return RxStatics_Record(ctx->space, f);
}

// exec's array: the matched text, the groups (undefined for a group that
// did not take part), and the properties "index" and "input".
uint32_t RxExec_Array(RunContext *ctx, const JSAny *input, const RxHit &hit, const RxCaps &caps, JSAny *out) {
    Obj_NewArray(out, ctx->space);
    if (out->type == JSANY_ERROR) return ERR_NOMEM;
    Object *a = out->obj;
    ValueGuard item;
    if (!Slice(input, hit.start, hit.end - hit.start, &item.v)) return ERR_NOMEM;
    uint32_t st = Obj_PutIndex(a, 0, &item.v);
    for (uint32_t g = 0; g < hit.groupCount && !st; ++g) {
        const RxCapture &c = caps.items[g];
        if (c.start < 0) JSAny_SetUndefined(&item.v);
        else if (!Slice(input, static_cast<uint32_t>(c.start), c.length, &item.v)) return ERR_NOMEM;
        st = Obj_PutIndex(a, g + 1, &item.v);
    }
    if (st) return st;
    JSAny index = JSAny_Num(hit.start);
    st = Obj_PutStr(a, "index", &index);
    return st ? st : Obj_PutStr(a, "input", input);
}

uint32_t RxExec_Describe(RunContext *ctx, const JSAny *args, uint32_t argc, JSAny *text, uint32_t *flags) {
    bool noFlags = argc < 2 || args[1].type == JSANY_UNDEFINED || args[1].type == JSANY_UNDECLARED;
    if (argc > 0 && RxObj_Is(&args[0])) {
        if (!noFlags) return ERR_RX_FLAGSGIVEN;
        RegExpObject *other = RxObj_Of(&args[0]);
        JSAny_Clear(text);
        JSAny_InitFrom(text, &other->source);
        *flags = other->flags;
        return text->type == JSANY_ERROR ? ERR_NOMEM : 0;
    }
    JSAny_Clear(text);
    if (argc == 0 || args[0].type == JSANY_UNDEFINED || args[0].type == JSANY_UNDECLARED) {
        *text = JSAny_Borrow(kEmptyPattern, sizeof kEmptyPattern - 1);
    } else {
        JSAny_InitFrom(text, &args[0]);
        JSAny_ToString(ctx, text);
        if (text->type == JSANY_ERROR) return RxExec_ConversionError(text);
    }
    *flags = 0;
    if (noFlags) return 0;
    JSAny letters;
    JSAny_InitFrom(&letters, &args[1]);
    JSAny_ToString(ctx, &letters);
    if (letters.type == JSANY_ERROR) return RxExec_ConversionError(&letters);
    uint32_t err = Rx_ParseFlags(letters.str, letters.len, flags);
    JSAny_Clear(&letters);
    return err;
}

uint32_t RxExec_PatternArg(RunContext *ctx, RxTarget &t) {
    if (ctx->argc > 0 && RxObj_Is(&ctx->args[0])) {
        t.Take(RxObj_Of(&ctx->args[0]));
        return 0;
    }
    JSAny text = JSAny_Undef();
    uint32_t flags = 0;
    uint32_t err = RxExec_Describe(ctx, ctx->args, ctx->argc, &text, &flags);
    RxProgram *p = nullptr;
    if (!err) err = Rx_Compile(text.str, text.len, flags, false, &p);
    JSAny_Clear(&text);
    if (!err) t.Own(p, flags);
    return err;
}

}  // namespace quillon
