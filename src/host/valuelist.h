// Value lists: arrays of {tag, data} pairs through which values cross the
// host boundary, read against a set of values (GetJSResult, GetJSArguments)
// or setting one value (SetJSResult).
#pragma once
#include <cstdint>

#include "quillon.h"
#include "values/jsany.h"

namespace quillon {

struct RunContext;
struct ProgramSpace;

// Reads the list against `count` values; returns 0 or an internal code.
uint32_t VL_Read(RunContext *ctx, ProgramSpace *space, JSTagItem *list, const JSAny *values,
                 uint32_t count);
// Makes the value the first pair(s) of a setting list describe. Returns the
// number of pairs used (0 when the list does not start with a value tag),
// or sets *err.
uint32_t VL_MakeValue(ProgramSpace *space, const JSTagItem *list, JSAny *out, uint32_t *err);

// Maps an internal code to the calls' result code (0, 1, 3, 4).
uint32_t VL_ResultCode(uint32_t code);

}  // namespace quillon
