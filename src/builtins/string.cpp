// The String constructor, String.fromCharCode, and the String methods that
// take strings apart or search them: charAt, charCodeAt, concat, indexOf,
// lastIndexOf, slice, substring, substr, toString and valueOf. Positions are
// number arguments truncated toward zero.
#include <cmath>
#include <cstring>

#include "objects/natives.h"
#include "builtins/strbuf.h"
#include "builtins/string_this.h"
#include "objects/object.h"
#include "runtime/text.h"
#include "values/convert.h"

namespace quillon {

namespace {

constexpr int32_t kCompatOld = 3;

// The "__value" string of a String object, or null.
const JSAny *WrappedString(const JSAny *v) {
    return v->type == JSANY_OBJECT ? Obj_WrappedValue(v->obj, CF_STRING) : nullptr;
}

// The result is the part [start, start + n) of the string in self.
void ReturnPart(RunContext *ctx, ValueGuard &self, uint32_t start, uint32_t n) {
    if (start == 0 && n == self.v.len) JSAny_Move(&ctx->ret, &self.v);
    else JSAny_SetStringBytes(&ctx->ret, self.v.str + start, n);
}

inline uint32_t Clamp(int64_t pos, uint32_t len) {
    return pos < 0 ? 0 : (pos > len ? len : static_cast<uint32_t>(pos));
}

// The last position p <= last where needle occurs in hay, or -1.
int64_t FindLast(const char *hay, uint32_t hayLen, const char *needle, uint32_t n, int64_t last) {
    if (n > hayLen) return -1;
    if (last > static_cast<int64_t>(hayLen - n)) last = hayLen - n;
    if (n == 0) return last;
    const auto *h = reinterpret_cast<const unsigned char *>(hay);
    const auto *s = reinterpret_cast<const unsigned char *>(needle);
    // Horspool's method run backwards: the skip is taken from the byte under
    // the window's first position.
    uint32_t skip[256];
    for (uint32_t &k : skip) k = n;
    for (uint32_t i = n - 1; i > 0; --i) skip[s[i]] = i;
    for (int64_t p = last; p >= 0;) {
        if (h[p] == s[0] && std::memcmp(h + p, s, n) == 0) return p;
        p -= skip[h[p]];
    }
    return -1;
}

}  // namespace

bool Str_TakeThis(RunContext *ctx, ValueGuard *self) {
    JSAny_Clear(&self->v);
    if (const JSAny *s = WrappedString(&ctx->thisValue)) JSAny_InitFrom(&self->v, s);
    else JSAny_InitFrom(&self->v, &ctx->thisValue);
    if (!JSAny_IsString(&self->v)) JSAny_ToString(ctx, &self->v);
    return !Ret_FailOn(ctx, &self->v);
}

bool Str_Arg(RunContext *ctx, uint32_t i, ValueGuard *out) {
    JSAny_Clear(&out->v);
    if (i < ctx->argc) JSAny_InitFrom(&out->v, &ctx->args[i]);
    else out->v = JSAny_Undef();
    if (!JSAny_IsString(&out->v)) JSAny_ToString(ctx, &out->v);
    return !Ret_FailOn(ctx, &out->v);
}

void Bi_String(RunContext *ctx, Function *) {
    if (ctx->argc == 0) {
        JSAny_SetStringCopy(&ctx->ret, "");
        return;
    }
    ValueGuard s;
    if (!Str_Arg(ctx, 0, &s)) return;
    JSAny_Move(&ctx->ret, &s.v);
}

void Bi_StringFromCharCode(RunContext *ctx, Function *) {
    StrBuf buf;
    if (!buf.Reserve(ctx->argc)) {
        Ret_Fail(ctx, ERR_NOMEM);
        return;
    }
    for (uint32_t i = 0; i < ctx->argc; ++i) {
        int64_t code;
        if (!Arg_Int(ctx, i, 0, &code)) return;
        buf.AppendChar(static_cast<char>(code & 0xFF));
    }
    buf.Finish(&ctx->ret);
}

void Bi_StringCharAt(RunContext *ctx, Function *) {
    ValueGuard self;
    int64_t pos;
    if (!Str_TakeThis(ctx, &self) || !Arg_Int(ctx, 0, 0, &pos)) return;
    if (pos >= 0 && pos < self.v.len) JSAny_SetStringBytes(&ctx->ret, self.v.str + pos, 1);
    else JSAny_SetStringCopy(&ctx->ret, "");
}

void Bi_StringCharCodeAt(RunContext *ctx, Function *) {
    ValueGuard self;
    int64_t pos;
    if (!Str_TakeThis(ctx, &self) || !Arg_Int(ctx, 0, 0, &pos)) return;
    if (pos >= 0 && pos < self.v.len) JSAny_SetNumber(&ctx->ret, static_cast<unsigned char>(self.v.str[pos]));
    else JSAny_SetNumber(&ctx->ret, NAN);
}

void Bi_StringConcat(RunContext *ctx, Function *) {
    ValueGuard self;
    if (!Str_TakeThis(ctx, &self)) return;
    if (ctx->argc == 0) {
        JSAny_Move(&ctx->ret, &self.v);
        return;
    }
    StrBuf buf;
    buf.Append(self.v.str, self.v.len);
    ValueGuard part;
    for (uint32_t i = 0; i < ctx->argc; ++i) {
        if (!Str_Arg(ctx, i, &part)) return;
        buf.Append(part.v.str, part.v.len);
    }
    buf.Finish(&ctx->ret);
}

void Bi_StringIndexOf(RunContext *ctx, Function *) {
    if (ctx->argc == 0) {
        JSAny_SetUndefined(&ctx->ret);
        return;
    }
    ValueGuard self, search;
    int64_t from;
    if (!Str_TakeThis(ctx, &self) || !Str_Arg(ctx, 0, &search) || !Arg_Int(ctx, 1, 0, &from)) return;
    uint32_t len = self.v.len, n = search.v.len;
    uint32_t start = Clamp(from, len);
    if (static_cast<uint64_t>(start) + n > len) {
        JSAny_SetNumber(&ctx->ret, -1);
        return;
    }
    if (n == 0) {
        JSAny_SetNumber(&ctx->ret, start);
        return;
    }
    const void *at = memmem(self.v.str + start, len - start, search.v.str, n);
    JSAny_SetNumber(&ctx->ret, at ? static_cast<double>(static_cast<const char *>(at) - self.v.str) : -1.0);
}

void Bi_StringLastIndexOf(RunContext *ctx, Function *) {
    ValueGuard self, search;
    if (!Str_TakeThis(ctx, &self) || !Str_Arg(ctx, 0, &search)) return;
    int64_t top = static_cast<int64_t>(self.v.len) - search.v.len;
    int64_t from;
    if (!Arg_Int(ctx, 1, top, &from)) return;
    if (top < 0 || from < 0) {
        JSAny_SetNumber(&ctx->ret, -1);
        return;
    }
    int64_t at = FindLast(self.v.str, self.v.len, search.v.str, search.v.len, from);
    JSAny_SetNumber(&ctx->ret, static_cast<double>(at));
}

void Bi_StringSlice(RunContext *ctx, Function *) {
    ValueGuard self;
    if (!Str_TakeThis(ctx, &self)) return;
    uint32_t len = self.v.len;
    int64_t a, b;
    if (!Arg_Int(ctx, 0, 0, &a) || !Arg_Int(ctx, 1, len, &b)) return;
    if (a < 0) a += len;
    if (b < 0) b += len;
    uint32_t start = Clamp(a, len), end = Clamp(b, len);
    ReturnPart(ctx, self, start, end > start ? end - start : 0);
}

void Bi_StringSubstring(RunContext *ctx, Function *) {
    ValueGuard self;
    if (!Str_TakeThis(ctx, &self)) return;
    uint32_t len = self.v.len;
    int64_t a, b;
    if (!Arg_Int(ctx, 0, 0, &a) || !Arg_Int(ctx, 1, len, &b)) return;
    uint32_t start = Clamp(a, len), end = Clamp(b, len);
    if (start > end) {
        if (ctx->compat == kCompatOld) {
            ReturnPart(ctx, self, 0, 0);
            return;
        }
        uint32_t t = start;
        start = end;
        end = t;
    }
    ReturnPart(ctx, self, start, end - start);
}

void Bi_StringSubstr(RunContext *ctx, Function *) {
    ValueGuard self;
    if (!Str_TakeThis(ctx, &self)) return;
    uint32_t len = self.v.len;
    int64_t a, n;
    if (!Arg_Int(ctx, 0, 0, &a) || !Arg_Int(ctx, 1, len, &n)) return;
    if (a < 0) a += len;
    uint32_t start = Clamp(a, len);
    uint32_t count = n < 0 ? 0 : (n > len - start ? len - start : static_cast<uint32_t>(n));
    ReturnPart(ctx, self, start, count);
}

void Bi_StringToString(RunContext *ctx, Function *) {
    const JSAny *t = &ctx->thisValue;
    if (const JSAny *s = WrappedString(t)) t = s;
    if (!JSAny_IsString(t)) {
        JSAny_SetError(&ctx->ret, ERR_WRONGTYPE);
        return;
    }
    JSAny_Assign(&ctx->ret, t);
}

}  // namespace quillon
