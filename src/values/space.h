// The program space record: the unit a host creates, runs scripts in and
// destroys. Every layer from here up reads it (its built-in prototypes, its
// host hooks, its operand store), so the record lives here; making and
// destroying spaces is the host part's (host/space.h). A space owns its
// global names (the program-level slots of its lexer store), the value of
// the last run, the regular-expression match state, the script functions
// its runs defined, and the program objects that wrap host data. The
// library keeps a list of the live spaces: a handle is good only while it
// is on it.
#pragma once
#include <cstdint>

#include "values/jsany.h"

struct JSHostLibrary;

namespace quillon {

struct LexStore;
struct Function;
struct ProgObj;
struct Object;

constexpr uint32_t JSPS_MAGIC = 12345678;

// The fifteen built-in prototypes, in the order global setup records them.
enum Proto : uint32_t {
    PROTO_ARRAY, PROTO_BOOLEAN, PROTO_DATE, PROTO_FUNCTION, PROTO_NUMBER, PROTO_OBJECT,
    PROTO_STRING, PROTO_REGEXP, PROTO_ERROR, PROTO_EVALERROR, PROTO_RANGEERROR,
    PROTO_REFERENCEERROR, PROTO_SYNTAXERROR, PROTO_TYPEERROR, PROTO_URIERROR,
    PROTO_COUNT
};

// A short string of the match state: state -1 marks a constant text that is
// not freed; otherwise `chars` is a counted text.
struct ShortStr {
    int32_t state;
    char *chars;
    uint32_t len;
};

struct ProgramSpace {
    ProgramSpace *next;  // library-wide list of live spaces
    ProgramSpace *prev;
    uint32_t magic;
    uint32_t serial;
    // regular-expression match state
    JSAny matchInput;
    JSAny matchValue;
    uint16_t multiline;
    uint32_t groupCount;   // groups of the last match
    ShortStr *groups;      // Arr_* of at least 9 short strings ($1..$9 and more)
    ShortStr lastMatch, lastParen, leftContext, rightContext;
    LexStore *store;
    JSAny lastResult;
    const JSHostLibrary *hooks;
    uintptr_t userData;
    ProgramSpace *parent;
    JSAny hostValue;
    Function *functions;  // script functions defined by its runs
    Function *natives;    // native functions made for the space
    ProgObj *progFirst;  // program objects owned by the space
    ProgObj *progLast;
    Object *protos[PROTO_COUNT];
    uint32_t runs;  // runs and calls of the host under way in the space
    // The keys of a date's seven fields (runtime/atoms; the space is one of
    // their holders), made with the first date: every new date takes them
    // as they are instead of looking its field names up.
    char *dateKeys[7];
};

// The short strings of the match state: a new one set to the empty
// constant, one given back and set so, and a copy of a text (false on
// exhaustion, the string unchanged).
void Space_InitShort(ShortStr *s);
void Space_ClearShort(ShortStr *s);
bool Space_CopyShort(ShortStr *s, const char *text, uint32_t len);

// ---- the list of live spaces ----
// Puts a new space on the list and takes a dying one off it.
void Space_Link(ProgramSpace *space);
void Space_Unlink(ProgramSpace *space);
// True when the handle names a live program space of this library.
bool Space_IsLive(const ProgramSpace *space);
// True while a run or call is under way in any space: the library must not
// be torn down under it.
bool Space_AnyRunning();

}  // namespace quillon
