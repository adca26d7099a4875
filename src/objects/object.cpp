// Objects: creation, the prototype chain, named-property lookup along it,
// and the computed properties (length of functions, arrays and strings,
// prototype of functions) answered without being stored. Natives have no
// prototype link of their own: lookups reach Function.prototype of their
// space.
#include "objects/object.h"

#include <cstring>

#include "values/space.h"
#include "objects/collector.h"
#include "objects/elements.h"
#include "objects/function.h"
#include "objects/keys.h"
#include "objects/props.h"
#include "runtime/text.h"
#include "values/convert.h"

namespace quillon {

namespace {

const RegExpHooks *gRegExpHooks = nullptr;

constexpr uint32_t kHashLength = Str_Hash("length", 6);

inline bool NameIs(const char *name, uint32_t len, const char *lit, uint32_t litLen) {
    return len == litLen && std::memcmp(name, lit, len) == 0;
}

// The prototype a lookup continues with: natives have no prototype link of
// their own and reach Function.prototype of their program space.
inline Object *NextInChain(Object *o) {
    if (o->prototype) return o->prototype;
    if ((o->classFlags & CF_CALLABLE) && o->kind != ObjKind::Activation) {
        auto *f = static_cast<Function *>(o);
        if (f->space) {
            Object *fp = f->space->protos[PROTO_FUNCTION];
            if (fp != o) return fp;
        }
    }
    return nullptr;
}

// The computed properties of one object of the chain; true when the name is
// one of them there.
bool Computed(Object *o, const char *name, uint32_t len, JSAny *out) {
    uint32_t flags = o->classFlags;
    if ((flags & CF_HASLENGTH) && NameIs(name, len, "length", 6)) {
        double n;
        if (flags & CF_CALLABLE) {
            auto *f = static_cast<Function *>(o);
            if (o->kind == ObjKind::Bound) {
                Function *t = static_cast<BoundFunction *>(o)->target;
                n = t ? t->arity : 0;
            } else {
                n = f->arity;
            }
        } else if (uint32_t alen; Obj_ComputedArrayLength(o, &alen)) {
            n = alen;
        } else if (flags & CF_STRING) {
            const JSAny *v = Obj_WrappedValue(o, CF_STRING);
            n = v ? v->len : 0;
        } else {
            n = static_cast<double>(o->elementLength) + Props_Count(o);
        }
        JSAny_SetNumber(out, n);
        return true;
    }
    if ((flags & (CF_CALLABLE | CF_HASLENGTH)) == (CF_CALLABLE | CF_HASLENGTH) &&
        NameIs(name, len, "arity", 5)) {
        JSAny_SetNumber(out, static_cast<Function *>(o)->arity);
        return true;
    }
    if ((flags & CF_CALLABLE) && NameIs(name, len, "prototype", 9)) {
        if (o->kind == ObjKind::Bound) {
            JSAny_SetUndefined(out);
            return true;
        }
        auto *f = static_cast<Function *>(o);
        if (o->kind == ObjKind::Script && Fn_MakePrototype(static_cast<ScriptFunction *>(f)) != 0) {
            JSAny_SetError(out, ERR_NOMEM);
            return true;
        }
        if (!f->prototypeObject) {
            f->prototypeObject = Obj_New(nullptr);
            if (!f->prototypeObject) {
                JSAny_SetError(out, ERR_NOMEM);
                return true;
            }
        }
        JSAny_SetObject(out, f->prototypeObject);
        return true;
    }
    return false;
}

// Whether the name is one of the computed properties Computed answers on
// this object itself (without making anything). A bound function's
// "prototype" reads undefined: it has none.
bool ComputedOwn(const Object *o, const char *name, uint32_t len) {
    uint32_t flags = o->classFlags;
    if ((flags & CF_HASLENGTH) && NameIs(name, len, "length", 6)) return true;
    if ((flags & (CF_CALLABLE | CF_HASLENGTH)) == (CF_CALLABLE | CF_HASLENGTH) && NameIs(name, len, "arity", 5))
        return true;
    return (flags & CF_CALLABLE) && o->kind != ObjKind::Bound && NameIs(name, len, "prototype", 9);
}

inline void CopyOut(const JSAny *slot, JSAny *out) {
    if (slot->type == JSANY_UNDECLARED) {
        JSAny_SetUndefined(out);
    } else {
        JSAny tmp;
        JSAny_InitFrom(&tmp, slot);
        JSAny_Clear(out);
        *out = tmp;
    }
}

}  // namespace

void Obj_SetRegExpHooks(const RegExpHooks *hooks) {
    gRegExpHooks = hooks;
    Collector_SetRegExpHooks(hooks);  // the finalizer of compiled patterns
}

// ---- creation --------------------------------------------------------------

Object *Obj_Alloc(size_t size, ObjKind kind, Object *proto) {
    auto *o = static_cast<Object *>(Mem_AllocZero(size));
    if (!o) return nullptr;
    o->refs = 1;
    o->kind = kind;
    if (proto) {
        Obj_AddRef(proto);
        o->prototype = proto;
    }
    return o;
}

Object *Obj_New(Object *proto) { return Obj_Alloc(sizeof(Object), ObjKind::Plain, proto); }

void Obj_NewInto(JSAny *rec, Object *proto) {
    Object *o = Obj_New(proto);
    if (!o) {
        JSAny_SetError(rec, ERR_NOMEM);
        return;
    }
    JSAny_AdoptObject(rec, o);
}

namespace {

// A new plain record of a class whose prototype the space made at its start;
// a missing prototype means that start ran out of memory.
Object *NewOfClass(JSAny *rec, Object *proto, uint32_t classFlags) {
    Object *o = proto ? Obj_New(proto) : nullptr;
    if (!o) {
        JSAny_SetError(rec, ERR_NOMEM);
        return nullptr;
    }
    o->classFlags = classFlags;
    JSAny_AdoptObject(rec, o);
    return o;
}

}  // namespace

void Obj_NewArray(JSAny *rec, ProgramSpace *space) {
    NewOfClass(rec, space ? space->protos[PROTO_ARRAY] : nullptr, CF_ARRAY | CF_HASLENGTH);
}

void Obj_NewArrayFrom(ProgramSpace *space, JSAny *rec, uint32_t n, const JSAny *values) {
    Obj_NewArray(rec, space);
    if (rec->type != JSANY_OBJECT) return;
    Object *o = rec->obj;
    if (n && !Elems_Reserve(o, n)) {
        JSAny_SetError(rec, ERR_NOMEM);
        return;
    }
    for (uint32_t i = 0; i < n; ++i) {
        if (values[i].type == JSANY_ERROR) {
            JSAny_SetError(rec, values[i].code);
            return;
        }
        if (Elems_Add(o, i, &values[i]) != 0) {
            JSAny_SetError(rec, ERR_NOMEM);
            return;
        }
    }
}

void Obj_NewError(ProgramSpace *space, JSAny *rec, const JSAny *message, uint32_t errClass) {
    if (errClass > 6) {
        JSAny_SetError(rec, ERR_NOMEM);
        return;
    }
    Object *o = NewOfClass(rec, space->protos[errClass == 0 ? PROTO_ERROR : PROTO_EVALERROR + errClass - 1],
                           CF_ERROR);
    if (!o) return;
    if (message) {
        uint32_t st = Obj_AddName(o, "message", 7, Str_Hash("message", 7), message);
        if (st) JSAny_SetError(rec, st);
    }
}

void Obj_SetPrototype(Object *o, Object *proto) {
    Object *old = o->prototype;
    if (proto) Obj_AddRef(proto);
    o->prototype = proto;
    if (old) Obj_Release(old);
}

// ---- own slots -------------------------------------------------------------

JSAny *Obj_FindOwnIndex(Object *o, uint32_t index) { return Elems_Find(o, index); }

JSAny *Obj_FindOwnName(Object *o, const char *name, uint32_t len, uint32_t hash) {
    PropRec *r = Props_Find(o, name, len, hash);
    return r ? &r->value : nullptr;
}

JSAny *Obj_FindOwnStr(Object *o, const char *name) {
    uint32_t len = static_cast<uint32_t>(std::strlen(name));
    return Obj_FindOwnName(o, name, len, Str_Hash(name, len));
}

const JSAny *Obj_WrappedValue(Object *o, uint32_t flag) {
    if (!(o->classFlags & flag)) return nullptr;
    const JSAny *v = Obj_FindOwnName(o, "__value", 7, Str_Hash("__value", 7));
    if (!v) return nullptr;
    bool kind = flag == CF_STRING ? JSAny_IsString(v) : v->type == (flag == CF_NUMBER ? JSANY_NUMBER : JSANY_BOOLEAN);
    return kind ? v : nullptr;
}

// ---- reading ---------------------------------------------------------------

namespace {

// A name looked up along a chain: its key is found in the key table once,
// at the first object that has properties (no key: no object has it).
struct ChainName {
    const char *name;
    uint32_t len, hash;
    const char *key;
    bool looked;
    ChainName(const char *n, uint32_t l, uint32_t h, const char *k) : name(n), len(l), hash(h), key(k), looked(k) {}
    PropRec *In(Object *o) {
        if (!o->props) return nullptr;
        if (!looked) {
            key = Atom_Find(name, len, hash);
            looked = true;
        }
        return key ? Props_FindKey(o, key) : nullptr;
    }
};

}  // namespace

void Obj_GetName(Object *o, const char *name, uint32_t len, uint32_t hash, JSAny *out) {
    Obj_GetNameKey(o, name, len, hash, nullptr, out);
}

void Obj_GetNameKey(Object *o, const char *name, uint32_t len, uint32_t hash, const char *key, JSAny *out) {
    ChainName n(name, len, hash, key);
    for (Object *cur = o; cur; cur = NextInChain(cur)) {
        if ((cur->classFlags & CF_REGEXP) && gRegExpHooks && gRegExpHooks->get &&
            gRegExpHooks->get(cur, name, len, out))
            return;
        if (PropRec *r = n.In(cur)) {
            CopyOut(&r->value, out);
            return;
        }
        if ((cur->classFlags & (CF_HASLENGTH | CF_CALLABLE)) && Computed(cur, name, len, out)) return;
    }
    JSAny_SetUndefined(out);
}

void Obj_GetIndex(Object *o, uint32_t index, JSAny *out) {
    for (Object *cur = o; cur; cur = NextInChain(cur)) {
        JSAny *slot = Elems_Find(cur, index);
        if (slot) {
            CopyOut(slot, out);
            return;
        }
    }
    JSAny_SetUndefined(out);
}

void Obj_Get(Object *o, const JSAny *key, JSAny *out) {
    Key k;
    uint32_t st = Key_Make(key, &k);
    if (st) {
        JSAny_SetError(out, st == ERR_NOPROP ? ERR_NOPROP : st);
        return;
    }
    if (k.isIndex) Obj_GetIndex(o, k.index, out);
    else Obj_GetName(o, k.name, k.len, k.hash, out);
    Key_Done(&k);
}

void Obj_GetStr(Object *o, const char *name, JSAny *out) {
    uint32_t len = static_cast<uint32_t>(std::strlen(name));
    Obj_GetName(o, name, len, Str_Hash(name, len), out);
}

bool Obj_HasName(Object *o, const char *name, uint32_t len, uint32_t hash) {
    ChainName n(name, len, hash, nullptr);
    for (Object *cur = o; cur; cur = NextInChain(cur)) {
        if ((cur->classFlags & CF_REGEXP) && gRegExpHooks && gRegExpHooks->has &&
            gRegExpHooks->has(cur, name, len))
            return true;
        if (n.In(cur)) return true;
        if (NameIs(name, len, "length", 6)) return true;
        if ((cur->classFlags & (CF_CALLABLE | CF_HASLENGTH)) == (CF_CALLABLE | CF_HASLENGTH) &&
            (NameIs(name, len, "prototype", 9) || NameIs(name, len, "arity", 5)))
            return true;
    }
    return false;
}

bool Obj_HasOwnName(Object *o, const char *name, uint32_t len, uint32_t hash) {
    if ((o->classFlags & CF_REGEXP) && gRegExpHooks && gRegExpHooks->has && gRegExpHooks->has(o, name, len))
        return true;
    if (Props_Find(o, name, len, hash)) return true;
    return (o->classFlags & (CF_HASLENGTH | CF_CALLABLE)) && ComputedOwn(o, name, len);
}

bool Obj_HasOwnIndex(Object *o, uint32_t index) {
    // A hole of an arguments object (a deleted element, or one its length
    // made) reads as undefined but holds no element.
    const JSAny *slot = Elems_Find(o, index);
    return slot && slot->type != JSANY_UNDECLARED;
}

Object *Obj_NextInChain(Object *o) { return NextInChain(o); }

bool Obj_Has(Object *o, const JSAny *key) {
    Key k;
    if (Key_Make(key, &k) != 0) return false;
    bool found = false;
    if (k.isIndex) {
        for (Object *cur = o; cur && !found; cur = NextInChain(cur)) found = Elems_Find(cur, k.index) != nullptr;
    } else {
        found = Obj_HasName(o, k.name, k.len, k.hash);
    }
    Key_Done(&k);
    return found;
}

// ---- writing ---------------------------------------------------------------

uint32_t Obj_AddName(Object *o, const char *name, uint32_t len, uint32_t hash, const JSAny *value) {
    uint32_t st = Props_Append(o, name, len, hash, nullptr, value);
    if (st == 0 && hash == kHashLength && NameIs(name, len, "length", 6)) o->classFlags &= ~CF_HASLENGTH;
    return st;
}

namespace {

uint32_t AddKey(Object *o, const Key &k, const JSAny *value, char *known = nullptr) {
    if (k.isIndex) return Elems_Add(o, k.index, value);
    uint32_t st = Props_Append(o, k.name, k.len, k.hash, k.str, value, known);
    if (st == 0 && k.hash == kHashLength && NameIs(k.name, k.len, "length", 6))
        o->classFlags &= ~CF_HASLENGTH;
    return st;
}

inline uint32_t Overwrite(JSAny *slot, const JSAny *value) {
    JSAny v;
    JSAny_InitFrom(&v, value);
    if (v.type == JSANY_ERROR && value->type != JSANY_ERROR) return ERR_NOMEM;
    JSAny old = *slot;
    *slot = v;
    JSAny_Clear(&old);
    return 0;
}

// The assignments that computed properties take; ERR_NOPROP when the name
// is not one of them here.
uint32_t PutComputed(Object *o, const char *name, uint32_t len, const JSAny *value) {
    if ((o->classFlags & CF_HASLENGTH) && NameIs(name, len, "length", 6)) {
        if (!(o->classFlags & CF_ARRAY)) return 0;
        JSAny n;
        JSAny_InitFrom(&n, value);
        JSAny_ToNumber(nullptr, &n);
        if (n.type == JSANY_ERROR) return n.code ? n.code : ERR_WRONGTYPE;
        return Obj_SetLength(o, Num_ToUint32Bits(n.num));
    }
    if ((o->classFlags & CF_CALLABLE) && NameIs(name, len, "prototype", 9) &&
        o->kind != ObjKind::Bound) {
        auto *f = static_cast<Function *>(o);
        if (o->kind != ObjKind::Script && f->prototypeObject) return 0;
        if (o->kind == ObjKind::Script) static_cast<ScriptFunction *>(f)->prototypePending = false;
        Object *old = f->prototypeObject;
        f->prototypeObject = nullptr;
        if (value->type == JSANY_OBJECT) {
            Obj_AddRef(value->obj);
            f->prototypeObject = value->obj;
        }
        if (old) Obj_Release(old);
        return 0;
    }
    return ERR_NOPROP;
}

// The store of a name (`known`: its key when the caller has it, else null
// and it is looked up here).
uint32_t PutNamed(Object *o, const Key &k, char *known, const JSAny *value) {
    if ((o->classFlags & CF_REGEXP) && gRegExpHooks && gRegExpHooks->put) {
        uint32_t st = gRegExpHooks->put(o, k.name, k.len, value);
        if (st != ERR_NOPROP) return st;
    }
    // The name's key, looked up once for the search and the new record (a
    // computed property that does not take the name changes nothing).
    if (!known) known = Atom_Find(k.name, k.len, k.hash);
    if (known) {
        if (PropRec *r = Props_FindKey(o, known)) return Overwrite(&r->value, value);
    }
    if (o->classFlags & (CF_HASLENGTH | CF_CALLABLE)) {
        uint32_t st = PutComputed(o, k.name, k.len, value);
        if (st != ERR_NOPROP) return st;
    }
    return AddKey(o, k, value, known);
}

uint32_t PutKey(Object *o, const Key &k, const JSAny *value) {
    if (k.isIndex) {
        if (JSAny *slot = Elems_Find(o, k.index)) return Overwrite(slot, value);
        return Elems_Add(o, k.index, value);
    }
    return PutNamed(o, k, nullptr, value);
}

// Makes the key of a value, applies `store` to it and releases it.
template <class Store>
uint32_t WithKey(const JSAny *key, Store store) {
    Key k;
    uint32_t st = Key_Make(key, &k);
    if (st) return st;
    st = store(k);
    Key_Done(&k);
    return st;
}

}  // namespace

uint32_t Obj_Put(Object *o, const JSAny *key, const JSAny *value) {
    return WithKey(key, [&](const Key &k) { return PutKey(o, k, value); });
}

uint32_t Obj_PutName(Object *o, const char *name, uint32_t len, uint32_t hash, const JSAny *value) {
    return Obj_PutNameKnown(o, name, len, hash, nullptr, value);
}

uint32_t Obj_PutNameKnown(Object *o, const char *name, uint32_t len, uint32_t hash, char *key,
                          const JSAny *value) {
    Key k;
    k.isIndex = false;
    k.name = name;
    k.len = len;
    k.hash = hash;
    k.str = nullptr;
    k.holder = JSAny_Undef();
    return PutNamed(o, k, key, value);
}

uint32_t Obj_PutIndex(Object *o, uint32_t index, const JSAny *value) {
    if (JSAny *slot = Elems_Find(o, index)) return Overwrite(slot, value);
    return Elems_Add(o, index, value);
}

uint32_t Obj_PutStr(Object *o, const char *name, const JSAny *value) {
    uint32_t len = static_cast<uint32_t>(std::strlen(name));
    return Obj_PutName(o, name, len, Str_Hash(name, len), value);
}

uint32_t Obj_Add(Object *o, const JSAny *key, const JSAny *value) {
    return WithKey(key, [&](const Key &k) { return AddKey(o, k, value); });
}

void Obj_Delete(Object *o, const JSAny *key) {
    Key k;
    if (Key_Make(key, &k) != 0) return;
    if (k.isIndex) {
        Elems_Remove(o, k.index);
    } else if (PropRec *r = Props_Find(o, k.name, k.len, k.hash)) {
        Props_Remove(o, r);
    }
    Key_Done(&k);
}

uint32_t Obj_SetLength(Object *o, uint32_t n) {
    if (o->classFlags & CF_ARGUMENTS) {
        if (n > 0xFFFFFFFu) return ERR_NOMEM;
        if (n > Elems_DenseLen(o)) {
            JSAny hole = JSAny_Undeclared();
            uint32_t st = Elems_Add(o, n - 1, &hole);
            if (st) return st;
        } else {
            Elems_Truncate(o, n);
        }
        o->elementLength = n;
        return 0;
    }
    if (n < o->elementLength) Elems_Truncate(o, n);
    o->elementLength = n;
    return 0;
}

}  // namespace quillon
