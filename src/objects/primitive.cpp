// Converting objects and program objects (see primitive.h): methods are
// looked up as member reads look them up and called as built-ins call
// functions; a failed read or call is the conversion's failure.
#include "objects/primitive.h"

#include <cstring>

#include "objects/function.h"
#include "objects/member.h"
#include "objects/object.h"
#include "runtime/text.h"
#include "values/context.h"
#include "values/convert.h"
#include "values/space.h"

namespace quillon {

namespace {

// Looks a method up on an object or program object value.
void MethodOf(RunContext *ctx, const JSAny *value, const char *name, JSAny *out) {
    uint32_t len = static_cast<uint32_t>(std::strlen(name));
    if (value->type == JSANY_OBJECT) {
        Obj_GetName(value->obj, name, len, Str_Hash(name, len), out);
    } else {
        Host_ReadMember(ctx, value->prog, nullptr, name, len, out);
    }
}

// *a holds an object or program object; ctx is never null.
void ToPrimitive(RunContext *ctx, JSAny *a, int hint) {
    bool stringFirst = hint == HINT_STRING ||
                       (hint == HINT_DEFAULT && a->type == JSANY_OBJECT && (a->obj->classFlags & CF_DATE));
    const char *order[2] = {"valueOf", "toString"};
    if (stringFirst) {
        order[0] = "toString";
        order[1] = "valueOf";
    }
    for (const char *name : order) {
        JSAny method = JSAny_Undef();
        MethodOf(ctx, a, name, &method);
        if (method.type == JSANY_ERROR && method.code != 0) {
            // The host failed the read (out of memory, a break): that is
            // the conversion's failure, not a method that is missing.
            JSAny_Clear(a);
            *a = method;
            return;
        }
        bool callable = (method.type == JSANY_OBJECT && (method.obj->classFlags & CF_CALLABLE)) ||
                        method.type == JSANY_PROGOBJ;
        if (!callable) {
            JSAny_Clear(&method);
            continue;
        }
        JSAny result = JSAny_Undef();
        Fn_Call(ctx, &method, a, nullptr, 0, &result);
        JSAny_Clear(&method);
        if (result.type != JSANY_OBJECT && result.type != JSANY_PROGOBJ) {
            if (result.type == JSANY_ERROR && result.code == ERR_NOVALUE) result = JSAny_Undef();
            JSAny_Clear(a);
            *a = result;
            return;
        }
        JSAny_Clear(&result);
    }
    JSAny_SetError(a, ERR_WRONGTYPE);
}

// *a holds a primitive other than an error; ctx may be null (then the
// wrapper has no prototype).
void ToObject(RunContext *ctx, JSAny *a) {
    ProgramSpace *space = ctx ? ctx->space : nullptr;
    uint32_t proto = PROTO_OBJECT, flags = 0;
    switch (a->type) {
    case JSANY_BOOLEAN: proto = PROTO_BOOLEAN; flags = CF_BOOLEAN; break;
    case JSANY_NUMBER: proto = PROTO_NUMBER; flags = CF_NUMBER; break;
    case JSANY_STRING:
    case JSANY_CSTRING: proto = PROTO_STRING; flags = CF_STRING | CF_HASLENGTH; break;
    default: break;
    }
    Object *o = Obj_New(space ? space->protos[proto] : nullptr);
    if (!o) {
        JSAny_SetError(a, ERR_NOMEM);
        return;
    }
    if (flags) {
        uint32_t st = Obj_AddName(o, "__value", 7, Str_Hash("__value", 7), a);
        if (st) {
            Obj_Release(o);
            JSAny_SetError(a, st);
            return;
        }
        o->classFlags |= flags;
    }
    JSAny_Clear(a);
    a->type = JSANY_OBJECT;
    a->len = 0;
    a->obj = o;
}

// *a holds an object or program object: "function" for what can be called,
// a program object's own "__typeof" text when the host gives one, else
// "object". ctx may be null (then the host is not asked).
void TypeOf(RunContext *ctx, JSAny *a) {
    if (a->type == JSANY_OBJECT) {
        JSAny_SetStringCopy(a, (a->obj->classFlags & CF_CALLABLE) ? "function" : "object");
        return;
    }
    if (ctx) {
        JSAny t = JSAny_Undef();
        Host_ReadMember(ctx, a->prog, nullptr, "__typeof", 8, &t);
        if (JSAny_IsString(&t)) {
            JSAny_Clear(a);
            *a = t;
            return;
        }
        JSAny_Clear(&t);
    }
    JSAny_SetStringCopy(a, "object");
}

constexpr ObjectConversions kConversions = {ToPrimitive, ToObject, TypeOf};

}  // namespace

void Obj_InstallConversions() { Conv_SetObjectHooks(&kConversions); }

}  // namespace quillon
