// Program objects: blocks of host bytes that scripts handle as values (the
// kind JSANY_PROGOBJ; a value holds one reference). The owning program
// space's host hooks are told when one is made and when one goes; a space
// that dies hands its program objects to its parent.
#pragma once
#include <cstdint>

namespace quillon {

struct ProgramSpace;

struct ProgObj {
    ProgObj *next;  // the owner's list
    ProgObj *prev;
    uint32_t refs;
    uint32_t size;
    ProgramSpace *owner;  // null once detached
    // size data bytes follow
};

inline void *ProgObj_Data(ProgObj *p) { return p + 1; }
inline void ProgObj_AddRef(ProgObj *p) { ++p->refs; }
void ProgObj_Release(ProgObj *p);
ProgObj *ProgObj_Create(ProgramSpace *space, const void *bytes, uint32_t size);
void ProgObj_Detach(ProgObj *p);

}  // namespace quillon
