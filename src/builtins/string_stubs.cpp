// Entries of this group that are not built yet: each answers "Function
// not implemented" so the built-in table is complete from the start.
#include "builtins/natives.h"

namespace quillon {

void Bi_String(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_StringFromCharCode(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_StringHtml(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_StringCharAt(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_StringCharCodeAt(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_StringConcat(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_StringIndexOf(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_StringLastIndexOf(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_StringLocaleCompare(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_StringSlice(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_StringSubstring(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_StringSubstr(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_StringToLocaleLowerCase(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_StringToLocaleUpperCase(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_StringToLowerCase(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_StringToUpperCase(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_StringToString(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }

}  // namespace quillon
