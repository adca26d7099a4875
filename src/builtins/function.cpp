// The Function constructor, Function.prototype (itself a function that
// gives undefined) and its methods apply, bind, call and toString.
#include <cstdio>
#include <cstring>

#include "builtins/native_args.h"
#include "objects/natives.h"
#include "values/space.h"
#include "interp/run.h"
#include "lexer/code.h"
#include "lexer/lexer.h"

namespace quillon {

namespace {

constexpr char kHead[] = "function anonymous(";
constexpr char kMiddle[] = ") { ";
constexpr char kTail[] = " }";
constexpr char kEmpty[] = "function anonymous() { }";

// A parameter text must be one whole identifier.
bool IsIdentifier(const JSAny *s) {
    const uint8_t *classes = Lex_Classes();
    if (s->len == 0) return false;
    const auto *p = reinterpret_cast<const unsigned char *>(s->str);
    if (classes[p[0]] != 2) return false;
    for (uint32_t i = 1; i < s->len; ++i)
        if (classes[p[i]] == 0) return false;
    return true;
}

// The `this` of the method when it is a function, else null (and the result
// is error 212).
Function *ThisFunction(RunContext *ctx) {
    if (!Nat_IsFunctionValue(&ctx->thisValue)) {
        JSAny_SetError(&ctx->ret, ERR_WRONGTYPE);
        return nullptr;
    }
    return static_cast<Function *>(ctx->thisValue.obj);
}

// The first argument converted to an object, the `this` of the invocation.
bool ThisArgument(RunContext *ctx, ValueGuard &out) {
    JSAny_Clear(&out.v);
    JSAny_InitFrom(&out.v, &ctx->args[0]);
    JSAny_ToObject(ctx, &out.v);
    return !Ret_FailOn(ctx, &out.v);
}

// Calls the `this` function with the given this and arguments; the result
// (or its error) is the native's result.
void Invoke(RunContext *ctx, const JSAny *thisObj, const JSAny *args, uint32_t argc) {
    JSAny callee;
    JSAny_InitFrom(&callee, &ctx->thisValue);
    JSAny result = JSAny_Undef();
    Fn_Call(ctx, &callee, thisObj, args, argc, &result);
    JSAny_Clear(&callee);
    JSAny_Move(&ctx->ret, &result);
}

// Releases a vector of argument values read from an array.
struct ArgVector {
    JSAny *items = nullptr;
    uint32_t count = 0;
    ~ArgVector() {
        for (uint32_t i = 0; i < count; ++i) JSAny_Clear(&items[i]);
        Arr_Free(items);
    }
};

}  // namespace

// Function(p1, ..., pn, body): compiles "function anonymous(p1,...,pn) {
// body }" in global scope.
void Bi_Function(RunContext *ctx, Function *) {
    uint32_t argc = ctx->argc;
    ArgVector texts;
    if (argc) {
        texts.items = static_cast<JSAny *>(Arr_Alloc(sizeof(JSAny), argc));
        if (!texts.items) {
            JSAny_SetError(&ctx->ret, ERR_NOMEM);
            return;
        }
    }
    size_t len = 0;
    for (uint32_t i = 0; i < argc; ++i) {
        JSAny *t = &texts.items[i];
        JSAny_InitFrom(t, &ctx->args[i]);
        texts.count = i + 1;
        JSAny_ToString(ctx, t);
        if (Ret_FailOn(ctx, t)) return;
        if (i + 1 < argc && !IsIdentifier(t)) return;  // the preset: bad arguments
        len += t->len + 1;
    }
    len += sizeof kHead + sizeof kMiddle + sizeof kTail;
    char *text = Text_Alloc(len);
    if (!text) {
        JSAny_SetError(&ctx->ret, ERR_NOMEM);
        return;
    }
    char *o = text;
    auto put = [&o](const char *s, size_t n) {
        std::memcpy(o, s, n);
        o += n;
    };
    if (argc == 0) {
        put(kEmpty, sizeof kEmpty - 1);
    } else {
        put(kHead, sizeof kHead - 1);
        for (uint32_t i = 0; i + 1 < argc; ++i) {
            if (i) put(",", 1);
            put(texts.items[i].str, texts.items[i].len);
        }
        put(kMiddle, sizeof kMiddle - 1);
        put(texts.items[argc - 1].str, texts.items[argc - 1].len);
        put(kTail, sizeof kTail - 1);
    }
    *o = 0;
    JSAny fn = JSAny_Undef();
    uint32_t code = Run_MakeFunction(ctx, text, static_cast<uint32_t>(o - text), &fn);
    Text_Release(text);
    if (code) {
        JSAny_Clear(&fn);
        JSAny_SetError(&ctx->ret, code);
        return;
    }
    JSAny_Move(&ctx->ret, &fn);
}

void Bi_FunctionPrototype(RunContext *ctx, Function *) { JSAny_SetUndefined(&ctx->ret); }

// toString, toSource and valueOf: a script function's source as written;
// any other function the native text with its name.
void Bi_FunctionToString(RunContext *ctx, Function *) {
    Function *f = ThisFunction(ctx);
    if (!f) return;
    if (f->kind == ObjKind::Script) {
        const Code *c = static_cast<ScriptFunction *>(f)->code;
        if (c) JSAny_SetStringBytes(&ctx->ret, c->source, c->sourceLen);
        else JSAny_SetStringCopy(&ctx->ret, "");
        return;
    }
    char *t = Text_Format("\nfunction %s() {\n\t[native code]\n}\n", f->name ? f->name : "");
    if (!t) {
        JSAny_SetError(&ctx->ret, ERR_NOMEM);
        return;
    }
    JSAny_SetStringAdopt(&ctx->ret, t);
}

// call(thisArg, a1, ...): invokes `this` with thisArg (as an object) and the
// other arguments.
void Bi_FunctionCall(RunContext *ctx, Function *) {
    if (!ThisFunction(ctx)) return;
    if (ctx->argc == 0) {
        JSAny_SetUndefined(&ctx->ret);
        return;
    }
    ValueGuard thisObj;
    if (!ThisArgument(ctx, thisObj)) return;
    Invoke(ctx, &thisObj.v, ctx->args + 1, ctx->argc - 1);
}

// apply(thisArg, args): args is an array (its elements in index order) or an
// arguments object (its "length" and indexes); with any other second
// argument nothing is called.
void Bi_FunctionApply(RunContext *ctx, Function *) {
    if (!ThisFunction(ctx)) return;
    if (ctx->argc == 0) {
        JSAny_SetUndefined(&ctx->ret);
        return;
    }
    ArgVector list;
    Object *source = nullptr;
    uint32_t n = 0;
    if (ctx->argc >= 2) {
        const JSAny *a = &ctx->args[1];
        if (a->type == JSANY_OBJECT && (a->obj->classFlags & CF_ARRAY)) {
            source = a->obj;
            n = source->elementLength;
        } else if (a->type == JSANY_OBJECT && (a->obj->classFlags & CF_ARGUMENTS)) {
            source = a->obj;
            ValueGuard length;
            Obj_GetStr(source, "length", &length.v);
            JSAny_ToNumber(ctx, &length.v);
            if (Ret_FailOn(ctx, &length.v)) return;
            n = Num_ToUint32Bits(length.v.num);
        } else {
            JSAny_SetUndefined(&ctx->ret);
            return;
        }
    }
    ValueGuard thisObj;
    if (!ThisArgument(ctx, thisObj)) return;
    if (n) {
        list.items = static_cast<JSAny *>(Arr_Alloc(sizeof(JSAny), n));
        if (!list.items) {
            JSAny_SetError(&ctx->ret, ERR_NOMEM);
            return;
        }
        for (uint32_t i = 0; i < n; ++i) {
            list.items[i] = JSAny_Undef();
            list.count = i + 1;
            Obj_GetIndex(source, i, &list.items[i]);
            if (Ret_FailOn(ctx, &list.items[i])) return;
        }
    }
    Invoke(ctx, &thisObj.v, list.items, n);
}

// bind(thisArg): a bound function of `this` with thisArg (as an object) as
// its this; further arguments are not kept.
void Bi_FunctionBind(RunContext *ctx, Function *) {
    Function *target = ThisFunction(ctx);
    if (!target) return;
    if (ctx->argc == 0) {
        JSAny_SetUndefined(&ctx->ret);
        return;
    }
    ValueGuard thisObj;
    if (!ThisArgument(ctx, thisObj)) return;
    Fn_NewBound(ctx->space, &ctx->ret, target, thisObj.v.obj);
}

}  // namespace quillon
