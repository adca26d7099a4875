// The library's calls: the boundary through which hosts drive program
// spaces, runs and values. Every call holds the library lock while it runs;
// handles are checked before anything is read through them: spaces against
// the list of live spaces, run contexts against the chain of contexts in
// use, objects against those the host holds, value slots against the ones
// taken. A handle that fails its check is refused with the call's
// "Illegal ..." message and nothing is touched.
#include <cstring>

#include "host/heldobjects.h"
#include "host/library.h"
#include "values/progobj.h"
#include "host/space.h"
#include "host/valuelist.h"
#include "host/valueslots.h"
#include "values/context.h"
#include "interp/run.h"
#include "objects/object.h"
#include "platform/debuglog.h"
#include "platform/lock.h"
#include "quillon.h"
#include "runtime/errtable.h"
#include "interp/report.h"

using namespace quillon;

namespace {

inline RunContext *Ctx(JSRunContext *c) { return reinterpret_cast<RunContext *>(c); }
inline ProgramSpace *Space(JSProgramSpace *s) { return reinterpret_cast<ProgramSpace *>(s); }

// A handle names a live space only when the library is open and the handle
// is on its list of spaces; nothing is read through any other handle.
bool Live(JSProgramSpace *s) { return Lib_IsOpen() && Space_IsLive(Space(s)); }

// A context handle is live while its run, call or result read is under way;
// any other is refused with the call's message.
bool LiveContext(JSRunContext *c, const char *illegal) {
    if (Run_IsLive(c)) return true;
    Plat_DebugWrite(illegal);
    return false;
}

// An object handle is good while the host holds a reference to it.
bool HeldObject(JSObject *o, const char *illegal) {
    if (Held_Has(reinterpret_cast<Object *>(o))) return true;
    Plat_DebugWrite(illegal);
    return false;
}

// Marks a run or call under way in a space for as long as it lasts: a hook
// may not destroy the space (or close the library) beneath it.
struct RunMark {
    ProgramSpace *space;
    explicit RunMark(ProgramSpace *s) : space(s) { ++space->runs; }
    ~RunMark() { --space->runs; }
    RunMark(const RunMark &) = delete;
    RunMark &operator=(const RunMark &) = delete;
};

void ReleaseScopeObjects(RunContext *ctx) {
    for (uint32_t i = 0; i < ctx->scopeObjCount; ++i) ProgObj_Release(ctx->scopeObjs[i]);
    Arr_Free(ctx->scopeObjs);
    ctx->scopeObjs = nullptr;
    ctx->scopeObjCount = 0;
}

bool AppendScopeObject(RunContext *ctx, ProgObj *p) {
    if (!Arr_EnsureT(ctx->scopeObjs, ctx->scopeObjCount + 1)) {
        ProgObj_Release(p);
        ReleaseScopeObjects(ctx);
        return false;
    }
    ctx->scopeObjs[ctx->scopeObjCount++] = p;
    return true;
}

}  // namespace

extern "C" JSProgramSpace *CreateJSProgramSpace(JSProgramSpace *parent, const JSHostLibrary *hooks,
                                                uintptr_t userData) {
    LibLock lock;
    if (!Lib_IsOpen()) {
        Plat_DebugWrite("Illegal CreateJSProgramSpace\n");
        return nullptr;
    }
    ProgramSpace *p = parent && Space_IsLive(Space(parent)) ? Space(parent) : nullptr;
    return reinterpret_cast<JSProgramSpace *>(Space_Create(p, hooks, userData));
}

extern "C" void DeleteJSProgramSpace(JSProgramSpace *space) {
    LibLock lock;
    // A space whose run is under way (the host deleting it from one of the
    // run's hooks) is refused like a bad handle: the run still uses it.
    if (!Live(space) || Space(space)->runs) {
        Plat_DebugWrite("Illegal DeleteJSProgramSpace\n");
        return;
    }
    Space_Destroy(Space(space));
}

extern "C" uint32_t RunJavaScript(JSProgramSpace *space, const char *source, uint32_t flags,
                                  uintptr_t hostHandle, uint32_t breakMask, int32_t compatLevel) {
    LibLock lock;
    if (!Live(space)) {
        Plat_DebugWrite("Illegal RunJavaScript\n");
        return JSRESULT_ERROR;
    }
    RunMark mark(Space(space));
    uint32_t code = Run_Source(Space(space), source ? source : "", flags, hostHandle, breakMask,
                               compatLevel);
    return VL_ResultCode(code & ~ERR_REPORTED);
}

extern "C" uint32_t RunJavaScript2(JSProgramSpace *space, const char *source, uint32_t flags,
                                   uintptr_t hostHandle, uint32_t breakMask, int32_t compatLevel) {
    return RunJavaScript(space, source, flags, hostHandle, breakMask, compatLevel);
}

extern "C" uint32_t GetJSResult(JSProgramSpace *space, JSTagItem *list) {
    LibLock lock;
    if (!space) return JSRESULT_NOMEMORY;
    if (!Live(space)) return JSRESULT_ERROR;
    ProgramSpace *s = Space(space);
    JSAny *r = &s->lastResult;
    if (r->type == JSANY_ERROR) {
        uint32_t code = r->code & ~ERR_REPORTED;
        if (code == ERR_NOVALUE) {
            // No value: a count pair reads 0, every other pair keeps its preset.
            for (JSTagItem *item = list; item && item->ti_Tag != JSTAG_END; ++item)
                if (item->ti_Tag == JSTAG_COUNT) item->ti_Data = 0;
            return JSRESULT_OK;
        }
        if (code != 0) return VL_ResultCode(code);
    }
    // Reading may convert the value, calling script functions and hooks:
    // from a hook it counts as one invocation of the chain under way.
    RunMark mark(s);
    RunContext *ctx = Run_OpenTemp(s);
    if (!ctx) return JSRESULT_NOMEMORY;
    uint32_t code = Run_Enter(ctx) ? VL_Read(ctx, s, list, r, 1) : Err_Report(ctx, ROW_TOO_DEEP, nullptr);
    Run_Leave(ctx);
    Run_CloseTemp(ctx);
    return VL_ResultCode(code & ~ERR_REPORTED);
}

extern "C" uint32_t SetJSResultObject(JSRunContext *c, const void *data, uint32_t size) {
    LibLock lock;
    if (!c) return JSRESULT_NOMEMORY;
    if (!LiveContext(c, "Illegal SetJSResultObject\n")) return JSRESULT_ERROR;
    RunContext *ctx = Ctx(c);
    ProgObj *p = ProgObj_Create(ctx->space, data, size);
    JSAny_Clear(&ctx->ret);
    if (!p) {
        ctx->ret = JSAny_Err(ERR_NOMEM);
        return JSRESULT_NOMEMORY;
    }
    ctx->ret.type = JSANY_PROGOBJ;
    ctx->ret.len = 0;
    ctx->ret.prog = p;
    return JSRESULT_OK;
}

extern "C" uint32_t SetJSLookupSpace(JSRunContext *c, JSProgramSpace *space) {
    LibLock lock;
    if (!c) return JSRESULT_NOMEMORY;
    if (!LiveContext(c, "Illegal SetJSLookupSpace\n")) return JSRESULT_ERROR;
    RunContext *ctx = Ctx(c);
    if (Live(space)) {
        ctx->lookupSpace = Space(space);
        return 0;
    }
    ctx->lookupSpace = nullptr;
    return 3;
}

extern "C" uint32_t GetJSArguments(JSRunContext *c, JSTagItem *list) {
    LibLock lock;
    if (!c) return JSRESULT_NOMEMORY;
    if (!LiveContext(c, "Illegal GetJSArguments\n")) return JSRESULT_ERROR;
    RunContext *ctx = Ctx(c);
    uint32_t code = VL_Read(ctx, ctx->space, list, ctx->args, ctx->argc);
    if (code) JSAny_SetError(&ctx->ret, code);
    return VL_ResultCode(code & ~ERR_REPORTED);
}

extern "C" uint32_t SetJSResult(JSRunContext *c, const JSTagItem *list) {
    LibLock lock;
    if (!c) return JSRESULT_NOMEMORY;
    if (!LiveContext(c, "Illegal SetJSResult\n")) return JSRESULT_ERROR;
    if (list && list[0].ti_Tag == JSTAG_OBJECT && list[0].ti_Data &&
        !HeldObject(reinterpret_cast<JSObject *>(list[0].ti_Data), "Illegal SetJSResult\n"))
        return JSRESULT_ERROR;
    RunContext *ctx = Ctx(c);
    JSAny_SetError(&ctx->ret, 0);
    JSAny value;
    uint32_t err;
    uint32_t used = VL_MakeValue(ctx->space, list, &value, &err);
    if (used == 0) return 0;
    ctx->ret = value;
    if (err) return err;
    // Further pairs, two at a time, make the scope objects of the pending lookup.
    const JSTagItem *item = list + used;
    if (item->ti_Tag == JSTAG_END || ctx->scopeObjs) return 0;
    while (item->ti_Tag != JSTAG_END && item[1].ti_Tag != JSTAG_END) {
        ProgObj *p = ProgObj_Create(ctx->space, reinterpret_cast<const void *>(item[0].ti_Data),
                                    static_cast<uint32_t>(item[1].ti_Data));
        if (!p) {
            ReleaseScopeObjects(ctx);
            return ERR_NOMEM;
        }
        if (!AppendScopeObject(ctx, p)) return ERR_NOMEM;
        item += 2;
    }
    return 0;
}

extern "C" uintptr_t GetJSUserData(JSRunContext *c) {
    LibLock lock;
    if (!c) return 0;
    if (!LiveContext(c, "Illegal GetJSUserData\n")) return 0;
    return Ctx(c)->space ? Ctx(c)->space->userData : 0;
}

// Slot 21 has no null test of its own; the live test refuses null with the
// rest.
extern "C" uintptr_t GetJSUserData2(JSRunContext *c) {
    LibLock lock;
    if (!LiveContext(c, "Illegal GetJSUserData\n")) return 0;
    return Ctx(c)->space ? Ctx(c)->space->userData : 0;
}

extern "C" JSObject *NewJSObject(JSRunContext *c) {
    LibLock lock;
    if (!c) {
        Plat_DebugWrite("Illegal DeleteJSProgramSpace\n");
        return nullptr;
    }
    if (!LiveContext(c, "Illegal NewJSObject\n")) return nullptr;
    ProgramSpace *space = Ctx(c)->space;
    Object *o = space ? Obj_New(space->protos[PROTO_OBJECT]) : nullptr;
    if (o && !Held_Add(o)) {
        Obj_Release(o);
        o = nullptr;
    }
    return reinterpret_cast<JSObject *>(o);
}

extern "C" void ReleaseJSObject(JSObject *object) {
    LibLock lock;
    if (!object) return;
    if (!Held_Drop(reinterpret_cast<Object *>(object))) {
        Plat_DebugWrite("Illegal ReleaseJSObject\n");
        return;
    }
    Obj_Release(reinterpret_cast<Object *>(object));
}

extern "C" uint32_t SetJSLookupObject(JSRunContext *c, JSObject *object) {
    LibLock lock;
    if (!c) return JSRESULT_NOMEMORY;
    if (!LiveContext(c, "Illegal SetJSLookupObject\n")) return JSRESULT_ERROR;
    if (object && !HeldObject(object, "Illegal SetJSLookupObject\n")) return JSRESULT_ERROR;
    RunContext *ctx = Ctx(c);
    auto *o = reinterpret_cast<Object *>(object);
    if (o) Obj_AddRef(o);
    if (ctx->lookupObject) Obj_Release(ctx->lookupObject);
    ctx->lookupObject = o;
    return o ? 0 : 3;
}

extern "C" uint32_t AddJSScopeObject(JSRunContext *c, const void *data, uint32_t size) {
    LibLock lock;
    if (!c) return JSRESULT_NOMEMORY;
    if (!LiveContext(c, "Illegal AddJSScopeObject\n")) return JSRESULT_ERROR;
    RunContext *ctx = Ctx(c);
    ProgObj *p = ProgObj_Create(ctx->space, data, size);
    if (!p) return JSRESULT_NOMEMORY;
    return AppendScopeObject(ctx, p) ? 0 : JSRESULT_NOMEMORY;
}

extern "C" uint32_t CallJavaScript(JSProgramSpace *space, uint32_t flags, uintptr_t hostHandle,
                                   uint32_t breakMask, const JSTagItem *list) {
    LibLock lock;
    if (!Live(space)) {
        Plat_DebugWrite("Illegal RunJavaScript\n");
        return JSRESULT_ERROR;
    }
    RunMark mark(Space(space));
    const JSAny *callee = nullptr;
    JSAny *args = nullptr;  // Arr_*
    uint32_t argc = 0;
    uint32_t code = 0;
    bool refused = false;
    for (const JSTagItem *item = list; item && item->ti_Tag != JSTAG_END; ++item) {
        uintptr_t tag = item->ti_Tag;
        // Arguments given by value: a double, or a string with its length.
        bool byValue = tag == JSTAG_DOUBLE || (tag == JSTAG_STRING && item[1].ti_Tag == JSTAG_SIZE);
        if (!byValue && tag != JSTAG_OBJECT && tag != JSTAG_ARGUMENT) continue;
        JSAny *slot = nullptr;
        if (!byValue) {
            // Beyond the table: 103; a released slot: refused.
            slot = Slots_Get(static_cast<uint32_t>(item->ti_Data));
            if (!slot || item->ti_Data > 0xFFFFFFFFu) {
                code = ERR_NOMEM;
                break;
            }
            if (slot->type == JSANY_UNDECLARED) {
                Plat_DebugWrite("Illegal CallJavaScript\n");
                refused = true;
                break;
            }
            if (tag == JSTAG_OBJECT) {
                callee = slot;
                continue;
            }
        }
        if (!Arr_EnsureT(args, argc + 1)) {
            code = ERR_NOMEM;
            break;
        }
        if (byValue) {
            uint32_t used = VL_MakeValue(Space(space), item, &args[argc], &code);
            if (code) break;
            item += used - 1;
        } else {
            JSAny_InitFrom(&args[argc], slot);
        }
        ++argc;
    }
    if (refused) {
        for (uint32_t i = 0; i < argc; ++i) JSAny_Clear(&args[i]);
        Arr_Free(args);
        return JSRESULT_ERROR;
    }
    if (code == 0 && callee) {
        JSAny fn;
        JSAny_InitFrom(&fn, callee);
        code = Run_CallValue(Space(space), flags, hostHandle, breakMask, &fn, args, argc);
        JSAny_Clear(&fn);
    }
    for (uint32_t i = 0; i < argc; ++i) JSAny_Clear(&args[i]);
    Arr_Free(args);
    return VL_ResultCode(code & ~ERR_REPORTED);
}

extern "C" int32_t HoldJSArgument(JSRunContext *c, uint32_t index) {
    LibLock lock;
    if (!c) return -1;
    if (!LiveContext(c, "Illegal HoldJSArgument\n")) return -1;
    RunContext *ctx = Ctx(c);
    if (index >= ctx->argc) return -1;
    return Slots_Hold(&ctx->args[index]);
}

extern "C" uint32_t ReleaseJSValue(uint32_t slot) {
    LibLock lock;
    if (!Lib_IsOpen()) return 2;
    // A slot already released stays free; the host hears of its mistake.
    JSAny *value = Slots_Get(slot);
    if (value && value->type == JSANY_UNDECLARED) {
        Plat_DebugWrite("Illegal ReleaseJSValue\n");
        return 0;
    }
    return Slots_Release(slot);
}

extern "C" uint32_t GetJSProgramSpaceSerial(JSProgramSpace *space) {
    LibLock lock;
    return Live(space) ? Space(space)->serial : 0;
}
