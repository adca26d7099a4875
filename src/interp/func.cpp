// Script functions: their definition from the token program, the pre-pass
// that defines a statement list's declarations before it runs, and the
// invocation of a script function with its activation.
#include <cstring>

#include "objects/object.h"
#include "values/space.h"
#include "interp/interp.h"
#include "interp/poscache.h"
#include "interp/run.h"
#include "lexer/code.h"
#include "objects/function.h"
#include "objects/member.h"
#include "runtime/checks.h"
#include "runtime/idtable.h"
#include "interp/report.h"
#include "runtime/text.h"

namespace quillon {

IdEntry *Fn_ArgumentsId(LexStore *store) {
    if (!store->argumentsId) {
        uint32_t err = 0;
        uint32_t code = Lex_Name(store, "arguments", &err);
        store->argumentsId = code ? Lex_IdOf(store, code) : nullptr;
    }
    return store->argumentsId;
}

namespace {

inline uint32_t PosOf(const Code *c, Tok p) { return static_cast<uint32_t>(p - c->codes); }

// A name given twice in a parameter list names the last parameter of that
// name: the earlier ones are left without a name (their arguments still count
// in `arguments` and in the arity). Names met walking back are marked in
// their payload meanwhile, so a long list costs one pass each way.
void DropRepeatedParams(IdEntry **params, uint32_t n) {
    for (uint32_t i = n; i > 0; --i) {
        auto *payload = static_cast<IdPayload *>(Id_Payload(params[i - 1]));
        if (payload->flags & ID_PARAM_SEEN) params[i - 1] = nullptr;
        else payload->flags |= ID_PARAM_SEEN;
    }
    for (uint32_t i = 0; i < n; ++i)
        if (params[i]) static_cast<IdPayload *>(Id_Payload(params[i]))->flags &= ~ID_PARAM_SEEN;
}

// The Code of the function defined at p (cached with the program).
Code *FunctionCode(RunContext *ctx, Tok p, Tok body, Tok end, IdEntry *name, IdEntry **params,
                   uint32_t nparams, uint32_t *err) {
    Code *parent = ctx->code;
    uint32_t pos = PosOf(parent, p);
    auto *cached = Chk_Shortcuts() ? static_cast<Code *>(Cache_Get(parent, CacheKind::FunctionCode, pos)) : nullptr;
    if (cached) {
        Code_AddRef(cached);
        return cached;
    }
    Code *c = Code_NewCopy(parent, pos, static_cast<uint32_t>(end - p));
    if (!c) {
        *err = ERR_NOMEM;
        return nullptr;
    }
    if (nparams) {
        c->params = static_cast<IdEntry **>(Arr_Alloc(sizeof(IdEntry *), nparams));
        if (!c->params) {
            Code_Release(c);
            *err = ERR_NOMEM;
            return nullptr;
        }
        std::memcpy(c->params, params, sizeof(IdEntry *) * nparams);
        DropRepeatedParams(c->params, nparams);
    }
    c->nparams = nparams;
    c->name = name;
    c->bodyStart = static_cast<uint32_t>(body - p);
    if (Chk_Shortcuts() && Cache_Put(parent, CacheKind::FunctionCode, pos, c)) Code_AddRef(c);
    return c;
}

// A small vector of parameter identifiers.
struct ParamList {
    IdEntry *small[16];
    IdEntry **heap = nullptr;
    uint32_t count = 0;
    IdEntry **data() { return heap ? heap : small; }
    bool Push(IdEntry *id) {
        if (!heap && count < 16) {
            small[count++] = id;
            return true;
        }
        if (!heap) {
            if (!Arr_EnsureT(heap, 32)) return false;
            std::memcpy(heap, small, sizeof small);
        } else if (!Arr_EnsureT(heap, count + 1)) {
            return false;
        }
        heap[count++] = id;
        return true;
    }
    ~ParamList() { Arr_Free(heap); }
};

}  // namespace

uint32_t Fn_Define(RunContext *ctx, Tok p, bool declaration, JSAny *out, Tok *end) {
    Tok q = Scan_Lines(p + 1);
    IdEntry *name = Tk_IsOperand(*q) ? Lex_IdOf(ctx->store, *q) : nullptr;
    if (name) q = Scan_Lines(q + 1);
    // The name of a function expression is visible inside its body.
    if (name && !declaration) static_cast<IdPayload *>(Id_Payload(name))->flags |= ID_EVER_LOCAL;
    if (declaration && !name) {
        *end = Scan_SkipSimple(p);
        return 0;
    }
    *end = q + 1;
    if (*q != TK_LPAREN) return Ev_Fail(ctx, ROW_LPAREN, *q ? q : p);
    ParamList params;
    q = Scan_Lines(q + 1);
    if (*q != TK_RPAREN) {
        for (;;) {
            IdEntry *id = Tk_IsOperand(*q) ? Lex_IdOf(ctx->store, *q) : nullptr;
            if (!id) {
                *end = q + 1;
                return Ev_Fail(ctx, ROW_IDENT_EXPECTED, *q ? q : p);
            }
            if (!params.Push(id)) return ERR_NOMEM;
            static_cast<IdPayload *>(Id_Payload(id))->flags |= ID_EVER_LOCAL;
            q = Scan_Lines(q + 1);
            if (*q == TK_COMMA) {
                q = Scan_Lines(q + 1);
                continue;
            }
            if (*q == TK_RPAREN) break;
            *end = q + 1;
            return Ev_Fail(ctx, ROW_RPAREN, *q ? q : p);
        }
    }
    Tok body = Scan_Lines(q + 1);
    if (*body != TK_LBRACE) {
        *end = body + 1;
        return Ev_Fail(ctx, ROW_LBRACE, *body ? body : q);
    }
    Tok bodyEnd = Ev_GroupEnd(ctx, body);
    *end = bodyEnd;
    if (bodyEnd[-1] != TK_RBRACE || bodyEnd - 1 == body) return Ev_Fail(ctx, ROW_RBRACE, body);
    uint32_t err = 0;
    Code *code = FunctionCode(ctx, p, body, bodyEnd, name, params.data(), params.count, &err);
    if (!code) return err;
    ProgramSpace *space = ctx->space;
    auto *f = static_cast<ScriptFunction *>(
        Obj_Alloc(sizeof(ScriptFunction), ObjKind::Script, space->protos[PROTO_FUNCTION]));
    if (!f) {
        Code_Release(code);
        return ERR_NOMEM;
    }
    f->classFlags = CF_CALLABLE | CF_HASLENGTH | CF_FUNCTION;
    f->arity = static_cast<int32_t>(params.count);
    f->entry = Run_ScriptEntry;
    f->name = name ? name->name : "";
    f->space = space;
    f->code = code;
    f->selfNamed = !declaration && name;
    if (ctx->act) {
        Obj_AddRef(ctx->act);
        f->enclosing = ctx->act;
    }
    f->prototypePending = true;  // made when first needed (Fn_MakePrototype)
    Fn_Link(f, &space->functions);
    JSAny fn = JSAny_Undef();
    JSAny_AdoptObject(&fn, f);
    if (declaration) {
        JSAny *slot = St_Declare(ctx, name);
        if (!slot) {
            JSAny_Clear(&fn);
            return ERR_NOMEM;
        }
        JSAny_Clear(slot);
        *slot = fn;
        return 0;
    }
    JSAny_Clear(out);
    *out = fn;
    return 0;
}

namespace {

// Positions (relative to the list start) of the function declarations of a
// statement list: its own and those of the blocks it contains, not those
// inside function bodies.
uint32_t *FindDeclarations(Tok start) {
    uint32_t *found = nullptr;  // Arr_*: [count, offsets...]
    if (!Arr_EnsureT(found, 4)) return nullptr;
    found[0] = 0;
    uint32_t depth = 0;
    uint32_t prev = 0;
    for (Tok p = start;;) {
        uint32_t t = *p;
        if (t == TK_END) break;
        if (t == TK_LINE) {
            ++p;
            continue;
        }
        if (t == TK_LPAREN || t == TK_LBRACKET) {
            p = Scan_Group(p);
            prev = TK_RPAREN;
            continue;
        }
        if (t == TK_LBRACE) {
            ++depth;
        } else if (t == TK_RBRACE) {
            if (depth == 0) break;
            --depth;
        } else if (t == KW_FUNCTION) {
            bool expression = prev == TK_ASSIGN || prev == TK_COLON || prev == TK_QUESTION;
            // Step over the name and parameters to the body.
            Tok q = p + 1;
            while (*q != TK_END && *q != TK_LBRACE && *q != TK_SEMI && *q != TK_RBRACE) {
                if (*q == TK_LPAREN) q = Scan_Group(q);
                else ++q;
            }
            if (!expression) {
                uint32_t n = found[0] + 1;
                if (!Arr_EnsureT(found, n + 1)) {
                    Arr_Free(found);
                    return nullptr;
                }
                found[n] = static_cast<uint32_t>(p - start);
                found[0] = n;
            }
            p = *q == TK_LBRACE ? Scan_Group(q) : q;
            prev = TK_RBRACE;
            continue;
        }
        prev = t;
        ++p;
    }
    return found;
}

}  // namespace

uint32_t Fn_Prepass(RunContext *ctx, Tok p) {
    Code *code = ctx->code;
    uint32_t pos = PosOf(code, p);
    auto *found = Chk_Shortcuts() ? static_cast<uint32_t *>(Cache_Get(code, CacheKind::Declarations, pos)) : nullptr;
    bool owned = false;
    if (!found) {
        found = FindDeclarations(p);
        if (!found) return ERR_NOMEM;
        owned = !Chk_Shortcuts() || !Cache_Put(code, CacheKind::Declarations, pos, found);
    }
    // A function body without declarations is noted on its Code, so later
    // invocations skip the pre-pass altogether.
    if (Chk_Shortcuts() && found[0] == 0 && code->bodyStart + 1 == pos) code->bodyHasDeclarations = 1;
    uint32_t st = 0;
    for (uint32_t i = 1; i <= found[0] && st == 0; ++i) {
        Tok f = p + found[i];
        Tok end;
        JSAny unused = JSAny_Undef();
        st = Fn_Define(ctx, f, true, &unused, &end);
        JSAny_Clear(&unused);
    }
    if (owned) Arr_Free(found);
    return st;
}

// ---- invocation --------------------------------------------------------------

namespace {

// True when a function's body names `arguments` (or `eval`, which may).
bool NamesArguments(const Code *code, const IdEntry *argumentsId) {
    for (uint32_t i = code->bodyStart; i < code->count; ++i) {
        uint32_t t = code->codes[i];
        if (!Tk_IsOperand(t)) continue;
        const IdEntry *id = Lex_IdOfOperand(code->store, t);
        if (!id) continue;
        if (id == argumentsId || (id->length == 4 && std::memcmp(id->name, "eval", 4) == 0)) return true;
    }
    return false;
}

// Spare activations a function keeps for nested invocations: at most one
// per level of calls in progress.
constexpr uint32_t kMaxSpares = kMaxCallDepth;

Activation *NewActivation(Code *code) {
    auto *a = static_cast<Activation *>(Obj_Alloc(sizeof(Activation), ObjKind::Activation, nullptr));
    if (!a) return nullptr;
    a->lastChunk = &a->first;
    Code_AddRef(code);
    a->code = code;
    return a;
}

// Empties an activation for reuse (or when nothing captured it), keeping
// its chunks of locals for the next invocation.
inline void ResetActivation(Activation *a) {
    if (a->first.used) {
        if (Chk_Shortcuts()) Act_EmptyLocals(a);
        else Act_ClearLocals(a, true, false);
    }
    if (a->arguments) {
        Object *args = a->arguments;
        a->arguments = nullptr;
        Obj_Release(args);
    }
}

}  // namespace

void Run_ScriptEntry(RunContext *ctx, Function *fn) {
    Obj_SafePoint();  // the caller holds the function and the arguments counted
    auto *f = static_cast<ScriptFunction *>(fn);
    Code *code = f->code;
    if (!code) {
        JSAny_SetError(&ctx->ret, ERR_NOTIMPL);
        return;
    }
    if (ctx->depth >= kMaxCallDepth) {
        JSAny_SetError(&ctx->ret, Ev_Fail(ctx, ROW_TOO_DEEP, ctx->callTok));
        return;
    }
    // The activation: the kept one when nothing else holds it, else a fresh one.
    Activation *a;
    if (f->active == 0 && f->kept && f->kept->refs == 1) {
        // Nothing else holds it any more: empty it of the last invocation's
        // variables (kept then because a closure still held them).
        a = f->kept;
        Obj_AddRef(a);
        ResetActivation(a);
    } else if (f->spare && Chk_Shortcuts()) {
        // A nested invocation: an activation an earlier one left empty.
        a = f->spare;
        f->spare = a->nextSpare;
        a->nextSpare = nullptr;
        --f->spareCount;
        if (f->enclosing) {
            Obj_AddRef(f->enclosing);
            a->enclosing = f->enclosing;
        }
    } else {
        a = NewActivation(code);
        if (!a) {
            JSAny_SetError(&ctx->ret, ERR_NOMEM);
            return;
        }
        if (f->enclosing) {
            Obj_AddRef(f->enclosing);
            a->enclosing = f->enclosing;
        }
    }
    Function *caller = ctx->act ? ctx->act->function : nullptr;
    a->function = f;
    a->caller = caller;
    a->callArgs = ctx->args;
    a->callArgc = ctx->argc;
    a->selfNamed = f->selfNamed;
    IdEntry *argumentsId = Fn_ArgumentsId(code->store);
    if (code->argumentsUse == 0) code->argumentsUse = NamesArguments(code, argumentsId) ? 2 : 1;
    bool ok = true;
    if (code->argumentsUse == 2) {
        // The body may read `arguments`: the parameters live in its elements.
        JSAny args = JSAny_Undef();
        Fn_NewArguments(f->space ? f->space : ctx->space, &args, ctx->args, ctx->argc, f, caller,
                        code->nparams);
        JSAny *local0 = args.type == JSANY_OBJECT && argumentsId ? Act_AddLocal(a, argumentsId) : nullptr;
        if (!local0) {
            JSAny_Clear(&args);
            ok = false;
        } else {
            Obj_AddRef(args.obj);
            a->arguments = static_cast<ArgumentsObject *>(args.obj);
            *local0 = args;
        }
    } else if (code->nparams <= kLocalsPerChunk && a->first.used == 0 && Chk_Shortcuts()) {
        // The parameters are plain locals, in order, written straight into
        // the first chunk of the empty activation (as Act_AddLocal would:
        // every parameter's name was marked as a local when the function
        // was defined).
        LocalChunk *c = &a->first;
        for (uint32_t i = 0; i < code->nparams; ++i) {
            IdEntry *id = code->params[i];
            if (!id) continue;  // its name is given again later
            Local *l = &c->items[c->used++];
            l->id = id;
            l->value = JSAny_Undef();
            if (i < ctx->argc && ctx->args[i].type != JSANY_UNDECLARED) {
                JSAny_InitFrom(&l->value, &ctx->args[i]);
                if (l->value.type == JSANY_ERROR && ctx->args[i].type != JSANY_ERROR) {
                    ok = false;
                    break;
                }
            }
        }
    } else {
        // Otherwise the parameters are plain locals, in order; an arguments
        // object is only made if someone asks the function for it.
        for (uint32_t i = 0; i < code->nparams && ok; ++i) {
            if (!code->params[i]) continue;  // its name is given again later
            JSAny *slot = Act_AddLocal(a, code->params[i]);
            if (!slot) {
                ok = false;
            } else if (i < ctx->argc && ctx->args[i].type != JSANY_UNDECLARED) {
                JSAny_InitFrom(slot, &ctx->args[i]);
                if (slot->type == JSANY_ERROR && ctx->args[i].type != JSANY_ERROR) ok = false;
            }
        }
    }
    if (!ok) {
        ResetActivation(a);
        Obj_Release(a);
        JSAny_SetError(&ctx->ret, ERR_NOMEM);
        return;
    }

    // Install the function's world; the caller's is restored afterwards.
    Activation *savedAct = ctx->act;
    Code *savedCode = ctx->code;
    uint32_t *savedHints = ctx->hints;
    uint32_t *savedForms = ctx->forms;
    LexStore *savedStore = ctx->store;
    ProgramSpace *savedSpace = ctx->space;
    uint32_t savedScopeBase = ctx->scopeBase;
    const char *savedName = ctx->fnName;
    IdEntry *savedArgumentsId = ctx->argumentsId;
    uint32_t savedLabels = ctx->labelCount;
    uint32_t savedLabelBase = ctx->labelBase;
    bool savedMember = ctx->memberError;
    Activation *savedCurrent = f->current;
    ctx->act = a;
    Ctx_SetCode(ctx, code);
    ctx->store = code->store;
    if (f->space) ctx->space = f->space;
    ctx->scopeBase = ctx->scopeCount;
    ctx->fnName = f->name && *f->name ? f->name : nullptr;
    ctx->argumentsId = argumentsId;
    ++ctx->depth;
    ++f->active;
    f->current = a;

    // Labels of the caller are not seen across the function boundary.
    ctx->labelBase = ctx->labelCount;
    Tok body = code->codes + code->bodyStart;
    uint32_t c = code->bodyHasDeclarations == 1 ? 0 : Fn_Prepass(ctx, body + 1);
    if (code->bodyStartsReturn == 0) code->bodyStartsReturn = *St_BodyFirst(body) == KW_RETURN ? 1 : 2;
    if (c == 0) {
        if (code->bodyStartsReturn == 1) St_ReturnBody(ctx, body, &c);
        else St_Statement(ctx, body, &c);
    }
    if (c != 0 && c != CPL_RETURN) c = Run_Finish(ctx, c, body);
    if (c == CPL_RETURN) {
        // ctx->ret holds the value of the return statement.
    } else if (c == 0) {
        JSAny_SetUndefined(&ctx->ret);
    } else {
        JSAny_SetError(&ctx->ret, c);
    }

    f->current = savedCurrent;
    --f->active;
    --ctx->depth;
    ctx->labelCount = savedLabels;
    ctx->labelBase = savedLabelBase;
    ctx->act = savedAct;
    ctx->code = savedCode;  // with its tables of resolutions and forms as they were
    ctx->hints = savedHints;
    ctx->forms = savedForms;
    ctx->store = savedStore;
    ctx->space = savedSpace;
    ctx->scopeBase = savedScopeBase;
    ctx->fnName = savedName;
    ctx->argumentsId = savedArgumentsId;
    ctx->memberError = savedMember;

    // A closure made during the invocation keeps the activation (and so the
    // variables) alive; otherwise it is emptied and kept for the next call.
    a->function = nullptr;
    a->callArgs = nullptr;
    a->callArgc = 0;
    bool captured = a->refs > (a == f->kept ? 2u : 1u);
    if (!captured) ResetActivation(a);
    if (a != f->kept && (!f->kept || (f->active == 0 && f->kept->refs > 1))) {
        Activation *old = f->kept;
        f->kept = a;  // our reference passes to the function
        if (old) Obj_Release(old);
    } else if (a != f->kept && !captured && a->refs == 1 && f->spareCount < kMaxSpares && f->code &&
               Chk_Shortcuts()) {
        // The activation of a nested invocation, empty now: kept for the
        // next one (a recursive function makes one per level once), holding
        // no object, so its enclosing link goes until it is used again.
        if (Activation *enclosing = a->enclosing) {
            a->enclosing = nullptr;
            Obj_Release(enclosing);
        }
        a->caller = nullptr;
        a->nextSpare = f->spare;
        f->spare = a;  // our reference passes to the function
        ++f->spareCount;
    } else {
        Obj_Release(a);
    }
}

}  // namespace quillon
