// Whole runs: a source text run for the host, a function value called back
// by the host, and the script-function entry every script function carries.
#pragma once
#include <cstdint>

#include "values/jsany.h"

namespace quillon {

struct ProgramSpace;
struct RunContext;
struct Function;

// Lexes and runs a text in the space; the value the run leaves becomes the
// space's last result. Returns the run's internal code (0 success).
uint32_t Run_Source(ProgramSpace *space, const char *source, uint32_t flags, uintptr_t hostHandle,
                    uint32_t breakMask, int32_t compat);
// Calls a function value with arguments; the result becomes the space's last
// result. Returns the internal code.
uint32_t Run_CallValue(ProgramSpace *space, uint32_t flags, uintptr_t hostHandle, uint32_t breakMask,
                       const JSAny *callee, const JSAny *args, uint32_t argc);
// A context for work outside a run (conversions while reading a result);
// null when out of memory. Close it with Run_CloseTemp.
RunContext *Run_OpenTemp(ProgramSpace *space);
void Run_CloseTemp(RunContext *ctx);

// Compiles the text of one function definition ("function name(...) {...}")
// in global scope; the function object goes into *out. Returns the code.
uint32_t Run_MakeFunction(RunContext *ctx, const char *text, uint32_t len, JSAny *out);
// Runs the text of a string value as program text in the current context
// (the global eval); its completion value goes into *result.
uint32_t Run_EvalText(RunContext *ctx, const JSAny *text, JSAny *result);

// The entry of script functions.
void Run_ScriptEntry(RunContext *ctx, Function *fn);

}  // namespace quillon
