// RegExp objects: creation, compiling on demand, the instance properties
// (source, global, ignoreCase, multiline, lastIndex) answered before
// ordinary properties, the finalizer, the maker of literals and the
// prototype object.
#include "regexp/rxobject.h"

#include <cstring>

#include "objects/natives.h"
#include "values/space.h"
#include "values/context.h"
#include "lexer/lexer.h"
#include "objects/function.h"
#include "regexp/rxstatics.h"
#include "values/convert.h"

namespace quillon {

namespace {

enum class Prop { None, Source, Global, IgnoreCase, Multiline, LastIndex };

inline bool Is(const char *name, uint32_t len, const char *lit) {
    return std::strlen(lit) == len && std::memcmp(name, lit, len) == 0;
}

Prop InstanceProp(const char *name, uint32_t len) {
    if (Is(name, len, "source")) return Prop::Source;
    if (Is(name, len, "global")) return Prop::Global;
    if (Is(name, len, "ignoreCase")) return Prop::IgnoreCase;
    if (Is(name, len, "multiline")) return Prop::Multiline;
    if (Is(name, len, "lastIndex")) return Prop::LastIndex;
    return Prop::None;
}

// The program space whose statics the RegExp constructor serves, or null
// when o is not that constructor (or its space is gone).
ProgramSpace *StaticsOf(Object *o) {
    if (!(o->classFlags & CF_CALLABLE) || o->kind == ObjKind::Activation) return nullptr;
    return static_cast<Function *>(o)->space;
}

bool HookGet(Object *o, const char *name, uint32_t len, JSAny *out) {
    if (o->kind != ObjKind::RegExp) {
        ProgramSpace *s = StaticsOf(o);
        return s && RxStatics_Get(s, name, len, out);
    }
    auto *re = static_cast<RegExpObject *>(o);
    switch (InstanceProp(name, len)) {
        case Prop::None: return false;
        case Prop::Source: {
            JSAny copy;
            JSAny_InitFrom(&copy, &re->source);
            JSAny_Clear(out);
            *out = copy;
            return true;
        }
        case Prop::Global: JSAny_SetBoolean(out, (re->flags & RX_GLOBAL) != 0); return true;
        case Prop::IgnoreCase: JSAny_SetBoolean(out, (re->flags & RX_IGNORECASE) != 0); return true;
        case Prop::Multiline: JSAny_SetBoolean(out, (re->flags & RX_MULTILINE) != 0); return true;
        case Prop::LastIndex: JSAny_SetNumber(out, re->lastIndex); return true;
    }
    return false;
}

uint32_t HookPut(Object *o, const char *name, uint32_t len, const JSAny *value) {
    if (o->kind != ObjKind::RegExp) {
        ProgramSpace *s = StaticsOf(o);
        return s ? RxStatics_Put(s, name, len, value) : ERR_NOPROP;
    }
    auto *re = static_cast<RegExpObject *>(o);
    switch (InstanceProp(name, len)) {
        case Prop::None: return ERR_NOPROP;
        case Prop::LastIndex: {
            JSAny n;
            JSAny_InitFrom(&n, value);
            JSAny_ToNumber(Run_Current(), &n);
            if (n.type == JSANY_ERROR) return n.code ? n.code : ERR_WRONGTYPE;
            re->lastIndex = Num_ToUint32Bits(n.num);
            return 0;
        }
        default: return ERR_READONLY;
    }
}

bool HookHas(Object *o, const char *name, uint32_t len) {
    if (o->kind == ObjKind::RegExp) return InstanceProp(name, len) != Prop::None;
    return StaticsOf(o) && RxStatics_Has(name, len);
}

void HookFinalize(Object *o) {
    auto *re = static_cast<RegExpObject *>(o);
    Rx_Free(re->program);
    re->program = nullptr;
    JSAny_Clear(&re->source);
    re->source = JSAny_Undef();
}

const RegExpHooks kHooks = {HookGet, HookPut, HookHas, HookFinalize};

// Regular-expression literals: one object per literal, compiled when first
// used (a faulty pattern is reported where it is run).
void MakeLiteral(ProgramSpace *space, const char *body, uint32_t len, uint32_t flags, JSAny *out) {
    RxObj_New(space ? space->protos[PROTO_REGEXP] : nullptr, body, len, flags, out);
}

}  // namespace

void RxObj_New(Object *proto, const char *source, uint32_t len, uint32_t flags, JSAny *out) {
    JSAny text = JSAny_Undef();
    JSAny_SetStringBytes(&text, source, len);
    if (text.type == JSANY_ERROR) {
        JSAny_SetError(out, ERR_NOMEM);
        return;
    }
    auto *re = static_cast<RegExpObject *>(Obj_Alloc(sizeof(RegExpObject), ObjKind::RegExp, proto));
    if (!re) {
        JSAny_Clear(&text);
        JSAny_SetError(out, ERR_NOMEM);
        return;
    }
    re->classFlags = CF_REGEXP;
    re->source = text;
    re->flags = flags & (RX_IGNORECASE | RX_GLOBAL | RX_MULTILINE);
    re->lastIndex = 0;
    re->program = nullptr;
    JSAny_AdoptObject(out, re);
}

uint32_t RxObj_Program(RegExpObject *re, RxProgram **out) {
    if (!re->program) {
        uint32_t err = Rx_Compile(re->source.str, re->source.len, re->flags, false, &re->program);
        if (err) {
            re->program = nullptr;
            *out = nullptr;
            return err;
        }
    }
    *out = re->program;
    return 0;
}

uint32_t RxObj_Recompile(RegExpObject *re, const char *source, uint32_t len, uint32_t flags) {
    // The new text is copied first: it may be this object's own source.
    JSAny text = JSAny_Undef();
    JSAny_SetStringBytes(&text, source, len);
    if (text.type == JSANY_ERROR) return ERR_NOMEM;
    Rx_Free(re->program);
    re->program = nullptr;
    JSAny_Clear(&re->source);
    re->source = text;
    re->flags = flags & (RX_IGNORECASE | RX_GLOBAL | RX_MULTILINE);
    re->lastIndex = 0;
    RxProgram *p;
    return RxObj_Program(re, &p);
}

uint32_t Bi_MakeRegExpPrototype(ProgramSpace *space, JSAny *out) {
    RxObj_New(space->protos[PROTO_OBJECT], "(?:)", 4, 0, out);
    return out->type == JSANY_ERROR ? ERR_NOMEM : 0;
}

void Rx_InstallHooks() {
    Obj_SetRegExpHooks(&kHooks);  // the collector's finalizer comes with them
    Lex_SetRegExpMaker(&MakeLiteral);
}

}  // namespace quillon
