// RegExp objects: an object record that carries the pattern text, the
// flags, lastIndex and the compiled program (made when first needed).
#pragma once
#include <cstdint>

#include "objects/object.h"
#include "regexp/regexp.h"

namespace quillon {

struct ProgramSpace;

struct RegExpObject : Object {
    JSAny source;         // the pattern text (a counted string)
    uint32_t flags;       // RX_IGNORECASE | RX_GLOBAL | RX_MULTILINE
    uint32_t lastIndex;
    RxProgram *program;   // null until first needed, or after a failed compile
};

inline bool RxObj_Is(const JSAny *v) {
    return v->type == JSANY_OBJECT && v->obj->kind == ObjKind::RegExp;
}
inline RegExpObject *RxObj_Of(const JSAny *v) { return static_cast<RegExpObject *>(v->obj); }

// A new RegExp object (not compiled yet) with the given prototype; the
// record receives it, or error 103.
void RxObj_New(Object *proto, const char *source, uint32_t len, uint32_t flags, JSAny *out);

// The object's program, compiled now when it has none. Returns 0, 103 or
// the compile error (the object then keeps no program).
uint32_t RxObj_Program(RegExpObject *re, RxProgram **out);

// Gives the object a new pattern and flags: the old program is dropped,
// the new one compiled, lastIndex set to 0. Returns 0, 103 (the object is
// then unchanged) or the compile error (the object keeps the new pattern
// without a program).
uint32_t RxObj_Recompile(RegExpObject *re, const char *source, uint32_t len, uint32_t flags);

// Installs the hooks of objects, the collector and the lexer; called once
// at the library's first open.
void Rx_InstallHooks();

}  // namespace quillon
