// Making and destroying program spaces.
#include "host/space.h"

#include <cstring>

#include "values/progobj.h"
#include "lexer/lexer.h"
#include "objects/function.h"
#include "objects/object.h"
#include "objects/setup.h"
#include "runtime/atoms.h"
#include "runtime/memory.h"
#include "quillon.h"

namespace quillon {

namespace {

uint32_t gSerial = 100;

}  // namespace

ProgramSpace *Space_Create(ProgramSpace *parent, const JSHostLibrary *hooks, uintptr_t userData) {
    auto *s = static_cast<ProgramSpace *>(Mem_AllocZero(sizeof(ProgramSpace)));
    if (!s) return nullptr;
    s->hooks = hooks;
    s->userData = userData;
    s->serial = gSerial++;
    s->parent = parent ? parent : s;
    s->lastResult = JSAny_Err(ERR_NOVALUE);
    s->hostValue = JSAny_Undef();
    s->matchInput = JSAny_Null();
    s->matchValue = JSAny_Null();
    Space_InitShort(&s->lastMatch);
    Space_InitShort(&s->lastParen);
    Space_InitShort(&s->leftContext);
    Space_InitShort(&s->rightContext);
    Space_Link(s);
    s->store = Lex_CreateStore();
    if (!s->store) {
        Space_Destroy(s);
        return nullptr;
    }
    s->groups = static_cast<ShortStr *>(Arr_Alloc(sizeof(ShortStr), 9));
    if (!s->groups) {
        Space_Destroy(s);
        return nullptr;
    }
    for (uint32_t i = 0; i < 9; ++i) Space_InitShort(&s->groups[i]);
    s->multiline = 0;
    if (Setup_Globals(s) != 0) {
        Space_Destroy(s);
        return nullptr;
    }
    s->magic = JSPS_MAGIC;
    if (hooks) {
        ProgObj *p = ProgObj_Create(s, nullptr, 0);
        if (p) {
            s->hostValue.type = JSANY_PROGOBJ;
            s->hostValue.prog = p;
        } else {
            s->hostValue = JSAny_Err(ERR_NOMEM);
        }
    }
    return s;
}

void Space_Destroy(ProgramSpace *s) {
    Space_Unlink(s);
    JSAny_Clear(&s->matchInput);
    JSAny_Clear(&s->matchValue);
    if (s->groups) {
        uint32_t n = Arr_Capacity(s->groups);
        for (uint32_t i = 0; i < n; ++i) Space_ClearShort(&s->groups[i]);
        Arr_Free(s->groups);
        s->groups = nullptr;
    }
    Space_ClearShort(&s->lastMatch);
    Space_ClearShort(&s->lastParen);
    Space_ClearShort(&s->leftContext);
    Space_ClearShort(&s->rightContext);
    while (Function *f = s->functions) {
        Obj_AddRef(f);
        Fn_DisposeScript(static_cast<ScriptFunction *>(f));
        Obj_Release(f);
    }
    JSAny_Clear(&s->hostValue);
    while (ProgObj *p = s->progLast) ProgObj_Detach(p);
    // Natives that outlive the space (held by a host's value slot, say) must
    // not reach back into it.
    while (Function *f = s->natives) {
        Fn_Unlink(f, &s->natives);
        f->space = nullptr;
    }
    JSAny_Clear(&s->lastResult);
    for (Object *&p : s->protos) {
        if (p) {
            Object *o = p;
            p = nullptr;
            Obj_Release(o);
        }
    }
    // The store goes after the objects: operand constants (literal objects)
    // and global variables hold references that the collector must see
    // released first.
    if (s->store) {
        LexStore *store = s->store;
        s->store = nullptr;
        Lex_DestroyStore(store);
    }
    Obj_CollectCycles();
    for (char *&k : s->dateKeys) {
        Atom_Release(k);
        k = nullptr;
    }
    s->magic = 0;
    Mem_Free(s);
}

}  // namespace quillon
