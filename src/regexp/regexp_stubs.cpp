// Entries of this group that are not built yet: each answers "Function
// not implemented" so the built-in table is complete from the start.
#include "builtins/natives.h"

namespace quillon {

void Bi_StringMatch(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_StringReplace(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_StringSearch(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_StringSplit(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_RegExp(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_RegExpCompile(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_RegExpExec(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_RegExpTest(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_RegExpToString(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }

uint32_t Bi_MakeRegExpPrototype(ProgramSpace *, JSAny *out) {
    Obj_NewInto(out, nullptr);
    return out->type == JSANY_ERROR ? ERR_NOMEM : 0;
}

}  // namespace quillon
