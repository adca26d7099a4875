// escape and unescape, and the four URI functions. Strings are bytes: the
// URI encoders write bytes of 128 and up as their two-byte UTF-8 form, and
// the decoders turn a two-byte sequence back into one byte (longer ones,
// which name characters no byte can hold, become "?").
#include <cstring>

#include "builtins/native_args.h"
#include "objects/natives.h"
#include "runtime/text.h"

namespace quillon {

namespace {

const char kHex[] = "0123456789ABCDEF";

inline int HexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

inline bool IsAsciiAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline char *PutEscape(char *o, unsigned char b) {
    *o++ = '%';
    *o++ = kHex[b >> 4];
    *o++ = kHex[b & 15];
    return o;
}

// Bytes escape keeps: letters, digits and * + - . / _
inline bool EscapeKeeps(unsigned char c) {
    return IsAsciiAlnum(c) || c == '*' || c == '+' || c == '-' || c == '.' || c == '/' || c == '_';
}

// True when c is not zero and is one of the bytes of set.
inline bool InSet(unsigned char c, const char *set) { return c != 0 && std::strchr(set, c) != nullptr; }

// The argument as a string, or false (the conversion's error is the result;
// no argument gives undefined).
bool TakeText(RunContext *ctx, ValueGuard &s) {
    if (ctx->argc == 0) {
        JSAny_SetUndefined(&ctx->ret);
        return false;
    }
    return Arg_String(ctx, 0, s);
}


// Encodes every byte for which `keep` is false as %XX, or its UTF-8 form.
template <class Keep>
void Encode(RunContext *ctx, Keep keep, bool utf8) {
    ValueGuard s;
    if (!TakeText(ctx, s)) return;
    const auto *in = reinterpret_cast<const unsigned char *>(s.v.str);
    uint32_t n = s.v.len;
    size_t len = 0;
    for (uint32_t i = 0; i < n; ++i) len += keep(in[i]) ? 1 : (utf8 && in[i] >= 128 ? 6 : 3);
    char *t = Text_Alloc(len);
    if (!t) {
        JSAny_SetError(&ctx->ret, ERR_NOMEM);
        return;
    }
    char *o = t;
    for (uint32_t i = 0; i < n; ++i) {
        unsigned char c = in[i];
        if (keep(c)) {
            *o++ = static_cast<char>(c);
        } else if (utf8 && c >= 128) {
            o = PutEscape(o, c >= 0xC0 ? 0xC3 : 0xC2);
            o = PutEscape(o, 0x80 | (c & 63));
        } else {
            o = PutEscape(o, c);
        }
    }
    Ret_Text(ctx, t, len);
}

// The byte a "%XX" at in[i] names, or -1 when it is not one.
inline int EscapedByte(const unsigned char *in, uint32_t n, uint32_t i) {
    if (n - i < 3 || in[i] != '%') return -1;
    int hi = HexValue(in[i + 1]), lo = HexValue(in[i + 2]);
    return hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
}

}  // namespace

void Bi_Escape(RunContext *ctx, Function *) {
    Encode(ctx, [](unsigned char c) { return EscapeKeeps(c); }, false);
}

void Bi_EncodeURI(RunContext *ctx, Function *) {
    Encode(ctx, [](unsigned char c) { return c >= 33 && c <= 126 && !InSet(c, "\"%<>[\\]^`{|}"); },
           true);
}

void Bi_EncodeURIComponent(RunContext *ctx, Function *) {
    Encode(ctx,
           [](unsigned char c) {
               return c >= 33 && c <= 126 && !InSet(c, "\"%<>[\\]^`{|}#$&+,/:;=?@");
           },
           true);
}

namespace {

// Decodes the text argument into a new text, never longer: `step` reads
// the piece at in[i], appends what it gives to t and moves i on, or answers
// false for a malformed piece, which fails the whole call with ERR_URI.
template <class Step>
void Decode(RunContext *ctx, Step step) {
    ValueGuard s;
    if (!TakeText(ctx, s)) return;
    char *t = Text_Alloc(s.v.len);
    if (!t) {
        JSAny_SetError(&ctx->ret, ERR_NOMEM);
        return;
    }
    const auto *in = reinterpret_cast<const unsigned char *>(s.v.str);
    size_t len = 0;
    for (uint32_t i = 0; i < s.v.len;) {
        if (!step(in, s.v.len, i, t, len)) {
            Text_Release(t);
            JSAny_SetError(&ctx->ret, ERR_URI);
            return;
        }
    }
    Ret_Text(ctx, t, len);
}

}  // namespace

// unescape(s): "%XX" (either case) becomes that byte; any other "%" stays.
void Bi_Unescape(RunContext *ctx, Function *) {
    Decode(ctx, [](const unsigned char *in, uint32_t n, uint32_t &i, char *t, size_t &len) {
        int b = EscapedByte(in, n, i);
        if (b >= 0) {
            t[len++] = static_cast<char>(b);
            i += 3;
        } else {
            t[len++] = static_cast<char>(in[i++]);
        }
        return true;
    });
}

// decodeURI and decodeURIComponent: every "%" must start a well-formed
// escape; an escaped byte of 128 and up must lead a UTF-8 sequence of two to
// four bytes whose continuations are escaped too.
void Bi_DecodeURI(RunContext *ctx, Function *) {
    Decode(ctx, [](const unsigned char *in, uint32_t n, uint32_t &i, char *t, size_t &len) {
        if (in[i] != '%') {
            t[len++] = static_cast<char>(in[i++]);
            return true;
        }
        int lead = EscapedByte(in, n, i);
        if (lead < 0) return false;
        i += 3;
        if (lead < 128) {
            t[len++] = static_cast<char>(lead);
            return true;
        }
        int ones = 0;
        while (ones < 8 && (lead & (0x80 >> ones))) ++ones;
        if (ones < 2 || ones > 4) return false;
        int last = 0;
        for (int k = 1; k < ones; ++k) {
            int cont = EscapedByte(in, n, i);
            if (cont < 0 || (cont & 0xC0) != 0x80) return false;
            last = cont;
            i += 3;
        }
        t[len++] = ones == 2 ? static_cast<char>(((lead << 6) | (last & 63)) & 255) : '?';
        return true;
    });
}

}  // namespace quillon
