// Calls into a space's host hook library; a missing library or entry
// answers as a host with nothing to say.
#include "objects/hostcalls.h"

#include "values/context.h"
#include "values/progobj.h"
#include "values/space.h"
#include "runtime/errors.h"
#include "runtime/hookguard.h"

namespace quillon {

uint32_t Host_Invoke(ProgramSpace *space, uintptr_t target, RunContext *ctx, void *data,
                     uint32_t size, uint32_t operation) {
    if (!space || !space->hooks || !space->hooks->HostInvoke) return 2;
    return space->hooks->HostInvoke(target, reinterpret_cast<JSRunContext *>(ctx), data, size,
                                    operation);
}

uint32_t Host_GetProperty(ProgramSpace *space, uintptr_t target, RunContext *ctx, void *data,
                          const char *name, uint32_t size, uint32_t flags) {
    if (!space || !space->hooks || !space->hooks->HostGetProperty) return 2;
    HookCall guard;
    return space->hooks->HostGetProperty(target, reinterpret_cast<JSRunContext *>(ctx), data, name,
                                         size, flags);
}

uint32_t Host_GetElement(ProgramSpace *space, uintptr_t target, RunContext *ctx, void *data,
                         uint32_t size, uint32_t index, uint32_t flags) {
    if (!space || !space->hooks || !space->hooks->HostGetElement) return 2;
    HookCall guard;
    return space->hooks->HostGetElement(target, reinterpret_cast<JSRunContext *>(ctx), data, size,
                                        index, flags);
}

uint32_t Host_Notify(ProgramSpace *space, uint32_t kind, uintptr_t hostHandle, const char *heading,
                     const char *message, const char *before, const char *token,
                     const char *after, const char *position) {
    if (!space || !space->hooks || !space->hooks->HostNotify) return 0;
    HookCall guard;
    return space->hooks->HostNotify(kind, hostHandle, heading, message, before, token, after,
                                    position);
}

uintptr_t Host_TargetOf(RunContext *ctx, ProgObj *p) {
    if (p->size == 0) return ctx ? ctx->hostHandle : 0;
    return p->owner ? p->owner->userData : 0;
}

uint32_t Host_AnswerCode(uint32_t answer, uint32_t other) {
    switch (answer) {
    case 0: return 0;
    case 1: return ERR_NOMEM;
    case 3: return ERR_BREAK;
    default: return other;
    }
}

}  // namespace quillon
