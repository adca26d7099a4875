// Function records and calls: native, script and bound functions made and
// linked, locals of activations, and the call paths (a callee value or
// reference, construct, a call made by a built-in). Every call saves and
// restores the context's arguments, this and result, so a failure inside
// leaves the caller's state as it was.
#include "objects/function.h"
#include "objects/call.h"
#include "objects/object.h"

#include "objects/hostcalls.h"
#include "values/progobj.h"
#include "values/space.h"
#include "values/context.h"
#include "lexer/code.h"
#include "lexer/lexer.h"
#include "runtime/idtable.h"
#include "platform/signals.h"
#include "objects/elements.h"
#include "objects/member.h"
#include "objects/props.h"
#include "runtime/text.h"
#include "values/convert.h"

namespace quillon {

namespace {

JSAny gKeepThisRecord = JSAny_Undef();
BreakCheck gBreakCheck = nullptr;

// The user-break check: 0 (go on) unless a signal under the run's mask is
// pending and the installed check says stop.
inline uint32_t CheckBreak(RunContext *ctx) {
    return (Plat_PendingSignals() & ctx->breakMask) ? gBreakCheck(ctx, ctx->callTok) : 0;
}

void BoundEntry(RunContext *ctx, Function *fn);

}  // namespace

const JSAny *const kKeepThis = &gKeepThisRecord;

void Fn_SetBreakCheck(BreakCheck check) { gBreakCheck = check; }

void Fn_NotImplemented(RunContext *ctx, Function *) { JSAny_SetError(&ctx->ret, ERR_NOTIMPL); }

void Fn_Link(Function *f, Function **head) {
    f->listPrev = nullptr;
    f->listNext = *head;
    if (*head) (*head)->listPrev = f;
    *head = f;
}

void Fn_Unlink(Function *f, Function **head) {
    if (f->listPrev) f->listPrev->listNext = f->listNext;
    else if (*head == f) *head = f->listNext;
    if (f->listNext) f->listNext->listPrev = f->listPrev;
    f->listNext = f->listPrev = nullptr;
}

Function *Fn_NewNative(int32_t arity, NativeEntry entry, uintptr_t extra, const char *name) {
    auto *f = static_cast<Function *>(Obj_Alloc(sizeof(Function), ObjKind::Native, nullptr));
    if (!f) return nullptr;
    f->classFlags = CF_CALLABLE | CF_HASLENGTH;
    f->arity = arity;
    f->entry = entry;
    f->extra = extra;
    f->name = name;
    return f;
}

void Fn_NewBound(ProgramSpace *space, JSAny *rec, Function *target, Object *boundThis) {
    // The name of a script function lives in its space's identifier table,
    // which may go before the bound function does: keep a copy of it.
    char *ownedName = nullptr;
    if (target->kind == ObjKind::Script && target->name && *target->name) {
        ownedName = Text_FromString(target->name);
        if (!ownedName) {
            JSAny_SetError(rec, ERR_NOMEM);
            return;
        }
    }
    auto *b = static_cast<BoundFunction *>(Obj_Alloc(sizeof(BoundFunction), ObjKind::Bound, nullptr));
    if (!b) {
        Text_Release(ownedName);
        JSAny_SetError(rec, ERR_NOMEM);
        return;
    }
    b->classFlags = CF_CALLABLE | CF_HASLENGTH | CF_FUNCTION;
    b->arity = target->arity;
    b->entry = BoundEntry;
    b->ownedName = ownedName;
    b->name = ownedName ? ownedName : target->kind == ObjKind::Script ? "" : target->name;
    // On the space's list of natives, so that the space's end makes it
    // forget the space (it reaches Function.prototype through it).
    if (space) {
        b->space = space;
        Fn_Link(b, &space->natives);
    }
    Obj_AddRef(target);
    b->target = target;
    if (boundThis) {
        Obj_AddRef(boundThis);
        b->boundThis = boundThis;
    }
    JSAny_AdoptObject(rec, b);
}

uint32_t Fn_MakePrototype(ScriptFunction *f) {
    if (!f->prototypePending) return 0;
    // A function whose space is gone still gets a complete object, only
    // without a prototype of its own.
    Object *p = Obj_New(f->space ? f->space->protos[PROTO_OBJECT] : nullptr);
    if (!p) return ERR_NOMEM;
    JSAny self = JSAny_Undef();
    self.type = JSANY_OBJECT;  // borrowed: the property takes its own reference
    self.obj = f;
    if (Obj_AddName(p, "constructor", 11, Str_Hash("constructor", 11), &self) != 0) {
        Obj_Release(p);
        return ERR_NOMEM;
    }
    f->prototypeObject = p;  // the creator's reference passes to the function
    f->prototypePending = false;
    return 0;
}

void Fn_NewArguments(ProgramSpace *space, JSAny *rec, const JSAny *args, uint32_t argc,
                     Function *invoked, Function *caller, uint32_t nparams) {
    auto *a = static_cast<ArgumentsObject *>(
        Obj_Alloc(sizeof(ArgumentsObject), ObjKind::Arguments, space->protos[PROTO_OBJECT]));
    if (!a) {
        JSAny_SetError(rec, ERR_NOMEM);
        return;
    }
    a->classFlags = CF_ARGUMENTS;
    if (invoked) Obj_AddRef(invoked);
    a->invoked = invoked;
    if (caller) Obj_AddRef(caller);
    a->caller = caller;
    JSAny_AdoptObject(rec, a);
    JSAny len = JSAny_Num(argc);
    uint32_t n = nparams > argc ? nparams : argc;
    if (Obj_AddName(a, "length", 6, Str_Hash("length", 6), &len) != 0 ||
        (n && !Elems_Reserve(a, n))) {
        JSAny_SetError(rec, ERR_NOMEM);
        return;
    }
    for (uint32_t i = 0; i < n; ++i) {
        JSAny *slot = &a->dense[i];
        if (i < argc && args[i].type != JSANY_UNDECLARED) {
            JSAny_InitFrom(slot, &args[i]);
            if (slot->type == JSANY_ERROR && args[i].type != JSANY_ERROR) {
                Elems_HeadOf(a->dense)->denseLen = i;
                a->elementLength = i;
                JSAny_SetError(rec, ERR_NOMEM);
                return;
            }
        } else {
            *slot = JSAny_Undef();
        }
    }
    if (n) Elems_HeadOf(a->dense)->denseLen = n;
    a->elementLength = n;
}

// ---- locals ------------------------------------------------------------------

// Chunks fill in order: only the last one holding locals may be partly
// used, and any chunk after it is empty (kept for reuse by a cleared
// activation). So a search stops at the first chunk that is not full.
JSAny *Act_FindLocal(Activation *a, const IdEntry *id) {
    for (LocalChunk *c = &a->first;; c = c->next) {
        for (uint32_t i = 0; i < c->used; ++i)
            if (c->items[i].id == id) return &c->items[i].value;
        if (c->used < kLocalsPerChunk || !c->next) return nullptr;
    }
}

JSAny *Act_AddLocal(Activation *a, IdEntry *id) {
    LocalChunk *c = a->lastChunk;
    if (c->used == kLocalsPerChunk) {
        if (c->next) {
            c = c->next;  // an emptied chunk of an earlier invocation
        } else {
            auto *fresh = static_cast<LocalChunk *>(Mem_Alloc(sizeof(LocalChunk)));
            if (!fresh) return nullptr;
            fresh->next = nullptr;
            fresh->used = 0;
            fresh->pad = 0;
            c->next = fresh;
            c = fresh;
        }
        a->lastChunk = c;
    }
    static_cast<IdPayload *>(Id_Payload(id))->flags |= ID_EVER_LOCAL;
    Local *l = &c->items[c->used++];
    l->id = id;
    l->value = JSAny_Undef();
    return &l->value;
}

void Act_ClearLocals(Activation *a, bool releaseObjects, bool keepChunks) {
    LocalChunk *c = &a->first;
    while (c) {
        for (uint32_t i = 0; i < c->used; ++i) {
            JSAny *v = &c->items[i].value;
            if (v->type == JSANY_OBJECT && !releaseObjects) v->type = JSANY_UNDEFINED;
            else JSAny_Clear(v);
        }
        bool full = c->used == kLocalsPerChunk;
        c->used = 0;
        LocalChunk *next = c->next;
        if (keepChunks) {
            if (!full) break;  // the chunks after it are empty already
        } else if (c != &a->first) {
            Mem_Free(c);
        }
        c = next;
    }
    if (!keepChunks) a->first.next = nullptr;
    a->lastChunk = &a->first;
}

// ---- disposal ----------------------------------------------------------------

void Fn_DisposeScript(ScriptFunction *f) {
    f->entry = Fn_NotImplemented;
    f->name = "";  // the name lived in the space's identifier table
    if (f->space) Fn_Unlink(f, &f->space->functions);
    f->space = nullptr;
    if (f->code) {
        Code *c = f->code;
        f->code = nullptr;
        Code_Release(c);
    }
    // Spare activations are empty and link to nothing: the function's
    // reference is their only one, outside the object graph.
    while (Activation *a = f->spare) {
        f->spare = a->nextSpare;
        a->nextSpare = nullptr;
        Obj_Release(a);
    }
    f->spareCount = 0;
}

// ---- calls -------------------------------------------------------------------

// Maps a host's answer to HostInvoke into the call's result.
void Fn_InvokeHost(RunContext *ctx, ProgObj *p, uint32_t operation) {
    JSAny_SetUndefined(&ctx->ret);
    ProgramSpace *owner = p->owner ? p->owner : ctx->space;
    uint32_t answer =
        Host_Invoke(owner, Host_TargetOf(ctx, p), ctx, ProgObj_Data(p), p->size, operation);
    uint32_t code = Host_AnswerCode(answer, ERR_WRONGTYPE);
    if (code) JSAny_SetError(&ctx->ret, code);
}

using fncall::CallState;
using fncall::Enter;
using fncall::Leave;
using fncall::ResolveCallee;
using fncall::RunEntry;

namespace {

void BoundEntry(RunContext *ctx, Function *fn) {
    // A bound function of a bound function calls the innermost target with
    // the innermost bound this: follow the chain here rather than entering
    // each link, so a long chain costs no machine stack.
    auto *b = static_cast<BoundFunction *>(fn);
    Function *target = b->target;
    Object *boundThis = b->boundThis;
    while (target && target->kind == ObjKind::Bound) {
        auto *inner = static_cast<BoundFunction *>(target);
        boundThis = inner->boundThis;
        target = inner->target;
    }
    if (!target) {
        JSAny_SetError(&ctx->ret, ERR_NOTIMPL);
        return;
    }
    EvalSlot s;
    s.v = JSAny_Undef();
    JSAny_SetObject(&s.v, target);
    if (ctx->construct) {
        Fn_Construct(ctx, &s, ctx->args, ctx->argc);
    } else {
        JSAny thisValue = JSAny_Null();
        if (boundThis) JSAny_SetObject(&thisValue, boundThis);
        Fn_CallValue(ctx, &s, ctx->args, ctx->argc, &thisValue);
        JSAny_Clear(&thisValue);
    }
    JSAny_Move(&ctx->ret, &s.v);
}

}  // namespace

void Fn_CallValue(RunContext *ctx, EvalSlot *slot, const JSAny *args, uint32_t argc,
                  const JSAny *thisChoice) {
    Fn_CallValueInline(ctx, slot, args, argc, thisChoice);
}

void Fn_Construct(RunContext *ctx, EvalSlot *slot, const JSAny *args, uint32_t argc) {
    bool fromRef;
    JSAny ignored = ResolveCallee(ctx, slot, &fromRef);
    JSAny_Clear(&ignored);
    JSAny callee = slot->v;
    if (callee.type == JSANY_ERROR) {
        if (callee.code == 0) slot->v.code = ERR_WRONGTYPE;
        return;
    }
    CallState saved;
    if (callee.type == JSANY_PROGOBJ) {
        Enter(ctx, saved, args, argc);
        ctx->thisValue = JSAny_Undef();
        Fn_InvokeHost(ctx, callee.prog, JSHOST_CONSTRUCT);
        Leave(ctx, saved, &slot->v);
        return;
    }
    if (callee.type != JSANY_OBJECT || !(callee.obj->classFlags & CF_CALLABLE)) {
        JSAny_SetError(&slot->v, ERR_WRONGTYPE);
        return;
    }
    auto *f = static_cast<Function *>(callee.obj);
    if (f->kind == ObjKind::Script) {
        if (Fn_MakePrototype(static_cast<ScriptFunction *>(f)) != 0) {
            JSAny_SetError(&slot->v, ERR_NOMEM);
            return;
        }
        JSAny fresh = JSAny_Undef();
        Obj_NewInto(&fresh, f->prototypeObject);
        // The new object gets room for as many properties as the last one
        // this constructor made ended with (without room it still works).
        auto *sf = static_cast<ScriptFunction *>(f);
        if (fresh.type == JSANY_OBJECT && sf->instanceProps) Props_Reserve(fresh.obj, sf->instanceProps);
        if (fresh.type == JSANY_ERROR) {
            JSAny_SetError(&slot->v, ERR_NOMEM);
            return;
        }
        JSAny thisValue;
        JSAny_InitFrom(&thisValue, &fresh);
        Enter(ctx, saved, args, argc);
        ctx->thisValue = thisValue;
        ctx->construct = true;
        RunEntry(ctx, f);
        // Noted before the call's end lets the slot go: the slot may hold
        // the only reference to the constructor.
        uint32_t made = Props_Count(fresh.obj);
        sf->instanceProps = static_cast<uint16_t>(made < 0xFFFF ? made : 0xFFFF);
        Leave(ctx, saved, &slot->v);
        if (slot->v.type == JSANY_OBJECT || slot->v.type == JSANY_ERROR) {
            JSAny_Clear(&fresh);
        } else {
            JSAny_Clear(&slot->v);
            slot->v = fresh;
        }
        return;
    }
    Enter(ctx, saved, args, argc);
    ctx->thisValue = JSAny_Undef();
    ctx->construct = true;
    if (!(f->kind == ObjKind::Native && f->arity >= 0 && static_cast<uint32_t>(f->arity) > argc))
        RunEntry(ctx, f);
    Leave(ctx, saved, &slot->v);
    int32_t t = slot->v.type;
    if (t != JSANY_OBJECT && t != JSANY_PROGOBJ && t != JSANY_ERROR) JSAny_ToObject(ctx, &slot->v);
}

void Fn_Call(RunContext *ctx, const JSAny *callee, const JSAny *thisValue, const JSAny *args,
             uint32_t argc, JSAny *result) {
    // The calls the built-ins make do the user-break check too, so a
    // comparator, a replace callback or a conversion called without end
    // can still be stopped.
    if (uint32_t st = CheckBreak(ctx)) {
        JSAny_SetError(result, st);
        return;
    }
    EvalSlot s;
    JSAny_InitFrom(&s.v, callee);
    JSAny nothing = JSAny_Null();
    Fn_CallValue(ctx, &s, args, argc, thisValue ? thisValue : &nothing);
    JSAny_Clear(result);
    *result = s.v;
}

}  // namespace quillon
