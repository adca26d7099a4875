// Case conversion and comparison of strings. toLowerCase and toUpperCase
// follow Latin-1 exactly: A-Z and 192-222 (not 215) gain 32, a-z and 224-254
// (not 247) lose 32, 255 stays. The locale forms and localeCompare use the
// platform's locale services.
#include "objects/natives.h"
#include "builtins/string_this.h"
#include "platform/latin1.h"

namespace quillon {

namespace {

inline uint8_t Lower(uint8_t c) {
    return ((c >= 'A' && c <= 'Z') || (c >= 192 && c <= 222 && c != 215)) ? c + 32 : c;
}

inline uint8_t Upper(uint8_t c) {
    return ((c >= 'a' && c <= 'z') || (c >= 224 && c <= 254 && c != 247)) ? c - 32 : c;
}

template <class Map>
void MapCase(RunContext *ctx, Map map) {
    ValueGuard self;
    if (!Str_TakeThis(ctx, &self)) return;
    uint32_t n = self.v.len;
    const auto *src = reinterpret_cast<const uint8_t *>(self.v.str);
    uint32_t i = 0;
    while (i < n && map(src[i]) == src[i]) ++i;
    if (i == n) {  // nothing changes: the same string serves
        JSAny_Move(&ctx->ret, &self.v);
        return;
    }
    char *t = Text_Alloc(n);
    if (!t) {
        Ret_Fail(ctx, ERR_NOMEM);
        return;
    }
    for (uint32_t k = 0; k < n; ++k) t[k] = static_cast<char>(map(src[k]));
    t[n] = 0;
    JSAny_SetStringAdoptLength(&ctx->ret, t, n);
}

}  // namespace

void Bi_StringToLowerCase(RunContext *ctx, Function *) { MapCase(ctx, Lower); }
void Bi_StringToUpperCase(RunContext *ctx, Function *) { MapCase(ctx, Upper); }
void Bi_StringToLocaleLowerCase(RunContext *ctx, Function *) { MapCase(ctx, Plat_ToLower); }
void Bi_StringToLocaleUpperCase(RunContext *ctx, Function *) { MapCase(ctx, Plat_ToUpper); }

void Bi_StringLocaleCompare(RunContext *ctx, Function *) {
    ValueGuard self, other;
    if (!Str_TakeThis(ctx, &self) || !Str_Arg(ctx, 0, &other)) return;
    int32_t r = Plat_Collate(self.v.str, self.v.len, other.v.str, other.v.len);
    JSAny_SetNumber(&ctx->ret, r);
}

}  // namespace quillon
