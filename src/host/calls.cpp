// The library's calls: the boundary through which hosts drive program
// spaces, runs and values.
#include <cstring>

#include "host/library.h"
#include "host/progobj.h"
#include "host/space.h"
#include "host/valuelist.h"
#include "host/valueslots.h"
#include "interp/context.h"
#include "interp/run.h"
#include "objects/object.h"
#include "platform/debuglog.h"
#include "quillon.h"

using namespace quillon;

namespace {

inline RunContext *Ctx(JSRunContext *c) { return reinterpret_cast<RunContext *>(c); }
inline ProgramSpace *Space(JSProgramSpace *s) { return reinterpret_cast<ProgramSpace *>(s); }

// A handle names a live space only when the library is open and the handle
// is on its list of spaces; nothing is read through any other handle.
bool Live(JSProgramSpace *s) { return Lib_IsOpen() && Space_IsLive(Space(s)); }

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
    if (!Lib_IsOpen()) {
        Plat_DebugWrite("Illegal CreateJSProgramSpace\n");
        return nullptr;
    }
    ProgramSpace *p = parent && Space_IsLive(Space(parent)) ? Space(parent) : nullptr;
    return reinterpret_cast<JSProgramSpace *>(Space_Create(p, hooks, userData));
}

extern "C" void DeleteJSProgramSpace(JSProgramSpace *space) {
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
    // Reading may convert the value, calling script functions and hooks.
    RunMark mark(s);
    RunContext *ctx = Run_OpenTemp(s);
    if (!ctx) return JSRESULT_NOMEMORY;
    uint32_t code = VL_Read(ctx, s, list, r, 1);
    Run_CloseTemp(ctx);
    return VL_ResultCode(code & ~ERR_REPORTED);
}

extern "C" uint32_t SetJSResultObject(JSRunContext *c, const void *data, uint32_t size) {
    if (!c) return JSRESULT_NOMEMORY;
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
    if (!c) return JSRESULT_NOMEMORY;
    RunContext *ctx = Ctx(c);
    if (Live(space)) {
        ctx->lookupSpace = Space(space);
        return 0;
    }
    ctx->lookupSpace = nullptr;
    return 3;
}

extern "C" uint32_t GetJSArguments(JSRunContext *c, JSTagItem *list) {
    if (!c) return JSRESULT_NOMEMORY;
    RunContext *ctx = Ctx(c);
    uint32_t code = VL_Read(ctx, ctx->space, list, ctx->args, ctx->argc);
    if (code) JSAny_SetError(&ctx->ret, code);
    return VL_ResultCode(code & ~ERR_REPORTED);
}

extern "C" uint32_t SetJSResult(JSRunContext *c, const JSTagItem *list) {
    if (!c) return JSRESULT_NOMEMORY;
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
    if (!c) return 0;
    return Ctx(c)->space ? Ctx(c)->space->userData : 0;
}

extern "C" uintptr_t GetJSUserData2(JSRunContext *c) { return Ctx(c)->space->userData; }

extern "C" JSObject *NewJSObject(JSRunContext *c) {
    if (!c) {
        Plat_DebugWrite("Illegal DeleteJSProgramSpace\n");
        return nullptr;
    }
    Object *o = Obj_New(Ctx(c)->space->protos[PROTO_OBJECT]);
    return reinterpret_cast<JSObject *>(o);
}

extern "C" void ReleaseJSObject(JSObject *object) {
    if (object) Obj_Release(reinterpret_cast<Object *>(object));
}

extern "C" uint32_t SetJSLookupObject(JSRunContext *c, JSObject *object) {
    if (!c) return JSRESULT_NOMEMORY;
    RunContext *ctx = Ctx(c);
    auto *o = reinterpret_cast<Object *>(object);
    if (o) Obj_AddRef(o);
    if (ctx->lookupObject) Obj_Release(ctx->lookupObject);
    ctx->lookupObject = o;
    return o ? 0 : 3;
}

extern "C" uint32_t AddJSScopeObject(JSRunContext *c, const void *data, uint32_t size) {
    if (!c) return JSRESULT_NOMEMORY;
    RunContext *ctx = Ctx(c);
    ProgObj *p = ProgObj_Create(ctx->space, data, size);
    if (!p) return JSRESULT_NOMEMORY;
    return AppendScopeObject(ctx, p) ? 0 : JSRESULT_NOMEMORY;
}

extern "C" uint32_t CallJavaScript(JSProgramSpace *space, uint32_t flags, uintptr_t hostHandle,
                                   uint32_t breakMask, const JSTagItem *list) {
    if (!Live(space)) {
        Plat_DebugWrite("Illegal RunJavaScript\n");
        return JSRESULT_ERROR;
    }
    RunMark mark(Space(space));
    const JSAny *callee = nullptr;
    JSAny *args = nullptr;  // Arr_*
    uint32_t argc = 0;
    uint32_t code = 0;
    for (const JSTagItem *item = list; item && item->ti_Tag != JSTAG_END; ++item) {
        if (item->ti_Tag != JSTAG_OBJECT && item->ti_Tag != JSTAG_ARGUMENT) continue;
        JSAny *slot = Slots_Get(static_cast<uint32_t>(item->ti_Data));
        if (!slot) {
            code = ERR_NOMEM;
            break;
        }
        if (item->ti_Tag == JSTAG_OBJECT) {
            callee = slot;
            continue;
        }
        if (!Arr_EnsureT(args, argc + 1)) {
            code = ERR_NOMEM;
            break;
        }
        if (slot->type == JSANY_UNDECLARED) args[argc] = JSAny_Undef();
        else JSAny_InitFrom(&args[argc], slot);
        ++argc;
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
    if (!c) return -1;
    RunContext *ctx = Ctx(c);
    if (index >= ctx->argc) return -1;
    return Slots_Hold(&ctx->args[index]);
}

extern "C" uint32_t ReleaseJSValue(uint32_t slot) {
    if (!Lib_IsOpen()) return 2;
    return Slots_Release(slot);
}

extern "C" uint32_t GetJSProgramSpaceSerial(JSProgramSpace *space) {
    return Live(space) ? Space(space)->serial : 0;
}
