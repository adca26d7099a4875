// Entries of this group that are not built yet: each answers "Function
// not implemented" so the built-in table is complete from the start.
#include "builtins/natives.h"

namespace quillon {

void Bi_Eval(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_IsNaN(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_IsFinite(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_ParseFloat(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_ParseInt(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_Escape(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_Unescape(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_EncodeURI(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_EncodeURIComponent(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_DecodeURI(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_DebugWrite(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_DebugWriteln(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_Object(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_ObjectToString(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_ObjectValueOf(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_Function(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_FunctionPrototype(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_FunctionApply(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_FunctionBind(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_FunctionCall(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_FunctionToString(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_Boolean(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_BooleanToString(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_BooleanValueOf(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_Number(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_NumberToExponential(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_NumberToFixed(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_NumberToLocaleString(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_NumberToPrecision(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_NumberToString(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_NumberValueOf(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_Error(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_ErrorToString(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_StaticGeneric(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }

}  // namespace quillon
