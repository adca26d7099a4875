// Member operations on every kind of base value: objects, strings, numbers,
// booleans, program objects (through the host hooks), null and undefined.
#pragma once
#include <cstdint>

#include "values/evalslot.h"

namespace quillon {

struct RunContext;
struct Object;
struct ProgObj;

// Replaces a reference in the slot by the value it names (variables and
// members). With mustExist a missing member gives 0x8015 (and undefined).
// Returns 0 or an error code (also left in the slot as an error value).
uint32_t Obj_GetMember(RunContext *ctx, EvalSlot *slot, bool mustExist);
// Assigns through the reference in the slot; the value is taken over. The
// slot receives the assigned value or an error value; returns the status.
uint32_t Obj_PutMember(RunContext *ctx, EvalSlot *slot, JSAny *value);
// True when the value has a member of that name (the `in` test).
bool Obj_HasMember(RunContext *ctx, const JSAny *value, const char *name, uint32_t len,
                   uint32_t *status);
// True when the value has an own member of that name (hasOwnProperty):
// stored, element or computed; a string has its length and characters. With
// listedOnly, only what for-in lists (stored properties and elements). A
// program object is asked as for `in`.
bool Obj_HasOwnMember(RunContext *ctx, const JSAny *value, const char *name, uint32_t len, bool listedOnly,
                      uint32_t *status);
// The delete operation on a reference; the slot receives the boolean result.
uint32_t Obj_DeleteMember(RunContext *ctx, EvalSlot *slot);

// The operators the object model answers, in the shape of values/
// operators.h: `l in r` (r has a member named by l converted to a string)
// and `l instanceof r` (l's immediate prototype is r's prototype object;
// r must be a function). The answer, or an error value, replaces l.
void Op_In(RunContext *ctx, JSAny *l, const JSAny *r);
void Op_InstanceOf(RunContext *ctx, JSAny *l, const JSAny *r);

// Asks the host for the member of a program object (flags 1); the answer
// replaces *out. A key that is a number array index goes to HostGetElement.
uint32_t Host_ReadMember(RunContext *ctx, ProgObj *p, const JSAny *key, const char *name,
                         uint32_t len, JSAny *out);
// The host's next member name after `prev` for for-in (flags 16); undefined ends.
uint32_t Host_NextMember(RunContext *ctx, ProgObj *p, const char *prev, JSAny *out);

}  // namespace quillon
