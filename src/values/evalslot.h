// Evaluation slots: the interpreter's records for results that may still be
// references. An ordinary value uses `v` alone; a reference keeps its tag in
// v.type and its parts in `base` and `key`.
#pragma once
#include "values/jsany.h"

namespace quillon {

struct IdEntry;

enum : int32_t {
    JSREF_VARIABLE = 20,  // v.ptr: address of the variable's JSAny (a slot that does not move)
    JSREF_MEMBER = 21,    // base: the object value; key: the property key
    JSREF_NAMED = 22,     // base: the object value; key.ptr: the IdEntry naming the property
    JSREF_ARGSLOT = 23,   // base: an arguments object; key.len: the element (a parameter)
};

struct EvalSlot {
    JSAny v;
    JSAny base;
    JSAny key;
};

inline bool Slot_IsRef(const EvalSlot *s) { return s->v.type > 19; }

// Empties the slot (a reference gives up its base and key) and leaves it
// undefined.
inline void Slot_Clear(EvalSlot *s) {
    if (s->v.type > 19) {
        if (s->v.type == JSREF_MEMBER) JSAny_Clear(&s->key);
        if (s->v.type != JSREF_VARIABLE) JSAny_Clear(&s->base);
        s->v.type = JSANY_UNDEFINED;
    } else {
        JSAny_Clear(&s->v);
    }
}

inline void Slot_Init(EvalSlot *s) { s->v = JSAny_Undef(); }

}  // namespace quillon
