// The native entries of the built-in table: every function a program space
// starts with. Rows that share an entry tell it apart by the function
// record's name or extra word. The table (builtin_table.cpp) and global
// setup name them here; each is defined by its built-in in builtins/ or
// regexp/, which fill in what this list declares.
#pragma once
#include <cstdint>

#include "objects/function.h"

namespace quillon {

#define QUILLON_NATIVE(name) void name(RunContext *ctx, Function *fn)

// Global functions and Debug.
QUILLON_NATIVE(Bi_Eval);
QUILLON_NATIVE(Bi_IsNaN);
QUILLON_NATIVE(Bi_IsFinite);
QUILLON_NATIVE(Bi_ParseFloat);
QUILLON_NATIVE(Bi_ParseInt);
QUILLON_NATIVE(Bi_Escape);
QUILLON_NATIVE(Bi_Unescape);
QUILLON_NATIVE(Bi_EncodeURI);
QUILLON_NATIVE(Bi_EncodeURIComponent);
QUILLON_NATIVE(Bi_DecodeURI);
QUILLON_NATIVE(Bi_DebugWrite);
QUILLON_NATIVE(Bi_DebugWriteln);

// Object, Function, Boolean, Number, Error.
QUILLON_NATIVE(Bi_Object);
QUILLON_NATIVE(Bi_ObjectHasOwnProperty);
QUILLON_NATIVE(Bi_ObjectIsPrototypeOf);
QUILLON_NATIVE(Bi_ObjectPropertyIsEnumerable);
QUILLON_NATIVE(Bi_ObjectToLocaleString);
QUILLON_NATIVE(Bi_ObjectToString);
QUILLON_NATIVE(Bi_ObjectValueOf);
QUILLON_NATIVE(Bi_Function);
QUILLON_NATIVE(Bi_FunctionPrototype);
QUILLON_NATIVE(Bi_FunctionApply);
QUILLON_NATIVE(Bi_FunctionBind);
QUILLON_NATIVE(Bi_FunctionCall);
QUILLON_NATIVE(Bi_FunctionToString);
QUILLON_NATIVE(Bi_Boolean);
QUILLON_NATIVE(Bi_BooleanToString);
QUILLON_NATIVE(Bi_BooleanValueOf);
QUILLON_NATIVE(Bi_Number);
QUILLON_NATIVE(Bi_NumberToExponential);
QUILLON_NATIVE(Bi_NumberToFixed);
QUILLON_NATIVE(Bi_NumberToLocaleString);
QUILLON_NATIVE(Bi_NumberToPrecision);
QUILLON_NATIVE(Bi_NumberToString);
QUILLON_NATIVE(Bi_NumberValueOf);
QUILLON_NATIVE(Bi_Error);
QUILLON_NATIVE(Bi_ErrorToString);

// Static generics of Array and String (Array.join(a, ...), String.charAt(s, ...));
// extra: 1 for the Array rows, 2 for the String rows.
QUILLON_NATIVE(Bi_StaticGeneric);

// Array.
QUILLON_NATIVE(Bi_Array);
QUILLON_NATIVE(Bi_ArrayConcat);
QUILLON_NATIVE(Bi_ArrayEvery);
QUILLON_NATIVE(Bi_ArrayFilter);
QUILLON_NATIVE(Bi_ArrayForEach);
QUILLON_NATIVE(Bi_ArrayIndexOf);
QUILLON_NATIVE(Bi_ArrayJoin);
QUILLON_NATIVE(Bi_ArrayLastIndexOf);
QUILLON_NATIVE(Bi_ArrayMap);
QUILLON_NATIVE(Bi_ArrayPop);
QUILLON_NATIVE(Bi_ArrayPush);
QUILLON_NATIVE(Bi_ArrayReverse);
QUILLON_NATIVE(Bi_ArrayShift);
QUILLON_NATIVE(Bi_ArraySlice);
QUILLON_NATIVE(Bi_ArraySome);
QUILLON_NATIVE(Bi_ArraySort);
QUILLON_NATIVE(Bi_ArraySplice);
QUILLON_NATIVE(Bi_ArrayToLocaleString);
QUILLON_NATIVE(Bi_ArrayToString);
QUILLON_NATIVE(Bi_ArrayUnshift);

// String (the pattern methods match, replace, search and split live with
// the regular expressions).
QUILLON_NATIVE(Bi_String);
QUILLON_NATIVE(Bi_StringFromCharCode);
QUILLON_NATIVE(Bi_StringHtml);  // the thirteen HTML wrappers, told apart by name
QUILLON_NATIVE(Bi_StringCharAt);
QUILLON_NATIVE(Bi_StringCharCodeAt);
QUILLON_NATIVE(Bi_StringConcat);
QUILLON_NATIVE(Bi_StringIndexOf);
QUILLON_NATIVE(Bi_StringLastIndexOf);
QUILLON_NATIVE(Bi_StringLocaleCompare);
QUILLON_NATIVE(Bi_StringSlice);
QUILLON_NATIVE(Bi_StringSubstring);
QUILLON_NATIVE(Bi_StringSubstr);
QUILLON_NATIVE(Bi_StringToLocaleLowerCase);
QUILLON_NATIVE(Bi_StringToLocaleUpperCase);
QUILLON_NATIVE(Bi_StringToLowerCase);
QUILLON_NATIVE(Bi_StringToUpperCase);
QUILLON_NATIVE(Bi_StringToString);  // toString and valueOf
QUILLON_NATIVE(Bi_StringMatch);
QUILLON_NATIVE(Bi_StringReplace);
QUILLON_NATIVE(Bi_StringSearch);
QUILLON_NATIVE(Bi_StringSplit);

// RegExp.
QUILLON_NATIVE(Bi_RegExp);
QUILLON_NATIVE(Bi_RegExpCompile);
QUILLON_NATIVE(Bi_RegExpExec);
QUILLON_NATIVE(Bi_RegExpTest);
QUILLON_NATIVE(Bi_RegExpToString);
// The RegExp prototype: a regular-expression object with the source "(?:)".
uint32_t Bi_MakeRegExpPrototype(ProgramSpace *space, JSAny *out);

// Math: one shared entry per number of arguments; the routine is in extra.
QUILLON_NATIVE(Bi_Math0);
QUILLON_NATIVE(Bi_Math1);
QUILLON_NATIVE(Bi_Math2);
using MathFn1 = double (*)(double);
using MathFn2 = double (*)(double, double);
using MathFn0 = double (*)();
double Math_Abs(double x);
double Math_Acos(double x);
double Math_Asin(double x);
double Math_Atan(double x);
double Math_Ceil(double x);
double Math_Cos(double x);
double Math_Exp(double x);
double Math_Floor(double x);
double Math_Log(double x);
double Math_Round(double x);
double Math_Sin(double x);
double Math_Sqrt(double x);
double Math_Tan(double x);
double Math_Atan2(double y, double x);
double Math_Max(double a, double b);
double Math_Min(double a, double b);
double Math_Pow(double a, double b);
double Math_Random();

// Date.
QUILLON_NATIVE(Bi_Date);
QUILLON_NATIVE(Bi_DateParse);
QUILLON_NATIVE(Bi_DateUTC);
QUILLON_NATIVE(Bi_DateGetField);     // extra: the field's name ("year", "month", ...)
QUILLON_NATIVE(Bi_DateGetUTCField);  // extra: the field's name
QUILLON_NATIVE(Bi_DateGetDay);
QUILLON_NATIVE(Bi_DateGetUTCDay);
QUILLON_NATIVE(Bi_DateGetTime);      // getTime, valueOf, toNumber
QUILLON_NATIVE(Bi_DateGetTimezoneOffset);
QUILLON_NATIVE(Bi_DateGetYear);
QUILLON_NATIVE(Bi_DateSetTime);
QUILLON_NATIVE(Bi_DateSetYear);
QUILLON_NATIVE(Bi_DateSetFields);    // the field setters, told apart by name
QUILLON_NATIVE(Bi_DateText);         // the text forms; extra: the mode bits
// The Date prototype's own set-up (run when global setup makes it).
uint32_t Bi_DatePrototypeSetup(ProgramSpace *space, Object *proto);

#undef QUILLON_NATIVE

}  // namespace quillon
