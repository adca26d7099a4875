// The library frame: open and close, the set-up of library-wide state at the
// first open and its tear-down at the last close, and the services a host
// needs beside the eighteen calls. Every entry holds the library lock (open
// and close included, so that a hook may open and close too); SetJSSignal
// alone takes no lock, so that a signal handler or another thread can stop
// a run under way.
#include "host/library.h"

#include "host/heldobjects.h"
#include "values/space.h"
#include "host/valueslots.h"
#include "lexer/lexer.h"
#include "objects/collector.h"
#include "objects/object.h"
#include "platform/clock.h"
#include "platform/debuglog.h"
#include "platform/lock.h"
#include "platform/pool.h"
#include "platform/signals.h"
#include "regexp/rxobject.h"
#include "runtime/atoms.h"
#include "runtime/memory.h"
#include "runtime/checks.h"
#include "builtins/mathrandom.h"
#include "interp/poscache.h"
#include "interp/report.h"
#include "objects/function.h"
#include "objects/primitive.h"
#include "quillon.h"

namespace quillon {

namespace {

uint16_t gOpenCount = 0;
bool gExpungePending = false;
JSLibraryBase gBase;

template <class F>
JSLibraryCall AsCall(F f) {
    return reinterpret_cast<JSLibraryCall>(f);
}

void FillBase() {
    gBase.lib_Version = QUILLON_VERSION;
    gBase.lib_Revision = QUILLON_REVISION;
    gBase.lib_Pad = 0;
    gBase.lib_IdString = QUILLON_IDSTRING;
    gBase.lib_Name = "quillon.library";
    for (auto &c : gBase.lib_Calls) c = nullptr;
    gBase.lib_Calls[1] = AsCall(&OpenJSLibrary);
    gBase.lib_Calls[2] = AsCall(&CloseJSLibrary);
    gBase.lib_Calls[3] = AsCall(&ExpungeJSLibrary);
    gBase.lib_Calls[5] = AsCall(&CreateJSProgramSpace);
    gBase.lib_Calls[6] = AsCall(&DeleteJSProgramSpace);
    gBase.lib_Calls[7] = AsCall(&RunJavaScript);
    gBase.lib_Calls[8] = AsCall(&GetJSResult);
    gBase.lib_Calls[9] = AsCall(&SetJSResultObject);
    gBase.lib_Calls[10] = AsCall(&SetJSLookupSpace);
    gBase.lib_Calls[11] = AsCall(&GetJSArguments);
    gBase.lib_Calls[12] = AsCall(&SetJSResult);
    gBase.lib_Calls[13] = AsCall(&GetJSUserData);
    gBase.lib_Calls[14] = AsCall(&NewJSObject);
    gBase.lib_Calls[15] = AsCall(&ReleaseJSObject);
    gBase.lib_Calls[16] = AsCall(&SetJSLookupObject);
    gBase.lib_Calls[17] = AsCall(&AddJSScopeObject);
    gBase.lib_Calls[18] = AsCall(&CallJavaScript);
    gBase.lib_Calls[19] = AsCall(&HoldJSArgument);
    gBase.lib_Calls[20] = AsCall(&ReleaseJSValue);
    gBase.lib_Calls[21] = AsCall(&GetJSUserData2);
    gBase.lib_Calls[22] = AsCall(&RunJavaScript2);
}

bool SetUp() {
    if (!Pool_Create()) return false;
    MemUse = 0;
    Collector_Reset();
    Atom_Reset();
    Lex_InitTables();
    Chk_Init();
    Cache_Install();
    Fn_SetBreakCheck(&Err_CheckBreak);
    Obj_InstallConversions();
    Rx_InstallHooks();
    Math_SeedRandom(static_cast<uint32_t>(Plat_DateStamp().ticks));
    return true;
}

void TearDown() {
    Slots_Shutdown();
    Held_Shutdown();
    long left = Obj_RootCount();
    if (left) Plat_DebugPrintf("Warning: %ld program objects left!\n", left);
    Mem_ShutdownCheck();
    Pool_Delete();
}

}  // namespace

bool Lib_IsOpen() { return gOpenCount > 0; }

}  // namespace quillon

using namespace quillon;

extern "C" JSLibraryBase *OpenJSLibrary(void) {
    LibLock lock;
    if (gOpenCount == 0) {
        if (!SetUp()) return nullptr;
        FillBase();
    }
    ++gOpenCount;
    gExpungePending = false;
    gBase.lib_OpenCnt = gOpenCount;
    return &gBase;
}

extern "C" void CloseJSLibrary(void) {
    LibLock lock;
    // The last close cannot tear the library down beneath a run (a hook
    // closing the library): it is refused and the library stays open.
    if (gOpenCount == 0 || (gOpenCount == 1 && Space_AnyRunning())) {
        Plat_DebugWrite("Illegal CloseJSLibrary\n");
        return;
    }
    if (--gOpenCount == 0) TearDown();
    gBase.lib_OpenCnt = gOpenCount;
    if (gExpungePending && gOpenCount == 0) ExpungeJSLibrary();
}

extern "C" int32_t ExpungeJSLibrary(void) {
    LibLock lock;
    if (gOpenCount != 0) {
        gExpungePending = true;
        return 0;
    }
    gExpungePending = false;
    return 1;
}

extern "C" uint32_t SetJSSignal(uint32_t newSignals, uint32_t mask) {
    return Plat_SetSignal(newSignals, mask);
}

extern "C" void SetJSDebugOutput(JSDebugWriter writer, void *user) {
    LibLock lock;
    Plat_SetDebugWriter(writer, user);
}

extern "C" int32_t GetJSMemUse(void) {
    LibLock lock;
    return MemUse;
}

extern "C" uintptr_t SetJSMemLimit(uintptr_t bytes) {
    LibLock lock;
    return Mem_SetLimit(bytes);
}
