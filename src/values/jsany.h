// JSAny: the tagged value record. Every script value the library holds lives
// in one of these 16-byte records: a tag, a length (for strings) and a
// pointer-wide value word (pointer, double, error code or boolean).
//
// Ownership follows the sign of the tag: records with a tag of 0 or more own
// nothing and copy word for word; records with a negative tag hold a share of
// a counted string or a reference to an object or program object, and are
// copied with JSAny_InitFrom and emptied with JSAny_Clear or JSAny_Finish.
// Taking and dropping an object's share is inline (values/objhead.h), since
// it is the most frequent thing the interpreter does; so is a counted
// string's (runtime/memory.h), which string-heavy scripts do as often
// (strings and regular expressions 12 % faster than through a call).
#pragma once
#include <cstddef>
#include <cstdint>

#include "runtime/errors.h"
#include "runtime/memory.h"
#include "values/objhead.h"

namespace quillon {

struct Object;
struct ProgObj;

enum : int32_t {
    JSANY_ERROR = 0,
    JSANY_NUMBER = 1,
    JSANY_BOOLEAN = 2,
    JSANY_NULL = 3,
    JSANY_UNDEFINED = 4,
    JSANY_UNDECLARED = 5,
    // Internal to element stores: a slot of a dense element vector that holds
    // no element (lookups go on to the prototype). Never seen outside them.
    JSANY_ABSENT = 6,
    JSANY_CSTRING = -1,  // borrowed text, never shared, never finished
    JSANY_PROGOBJ = -2,
    JSANY_OBJECT = -3,
    JSANY_STRING = -4,
    JSANY_DEAD_STRING = -7,
    JSANY_DEAD_OBJECT = -8,
    JSANY_DEAD_PROGOBJ = -9,
};

struct JSAny {
    int32_t type;
    uint32_t len;  // byte length of a string
    union {
        double num;
        char *str;       // JSANY_STRING: text of a counted string; JSANY_CSTRING: borrowed
        Object *obj;
        ProgObj *prog;
        uint32_t code;   // JSANY_ERROR
        uint16_t flag;   // JSANY_BOOLEAN: 0 or 1; only these 16 bits count
        void *ptr;
    };
};
static_assert(sizeof(JSAny) == 16, "JSAny stays small");

// ---- constructors of non-owning records ----
inline JSAny JSAny_Num(double d) { JSAny a; a.type = JSANY_NUMBER; a.len = 0; a.num = d; return a; }
inline JSAny JSAny_Bool(bool b) { JSAny a; a.type = JSANY_BOOLEAN; a.len = 0; a.ptr = nullptr; a.flag = b ? 1 : 0; return a; }
inline JSAny JSAny_Err(uint32_t code) { JSAny a; a.type = JSANY_ERROR; a.len = 0; a.ptr = nullptr; a.code = code; return a; }
inline JSAny JSAny_Null() { JSAny a; a.type = JSANY_NULL; a.len = 0; a.ptr = nullptr; return a; }
inline JSAny JSAny_Undef() { JSAny a; a.type = JSANY_UNDEFINED; a.len = 0; a.ptr = nullptr; return a; }
inline JSAny JSAny_Undeclared() { JSAny a; a.type = JSANY_UNDECLARED; a.len = 0; a.ptr = nullptr; return a; }
// A borrowed string: the text must outlive the record; never finished.
inline JSAny JSAny_Borrow(const char *text, uint32_t len) {
    JSAny a; a.type = JSANY_CSTRING; a.len = len; a.str = const_cast<char *>(text); return a;
}

inline bool JSAny_IsString(const JSAny *a) { return a->type == JSANY_STRING || a->type == JSANY_CSTRING; }

// ---- ownership operations ----

// Releases what a negative tag owns without leaving a marker (the setting
// operations use it before storing new content).
void JSAny_ReleaseSlow(JSAny *a);
inline void JSAny_Clear(JSAny *a) {
    if (a->type >= 0) return;
    if (a->type == JSANY_OBJECT && a->obj) {
        Object *o = a->obj;
        a->type = JSANY_UNDEFINED;
        Obj_Release(o);
        return;
    }
    if (a->type == JSANY_STRING) {
        char *t = a->str;
        a->type = JSANY_UNDEFINED;
        Text_Release(t);
        return;
    }
    JSAny_ReleaseSlow(a);
}

// Releases what the record owns and leaves the dead marker of its kind; a
// second finish prints a "UFO" line and releases nothing.
void JSAny_Finish(JSAny *a);
void JSAny_FinishAndFree(JSAny *a);

// Copies src into dst (whose old content is ignored). Strings gain a share
// (or are duplicated at 255 shares, or when borrowed), objects a reference.
// Non-negative tags copy word for word. On exhausted memory dst becomes
// error 103.
void JSAny_InitFromSlow(JSAny *dst, const JSAny *src);
inline void JSAny_InitFrom(JSAny *dst, const JSAny *src) {
    if (src->type >= 0) {
        *dst = *src;
    } else if (src->type == JSANY_OBJECT && src->obj) {
        Obj_AddRef(src->obj);
        *dst = *src;
    } else if (src->type == JSANY_STRING && Text_RefCount(src->str) < kTextMaxRefs) {
        Text_AddRef(src->str);
        *dst = *src;
    } else {
        JSAny_InitFromSlow(dst, src);
    }
}
// Whether taking a share of the value (JSAny_InitFrom) needs no memory:
// anything but borrowed text or a string whose shares are at their limit.
inline bool JSAny_ShareIsFree(const JSAny *v) {
    if (v->type == JSANY_STRING) return Text_RefCount(v->str) < kTextMaxRefs;
    return v->type != JSANY_CSTRING;
}
// Replaces dst's content by a copy of src.
inline void JSAny_Assign(JSAny *dst, const JSAny *src) {
    if (dst == src) return;
    JSAny tmp;
    JSAny_InitFrom(&tmp, src);
    JSAny_Clear(dst);
    *dst = tmp;
}
// Moves src into dst (dst's old content is released); src becomes undefined.
inline void JSAny_Move(JSAny *dst, JSAny *src) {
    JSAny tmp = *src;
    src->type = JSANY_UNDEFINED;
    JSAny_Clear(dst);
    *dst = tmp;
}

JSAny *JSAny_NewSlot();  // a record of its own, tag 5; null when out of memory

// ---- setting operations (release the old content first) ----
inline void JSAny_SetNumber(JSAny *a, double d) { JSAny_Clear(a); *a = JSAny_Num(d); }
inline void JSAny_SetBoolean(JSAny *a, bool b) { JSAny_Clear(a); *a = JSAny_Bool(b); }
inline void JSAny_SetError(JSAny *a, uint32_t code) { JSAny_Clear(a); *a = JSAny_Err(code); }
inline void JSAny_SetNull(JSAny *a) { JSAny_Clear(a); *a = JSAny_Null(); }
inline void JSAny_SetUndefined(JSAny *a) { JSAny_Clear(a); *a = JSAny_Undef(); }
void JSAny_SetWrongType(JSAny *a);                        // error 212 unless already an error
void JSAny_SetErrorFrom(JSAny *a, const JSAny *other);    // other's code, or 212
void JSAny_SetObject(JSAny *a, Object *o);                // takes a reference
void JSAny_SetProgramObject(JSAny *a, ProgObj *p);        // takes a reference
void JSAny_SetStringCopy(JSAny *a, const char *text);     // error 103 on exhaustion
void JSAny_SetStringBytes(JSAny *a, const char *bytes, size_t n);
void JSAny_SetStringAdopt(JSAny *a, char *counted);       // the caller's share passes over
void JSAny_SetStringAdoptLength(JSAny *a, char *counted, uint32_t len);

// Stores an object reference the caller already holds (no new reference).
inline void JSAny_AdoptObject(JSAny *a, Object *o) {
    JSAny_Clear(a);
    a->type = JSANY_OBJECT; a->len = 0; a->obj = o;
}

}  // namespace quillon
