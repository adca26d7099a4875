// Entries of this group that are not built yet: each answers "Function
// not implemented" so the built-in table is complete from the start.
#include "builtins/natives.h"

namespace quillon {

void Bi_Date(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_DateParse(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_DateUTC(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_DateGetField(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_DateGetUTCField(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_DateGetDay(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_DateGetUTCDay(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_DateGetTime(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_DateGetTimezoneOffset(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_DateGetYear(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_DateSetTime(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_DateSetYear(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_DateSetFields(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_DateText(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }

uint32_t Bi_DatePrototypeSetup(ProgramSpace *, Object *) { return 0; }

}  // namespace quillon
