// Calls into the host hook library of a program space: the member
// operations and calls of program objects, and name lookups, go through
// these. A missing library or
// entry answers as the host would when it has nothing to say: "no such
// name" (2) for the name hooks, 0 for the object hooks and notifications.
#pragma once
#include <cstdint>

#include "quillon.h"

namespace quillon {

struct ProgramSpace;
struct RunContext;
struct ProgObj;

uint32_t Host_Invoke(ProgramSpace *space, uintptr_t target, RunContext *ctx, void *data,
                     uint32_t size, uint32_t operation);
uint32_t Host_GetProperty(ProgramSpace *space, uintptr_t target, RunContext *ctx, void *data,
                          const char *name, uint32_t size, uint32_t flags);
uint32_t Host_GetElement(ProgramSpace *space, uintptr_t target, RunContext *ctx, void *data,
                         uint32_t size, uint32_t index, uint32_t flags);
uint32_t Host_Notify(ProgramSpace *space, uint32_t kind, uintptr_t hostHandle, const char *heading,
                     const char *message, const char *before, const char *token,
                     const char *after, const char *position);

// The word a program object's hooks receive as their target: the owner's
// user data, or for the program object of size 0 that stands for the host,
// the run's host handle.
uintptr_t Host_TargetOf(RunContext *ctx, ProgObj *p);

// Maps a hook's answer to an internal code: 0 done, 1 out of memory (103),
// 3 user break (0x1001); anything else gives `other`.
uint32_t Host_AnswerCode(uint32_t answer, uint32_t other);

}  // namespace quillon
