#include "host/space.h"

#include <cstring>

#include "host/progobj.h"
#include "lexer/lexer.h"
#include "objects/function.h"
#include "objects/object.h"
#include "objects/setup.h"
#include "runtime/memory.h"
#include "quillon.h"

namespace quillon {

namespace {

ProgramSpace *gFirst = nullptr;
ProgramSpace *gLast = nullptr;
uint32_t gSerial = 100;

char gEmptyText[1] = {0};

void SetEmpty(ShortStr *s) {
    s->state = -1;
    s->chars = gEmptyText;
    s->len = 0;
}

void Unlink(ProgramSpace *s) {
    if (s->prev) s->prev->next = s->next; else if (gFirst == s) gFirst = s->next;
    if (s->next) s->next->prev = s->prev; else if (gLast == s) gLast = s->prev;
    s->next = s->prev = nullptr;
}

}  // namespace

void Space_ClearShort(ShortStr *s) {
    if (s->state != -1 && s->chars) Text_Release(s->chars);
    SetEmpty(s);
}

bool Space_CopyShort(ShortStr *s, const char *text, uint32_t len) {
    char *t = Text_FromBytes(text, len);
    if (!t) return false;
    Space_ClearShort(s);
    s->state = 0;
    s->chars = t;
    s->len = len;
    return true;
}

bool Space_IsLive(const ProgramSpace *space) {
    if (!space) return false;
    for (ProgramSpace *s = gFirst; s; s = s->next)
        if (s == space) return s->magic == JSPS_MAGIC;
    return false;
}

uint32_t Space_Serial(const ProgramSpace *space) { return space->serial; }

long Space_LiveCount() {
    long n = 0;
    for (ProgramSpace *s = gFirst; s; s = s->next) ++n;
    return n;
}

bool Space_AnyRunning() {
    for (ProgramSpace *s = gFirst; s; s = s->next)
        if (s->runs) return true;
    return false;
}

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
    SetEmpty(&s->lastMatch);
    SetEmpty(&s->lastParen);
    SetEmpty(&s->leftContext);
    SetEmpty(&s->rightContext);
    s->prev = gLast;
    if (gLast) gLast->next = s; else gFirst = s;
    gLast = s;
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
    for (uint32_t i = 0; i < 9; ++i) SetEmpty(&s->groups[i]);
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
    Unlink(s);
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
    s->magic = 0;
    Mem_Free(s);
}

}  // namespace quillon
