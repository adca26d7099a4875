// The string a String method works on: a string `this` as it is, a String
// object's "__value", any other value converted to a string.
#pragma once
#include "builtins/native_args.h"

namespace quillon {

// Fills self with the string; false with the conversion's error as the result.
bool Str_TakeThis(RunContext *ctx, ValueGuard *self);

// Argument i converted to a string into *out (undefined when missing);
// false with the conversion's error as the result.
bool Str_Arg(RunContext *ctx, uint32_t i, ValueGuard *out);

}  // namespace quillon
