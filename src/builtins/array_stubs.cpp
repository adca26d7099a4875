// Entries of this group that are not built yet: each answers "Function
// not implemented" so the built-in table is complete from the start.
#include "builtins/natives.h"

namespace quillon {

void Bi_Array(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_ArrayConcat(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_ArrayEvery(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_ArrayFilter(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_ArrayForEach(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_ArrayIndexOf(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_ArrayJoin(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_ArrayLastIndexOf(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_ArrayMap(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_ArrayPop(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_ArrayPush(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_ArrayReverse(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_ArrayShift(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_ArraySlice(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_ArraySome(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_ArraySort(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_ArraySplice(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_ArrayToString(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_ArrayUnshift(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }

}  // namespace quillon
