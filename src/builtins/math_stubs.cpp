// Entries of this group that are not built yet: each answers "Function
// not implemented" so the built-in table is complete from the start.
#include "builtins/natives.h"

namespace quillon {

void Bi_Math0(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_Math1(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }
void Bi_Math2(RunContext *ctx, Function *fn) { Fn_NotImplemented(ctx, fn); }

double Math_Abs(double x) { return x; }
double Math_Acos(double x) { return x; }
double Math_Asin(double x) { return x; }
double Math_Atan(double x) { return x; }
double Math_Ceil(double x) { return x; }
double Math_Cos(double x) { return x; }
double Math_Exp(double x) { return x; }
double Math_Floor(double x) { return x; }
double Math_Log(double x) { return x; }
double Math_Round(double x) { return x; }
double Math_Sin(double x) { return x; }
double Math_Sqrt(double x) { return x; }
double Math_Tan(double x) { return x; }
double Math_Atan2(double a, double) { return a; }
double Math_Max(double a, double) { return a; }
double Math_Min(double a, double) { return a; }
double Math_Pow(double a, double) { return a; }
double Math_Random() { return 0; }

}  // namespace quillon
