// String.prototype.split: on a text separator, on runs of white space (a
// single space under compatibility level 3), or on the matches of a RegExp
// with its groups spliced in; at most `limit` elements.
#include <cmath>
#include <cstring>

#include "builtins/native_args.h"
#include "objects/natives.h"
#include "builtins/string_this.h"
#include "values/space.h"
#include "regexp/rxexec.h"

namespace quillon {

namespace {

// The array being built and the most elements it may get.
struct Pieces {
    RunContext *ctx;
    Object *array;
    uint32_t count;
    uint32_t limit;

    bool Full() const { return count >= limit; }
    // Appends bytes as a new string; false with the error as the result.
    bool Push(const char *bytes, uint32_t n) {
        ValueGuard item;
        JSAny_SetStringBytes(&item.v, n ? bytes : "", n);
        if (Ret_FailOn(ctx, &item.v) || Ret_Fail(ctx, Obj_PutIndex(array, count, &item.v))) return false;
        ++count;
        return true;
    }
};

const char *Find(const char *hay, uint32_t hayLen, uint32_t from, const char *needle, uint32_t n) {
    while (from < hayLen && n <= hayLen - from) {
        const void *at = std::memchr(hay + from, needle[0], hayLen - from - n + 1);
        if (!at) return nullptr;
        const char *p = static_cast<const char *>(at);
        if (std::memcmp(p, needle, n) == 0) return p;
        from = static_cast<uint32_t>(p - hay) + 1;
    }
    return nullptr;
}

bool SplitText(Pieces &out, const JSAny *input, const JSAny *sep) {
    const char *in = input->str;
    uint32_t len = input->len;
    if (sep->len == 0) {
        for (uint32_t i = 0; i < len && !out.Full(); ++i)
            if (!out.Push(in + i, 1)) return false;
        return true;
    }
    uint32_t pos = 0;
    while (!out.Full()) {
        const char *at = Find(in, len, pos, sep->str, sep->len);
        if (!at) return out.Push(in + pos, len - pos);
        uint32_t j = static_cast<uint32_t>(at - in);
        if (!out.Push(in + pos, j - pos)) return false;
        pos = j + sep->len;
    }
    return true;
}

// Level 3 with a separator of one space: runs of white space separate,
// leading white space is passed over.
bool SplitWhite(Pieces &out, const JSAny *input) {
    const auto *in = reinterpret_cast<const uint8_t *>(input->str);
    uint32_t len = input->len, i = 0;
    while (i < len && Rx_IsSpace(in[i])) ++i;
    while (i < len && !out.Full()) {
        uint32_t j = i;
        while (j < len && !Rx_IsSpace(in[j])) ++j;
        if (!out.Push(input->str + i, j - i)) return false;
        i = j;
        while (i < len && Rx_IsSpace(in[i])) ++i;
    }
    return true;
}

bool SplitPattern(Pieces &out, RunContext *ctx, RxTarget &t, const JSAny *input) {
    RxCaps caps;
    RxHit hit;
    uint32_t len = input->len;
    if (len == 0) {
        // The empty string: no element when the pattern matches it.
        uint32_t r = RxExec_Run(ctx, t, input, 0, caps, &hit);
        if (r == 0) return out.Push("", 0);
        return !Ret_Fail(ctx, r != 1 ? r : RxExec_Record(ctx, input, hit, caps));
    }
    uint32_t pos = 0;
    while (pos < len && !out.Full()) {
        uint32_t r = RxExec_Run(ctx, t, input, pos, caps, &hit);
        if (r == 1 && hit.end == hit.start && hit.start == pos) {
            // An empty match right here separates nothing: look one further on.
            if (pos + 1 >= len && ctx->compat != 3) break;
            r = RxExec_Run(ctx, t, input, pos + 1, caps, &hit);
        }
        if (r == 0) break;
        if (Ret_Fail(ctx, r != 1 ? r : RxExec_Record(ctx, input, hit, caps))) return false;
        if (!out.Push(input->str + pos, hit.start - pos)) return false;
        for (uint32_t g = 0; g < hit.groupCount && !out.Full(); ++g) {
            uint32_t n;
            const char *text = RxExec_Group(input, caps, g, &n);
            if (!out.Push(text, n)) return false;
        }
        pos = hit.end;
    }
    if (pos < len && !out.Full()) return out.Push(input->str + pos, len - pos);
    return true;
}

}  // namespace

void Bi_StringSplit(RunContext *ctx, Function *) {
    ValueGuard self;
    if (!Str_TakeThis(ctx, &self)) return;
    ValueGuard result;
    Obj_NewArray(&result.v, ctx->space);
    if (Ret_FailOn(ctx, &result.v)) return;
    Pieces out{ctx, result.v.obj, 0, 0xFFFFFFFFu};
    if (!RxExec_Absent(ctx, 1)) {
        double limit;
        if (!Arg_Number(ctx, 1, &limit)) return;
        if (std::isnan(limit) || limit < 1) {
            JSAny_Move(&ctx->ret, &result.v);
            return;
        }
        out.limit = limit >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(limit);
    }
    bool ok;
    if (RxExec_Absent(ctx, 0)) {
        ok = out.Push(self.v.str, self.v.len);
    } else if (RxObj_Is(&ctx->args[0])) {
        RxTarget t;
        t.Take(RxObj_Of(&ctx->args[0]));
        ok = !Ret_Fail(ctx, RxExec_Shareable(&self.v)) && SplitPattern(out, ctx, t, &self.v);
    } else {
        ValueGuard sep;
        if (!Str_Arg(ctx, 0, &sep)) return;
        if (ctx->compat == 3 && sep.v.len == 1 && sep.v.str[0] == ' ') ok = SplitWhite(out, &self.v);
        else ok = SplitText(out, &self.v, &sep.v);
    }
    if (ok) JSAny_Move(&ctx->ret, &result.v);
}

}  // namespace quillon
