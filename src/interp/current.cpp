#include "interp/context.h"

namespace quillon {

namespace {
RunContext *gCurrent = nullptr;
}

RunContext *Run_Current() { return gCurrent; }
void Run_SetCurrent(RunContext *ctx) { gCurrent = ctx; }

}  // namespace quillon
