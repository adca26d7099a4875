// String.prototype.replace: a pattern (a RegExp, or text taken literally)
// and a replacement (a function called per match, or a text with $
// substitutions). The output is built in one growing buffer, so the work is
// proportional to the input and the output.
#include <cstring>

#include "builtins/array_access.h"
#include "builtins/native_args.h"
#include "objects/natives.h"
#include "builtins/strbuf.h"
#include "builtins/string_this.h"
#include "values/space.h"
#include "regexp/rxexec.h"

namespace quillon {

namespace {

constexpr size_t kOutStep = 1024;

// Appends to the output; growth comes in whole steps of kOutStep at least
// (and geometrically beyond that, as the buffer does).
bool Put(StrBuf &out, const char *bytes, size_t n) {
    if (n == 0) return !out.failed;
    if (static_cast<size_t>(out.cap) - out.len < n && !out.Reserve((n + kOutStep - 1) / kOutStep * kOutStep))
        return false;
    return out.Append(bytes, n);
}

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// One match as the expansion of a replacement text sees it.
struct Expansion {
    const JSAny *input;
    const RxHit &hit;
    const RxCaps &caps;
    bool old;  // compatibility levels 1 to 5

    bool Group(StrBuf &out, uint32_t n) const {  // n counts from 1
        uint32_t len;
        const char *g = RxExec_Group(input, caps, n - 1, &len);
        return Put(out, g, len);
    }
};

// Appends the replacement text for one match, expanding $$, $&, $`, $',
// $+ and group numbers. Returns false when memory ran out.
bool Expand(StrBuf &out, const char *tpl, uint32_t tlen, const Expansion &x) {
    const char *in = x.input->str;
    uint32_t groups = x.hit.groupCount;
    uint32_t i = 0;
    while (i < tlen) {
        const void *at = std::memchr(tpl + i, '$', tlen - i);
        uint32_t j = at ? static_cast<uint32_t>(static_cast<const char *>(at) - tpl) : tlen;
        if (!Put(out, tpl + i, j - i)) return false;
        if (j >= tlen) break;
        // tpl[j] is '$'
        char c = j + 1 < tlen ? tpl[j + 1] : 0;
        bool ok = true;
        uint32_t next = j + 2;
        if (x.old && j > 0 && tpl[j - 1] == '\\') {
            ok = Put(out, "$", 1);  // escaped: stays as it is
            next = j + 1;
        } else if (j + 1 >= tlen) {
            ok = Put(out, "$", 1);
            next = j + 1;
        } else if (c == '$') {
            ok = Put(out, "$", 1);
        } else if (c == '&') {
            ok = Put(out, in + x.hit.start, x.hit.end - x.hit.start);
        } else if (c == '`') {
            ok = Put(out, in, x.hit.start);
        } else if (c == '\'') {
            ok = Put(out, in + x.hit.end, x.input->len - x.hit.end);
        } else if (c == '+') {
            ok = groups == 0 || x.Group(out, groups);
        } else if (IsDigit(c) && c != '0' && x.old) {
            // Older scripts: every digit that follows makes the number; a
            // group that does not exist gives nothing.
            uint64_t n = 0;
            uint32_t k = j + 1;
            for (; k < tlen && IsDigit(tpl[k]); ++k)
                if (n <= groups) n = n * 10 + static_cast<uint32_t>(tpl[k] - '0');
            if (n <= groups) ok = x.Group(out, static_cast<uint32_t>(n));
            next = k;
        } else if (IsDigit(c) && c != '0' && static_cast<uint32_t>(c - '0') <= groups) {
            uint32_t n = static_cast<uint32_t>(c - '0');
            if (j + 2 < tlen && IsDigit(tpl[j + 2])) {
                uint32_t two = n * 10 + static_cast<uint32_t>(tpl[j + 2] - '0');
                if (two <= groups) {
                    n = two;
                    next = j + 3;
                }
            }
            ok = x.Group(out, n);
        } else {
            ok = Put(out, "$", 1);  // any other $ is taken literally
            next = j + 1;
        }
        if (!ok) return false;
        i = next;
    }
    return true;
}

// Calls the replacement function with the match, its groups, its index and
// the input; the result, converted to a string, is appended.
uint32_t CallReplacer(RunContext *ctx, const JSAny *fn, const JSAny *input, const RxHit &hit,
                      const RxCaps &caps, StrBuf &out) {
    ValueList args;
    uint32_t n = hit.groupCount + 3;
    if (!args.Reserve(n)) return ERR_NOMEM;
    for (uint32_t i = 0; i < n; ++i) {
        JSAny &a = args.items[i];
        a = JSAny_Undef();
        args.count = i + 1;
        if (i == 0) {
            JSAny_SetStringBytes(&a, input->str + hit.start, hit.end - hit.start);
        } else if (i <= hit.groupCount) {
            uint32_t len;
            const char *g = RxExec_Group(input, caps, i - 1, &len);
            JSAny_SetStringBytes(&a, g, len);
        } else if (i == hit.groupCount + 1) {
            a = JSAny_Num(hit.start);
        } else {
            JSAny_InitFrom(&a, input);
        }
        if (a.type == JSANY_ERROR) return ERR_NOMEM;
    }
    ValueGuard result;
    Fn_Call(ctx, fn, nullptr, args.items, n, &result.v);
    if (result.v.type == JSANY_ERROR) {
        // A function with no value to give counts as giving undefined.
        if (result.v.code != 0 && result.v.code != ERR_NOVALUE) return result.v.code;
        result.v = JSAny_Undef();
    }
    JSAny_ToString(ctx, &result.v);
    if (result.v.type == JSANY_ERROR) return RxExec_ConversionError(&result.v);
    return Put(out, result.v.str, result.v.len) ? 0 : ERR_NOMEM;
}

}  // namespace

void Bi_StringReplace(RunContext *ctx, Function *) {
    ValueGuard self;
    if (!Str_TakeThis(ctx, &self) || Ret_Fail(ctx, RxExec_Shareable(&self.v))) return;
    const JSAny *input = &self.v;
    RxTarget t;
    if (RxObj_Is(&ctx->args[0])) {
        t.Take(RxObj_Of(&ctx->args[0]));
    } else {
        // A pattern given as text is taken literally: its first occurrence.
        ValueGuard text;
        if (!Str_Arg(ctx, 0, &text)) return;
        RxProgram *p = nullptr;
        if (Ret_Fail(ctx, Rx_Compile(text.v.str, text.v.len, 0, true, &p))) return;
        t.Own(p, 0);
    }
    ValueGuard with;
    bool call = Nat_IsFunctionValue(&ctx->args[1]);
    if (call) JSAny_InitFrom(&with.v, &ctx->args[1]);
    else if (!Str_Arg(ctx, 1, &with)) return;

    bool global = t.Global();
    bool old = ctx->compat >= 1 && ctx->compat <= 5;
    StrBuf out;
    RxCaps caps;
    RxHit hit;
    uint32_t from = 0, copied = 0, matches = 0;
    for (;;) {
        uint32_t r = RxExec_Run(ctx, t, input, from, caps, &hit);
        if (r == 0) break;
        if (Ret_Fail(ctx, r != 1 ? r : RxExec_Record(ctx, input, hit, caps))) return;
        ++matches;
        if (!Put(out, input->str + copied, hit.start - copied)) break;
        if (call) {
            if (Ret_Fail(ctx, CallReplacer(ctx, &with.v, input, hit, caps, out))) return;
        } else if (!Expand(out, with.v.str, with.v.len, Expansion{input, hit, caps, old})) {
            break;
        }
        copied = hit.end;
        if (!global) break;
        if (hit.end > hit.start) {
            from = hit.end;
        } else {
            // An empty match: the next search starts one character on.
            if (hit.end >= input->len) break;
            from = hit.end + 1;
        }
    }
    if (global && t.obj) t.obj->lastIndex = 0;
    if (matches == 0 && !out.failed) {
        JSAny_Move(&ctx->ret, &self.v);
        return;
    }
    Put(out, input->str + copied, input->len - copied);
    out.Finish(&ctx->ret);
}

}  // namespace quillon
