// Function records and the native call convention. Every function, of every
// kind, is entered as entry(run context, function record); it reports its
// outcome only through the context's return value, which the caller presets
// to error 0x8014 ("Bad arguments for function").
#pragma once
#include <cstdint>

#include "objects/object.h"
#include "values/evalslot.h"

namespace quillon {

struct Code;
struct IdEntry;
struct Function;
struct Activation;

using NativeEntry = void (*)(RunContext *ctx, Function *fn);

struct Function : Object {
    int32_t arity;  // natives: arguments required (-1 any); scripts: formal parameters
    NativeEntry entry;
    uintptr_t extra;  // word of the built-in row
    const char *name; // not owned
    Object *prototypeObject;  // counted, or null
    ProgramSpace *space;      // null once the space is gone
    Function *listNext;       // the space's list of its natives or of its script functions
    Function *listPrev;
};

struct ScriptFunction : Function {
    Code *code;               // the tokens of the definition, its source text (counted)
    Activation *enclosing;    // the activation in force when the function was made (counted)
    Activation *kept;         // locals table kept for reuse (counted)
    uint32_t active;          // invocations in progress
    Activation *current;      // activation of the innermost invocation in progress (not counted)
    Activation *spare;        // emptied activations of ended nested invocations, for the next
                              // ones (counted, chained through nextSpare; they hold no object)
    bool selfNamed;           // a named function expression: its name is visible in its body
    bool prototypePending;    // its prototype object is still to be made (Fn_MakePrototype)
    uint16_t instanceProps;   // properties the last object it constructed ended with (0: none yet)
    uint8_t spareCount;       // activations on the spare chain (at most the call-depth limit)
};

struct BoundFunction : Function {
    Function *target;  // counted
    Object *boundThis; // counted, may be null
    char *ownedName;   // counted text: copy of a script target's name, or null
};

struct ArgumentsObject : Object {
    Function *invoked;  // counted: the function invoked
    Function *caller;   // counted: the calling function, or null
};

// The variables of one invocation of a script function: the arguments object
// (whose elements hold the parameters) and the var locals. Closures made
// during the invocation keep it alive through their enclosing link. Locals
// live in chunks that never move, so a reference to one stays valid while
// the activation lives. Chunks fill in order; an emptied activation may keep
// empty chunks after its first for the next invocation.
struct Local {
    IdEntry *id;
    JSAny value;
};
constexpr uint32_t kLocalsPerChunk = 8;
struct LocalChunk {
    LocalChunk *next;
    uint32_t used;
    uint32_t pad;
    Local items[kLocalsPerChunk];
};
struct Activation : Object {
    Code *code;                // counted: the tokens, parameters and name of the function
    ScriptFunction *function;  // the function while an invocation runs (not counted)
    Activation *enclosing;     // counted: lexically enclosing activation
    ArgumentsObject *arguments;  // counted, or null between invocations
    Function *caller;          // the calling function, or null (not counted)
    const JSAny *callArgs;     // the call's arguments while the invocation runs (the caller's)
    uint32_t callArgc;
    bool selfNamed;            // the function's own name resolves to it while it runs
    LocalChunk first;          // locals, continued in allocated chunks
    LocalChunk *lastChunk;
    Activation *nextSpare;     // the function's chain of spare activations (see ScriptFunction)
};

// Entry points every part can name.
void Fn_NotImplemented(RunContext *ctx, Function *fn);  // stores error 236

// Creation.
Function *Fn_NewNative(int32_t arity, NativeEntry entry, uintptr_t extra, const char *name);
void Fn_NewBound(ProgramSpace *space, JSAny *rec, Function *target, Object *boundThis);
void Fn_NewArguments(ProgramSpace *space, JSAny *rec, const JSAny *args, uint32_t argc,
                     Function *invoked, Function *caller, uint32_t nparams);

// A script function's prototype object is made when it is first needed (a
// read of "prototype", `new`), so a function that is only ever called never
// holds one and dies as soon as it is dropped: a plain object whose prototype
// is Object.prototype of the function's space, with the own property
// "constructor" = the function. It is linked only once complete; returns 0
// or 103 (the function then stays as it was).
uint32_t Fn_MakePrototype(ScriptFunction *f);

inline bool Fn_IsFunction(const Object *o) { return (o->classFlags & CF_CALLABLE) != 0; }

// Locals of an activation.
JSAny *Act_FindLocal(Activation *a, const IdEntry *id);
JSAny *Act_AddLocal(Activation *a, IdEntry *id);  // null when out of memory
// Empties an activation's locals and frees their extra chunks, or with
// `keepChunks` leaves the emptied chunks linked for the next invocation
// (they go when the activation does). With `releaseObjects` false (the
// collector, freeing garbage) object references are dropped without
// touching their counts.
void Act_ClearLocals(Activation *a, bool releaseObjects = true, bool keepChunks = false);
// Act_ClearLocals(a, true, true), inline when every local sits in the first
// chunk (as at the end of most invocations).
inline void Act_EmptyLocals(Activation *a) {
    LocalChunk *c = &a->first;
    if (c->used >= kLocalsPerChunk) {
        Act_ClearLocals(a, true, true);
        return;
    }
    for (uint32_t i = 0; i < c->used; ++i) JSAny_Clear(&c->items[i].value);
    c->used = 0;
    a->lastChunk = c;
}

// Calls. `thisChoice` gives the this value for callees that are not member
// references: a value, or null for the context's global value, or
// kKeepThis to leave the current this in place.
extern const JSAny *const kKeepThis;
// The slot holds the callee (a value or a member reference) and receives the
// result or an error value.
void Fn_CallValue(RunContext *ctx, EvalSlot *slot, const JSAny *args, uint32_t argc,
                  const JSAny *thisChoice);
void Fn_Construct(RunContext *ctx, EvalSlot *slot, const JSAny *args, uint32_t argc);
// Calls a function value with an explicit this (used by the built-ins and
// conversions); the result replaces *result. It does the user-break check
// first, so a callback called without end can be stopped.
void Fn_Call(RunContext *ctx, const JSAny *callee, const JSAny *thisValue, const JSAny *args,
             uint32_t argc, JSAny *result);

// The user-break check of calls made by built-ins and conversions: 0 (go
// on) unless a signal under the run's mask is pending and the check says
// stop. The check itself may show a report, which the run layer makes: it
// installs the check at the library's first open.
using BreakCheck = uint32_t (*)(RunContext *ctx, const uint32_t *tok);
void Fn_SetBreakCheck(BreakCheck check);

// Disposal of a script function's script parts (tokens, source, list link,
// spare activations), as at the end of its life or when its program space
// is destroyed; a later call reaches the not-implemented entry.
void Fn_DisposeScript(ScriptFunction *f);
// Registers a function on its space's list (natives or script functions) and
// takes it off again; the space forgets its functions when it dies.
void Fn_Link(Function *f, Function **head);
void Fn_Unlink(Function *f, Function **head);

}  // namespace quillon
