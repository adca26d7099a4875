// Calls into the host's hooks. A hook may call the library back and run
// scripts, but the library itself may be anywhere when it asks (in the middle
// of a name lookup, a report, the release of a program object), with values
// held only by the caller's locals: no collection of cyclic garbage may start
// until every such hook has returned (objects/collector.cpp). HostInvoke, the
// call of a program object, is made where any script function could be
// called, and needs no guard.
#pragma once
#include <cstdint>

namespace quillon {

extern uint32_t gHookDepth;  // hooks in progress that a collection must wait for

struct HookCall {
    HookCall() { ++gHookDepth; }
    ~HookCall() { --gHookDepth; }
    HookCall(const HookCall &) = delete;
    HookCall &operator=(const HookCall &) = delete;
};

}  // namespace quillon
