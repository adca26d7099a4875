// Program objects: making, releasing and handing them to a parent space.
#include "values/progobj.h"

#include <cstring>

#include "quillon.h"
#include "values/space.h"
#include "platform/debuglog.h"
#include "runtime/hookguard.h"
#include "runtime/memory.h"

namespace quillon {

namespace {

void Unlink(ProgramSpace *s, ProgObj *p) {
    if (p->prev) p->prev->next = p->next; else s->progFirst = p->next;
    if (p->next) p->next->prev = p->prev; else s->progLast = p->prev;
    p->next = p->prev = nullptr;
}

void Append(ProgramSpace *s, ProgObj *p) {
    p->next = nullptr;
    p->prev = s->progLast;
    if (s->progLast) s->progLast->next = p; else s->progFirst = p;
    s->progLast = p;
}

void TellReleased(ProgramSpace *s, ProgObj *p) {
    if (s->userData && s->hooks && s->hooks->HostObjectReleased) {
        HookCall guard;
        s->hooks->HostObjectReleased(s->userData, 0, ProgObj_Data(p), p->size);
    }
}

}  // namespace

ProgObj *ProgObj_Create(ProgramSpace *space, const void *bytes, uint32_t size) {
    if (!space || space->userData == 0) return nullptr;
    auto *p = static_cast<ProgObj *>(Mem_Alloc(sizeof(ProgObj) + size));
    if (!p) return nullptr;
    p->next = p->prev = nullptr;
    p->refs = 1;
    p->size = size;
    p->owner = space;
    if (size && bytes) std::memcpy(ProgObj_Data(p), bytes, size);
    else if (size) std::memset(ProgObj_Data(p), 0, size);
    if (space->hooks && space->hooks->HostObjectCreated) {
        HookCall guard;
        if (space->hooks->HostObjectCreated(space->userData, 0, bytes, size) != 0) {
            Mem_Free(p);
            return nullptr;
        }
    }
    Append(space, p);
    return p;
}

void ProgObj_Release(ProgObj *p) {
    if (--p->refs != 0) return;
    if (ProgramSpace *s = p->owner) {
        TellReleased(s, p);
        Unlink(s, p);
    }
    Mem_Free(p);
}

void ProgObj_Detach(ProgObj *p) {
    ProgramSpace *s = p->owner;
    if (!s) {
        Plat_DebugWrite(" **** Error: Trying to free HRD without a JSPS\n");
        return;
    }
    Unlink(s, p);
    // A parent destroyed before its child cannot adopt anything: the
    // object then goes as from a space that is its own parent.
    if (s->parent && s->parent != s && Space_IsLive(s->parent)) {
        p->owner = s->parent;
        Append(s->parent, p);
        return;
    }
    TellReleased(s, p);
    p->owner = nullptr;
    if (p->refs == 0) Mem_Free(p);
}

}  // namespace quillon
