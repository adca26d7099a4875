// Global setup of a new program space: walks the built-in table once,
// making each group's constructor and prototype, its members and the
// top-level names. A failure stops the walk with 103; what was made is
// released with the space, never half-linked.
#include "objects/setup.h"

#include <cstring>

#include "objects/natives.h"
#include "values/space.h"
#include "lexer/lexer.h"
#include "objects/builtin_table.h"
#include "objects/function.h"
#include "objects/object.h"
#include "runtime/text.h"

namespace quillon {

// The build date comes from the build (SOURCE_DATE_EPOCH when it is set), so
// builds of the same sources with the same date are identical.
#ifndef QUILLON_BUILD_DATE
#define QUILLON_BUILD_DATE "on an unknown date"
#endif
const char kInfoBanner[] = "quillon.library 4.23 (5.11.2022), JavaScript interpreter, built " QUILLON_BUILD_DATE;

namespace {

// The state carried from row to row.
struct SetupState {
    ProgramSpace *space;
    Object *head = nullptr;   // counted
    Object *proto = nullptr;  // counted
    const char *group = "";
    JSAny value = JSAny_Undef();
    ~SetupState() {
        JSAny_Clear(&value);
        if (head) Obj_Release(head);
        if (proto) Obj_Release(proto);
    }
    void SetHead(Object *o) {
        if (o) Obj_AddRef(o);
        if (head) Obj_Release(head);
        head = o;
    }
    void SetProto(Object *o) {
        if (o) Obj_AddRef(o);
        if (proto) Obj_Release(proto);
        proto = o;
    }
};

void Record(ProgramSpace *s, Proto which, Object *o) {
    Obj_AddRef(o);
    if (s->protos[which]) Obj_Release(s->protos[which]);
    s->protos[which] = o;
}

uint32_t PutStr(Object *o, const char *name, const JSAny *v) { return Obj_PutStr(o, name, v); }

// What a group's prototype gets when the ".prototype" row makes it.
uint32_t SetUpPrototype(SetupState &st, Object *p) {
    ProgramSpace *s = st.space;
    const char *g = st.group;
    JSAny head = JSAny_Undef();
    JSAny_SetObject(&head, st.head);
    uint32_t status = PutStr(p, "constructor", &head);
    JSAny_Clear(&head);
    if (status) return status;
    if (!std::strcmp(g, "Array")) {
        Record(s, PROTO_ARRAY, p);
        p->classFlags |= CF_ARRAY | CF_HASLENGTH;
        return Obj_SetLength(p, 0);
    }
    if (!std::strcmp(g, "Boolean")) {
        Record(s, PROTO_BOOLEAN, p);
        JSAny f = JSAny_Bool(false);
        p->classFlags |= CF_BOOLEAN;
        return PutStr(p, "__value", &f);
    }
    if (!std::strcmp(g, "Date")) {
        Record(s, PROTO_DATE, p);
        return Bi_DatePrototypeSetup(s, p);
    }
    if (!std::strcmp(g, "RegExp")) {
        Record(s, PROTO_REGEXP, p);
        return 0;
    }
    if (!std::strcmp(g, "Function")) {
        // Function.prototype is a native function; its own link reaches
        // Object.prototype, so every function does.
        Record(s, PROTO_FUNCTION, p);
        if (s->protos[PROTO_OBJECT]) Obj_SetPrototype(p, s->protos[PROTO_OBJECT]);
        return 0;
    }
    if (!std::strcmp(g, "Number")) {
        Record(s, PROTO_NUMBER, p);
        JSAny z = JSAny_Num(0);
        p->classFlags |= CF_NUMBER;
        return PutStr(p, "__value", &z);
    }
    if (!std::strcmp(g, "Object")) {
        Record(s, PROTO_OBJECT, p);
        return 0;
    }
    if (!std::strcmp(g, "String")) {
        Record(s, PROTO_STRING, p);
        JSAny e = JSAny_Borrow("", 0);
        p->classFlags |= CF_STRING | CF_HASLENGTH;
        return PutStr(p, "__value", &e);
    }
    static const char *const kErrors[] = {"Error",       "EvalError", "RangeError", "ReferenceError",
                                          "SyntaxError", "TypeError", "URIError"};
    for (uint32_t i = 0; i < 7; ++i) {
        if (std::strcmp(g, kErrors[i])) continue;
        Record(s, static_cast<Proto>(PROTO_ERROR + i), p);
        p->classFlags |= CF_ERROR;
        JSAny name = JSAny_Borrow(kErrors[i], static_cast<uint32_t>(std::strlen(kErrors[i])));
        status = PutStr(p, "name", &name);
        if (status) return status;
        if (i > 0 && s->protos[PROTO_ERROR]) Obj_SetPrototype(p, s->protos[PROTO_ERROR]);
        return 0;
    }
    return 0;
}

// Makes the value of a row.
uint32_t MakeValue(SetupState &st, const BuiltinRow &row, const char *bare) {
    ProgramSpace *s = st.space;
    JSAny_Clear(&st.value);
    if (row.entry) {
        const char *name = bare;
        if (!std::strcmp(bare, "prototype") && !std::strcmp(st.group, "Function")) name = "";
        Function *f = Fn_NewNative(row.arity, row.entry, row.extra, name);
        if (!f) return ERR_NOMEM;
        f->classFlags |= CF_FUNCTION;
        f->space = s;
        Fn_Link(f, &s->natives);
        JSAny_AdoptObject(&st.value, f);
        return 0;
    }
    if (row.extra) {
        st.value = *reinterpret_cast<const JSAny *>(row.extra);
        return 0;
    }
    if (!std::strcmp(row.name, "__info")) {
        JSAny_SetStringCopy(&st.value, kInfoBanner);
        return st.value.type == JSANY_ERROR ? ERR_NOMEM : 0;
    }
    if (!std::strcmp(row.name, ".prototype") && !std::strcmp(st.group, "RegExp"))
        return Bi_MakeRegExpPrototype(s, &st.value);
    Obj_NewInto(&st.value, s->protos[PROTO_OBJECT]);
    return st.value.type == JSANY_ERROR ? ERR_NOMEM : 0;
}

uint32_t StoreTopLevel(SetupState &st, const BuiltinRow &row) {
    ProgramSpace *s = st.space;
    uint32_t err = 0;
    uint32_t code = Lex_Name(s->store, row.name, &err);
    JSAny *slot = code ? Lex_ConstOf(s->store, code) : nullptr;
    if (!slot) return err ? err : ERR_NOMEM;
    if (slot->type == JSANY_UNDECLARED) {
        JSAny_InitFrom(slot, &st.value);
        if (slot->type == JSANY_ERROR && st.value.type != JSANY_ERROR) {
            *slot = JSAny_Undeclared();
            return ERR_NOMEM;
        }
    }
    st.SetProto(nullptr);
    if (st.value.type == JSANY_OBJECT) {
        st.SetHead(st.value.obj);
        st.group = row.name;
        if (!std::strcmp(row.name, "RegExp")) st.value.obj->classFlags |= CF_REGEXP;
    } else {
        st.SetHead(nullptr);
    }
    return 0;
}

}  // namespace

uint32_t Setup_Globals(ProgramSpace *space) {
    Builtins_ComputeConstants();
    SetupState st;
    st.space = space;
    for (const BuiltinRow *row = kBuiltinRows; row->name; ++row) {
        const char *bare = row->name;
        int level = 0;
        while (*bare == '.') {
            ++bare;
            ++level;
        }
        uint32_t status = MakeValue(st, *row, bare);
        if (status) return status;
        if (level == 0) {
            status = StoreTopLevel(st, *row);
        } else if (level == 2) {
            if (!st.proto) return ERR_NOMEM;
            status = Obj_PutStr(st.proto, bare, &st.value);
        } else {
            if (!st.head) return ERR_NOMEM;
            status = Obj_PutStr(st.head, bare, &st.value);
            if (status == 0 && st.value.type == JSANY_OBJECT) {
                st.SetProto(st.value.obj);
                if (!std::strcmp(bare, "prototype")) status = SetUpPrototype(st, st.value.obj);
            }
        }
        if (status) return status;
    }
    return 0;
}

}  // namespace quillon
