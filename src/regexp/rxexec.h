// Running expressions for the natives of RegExp and the pattern methods of
// strings: the expression a call works with, one execution of it, recording
// its match, and making an expression from (pattern, flags) arguments.
#pragma once
#include <cstdint>

#include "values/context.h"
#include "regexp/rxobject.h"
#include "values/jsany.h"

namespace quillon {

// The expression a call runs: a RegExp object (held by a counted reference
// while the call lasts, since callbacks may drop every other one) or a
// program of its own made from a string pattern. The object's program is
// looked up at each execution, so a callback that recompiles the object
// cannot leave a freed program in use.
struct RxTarget {
    RegExpObject *obj = nullptr;
    RxProgram *own = nullptr;
    uint32_t flags = 0;

    RxTarget() = default;
    RxTarget(const RxTarget &) = delete;
    RxTarget &operator=(const RxTarget &) = delete;
    ~RxTarget();

    void Take(RegExpObject *re);
    void Own(RxProgram *p, uint32_t f) {
        own = p;
        flags = f;
    }
    bool Global() const { return (flags & RX_GLOBAL) != 0; }
    // The program to run now (compiling the object's when it has none).
    uint32_t Program(RxProgram **out);
};

// The captures of one match, in a buffer that grows with the group count.
struct RxCaps {
    RxCapture *items = nullptr;
    RxCaps() = default;
    RxCaps(const RxCaps &) = delete;
    RxCaps &operator=(const RxCaps &) = delete;
    ~RxCaps() { Arr_Free(items); }
    bool Ensure(uint32_t n);
};

struct RxHit {
    uint32_t start, end;
    uint32_t groupCount;
    uint32_t from;  // where the search began
};

// One execution over input[0, len) from `from`. Returns 1 with the match
// in *hit and caps, 0 when there is none, or an error code: 103, a compile
// error, or the code of a user break.
uint32_t RxExec_Run(RunContext *ctx, RxTarget &t, const JSAny *input, uint32_t from, RxCaps &caps,
                    RxHit *hit);

// Before a loop of executions over one input: an input text whose share
// count is exhausted is replaced by a copy of its own, so that recording
// each match can share it instead of copying it every time. Returns 0 or 103.
uint32_t RxExec_Shareable(JSAny *input);

// Stores a match in the space's last-match record. Returns 0 or 103.
uint32_t RxExec_Record(RunContext *ctx, const JSAny *input, const RxHit &hit, const RxCaps &caps);

// The text of group g of a match (empty for a group that did not take part).
inline const char *RxExec_Group(const JSAny *input, const RxCaps &caps, uint32_t g, uint32_t *len) {
    const RxCapture &c = caps.items[g];
    if (c.start < 0) {
        *len = 0;
        return input->str;
    }
    *len = c.length;
    return input->str + c.start;
}

// exec's array for a match: the matched text, the groups (undefined for a
// group that did not take part), and the properties "index" and "input".
// Returns 0 or the status of the building.
uint32_t RxExec_Array(RunContext *ctx, const JSAny *input, const RxHit &hit, const RxCaps &caps, JSAny *out);

// The pattern text and flags that (pattern, flags) arguments describe: a
// RegExp gives its own (and then no flags may be given); anything else is
// converted to a string and the flags parsed; no pattern (absent or
// undefined) is "(?:)". `text` receives a string. Returns 0 or the error
// code of the call.
uint32_t RxExec_Describe(RunContext *ctx, const JSAny *args, uint32_t argc, JSAny *text, uint32_t *flags);

// The code a failed conversion leaves for the call (an error value whose
// code is 0 names no failure of its own).
inline uint32_t RxExec_ConversionError(const JSAny *v) { return v->code ? v->code : ERR_BADARGS; }

// True when argument i is missing or undefined.
inline bool RxExec_Absent(const RunContext *ctx, uint32_t i) {
    return i >= ctx->argc || ctx->args[i].type == JSANY_UNDEFINED || ctx->args[i].type == JSANY_UNDECLARED;
}

// The expression of match and search: a RegExp argument as it is, else one
// made from the arguments. Returns 0 or the error code of the call.
uint32_t RxExec_PatternArg(RunContext *ctx, RxTarget &t);

}  // namespace quillon
