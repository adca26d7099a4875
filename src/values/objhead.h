// The head every script object starts with, and its reference count: a
// value's share of an object is that count, so taking and dropping it
// (JSAny_InitFrom, JSAny_Clear) stays inline for every layer. The two slow
// parts of a release (buffering a possible cycle root, freeing) belong to
// objects/ (collector.cpp, object.cpp), declared here.
#pragma once
#include <cstdint>

namespace quillon {

struct JSAny;
struct PropRec;

// Class flags.
enum : uint32_t {
    CF_CALLABLE = 0x1,
    CF_HASLENGTH = 0x2,
    CF_ARGUMENTS = 0x4,
    CF_ARRAY = 0x10000,
    CF_BOOLEAN = 0x20000,
    CF_DATE = 0x40000,
    CF_FUNCTION = 0x80000,
    CF_NUMBER = 0x100000,
    CF_STRING = 0x200000,
    CF_REGEXP = 0x800000,
    CF_ERROR = 0x1000000,
};

// What the record behind the head is.
enum class ObjKind : uint8_t {
    Plain,
    Native,      // Function record with a native entry
    Script,      // ScriptFunction
    Bound,       // BoundFunction
    Arguments,   // ArgumentsObject
    Activation,  // Activation: the variables of one invocation
    RegExp,      // regular-expression object (record owned by the regexp part)
};

// Collector colours.
enum : uint8_t { COL_BLACK = 0, COL_GRAY = 2, COL_WHITE = 4, COL_PURPLE = 6 };

// The head every object starts with: 56 bytes, so that with its block
// header a plain object takes one 64-byte block of the pool. The counts and
// indexes of the two property stores live in front of the stores
// themselves (objects/props.h, objects/elements.h).
struct Object {
    Object *next;  // root list of the collector
    Object *prev;  // root list; during a collection, the link of its work stack
    uint32_t refs;
    uint8_t colour;
    uint8_t buffered;
    ObjKind kind;
    uint8_t queued;  // the collector's walk state (on its stack, restore pending)
    uint32_t classFlags;
    uint32_t elementLength;
    Object *prototype;
    PropRec *props;  // named properties in insertion order (objects/props.h), or null
    JSAny *dense;    // element store (objects/elements.h): slots 0..denseLen-1, or null
};
static_assert(sizeof(Object) == 56, "a plain object and its block header fit 64 bytes");

// ---- references (reclamation: objects/collector.cpp) ----
inline void Obj_AddRef(Object *o) {
    ++o->refs;
    o->colour = COL_BLACK;
}
// The two slow parts of a release: a count that stays above 0 makes the
// object a possible cycle root (buffered once); a count that reaches 0
// frees it.
void Obj_Buffer(Object *o);
void Obj_Free(Object *o);
inline void Obj_Release(Object *o) {
    if (o->refs > 1) {
        --o->refs;
        o->colour = COL_PURPLE;
        if (!o->buffered) Obj_Buffer(o);
        return;
    }
    Obj_Free(o);
}

}  // namespace quillon
