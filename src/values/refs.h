// Inline forms of copying and emptying values for the hot paths of the
// interpreter and the object model: object references are taken and dropped
// in place; every other kind goes through JSAny_InitFrom / JSAny_Clear.
#pragma once
#include "objects/object.h"
#include "values/jsany.h"

namespace quillon {

inline void Val_Clear(JSAny *a) {
    if (a->type >= 0) return;
    if (a->type == JSANY_OBJECT && a->obj) {
        Object *o = a->obj;
        a->type = JSANY_UNDEFINED;
        Obj_Release(o);
        return;
    }
    JSAny_ReleaseSlow(a);
}

inline void Val_Copy(JSAny *dst, const JSAny *src) {
    if (src->type >= 0) {
        *dst = *src;
    } else if (src->type == JSANY_OBJECT && src->obj) {
        Obj_AddRef(src->obj);
        *dst = *src;
    } else {
        JSAny_InitFromSlow(dst, src);
    }
}

}  // namespace quillon
