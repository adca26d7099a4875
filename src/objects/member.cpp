// Member reads, writes, deletes, `in` and `instanceof` on every kind of base:
// objects along their chain, primitives through their prototypes (a string's
// characters and length first), program objects through the host's hooks,
// and null and undefined, which read as undefined (or 0x8015 where members
// must exist). Redirected global names read the other space's slot.
#include "objects/member.h"
#include "objects/object.h"

#include <cstring>

#include "objects/hostcalls.h"
#include "values/progobj.h"
#include "values/space.h"
#include "values/context.h"
#include "lexer/code.h"
#include "lexer/lexer.h"
#include "objects/function.h"
#include "objects/keys.h"
#include "runtime/atoms.h"
#include "runtime/idtable.h"
#include "runtime/text.h"
#include "values/convert.h"

namespace quillon {

namespace {

inline bool NameIs(const char *name, uint32_t len, const char *lit) {
    size_t n = std::strlen(lit);
    return len == n && std::memcmp(name, lit, n) == 0;
}

// The name a reference slot names (a key converted to text when needed).
struct SlotName {
    const char *name = nullptr;
    uint32_t len = 0;
    uint32_t hash = 0;
    bool isIndex = false;
    uint32_t index = 0;
    const JSAny *keyValue = nullptr;  // the key record of a member reference
    JSAny shared = JSAny_Undef();     // an identifier's shared name text (not owned here)
    JSAny holder = JSAny_Undef();
    ~SlotName() { JSAny_Clear(&holder); }
    // The name's key text when an identifier gave it (null: look it up).
    const char *Key() const { return keyValue == &shared ? shared.str : nullptr; }
};

uint32_t NameOfSlot(EvalSlot *slot, SlotName *n) {
    if (slot->v.type == JSREF_NAMED) {
        auto *id = static_cast<IdEntry *>(slot->key.ptr);
        n->name = id->name;
        n->len = id->length;
        n->hash = id->hash;
        n->isIndex = false;  // an identifier never reads as an index
        // The identifier keeps the name's key, so that its properties are
        // found and made without looking the name up in the key table.
        auto *payload = static_cast<IdPayload *>(Id_Payload(id));
        if (!payload->keyText) payload->keyText = Atom_Get(id->name, id->length, id->hash);
        if (payload->keyText) {
            n->shared.type = JSANY_STRING;
            n->shared.len = id->length;
            n->shared.str = payload->keyText;
            n->keyValue = &n->shared;
        }
        return 0;
    }
    const JSAny *key = &slot->key;
    n->keyValue = key;
    if (key->type == JSANY_ERROR) return key->code ? key->code : ERR_WRONGTYPE;
    if (Obj_ArrayIndex(key, &n->index)) {
        n->isIndex = true;
        // A number index needs no text: every user of an index takes it as one.
        if (key->type == JSANY_NUMBER) return 0;
    }
    if (JSAny_IsString(key)) {
        n->name = key->str;
        n->len = key->len;
    } else {
        JSAny_InitFrom(&n->holder, key);
        JSAny_ToString(nullptr, &n->holder);
        if (!JSAny_IsString(&n->holder)) {
            if (n->holder.type != JSANY_ERROR) return ERR_NOPROP;
            return n->holder.code ? n->holder.code : ERR_WRONGTYPE;
        }
        n->name = n->holder.str;
        n->len = n->holder.len;
        // A key that converts to an index text names that element.
        if (!n->isIndex) n->isIndex = Obj_NameIndex(n->name, n->len, &n->index);
    }
    n->hash = Str_Hash(n->name, n->len);
    return 0;
}

// Reads a global name of another program space (a lookup redirected there).
void ReadGlobalOf(ProgramSpace *space, const char *name, uint32_t len, JSAny *out) {
    // The host may have destroyed the space it redirected the lookup to.
    if (!Space_IsLive(space) || !space->store) {
        JSAny_SetUndefined(out);
        return;
    }
    IdEntry *id = Id_Find(space->store->ids, name, len);
    JSAny *slot = id ? Lex_ConstOf(space->store, *static_cast<uint32_t *>(Id_Payload(id))) : nullptr;
    if (!slot || slot->type == JSANY_UNDECLARED) {
        JSAny_SetUndefined(out);
        return;
    }
    JSAny_Assign(out, slot);
}

void ClearRedirects(RunContext *ctx) {
    ctx->lookupSpace = nullptr;
    if (ctx->lookupObject) {
        Object *o = ctx->lookupObject;
        ctx->lookupObject = nullptr;
        Obj_Release(o);
    }
}

inline ProgramSpace *HooksOf(RunContext *ctx, ProgObj *p) { return p->owner ? p->owner : ctx->space; }
inline void *DataOf(ProgObj *p) { return p->size ? ProgObj_Data(p) : nullptr; }

// Asks the host with `flags` about a member; the host answers through the
// context's return value, preset to undefined. Returns the raw answer.
uint32_t AskHost(RunContext *ctx, ProgObj *p, const JSAny *key, const char *name, uint32_t len,
                 uint32_t flags) {
    uint32_t index;
    if (key && key->type == JSANY_NUMBER && Obj_ArrayIndex(key, &index))
        return Host_GetElement(HooksOf(ctx, p), Host_TargetOf(ctx, p), ctx, DataOf(p), p->size, index,
                               flags);
    // The hook takes a zero-terminated name.
    char small[64];
    char *text = small;
    if (len >= sizeof small) {
        text = static_cast<char *>(Mem_Alloc(len + 1));
        if (!text) return 1;
    }
    std::memcpy(text, name, len);
    text[len] = 0;
    uint32_t answer = Host_GetProperty(HooksOf(ctx, p), Host_TargetOf(ctx, p), ctx, DataOf(p), text,
                                       p->size, flags);
    if (text != small) Mem_Free(text);
    return answer;
}

// Computed members of the arguments object and of script functions.
bool ComputedMember(Object *o, const char *name, uint32_t len, JSAny *out) {
    if (o->kind == ObjKind::Arguments) {
        auto *a = static_cast<ArgumentsObject *>(o);
        if (NameIs(name, len, "callee")) {
            if (a->invoked && a->invoked->kind == ObjKind::Script &&
                static_cast<ScriptFunction *>(a->invoked)->code) {
                const Code *c = static_cast<ScriptFunction *>(a->invoked)->code;
                JSAny_SetStringBytes(out, c->source, c->sourceLen);
            } else {
                JSAny_SetStringCopy(out, "");
            }
            return true;
        }
        if (NameIs(name, len, "caller")) {
            if (a->caller && a->caller->name) JSAny_SetStringCopy(out, a->caller->name);
            else JSAny_SetNull(out);
            return true;
        }
        return false;
    }
    if (o->kind == ObjKind::Script) {
        auto *f = static_cast<ScriptFunction *>(o);
        if (NameIs(name, len, "arguments")) {
            Activation *a = f->active ? f->current : nullptr;
            if (a && !a->arguments && a->callArgs && f->space) {
                // The invocation keeps its parameters as locals: make the
                // arguments object now, from the call's arguments.
                JSAny made = JSAny_Undef();
                Fn_NewArguments(f->space, &made, a->callArgs, a->callArgc, f, a->caller, a->code->nparams);
                if (made.type != JSANY_OBJECT) {
                    *out = made;
                    return true;
                }
                a->arguments = static_cast<ArgumentsObject *>(made.obj);  // the reference passes over
            }
            if (a && a->arguments) JSAny_SetObject(out, a->arguments);
            else JSAny_SetNull(out);
            return true;
        }
        if (NameIs(name, len, "caller")) {
            if (f->active && f->current && f->current->caller) JSAny_SetObject(out, f->current->caller);
            else JSAny_SetNull(out);
            return true;
        }
    }
    return false;
}

// Whether the name is one of ComputedMember's members on this object.
bool ComputedMemberOwn(const Object *o, const char *name, uint32_t len) {
    if (o->kind == ObjKind::Arguments) return NameIs(name, len, "callee") || NameIs(name, len, "caller");
    if (o->kind == ObjKind::Script) return NameIs(name, len, "arguments") || NameIs(name, len, "caller");
    return false;
}

Object *ProtoFor(RunContext *ctx, int32_t type) {
    ProgramSpace *s = ctx ? ctx->space : nullptr;
    if (!s) return nullptr;
    switch (type) {
    case JSANY_STRING:
    case JSANY_CSTRING: return s->protos[PROTO_STRING];
    case JSANY_NUMBER: return s->protos[PROTO_NUMBER];
    case JSANY_BOOLEAN: return s->protos[PROTO_BOOLEAN];
    default: return nullptr;
    }
}

void ReadFromObject(RunContext *ctx, Object *o, const SlotName &n, JSAny *out) {
    if ((o->kind == ObjKind::Arguments || o->kind == ObjKind::Script) &&
        ComputedMember(o, n.name, n.len, out))
        return;
    if (o->classFlags & CF_STRING) {
        if (const JSAny *v = Obj_WrappedValue(o, CF_STRING)) {
            if (n.isIndex && n.index < v->len && !Obj_FindOwnIndex(o, n.index)) {
                JSAny_SetStringBytes(out, v->str + n.index, 1);
                return;
            }
            if (NameIs(n.name, n.len, "length") && !Obj_FindOwnName(o, n.name, n.len, n.hash)) {
                JSAny_SetNumber(out, v->len);
                return;
            }
        }
    }
    (void)ctx;
    if (n.isIndex) Obj_GetIndex(o, n.index, out);
    else Obj_GetName(o, n.name, n.len, n.hash, out);
}

// Whether the key is found on the object or along its prototype chain.
bool HasAlongChain(Object *o, const SlotName &n) {
    if (!n.isIndex) return Obj_HasName(o, n.name, n.len, n.hash);
    JSAny key = JSAny_Num(n.index);
    return Obj_Has(o, &key);
}

}  // namespace

uint32_t Host_ReadMember(RunContext *ctx, ProgObj *p, const JSAny *key, const char *name,
                         uint32_t len, JSAny *out) {
    JSAny savedRet = ctx->ret;
    ctx->ret = JSAny_Undef();
    ClearRedirects(ctx);
    uint32_t answer = AskHost(ctx, p, key, name, len, JSHOST_GET);
    uint32_t code = 0;
    if (answer == 0) {
        if (ctx->lookupObject) {
            // The member is read from that object as it would be named there:
            // an index reads its element.
            uint32_t index;
            if ((key && Obj_ArrayIndex(key, &index)) || Obj_NameIndex(name, len, &index))
                Obj_GetIndex(ctx->lookupObject, index, out);
            else
                Obj_GetName(ctx->lookupObject, name, len, Str_Hash(name, len), out);
            JSAny_Clear(&ctx->ret);
        } else if (ctx->lookupSpace) {
            ReadGlobalOf(ctx->lookupSpace, name, len, out);
            JSAny_Clear(&ctx->ret);
        } else {
            JSAny_Clear(out);
            *out = ctx->ret;
        }
        ctx->ret = JSAny_Undef();
        if (out->type == JSANY_UNDECLARED) *out = JSAny_Undef();
    } else {
        JSAny_Clear(&ctx->ret);
        code = answer == 2 ? 0 : Host_AnswerCode(answer, 0);
        JSAny_SetUndefined(out);
        if (code) JSAny_SetError(out, code);
    }
    ClearRedirects(ctx);
    ctx->ret = savedRet;
    return code;
}

uint32_t Host_NextMember(RunContext *ctx, ProgObj *p, const char *prev, JSAny *out) {
    JSAny savedRet = ctx->ret;
    ctx->ret = JSAny_Undef();
    uint32_t answer = AskHost(ctx, p, nullptr, prev, static_cast<uint32_t>(std::strlen(prev)),
                              JSHOST_NEXTNAME);
    JSAny_Clear(out);
    *out = ctx->ret;
    ctx->ret = savedRet;
    uint32_t code = answer == 0 || answer == 2 ? 0 : Host_AnswerCode(answer, 0);
    if (answer != 0) JSAny_SetUndefined(out);
    if (code) JSAny_SetError(out, code);
    return code;
}

bool Obj_GetPrimitiveMemberFast(RunContext *ctx, EvalSlot *s, uint32_t *hint) {
    int32_t t = s->base.type;
    if (s->v.type != JSREF_NAMED ||
        (t != JSANY_STRING && t != JSANY_CSTRING && t != JSANY_NUMBER && t != JSANY_BOOLEAN))
        return false;
    auto *id = static_cast<const IdEntry *>(s->key.ptr);
    if (Obj_NameIsLength(id->name, id->length) || NameIs(id->name, id->length, "prototype")) return false;
    Object *p = ProtoFor(ctx, t);
    if (!p || !Obj_PlainNamed(p, id)) return false;
    JSAny v;
    Obj_GetNamedPlain(p, id, hint, &v);
    JSAny_Clear(&s->base);
    s->v = v;
    return true;
}

uint32_t Obj_GetMember(RunContext *ctx, EvalSlot *slot, bool mustExist) {
    switch (slot->v.type) {
    case JSREF_VARIABLE: {
        const JSAny *var = static_cast<const JSAny *>(slot->v.ptr);
        if (var->type == JSANY_UNDECLARED) slot->v = JSAny_Undef();
        else JSAny_InitFrom(&slot->v, var);
        return slot->v.type == JSANY_ERROR && var->type != JSANY_ERROR ? slot->v.code : 0;
    }
    case JSREF_ARGSLOT: {
        Object *args = slot->base.obj;
        uint32_t index = slot->key.len;
        JSAny value = JSAny_Undef();
        if (index < Elems_DenseLen(args) && args->dense[index].type != JSANY_UNDECLARED &&
            args->dense[index].type != JSANY_ABSENT)
            JSAny_InitFrom(&value, &args->dense[index]);
        JSAny_Clear(&slot->base);
        slot->v = value;
        return 0;
    }
    case JSREF_MEMBER:
    case JSREF_NAMED:
        break;
    default:
        return 0;
    }
    JSAny base = slot->base;
    slot->base = JSAny_Undef();
    SlotName n;
    uint32_t st = NameOfSlot(slot, &n);
    JSAny result = JSAny_Undef();
    if (base.type == JSANY_ERROR) {
        result = JSAny_Err(base.code ? base.code : ERR_WRONGTYPE);
    } else if (st) {
        result = JSAny_Err(st);
    } else {
        switch (base.type) {
        case JSANY_PROGOBJ:
            Host_ReadMember(ctx, base.prog, n.keyValue, n.name, n.len, &result);
            if (result.type == JSANY_UNDEFINED && mustExist) result = JSAny_Err(ERR_NOPROP);
            break;
        case JSANY_OBJECT:
            ReadFromObject(ctx, base.obj, n, &result);
            if (mustExist && result.type == JSANY_UNDEFINED && !HasAlongChain(base.obj, n))
                result = JSAny_Err(ERR_NOPROP);
            break;
        case JSANY_STRING:
        case JSANY_CSTRING:
            if (Obj_NameIsLength(n.name, n.len)) {
                result = Obj_StringLength(&base);
            } else if (n.isIndex && n.index < base.len) {
                JSAny_SetStringBytes(&result, base.str + n.index, 1);
            } else if (NameIs(n.name, n.len, "prototype")) {
                if (Object *p = ProtoFor(ctx, base.type)) JSAny_SetObject(&result, p);
            } else if (Object *p = ProtoFor(ctx, base.type)) {
                if (n.isIndex) Obj_GetIndex(p, n.index, &result);
                else Obj_GetNameKey(p, n.name, n.len, n.hash, n.Key(), &result);
            }
            break;
        case JSANY_NUMBER:
        case JSANY_BOOLEAN:
            if (Object *p = ProtoFor(ctx, base.type)) {
                if (NameIs(n.name, n.len, "prototype")) JSAny_SetObject(&result, p);
                else if (n.isIndex) Obj_GetIndex(p, n.index, &result);
                else Obj_GetNameKey(p, n.name, n.len, n.hash, n.Key(), &result);
            }
            break;
        case JSANY_NULL:
        case JSANY_UNDEFINED:
            if (ctx && ctx->memberError) result = JSAny_Err(ERR_NOPROP);
            break;
        default:
            break;
        }
    }
    if (slot->v.type == JSREF_MEMBER) JSAny_Clear(&slot->key);
    JSAny_Clear(&base);
    slot->v = result;
    return result.type == JSANY_ERROR ? result.code : 0;
}

namespace {

// The store protocol on a program object.
uint32_t PutHost(RunContext *ctx, ProgObj *p, const SlotName &n, const JSAny *value) {
    const JSAny *savedArgs = ctx->hostArgs;
    uint32_t savedArgc = ctx->hostArgc;
    const JSAny *savedCallArgs = ctx->args;
    uint32_t savedCallArgc = ctx->argc;
    ctx->args = value;
    ctx->argc = 1;
    ctx->hostArgs = value;
    ctx->hostArgc = 1;
    ClearRedirects(ctx);
    JSAny savedRet = ctx->ret;
    ctx->ret = JSAny_Undef();
    uint32_t answer = AskHost(ctx, p, n.keyValue, n.name, n.len, JSHOST_PUT);
    JSAny_Clear(&ctx->ret);
    ctx->ret = savedRet;
    uint32_t st = 0;
    switch (answer) {
    case 0:
        if (ctx->lookupSpace) {
            ProgramSpace *s = ctx->lookupSpace;
            if (Space_IsLive(s) && s->store) {
                uint32_t err = 0;
                char *name = Text_FromBytes(n.name, n.len);
                uint32_t code = name ? Lex_Name(s->store, name, &err) : 0;
                Text_Release(name);
                JSAny *slot = code ? Lex_ConstOf(s->store, code) : nullptr;
                if (!slot) st = ERR_NOMEM;
                else JSAny_Assign(slot, value);
            }
        } else if (ctx->lookupObject) {
            st = n.isIndex ? Obj_PutIndex(ctx->lookupObject, n.index, value)
                           : Obj_PutName(ctx->lookupObject, n.name, n.len, n.hash, value);
        }
        break;
    case 1:
        st = ERR_NOMEM;
        break;
    case 6:
        if (value->type == JSANY_PROGOBJ) {
            ProgObj *v = value->prog;
            uint32_t again = Host_GetProperty(HooksOf(ctx, v), Host_TargetOf(ctx, v), ctx, DataOf(v), "",
                                              v->size, JSHOST_PUT);
            st = Host_AnswerCode(again, ERR_WRONGTYPE);
        } else {
            st = ERR_WRONGTYPE;
        }
        break;
    default:
        st = ERR_WRONGTYPE;
        break;
    }
    ClearRedirects(ctx);
    ctx->args = savedCallArgs;
    ctx->argc = savedCallArgc;
    ctx->hostArgs = savedArgs;
    ctx->hostArgc = savedArgc;
    return st;
}

}  // namespace

uint32_t Obj_PutMember(RunContext *ctx, EvalSlot *slot, JSAny *value) {
    uint32_t st = 0;
    switch (slot->v.type) {
    case JSREF_VARIABLE: {
        auto *var = static_cast<JSAny *>(slot->v.ptr);
        JSAny copy;
        JSAny_InitFrom(&copy, value);
        st = copy.type == JSANY_ERROR && value->type != JSANY_ERROR ? copy.code : 0;
        JSAny old = *var;
        *var = *value;
        *value = JSAny_Undef();
        JSAny_Clear(&old);
        slot->v = copy;
        return st;
    }
    case JSREF_ARGSLOT: {
        Object *args = slot->base.obj;
        uint32_t index = slot->key.len;
        st = Obj_PutIndex(args, index, value);
        Obj_SettleStore(slot, value, st);
        return st;
    }
    case JSREF_MEMBER:
    case JSREF_NAMED:
        break;
    default:
        JSAny_Clear(value);
        Slot_Clear(slot);
        slot->v = JSAny_Err(ERR_WRONGTYPE);
        return ERR_WRONGTYPE;
    }
    JSAny base = slot->base;
    slot->base = JSAny_Undef();
    SlotName n;
    st = NameOfSlot(slot, &n);
    if (base.type == JSANY_ERROR) {
        st = base.code ? base.code : ERR_WRONGTYPE;
    } else if (!st) {
        switch (base.type) {
        case JSANY_PROGOBJ:
            st = PutHost(ctx, base.prog, n, value);
            break;
        case JSANY_OBJECT:
            if ((base.obj->classFlags & CF_CALLABLE) && NameIs(n.name, n.len, "arguments")) {
                st = ERR_WRONGTYPE;
            } else if (n.isIndex) {
                st = Obj_PutIndex(base.obj, n.index, value);
            } else {
                const JSAny *strKey = n.keyValue && n.keyValue->type == JSANY_STRING ? n.keyValue : nullptr;
                if (strKey) st = Obj_Put(base.obj, strKey, value);
                else st = Obj_PutName(base.obj, n.name, n.len, n.hash, value);
            }
            break;
        case JSANY_STRING:
        case JSANY_CSTRING:
        case JSANY_NUMBER:
        case JSANY_BOOLEAN:
            break;
        default:
            st = ERR_WRONGTYPE;
            break;
        }
    }
    if (slot->v.type == JSREF_MEMBER) JSAny_Clear(&slot->key);
    JSAny_Clear(&base);
    Obj_SettleStore(slot, value, st);
    return st;
}

bool Obj_HasMember(RunContext *ctx, const JSAny *value, const char *name, uint32_t len,
                   uint32_t *status) {
    *status = 0;
    uint32_t hash = Str_Hash(name, len);
    uint32_t index;
    bool isIndex = Obj_NameIndex(name, len, &index);
    switch (value->type) {
    case JSANY_PROGOBJ: {
        JSAny savedRet = ctx->ret;
        ctx->ret = JSAny_Undef();
        uint32_t answer = AskHost(ctx, value->prog, nullptr, name, len, JSHOST_HAS);
        JSAny_Clear(&ctx->ret);
        ctx->ret = savedRet;
        if (answer == 0) return true;
        if (answer != 2) *status = Host_AnswerCode(answer, 0);
        return false;
    }
    case JSANY_OBJECT: {
        Object *o = value->obj;
        if (o->classFlags & CF_ARGUMENTS) return true;
        if ((o->classFlags & CF_CALLABLE) && NameIs(name, len, "arguments")) return true;
        if (isIndex) {
            for (Object *cur = o; cur; cur = Obj_NextInChain(cur))
                if (Obj_FindOwnIndex(cur, index)) return true;
            return false;
        }
        return Obj_HasName(o, name, len, hash);
    }
    case JSANY_STRING:
    case JSANY_CSTRING:
        if (NameIs(name, len, "length") || (isIndex && index < value->len)) return true;
        [[fallthrough]];
    case JSANY_NUMBER:
    case JSANY_BOOLEAN: {
        Object *p = ProtoFor(ctx, value->type);
        return p && Obj_HasName(p, name, len, hash);
    }
    default:
        return false;
    }
}

bool Obj_HasOwnMember(RunContext *ctx, const JSAny *value, const char *name, uint32_t len, bool listedOnly,
                      uint32_t *status) {
    *status = 0;
    uint32_t index;
    bool isIndex = Obj_NameIndex(name, len, &index);
    switch (value->type) {
    case JSANY_PROGOBJ:
        // A program object's members are the host's: it is asked whether it has one.
        return Obj_HasMember(ctx, value, name, len, status);
    case JSANY_OBJECT: {
        Object *o = value->obj;
        uint32_t hash = Str_Hash(name, len);
        if (isIndex) {
            if (Obj_HasOwnIndex(o, index)) return true;
            if (listedOnly || !(o->classFlags & CF_STRING)) return false;
            // A String object has the characters of its text, as a string does.
            const JSAny *v = Obj_WrappedValue(o, CF_STRING);
            return v && index < v->len;
        }
        if (listedOnly) return Obj_FindOwnName(o, name, len, hash) != nullptr;
        return Obj_HasOwnName(o, name, len, hash) || ComputedMemberOwn(o, name, len);
    }
    case JSANY_STRING:
    case JSANY_CSTRING:
        return !listedOnly && (NameIs(name, len, "length") || (isIndex && index < value->len));
    default:
        return false;
    }
}

uint32_t Obj_DeleteMember(RunContext *ctx, EvalSlot *slot) {
    if (slot->v.type == JSREF_VARIABLE || slot->v.type == JSREF_ARGSLOT) {
        Slot_Clear(slot);
        slot->v = JSAny_Bool(false);
        return 0;
    }
    if (slot->v.type != JSREF_MEMBER && slot->v.type != JSREF_NAMED) {
        Slot_Clear(slot);
        slot->v = JSAny_Bool(true);
        return 0;
    }
    JSAny base = slot->base;
    slot->base = JSAny_Undef();
    SlotName n;
    uint32_t st = NameOfSlot(slot, &n);
    if (base.type == JSANY_ERROR) st = base.code ? base.code : ERR_WRONGTYPE;
    if (!st) {
        if (base.type == JSANY_OBJECT) {
            if (n.isIndex) {
                JSAny k = JSAny_Num(n.index);
                Obj_Delete(base.obj, &k);
            } else {
                JSAny k = JSAny_Borrow(n.name, n.len);
                Obj_Delete(base.obj, &k);
            }
        } else if (base.type == JSANY_PROGOBJ) {
            JSAny savedRet = ctx->ret;
            ctx->ret = JSAny_Undef();
            uint32_t answer = AskHost(ctx, base.prog, n.keyValue, n.name, n.len, JSHOST_DELETE);
            JSAny_Clear(&ctx->ret);
            ctx->ret = savedRet;
            if (answer != 0 && answer != 2) st = Host_AnswerCode(answer, 0);
        }
    }
    if (slot->v.type == JSREF_MEMBER) JSAny_Clear(&slot->key);
    JSAny_Clear(&base);
    slot->v = st ? JSAny_Err(st) : JSAny_Bool(true);
    return st;
}

// ---- the operators the object model answers ----

void Op_In(RunContext *ctx, JSAny *l, const JSAny *r) {
    if (l->type == JSANY_ERROR) return;
    if (r->type == JSANY_ERROR) {
        JSAny_SetError(l, r->code);
        return;
    }
    JSAny_ToString(ctx, l);
    if (l->type == JSANY_ERROR) return;
    uint32_t status = 0;
    bool has = Obj_HasMember(ctx, r, l->str, l->len, &status);
    if (status) JSAny_SetError(l, status);
    else JSAny_SetBoolean(l, has);
}

void Op_InstanceOf(RunContext *, JSAny *l, const JSAny *r) {
    if (l->type == JSANY_ERROR) return;
    if (r->type == JSANY_ERROR) {
        JSAny_SetError(l, r->code);
        return;
    }
    if (r->type != JSANY_OBJECT || !(r->obj->classFlags & CF_CALLABLE)) {
        JSAny_SetError(l, ERR_WRONGTYPE);
        return;
    }
    if (l->type != JSANY_OBJECT) {
        JSAny_SetBoolean(l, false);
        return;
    }
    auto *f = static_cast<Function *>(r->obj);
    bool yes = l->obj->prototype && l->obj->prototype == f->prototypeObject;
    JSAny_SetBoolean(l, yes);
}

}  // namespace quillon
