// Objects and properties. Every script object - plain objects, arrays,
// wrappers, functions, regular expressions, dates, errors, the arguments
// object and the activations that keep closures' variables - starts with
// the head of values/objhead.h, where its reference count lives too.
//
// Named properties are kept in insertion order in a block of records keyed
// by the library's shared key texts, with a hash index in the same block
// once it has room for more than a handful of them. Elements live in a dense
// vector for the indexes filled from 0 upward and in a hash map for the
// others; the order of indexes is ascending wherever it can be observed. The
// counts of both stores sit in heads in front of them, so the object itself
// stays small.
#pragma once
#include <cstddef>
#include <cstdint>

#include "values/jsany.h"
#include "values/objhead.h"

namespace quillon {

struct ProgramSpace;
struct RunContext;




// A named property: its key (a key text of runtime/atoms, so equal names
// are the same pointer) and its value. A null key marks a deleted record.
struct PropRec {
    char *key;
    JSAny value;
};
static_assert(sizeof(PropRec) == 24, "property records stay small");

struct SparseSlot {
    uint32_t index;
    uint32_t state;  // 0 empty, 1 used, 2 removed
    JSAny value;
};


// ---- the heads of the two stores ----
// The property records of an object follow this head in one block. A
// store with room for more than a handful of records carries a hash index
// of its own after them (record number + 1; 0 empty; ~0 removed).
struct PropHead {
    uint32_t used;       // records in use, deleted ones included
    uint32_t count;      // live records
    uint32_t capacity;   // records the block has room for
    uint32_t indexBits;  // 0 without an index; else log2 of its slots (low 5 bits) and
                         // the number of slots not empty, live or removed (above them)
};
inline PropHead *Props_HeadOf(PropRec *p) { return reinterpret_cast<PropHead *>(p) - 1; }
inline const PropHead *Props_HeadOf(const PropRec *p) { return reinterpret_cast<const PropHead *>(p) - 1; }
inline uint32_t Props_Used(const Object *o) { return o->props ? Props_HeadOf(o->props)->used : 0; }
inline uint32_t Props_Count(const Object *o) { return o->props ? Props_HeadOf(o->props)->count : 0; }

// The scattered elements: an open-addressing map whose slots follow this
// head in one block.
struct SparseMap {
    uint32_t count;    // used slots
    uint32_t mask;     // slots - 1
    uint32_t removed;  // removed slots
    uint32_t pad;
    SparseSlot *Slots() { return reinterpret_cast<SparseSlot *>(this + 1); }
};
// The element store: the dense slots follow this head in one block (a store
// holding only scattered elements has no dense slots).
struct ElemHead {
    SparseMap *sparse;  // or null
    uint32_t denseLen;
    uint32_t capacity;  // dense slots allocated
};
inline ElemHead *Elems_HeadOf(JSAny *dense) { return reinterpret_cast<ElemHead *>(dense) - 1; }
inline const ElemHead *Elems_HeadOf(const JSAny *dense) { return reinterpret_cast<const ElemHead *>(dense) - 1; }
inline uint32_t Elems_DenseLen(const Object *o) { return o->dense ? Elems_HeadOf(o->dense)->denseLen : 0; }
inline SparseMap *Elems_Sparse(const Object *o) {
    return o->dense ? const_cast<ElemHead *>(Elems_HeadOf(o->dense))->sparse : nullptr;
}
inline uint32_t Elems_SparseCount(const Object *o) {
    SparseMap *m = Elems_Sparse(o);
    return m ? m->count : 0;
}
// An array's `length`, which is computed: its element length. (A store
// into an array's `length` sets the length and makes no record, so an
// array keeps CF_HASLENGTH; the test of both flags keeps the rule exact
// should a record of that name ever be added, which clears the flag.)
inline bool Obj_ComputedArrayLength(const Object *o, uint32_t *n) {
    if ((o->classFlags & (CF_ARRAY | CF_HASLENGTH)) != (CF_ARRAY | CF_HASLENGTH)) return false;
    *n = o->elementLength;
    return true;
}
// Calls fn for every element value held.
template <class F>
void Elems_ForEachValue(Object *o, F fn) {
    if (!o->dense) return;
    ElemHead *h = Elems_HeadOf(o->dense);
    for (uint32_t i = 0; i < h->denseLen; ++i) fn(&o->dense[i]);
    if (SparseMap *m = h->sparse) {
        SparseSlot *slots = m->Slots();
        for (uint32_t i = 0; i <= m->mask; ++i)
            if (slots[i].state == 1) fn(&slots[i].value);
    }
}

// ---- reclamation (objects/collector.cpp) ----
void Obj_CollectCycles();
// Objects left on the root list (for the leak warning at the last close).
long Obj_RootCount();

// Collection while scripts run (objects/collector.cpp). A release that
// buffers a root past the threshold asks for a collection; the interpreter
// calls Obj_SafePoint where every value it and the natives still need is
// held in a counted record, and the collection runs there.
extern bool gObjCollectDue;
void Obj_CollectAtSafePoint();
inline void Obj_SafePoint() {
    if (__builtin_expect(gObjCollectDue, false)) Obj_CollectAtSafePoint();
}

// ---- creation ----
// A record of the given size (at least sizeof(Object)), zero-filled, count 1.
Object *Obj_Alloc(size_t size, ObjKind kind, Object *proto);
Object *Obj_New(Object *proto);
void Obj_NewInto(JSAny *rec, Object *proto);
void Obj_NewArray(JSAny *rec, ProgramSpace *space);
void Obj_NewArrayFrom(ProgramSpace *space, JSAny *rec, uint32_t n, const JSAny *values);
void Obj_NewError(ProgramSpace *space, JSAny *rec, const JSAny *message, uint32_t errClass);
void Obj_SetPrototype(Object *o, Object *proto);  // counted; null clears

// ---- keys ----
bool Obj_ArrayIndex(const JSAny *key, uint32_t *index);
bool Obj_NameIndex(const char *s, uint32_t len, uint32_t *index);

// ---- own slots ----
JSAny *Obj_FindOwnName(Object *o, const char *name, uint32_t len, uint32_t hash);
JSAny *Obj_FindOwnIndex(Object *o, uint32_t index);

// ---- property operations ----
// The result record is overwritten: the value found through the prototype
// chain, undefined, or an error value.
void Obj_Get(Object *o, const JSAny *key, JSAny *out);
void Obj_GetName(Object *o, const char *name, uint32_t len, uint32_t hash, JSAny *out);
// The same with the name's key text when the caller has it (or null).
void Obj_GetNameKey(Object *o, const char *name, uint32_t len, uint32_t hash, const char *key, JSAny *out);
void Obj_GetIndex(Object *o, uint32_t index, JSAny *out);
bool Obj_Has(Object *o, const JSAny *key);
bool Obj_HasName(Object *o, const char *name, uint32_t len, uint32_t hash);
// Own properties only: a stored property, an element, or a computed one
// (length, arity, prototype, the RegExp properties); a hole of an arguments
// object is no element.
bool Obj_HasOwnName(Object *o, const char *name, uint32_t len, uint32_t hash);
bool Obj_HasOwnIndex(Object *o, uint32_t index);
// The object after o on its prototype chain as lookups walk it (a function
// without a prototype link reaches Function.prototype of its space), or null.
Object *Obj_NextInChain(Object *o);
uint32_t Obj_Put(Object *o, const JSAny *key, const JSAny *value);
uint32_t Obj_PutName(Object *o, const char *name, uint32_t len, uint32_t hash, const JSAny *value);
// Obj_PutName with the name's key when the caller has it (Props_KeyOfName),
// or null to have it looked up.
uint32_t Obj_PutNameKnown(Object *o, const char *name, uint32_t len, uint32_t hash, char *key,
                          const JSAny *value);
uint32_t Obj_PutIndex(Object *o, uint32_t index, const JSAny *value);
uint32_t Obj_Add(Object *o, const JSAny *key, const JSAny *value);
uint32_t Obj_AddName(Object *o, const char *name, uint32_t len, uint32_t hash, const JSAny *value);
void Obj_Delete(Object *o, const JSAny *key);
uint32_t Obj_SetLength(Object *o, uint32_t n);

// Convenience for zero-terminated names.
uint32_t Obj_PutStr(Object *o, const char *name, const JSAny *value);
void Obj_GetStr(Object *o, const char *name, JSAny *out);
JSAny *Obj_FindOwnStr(Object *o, const char *name);
// The primitive a wrapper object holds (its "__value") when o is of the
// wrapper class `flag` (CF_STRING, CF_NUMBER or CF_BOOLEAN) and the value
// is of that kind; else null.
const JSAny *Obj_WrappedValue(Object *o, uint32_t flag);

// ---- enumeration (for-in, collector, built-ins) ----
// Indexes of the own elements in ascending order (holes included); the
// caller frees the array with Arr_Free. Null with *count 0 when there are
// none; null with *count ~0 when memory ran out.
uint32_t *Obj_ElementIndexes(Object *o, uint32_t *count);
// The names of the stored properties in insertion order, as shares of their
// key texts; the caller clears each and frees the array with Arr_Free. Null
// with *count 0 when there are none; null with *count ~0 when memory ran out.
JSAny *Obj_PropertyNames(Object *o, uint32_t *count);
// Calls fn for every own element value and every named property value.
template <class F>
void Obj_ForEachValue(Object *o, F fn);

// Hooks of the regular-expression part: its objects answer some names
// before ordinary property handling, and own a compiled pattern.
struct RegExpHooks {
    // Returns true when the name was handled (the answer is in out).
    bool (*get)(Object *o, const char *name, uint32_t len, JSAny *out);
    // Returns ERR_NOPROP when not handled, else the status of the store.
    uint32_t (*put)(Object *o, const char *name, uint32_t len, const JSAny *value);
    bool (*has)(Object *o, const char *name, uint32_t len);
    void (*finalize)(Object *o);
};
void Obj_SetRegExpHooks(const RegExpHooks *hooks);

// ---------------------------------------------------------------------------
template <class F>
void Obj_ForEachValue(Object *o, F fn) {
    Elems_ForEachValue(o, fn);
    if (PropRec *r = o->props) {
        for (uint32_t i = 0, n = Props_HeadOf(r)->used; i < n; ++i, ++r)
            if (r->key) fn(&r->value);
    }
}

}  // namespace quillon
