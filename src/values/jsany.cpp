// The out-of-line half of value ownership: releasing and copying what a
// negative tag holds (counted texts, objects, program objects), the dead
// markers, and the setting operations.
#include "values/jsany.h"

#include <cstring>

#include "values/progobj.h"
#include "platform/debuglog.h"

namespace quillon {

void JSAny_ReleaseSlow(JSAny *a) {
    switch (a->type) {
    case JSANY_STRING:
        Text_Release(a->str);
        break;
    case JSANY_OBJECT:
        if (a->obj) Obj_Release(a->obj);
        break;
    case JSANY_PROGOBJ:
        if (a->prog) ProgObj_Release(a->prog);
        break;
    default:  // borrowed strings and dead markers own nothing
        break;
    }
    a->type = JSANY_UNDEFINED;
}

void JSAny_Finish(JSAny *a) {
    switch (a->type) {
    case JSANY_STRING:
        Text_Release(a->str);
        a->type = JSANY_DEAD_STRING;
        break;
    case JSANY_CSTRING:  // borrowed: nothing to give back
        a->type = JSANY_DEAD_STRING;
        break;
    case JSANY_OBJECT:
        if (a->obj) Obj_Release(a->obj);
        a->type = JSANY_DEAD_OBJECT;
        break;
    case JSANY_PROGOBJ:
        if (a->prog) ProgObj_Release(a->prog);
        a->type = JSANY_DEAD_PROGOBJ;
        break;
    default:
        if (a->type < 0)
            Plat_DebugPrintf("UFO JSAny finish!!! Type = %lx\n",
                             static_cast<unsigned long>(static_cast<uint32_t>(a->type)));
        break;
    }
}

void JSAny_FinishAndFree(JSAny *a) {
    if (!a) return;
    JSAny_Finish(a);
    Mem_Free(a);
}

void JSAny_InitFromSlow(JSAny *dst, const JSAny *src) {
    switch (src->type) {
    case JSANY_STRING:
        if (Text_RefCount(src->str) < kTextMaxRefs) {
            Text_AddRef(src->str);
            *dst = *src;
            return;
        }
        [[fallthrough]];
    case JSANY_CSTRING: {
        char *t = Text_FromBytes(src->str, src->len);
        if (!t) {
            *dst = JSAny_Err(ERR_NOMEM);
            return;
        }
        dst->type = JSANY_STRING;
        dst->len = src->len;
        dst->str = t;
        return;
    }
    case JSANY_OBJECT:
        if (src->obj) Obj_AddRef(src->obj);
        *dst = *src;
        return;
    case JSANY_PROGOBJ:
        if (src->prog) ProgObj_AddRef(src->prog);
        *dst = *src;
        return;
    default:
        // A finished record (or worse) copied: the copy owns nothing and is
        // undefined, so nothing reads or releases what the source lost.
        Plat_DebugPrintf("UFO JSAny InitFrom!!! Type = %lx\n",
                         static_cast<unsigned long>(static_cast<uint32_t>(src->type)));
        *dst = JSAny_Undef();
        return;
    }
}

JSAny *JSAny_NewSlot() {
    auto *a = static_cast<JSAny *>(Mem_Alloc(sizeof(JSAny)));
    if (a) *a = JSAny_Undeclared();
    return a;
}

void JSAny_SetObject(JSAny *a, Object *o) {
    Obj_AddRef(o);
    JSAny_Clear(a);
    a->type = JSANY_OBJECT;
    a->len = 0;
    a->obj = o;
}

void JSAny_SetProgramObject(JSAny *a, ProgObj *p) {
    ProgObj_AddRef(p);
    JSAny_Clear(a);
    a->type = JSANY_PROGOBJ;
    a->len = 0;
    a->prog = p;
}

void JSAny_SetStringBytes(JSAny *a, const char *bytes, size_t n) {
    char *t = Text_FromBytes(bytes, n);
    JSAny_Clear(a);
    if (!t) {
        *a = JSAny_Err(ERR_NOMEM);
        return;
    }
    a->type = JSANY_STRING;
    a->len = static_cast<uint32_t>(n);
    a->str = t;
}

void JSAny_SetStringCopy(JSAny *a, const char *text) { JSAny_SetStringBytes(a, text, std::strlen(text)); }

void JSAny_SetStringAdopt(JSAny *a, char *counted) {
    JSAny_SetStringAdoptLength(a, counted, static_cast<uint32_t>(std::strlen(counted)));
}

void JSAny_SetStringAdoptLength(JSAny *a, char *counted, uint32_t len) {
    JSAny_Clear(a);
    a->type = JSANY_STRING;
    a->len = len;
    a->str = counted;
}

}  // namespace quillon
