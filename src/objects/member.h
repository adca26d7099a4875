// Member operations on every kind of base value: objects, strings, numbers,
// booleans, program objects (through the host hooks), null and undefined.
#pragma once
#include <cstring>
#include <cstdint>

#include "objects/object.h"
#include "objects/props.h"
#include "runtime/atoms.h"
#include "runtime/idtable.h"
#include "runtime/text.h"
#include "values/evalslot.h"

namespace quillon {

struct RunContext;
struct ProgObj;

// Replaces a reference in the slot by the value it names (variables and
// members). With mustExist a missing member gives 0x8015 (and undefined).
// Returns 0 or an error code (also left in the slot as an error value).
uint32_t Obj_GetMember(RunContext *ctx, EvalSlot *slot, bool mustExist);
// Assigns through the reference in the slot; the value is taken over. The
// slot receives the assigned value or an error value; returns the status.
uint32_t Obj_PutMember(RunContext *ctx, EvalSlot *slot, JSAny *value);
// True when the value has a member of that name (the `in` test).
bool Obj_HasMember(RunContext *ctx, const JSAny *value, const char *name, uint32_t len,
                   uint32_t *status);
// True when the value has an own member of that name (hasOwnProperty):
// stored, element or computed; a string has its length and characters. With
// listedOnly, only what for-in lists (stored properties and elements). A
// program object is asked as for `in`.
bool Obj_HasOwnMember(RunContext *ctx, const JSAny *value, const char *name, uint32_t len, bool listedOnly,
                      uint32_t *status);
// The delete operation on a reference; the slot receives the boolean result.
uint32_t Obj_DeleteMember(RunContext *ctx, EvalSlot *slot);

// ---- the fast paths of member reads and stores ----
// Each does what Obj_GetMember / Obj_PutMember would on the cases it takes
// (a store that adds a member may fail for memory there, as the general one
// would) and answers false, having changed nothing, on every other; the
// caller then takes the general path:
// `if (!Obj_GetMemberFast(s, hint)) Obj_GetMember(...)`.
// They take named members of objects whose named members are plain stored
// properties (an own one found through `hint`, the record number + 1 of the
// property the name found last time, kept by the caller; null for none, or
// through a string key's text; inherited ones for reads; appended ones for
// stores), and elements held in the dense store of such an object or of an
// arguments object (appended ones for stores into plain objects).

// Objects whose named members are plain stored properties (no computed
// members, no regular-expression hooks, no string wrapper view).
inline bool Obj_PlainMembers(const Object *o) {
    return !(o->classFlags & (CF_STRING | CF_ARGUMENTS | CF_REGEXP)) && o->kind != ObjKind::Script &&
           o->kind != ObjKind::Arguments && o->kind != ObjKind::RegExp;
}

// Objects whose elements are all plain stored elements: those whose
// members are plain, and arguments objects (whose computed members,
// `callee` and `caller`, are names, never elements; the elements are the
// parameters' values).
inline bool Obj_PlainElements(const Object *o) {
    return Obj_PlainMembers(o) || o->kind == ObjKind::Arguments;
}

// Whether a name is `length` (a string's, an array's, a function's
// computed member).
inline bool Obj_NameIsLength(const char *name, uint32_t len) {
    return len == 6 && std::memcmp(name, "length", 6) == 0;
}

// Whether the named member of o that id names is read as a plain stored
// property, own or along the prototype chain: o's named members are plain,
// or o is a string object (String.prototype among them) and the name is
// not `length` (its characters are elements, which no identifier names),
// or o is an arguments object and the name is not one of its computed
// members (`callee` and `caller`). (Reads only: stores keep the general
// path for string and arguments objects.)
inline bool Obj_PlainNamed(const Object *o, const IdEntry *id) {
    if (Obj_PlainMembers(o)) return true;
    if ((o->classFlags & (CF_STRING | CF_ARGUMENTS | CF_REGEXP)) == CF_STRING && o->kind != ObjKind::Script &&
        o->kind != ObjKind::Arguments && o->kind != ObjKind::RegExp)
        return !Obj_NameIsLength(id->name, id->length);
    if (o->kind != ObjKind::Arguments) return false;
    return id->length != 6 || (std::memcmp(id->name, "callee", 6) != 0 && std::memcmp(id->name, "caller", 6) != 0);
}

// Objects whose own stored properties a store may write directly: named
// members plain, and not a function (whose computed members a store may
// mean).
inline bool Obj_StoresPlain(const Object *o) { return Obj_PlainMembers(o) && !(o->classFlags & CF_CALLABLE); }

// The own property record of the named member, through the hint when it
// still names it (and refreshing it when not); null when o has none.
inline PropRec *Obj_OwnNamedHinted(Object *o, const IdEntry *id, uint32_t *hint) {
    if (!o->props) return nullptr;
    const char *key = Props_KeyOfName(id);  // null: no object has a property of this name
    if (!key) return nullptr;
    if (hint && *hint && *hint <= Props_HeadOf(o->props)->used && o->props[*hint - 1].key == key)
        return &o->props[*hint - 1];
    PropRec *r = Props_FindKey(o, key);
    if (r && hint) *hint = static_cast<uint32_t>(r - o->props) + 1;
    return r;
}

// The own stored property a counted string key names, in an object whose
// named members are plain, found by the key's text; null when it has none,
// and for a key that may be the text of an array index (the general path
// decides between element and name then) or is empty (rare enough to leave
// to the general path).
inline PropRec *Obj_OwnKeyed(Object *o, const JSAny *key) {
    if (!o->props || key->type != JSANY_STRING || key->len == 0 || (key->str[0] >= '0' && key->str[0] <= '9'))
        return nullptr;
    const char *k = Atom_Find(key->str, key->len, Str_Hash(key->str, key->len));
    return k ? Props_FindKey(o, k) : nullptr;
}

// The own stored property a string key names, as the member fast paths
// read it (an object whose members are plain) and store into it (an object
// whose stores are plain); null when the general path must find it.
inline JSAny *Obj_KeyedValue(Object *o, const JSAny *key) {
    if (!Obj_PlainMembers(o)) return nullptr;
    PropRec *r = Obj_OwnKeyed(o, key);
    return r ? &r->value : nullptr;
}
inline JSAny *Obj_KeyedStoreSlot(Object *o, const JSAny *key) {
    if (!Obj_StoresPlain(o)) return nullptr;
    PropRec *r = Obj_OwnKeyed(o, key);
    return r ? &r->value : nullptr;
}

// The element of the dense store of an object whose elements are plain
// that a whole-number key in its range names; null when it holds none (a
// missing element is looked for along the prototype chain, by the general
// path).
inline JSAny *Obj_DenseAt(Object *o, double d) {
    if (!(d >= 0 && d < Elems_DenseLen(o)) || !Obj_PlainElements(o)) return nullptr;
    uint32_t i = static_cast<uint32_t>(d);
    if (i != d || o->dense[i].type == JSANY_ABSENT) return nullptr;
    return &o->dense[i];
}
inline JSAny *Obj_DenseElement(const EvalSlot *s) {
    if (s->base.type != JSANY_OBJECT || s->key.type != JSANY_NUMBER) return nullptr;
    return Obj_DenseAt(s->base.obj, s->key.num);
}

// The element an array index key names in an object whose members are
// plain (Obj_PlainMembers), along the prototype chain, copied into *out:
// what the general read does with such a key (holes included). False, with
// nothing done, when the key is not an array index or the object not plain.
inline bool Obj_GetIndexPlain(Object *o, const JSAny *key, JSAny *out) {
    uint32_t index;
    if (!Obj_PlainMembers(o) || !Obj_ArrayIndex(key, &index)) return false;
    *out = JSAny_Undef();
    Obj_GetIndex(o, index, out);
    return true;
}

// The `length` member of a string value: its length in bytes.
inline JSAny Obj_StringLength(const JSAny *s) { return JSAny_Num(s->len); }

// The store into the element an array index key names of an object whose
// members are plain (Obj_PlainMembers), as the general store makes it: the
// element overwritten or added (a hole filled, the array grown). 0, or a
// failure with nothing done: out of memory, or ERR_NOPROP when the key is
// not an array index or the object not plain.
inline uint32_t Obj_PutIndexPlain(Object *o, const JSAny *key, const JSAny *value) {
    uint32_t index;
    if (!Obj_PlainMembers(o) || !Obj_ArrayIndex(key, &index)) return ERR_NOPROP;
    return Obj_PutIndex(o, index, value);
}

// The value of a named member o has no own stored property of, o's named
// members being plain (Obj_PlainMembers), as a copy in *out: an own
// computed member ("length" and the like) or the member along the
// prototype chain.
inline void Obj_GetNamedInherited(Object *o, const IdEntry *id, JSAny *out) {
    *out = JSAny_Undef();
    if (o->classFlags & (CF_HASLENGTH | CF_CALLABLE)) {
        // Own computed members ("length" and the like) are read from the
        // object; an array's length, the most read of them, directly.
        uint32_t n;
        if (Obj_NameIsLength(id->name, id->length) && Obj_ComputedArrayLength(o, &n)) {
            *out = JSAny_Num(n);
            return;
        }
        Obj_GetNameKey(o, id->name, id->length, id->hash, Props_KeyOfName(id), out);
    } else if (o->prototype) {
        Obj_GetNameKey(o->prototype, id->name, id->length, id->hash, Props_KeyOfName(id), out);
    }
}
// The value of a named member of an object whose named members are plain,
// as a copy in *out: an own stored property, found through the hint, or
// else as Obj_GetNamedInherited finds it. Reading it has no effect.
inline void Obj_GetNamedPlain(Object *o, const IdEntry *id, uint32_t *hint, JSAny *out) {
    if (PropRec *r = Obj_OwnNamedHinted(o, id, hint)) {
        *out = JSAny_Undef();
        if (r->value.type != JSANY_UNDECLARED) JSAny_InitFrom(out, &r->value);
    } else {
        Obj_GetNamedInherited(o, id, out);
    }
}

// The variable a store into a named member of o may write directly: an own
// stored property of an object whose named members are plain and that is
// not a function. Null when the store takes the general path.
inline JSAny *Obj_NamedStoreSlot(Object *o, const IdEntry *id, uint32_t *hint) {
    if (!Obj_StoresPlain(o)) return nullptr;
    PropRec *r = Obj_OwnNamedHinted(o, id, hint);
    return r ? &r->value : nullptr;
}

// Reads through a named reference (JSREF_NAMED) or an element reference
// (JSREF_MEMBER): a named member own or along the prototype chain, an
// element of the dense store, an own stored property a string key names.
inline bool Obj_GetMemberFast(EvalSlot *s, uint32_t *hint) {
    if (s->v.type == JSREF_NAMED) {
        auto *id = static_cast<const IdEntry *>(s->key.ptr);
        if (s->base.type != JSANY_OBJECT || !Obj_PlainNamed(s->base.obj, id)) return false;
        JSAny v;
        Obj_GetNamedPlain(s->base.obj, id, hint, &v);
        JSAny_Clear(&s->base);
        s->v = v;
        return true;
    }
    if (s->v.type != JSREF_MEMBER) return false;
    const JSAny *e = Obj_DenseElement(s);
    if (!e) {
        // An own stored property named by a string key.
        if (s->base.type != JSANY_OBJECT || !(e = Obj_KeyedValue(s->base.obj, &s->key))) return false;
    }
    JSAny v;
    if (e->type == JSANY_UNDECLARED) v = JSAny_Undef();
    else JSAny_InitFrom(&v, e);
    JSAny_Clear(&s->key);
    JSAny_Clear(&s->base);
    s->v = v;
    return true;
}

// Reads through a named reference on a string, number or boolean value a
// member its prototype object holds (a method: `s.charCodeAt`), as
// Obj_GetMember reads it there; false, with nothing done, when the general
// path must read it (`length`, `prototype`, a prototype whose named members
// are not plain, another kind of base).
bool Obj_GetPrimitiveMemberFast(RunContext *ctx, EvalSlot *s, uint32_t *hint);

// How a store the fast path made ends, as Obj_PutMember ends it: the slot
// receives the value (taken over), or the failure with the value released.
inline void Obj_SettleStore(EvalSlot *s, JSAny *value, uint32_t st) {
    JSAny_Clear(&s->base);
    if (st) {
        JSAny_Clear(value);
        s->v = JSAny_Err(st);
    } else {
        s->v = *value;
        *value = JSAny_Undef();
    }
}

// The key of a named member the plain add takes (an object whose named
// members are plain, not a function, with no computed length, and a name
// some property has had); null when the general store must add it.
inline const char *Obj_PlainAddKey(const Object *o, const IdEntry *id) {
    if (!Obj_PlainMembers(o) || (o->classFlags & (CF_CALLABLE | CF_HASLENGTH))) return nullptr;
    return Props_KeyOfName(id);
}

// The stores that add a member, made as the general store makes them:
//  - a named member of an object whose named members are plain and that
//    has no computed ones nor an own property of that name: the record
//    appended (and the hint set to it). A name no property has had yet
//    goes the general way, which makes its key.
//  - an element through an element reference with a number key, of an
//    object whose members are plain (Obj_PutIndexPlain).
// Out of memory fails the store with the object as before.
inline bool Obj_AddMemberFast(EvalSlot *s, JSAny *value, uint32_t *hint) {
    Object *o = s->base.obj;
    uint32_t st;
    if (s->v.type == JSREF_NAMED) {
        auto *id = static_cast<const IdEntry *>(s->key.ptr);
        const char *key = Obj_PlainAddKey(o, id);
        if (!key) return false;
        st = Props_Append(o, id->name, id->length, id->hash, nullptr, value, const_cast<char *>(key));
        if (!st && hint) *hint = Props_HeadOf(o->props)->used;
    } else {
        if (s->key.type != JSANY_NUMBER) return false;
        st = Obj_PutIndexPlain(o, &s->key, value);
        if (st == ERR_NOPROP) return false;
    }
    Obj_SettleStore(s, value, st);
    return true;
}

// The plain add of a named member that o has not (Obj_AddMemberFast's),
// made only when it needs no memory: the store has room for a record and a
// share of the value is free. True then, with the hint set to the new
// record; false, with nothing done, otherwise.
inline bool Obj_AddNamedInRoom(Object *o, const IdEntry *id, const JSAny *value, uint32_t *hint) {
    if (!o->props || !JSAny_ShareIsFree(value)) return false;
    const PropHead *h = Props_HeadOf(o->props);
    const char *key = h->used < h->capacity ? Obj_PlainAddKey(o, id) : nullptr;
    if (!key || Props_Append(o, id->name, id->length, id->hash, nullptr, value, const_cast<char *>(key)) != 0)
        return false;
    if (hint) *hint = Props_HeadOf(o->props)->used;
    return true;
}

// Stores through a named reference into an own stored property, or through
// an element reference over an element of the dense store, or adds the
// member as Obj_AddMemberFast does. The value is taken over, as
// Obj_PutMember takes it.
__attribute__((always_inline)) inline bool Obj_PutMemberFast(EvalSlot *s, JSAny *value, uint32_t *hint) {
    JSAny *slot;
    if (s->base.type != JSANY_OBJECT) return false;
    if (s->v.type == JSREF_NAMED) {
        slot = Obj_NamedStoreSlot(s->base.obj, static_cast<const IdEntry *>(s->key.ptr), hint);
    } else if (s->v.type == JSREF_MEMBER) {
        slot = Obj_DenseElement(s);
        if (!slot && s->key.type == JSANY_STRING) {
            // An own stored property named by a string key.
            slot = Obj_KeyedStoreSlot(s->base.obj, &s->key);
            if (!slot) return false;
        }
    } else {
        return false;
    }
    if (!slot) return Obj_AddMemberFast(s, value, hint);
    JSAny copy;
    JSAny_InitFrom(&copy, value);
    if (copy.type == JSANY_ERROR && value->type != JSANY_ERROR) return false;
    JSAny old = *slot;
    *slot = copy;
    JSAny_Clear(&old);
    if (s->v.type == JSREF_MEMBER) JSAny_Clear(&s->key);
    JSAny_Clear(&s->base);
    s->v = *value;
    *value = JSAny_Undef();
    return true;
}

// The operators the object model answers, in the shape of values/
// operators.h: `l in r` (r has a member named by l converted to a string)
// and `l instanceof r` (l's immediate prototype is r's prototype object;
// r must be a function). The answer, or an error value, replaces l.
void Op_In(RunContext *ctx, JSAny *l, const JSAny *r);
void Op_InstanceOf(RunContext *ctx, JSAny *l, const JSAny *r);

// Asks the host for the member of a program object (flags 1); the answer
// replaces *out. A key that is a number array index goes to HostGetElement.
uint32_t Host_ReadMember(RunContext *ctx, ProgObj *p, const JSAny *key, const char *name,
                         uint32_t len, JSAny *out);
// The host's next member name after `prev` for for-in (flags 16); undefined ends.
uint32_t Host_NextMember(RunContext *ctx, ProgObj *p, const char *prev, JSAny *out);

}  // namespace quillon
