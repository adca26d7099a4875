// The run context: everything one run (or one host call back into a script)
// needs while it lasts. Every layer from here up reads it (conversions call
// methods through it, the object model asks the host through it, reports
// and calls are made in it), so the record lives here; the interpreter
// fills it in. Hooks receive it as the JSRunContext handle; its
// first word points to the program space of the run. Function invocations
// save and restore the fields they change. The contexts in use form one
// chain, innermost first: a run or call started from a hook links its
// context in front of the one whose hook started it, continues its call
// depth and nesting, and counts as one invocation more. Only contexts on
// the chain are live handles for the host.
#pragma once
#include <cstdint>

#include "values/jsany.h"

namespace quillon {

struct ProgramSpace;
struct LexStore;
struct Code;
struct Activation;
struct Function;
struct Object;
struct ProgObj;
struct IdEntry;

// Deepest nesting of expressions, statements and eval the evaluator accepts
// before it reports "Program nested too deeply"; keeps the machine stack safe.
constexpr uint32_t kMaxNesting = 400;
// At most this many script-function invocations in progress at once.
constexpr uint32_t kMaxCallDepth = 25;

enum : uint32_t {
    RUN_RESULT = 1,     // the completion value is the result of the run
    RUN_LENIENT = 2,    // errors are warnings and the run goes on
    RUN_RESTORING = 4,  // program-level variables declared by the run are restored
};

struct LabelEntry {
    IdEntry *label;        // null: a function boundary
    const uint32_t *target;  // first token of the labelled statement
};

struct SaveEntry {
    JSAny *slot;  // null: a frame marker
    JSAny saved;
};

// The pieces of the last report made inside `try`, for the Error object the
// `catch` receives.
struct TryReport {
    char *heading;   // counted texts or null
    char *message;
    char *before;
    char *token;
    char *after;
    uint32_t kind;
    uint32_t errClass;
    bool valid;
};

struct RunContext {
    ProgramSpace *space;  // first word: hosts find the space here
    LexStore *store;
    Code *code;           // token program being executed (set with Ctx_SetCode)
    uint32_t *hints;      // the program's remembered resolutions, one per token, or null
    uint32_t *forms;      // the program's remembered forms of expressions, one per token, or null
    JSAny *scope;         // with/catch scope entries (Arr_*), innermost last
    uint32_t scopeCount;
    uint32_t scopeBase;   // entries below belong to callers (not visible)
    Activation *act;      // current activation, or null in global code
    uint32_t depth;       // script-function invocations in progress
    uint32_t nesting;     // evaluator nesting (bounded)
    JSAny ret;            // return value
    JSAny completion;     // value of the last expression statement
    JSAny thrown;
    JSAny caseValue;
    JSAny thisValue;
    JSAny global;
    const JSAny *args;    // arguments of the call in progress
    uint32_t argc;
    bool construct;
    bool inTry;
    bool memberError;     // member reads of null/undefined fail while set
    bool reported;        // a report was shown in this run (the first-error word)
    const uint32_t *breakTarget;
    const uint32_t *lastJump;
    const uint32_t *callTok;   // token of the call being made (errors of the callee's entry)
    const uint32_t *noValueAt; // end of a call whose native had no value to give
    IdEntry *argumentsId;      // the `arguments` identifier of the current store
    TryReport tryReport;
    LabelEntry *labels;   // Arr_*
    uint32_t labelCount;
    uint32_t labelBase;   // labels below belong to callers (a function boundary)
    SaveEntry *saves;     // Arr_*
    uint32_t saveCount;
    uint32_t flags;
    uintptr_t hostHandle;
    uint32_t breakMask;
    int32_t compat;
    const char *fnName;   // name of the running script function, for reports
    // The host's answers to a pending name lookup.
    ProgramSpace *lookupSpace;
    Object *lookupObject;
    ProgObj **scopeObjs;  // Arr_*
    uint32_t scopeObjCount;
    // The arguments of a host function being called through HostInvoke.
    const JSAny *hostArgs;
    uint32_t hostArgc;
    RunContext *outer;    // the next context of the chain (set by Run_Enter)
    bool temp;            // a context for reading a result, not a run
};

// The innermost context in use (null between runs): conversions reached
// from places that have no context at hand call methods through it.
RunContext *Run_Current();
// Links a context in front of the chain. Started from a hook (the chain is
// not empty), it continues the call depth and nesting of the context before
// it and counts as one invocation; false when that passes the call-depth
// limit (the caller reports it and runs nothing, then still leaves).
bool Run_Enter(RunContext *ctx);
// Unlinks the innermost context (the one given).
void Run_Leave(RunContext *ctx);
// True when the handle is a context on the chain; nothing is read through it.
bool Run_IsLive(const void *handle);
// True when a context on the chain from `ctx` outward is a run or call
// (not only contexts reading a result).
bool Run_InRun(const RunContext *ctx);

}  // namespace quillon
