/*
 * quillon.h - public interface of quillon.library 4.23, an embeddable
 * JavaScript interpreter.
 *
 * Copyright (c) 2026 The Quillon developers.
 * SPDX-License-Identifier: MIT (the full text is in the file LICENSE).
 *
 * A host opens the library, creates program spaces, runs scripts in them,
 * trades values with the scripts through value lists, and answers the
 * interpreter's calls back through the six entries of a host hook library.
 * This header compiles as C99 and as C++. The manual page quillon(3) is the
 * same reference with a longer introduction and an example.
 *
 * Overview
 * --------
 * - OpenJSLibrary() first, CloseJSLibrary() last (after deleting every space).
 * - CreateJSProgramSpace() makes a program space: the global names, the
 *   built-in objects and the last result of the scripts run in it.
 * - RunJavaScript() runs a source text in a space; GetJSResult() reads the
 *   value it left. CallJavaScript() calls a function value the host keeps.
 * - While a run is under way the interpreter calls the host's hooks (see
 *   JSHostLibrary). Inside a hook the host answers with the calls that take
 *   the run context (JSRunContext) the hook received.
 *
 * Result codes: every call that returns a status returns JSRESULT_OK (0),
 * JSRESULT_NOMEMORY (1), JSRESULT_BREAK (3) or JSRESULT_ERROR (4); the
 * exceptions are named at the call.
 *
 * Memory and ownership: the library copies every text and every block of
 * host bytes it is given; the host never frees what the library returns.
 * Texts the library hands out (strings read from value lists, the pieces of
 * a report) are valid for as long as stated at each call. What the host must
 * give back: objects from NewJSObject() (ReleaseJSObject()), value slots from
 * HoldJSArgument() (ReleaseJSValue(), or the last close), program spaces
 * (DeleteJSProgramSpace()). All interpreter memory is counted by
 * GetJSMemUse(); after the last close it is 0, and the library prints a
 * "Warning:" on its diagnostic output when it is not.
 *
 * Threads, the life of handles, and runs started from hooks: see "Threads,
 * handles and nested runs" below.
 */
#ifndef QUILLON_H
#define QUILLON_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Marks the calls the shared library exports. */
#if defined(_WIN32)
#define QUILLON_API
#else
#define QUILLON_API __attribute__((visibility("default")))
#endif

/* Library identification: version 4, revision 23, and the identification
   text (also in JSLibraryBase.lib_IdString). */
#define QUILLON_VERSION 4
#define QUILLON_REVISION 23
#define QUILLON_IDSTRING "quillon.library 4.23 (5.11.2022)\r\n"

/*
 * Opaque handles.
 * JSProgramSpace  a program space, from CreateJSProgramSpace(). Every call
 *                 that takes one checks it against the list of live spaces
 *                 first; a dead or unknown handle gets an "Illegal ..."
 *                 message on the diagnostic output and the call's error.
 * JSRunContext    the context of one run or call, handed to the hooks; good
 *                 only while the run, call or result read that handed it to
 *                 a hook is under way. Calls given one that is not good
 *                 print "Illegal <call>" and fail (see "Threads, handles and
 *                 nested runs").
 * JSObject        a script object, from NewJSObject(); good until
 *                 ReleaseJSObject() gives it back.
 */
typedef struct JSProgramSpace JSProgramSpace;
typedef struct JSRunContext JSRunContext;
typedef struct JSObject JSObject;

/*
 * Value lists: arrays of {tag, data} pairs ended by a pair with tag JSTAG_END.
 * Values cross between host and scripts through them.
 *
 * Reading (GetJSResult(), GetJSArguments()): the values are read in order
 * from the first; each pair that reads a value writes the result into its
 * own ti_Data and moves on to the next value. A pair past the last value is
 * passed over and its ti_Data keeps what the host preset: preset the
 * defaults. A tag that cannot read (JSTAG_OBJECT, JSTAG_ARGUMENT, JSTAG_SIZE
 * alone, an unknown tag), or a JSTAG_HOSTOBJECT not followed by JSTAG_SIZE,
 * stops the reading with an error, as does a conversion that fails (a
 * toString that throws, say): the result code tells, and the pairs read
 * before keep their results.
 *
 * Setting (SetJSResult()): the first pair (two for a program object) gives
 * the value.
 */
typedef struct JSTagItem {
    uintptr_t ti_Tag;
    uintptr_t ti_Data;
} JSTagItem;

/* Ends a value list. */
#define JSTAG_END        0x00000000u
/* A program object: a copy of host bytes that scripts handle as a value.
   Must be followed by a JSTAG_SIZE pair. Reading: the value must be a
   program object of a space with the same user data as the reading space;
   ti_Data becomes a pointer to the object's bytes (valid while the object
   lives) and the JSTAG_SIZE pair's ti_Data their number. Setting: a new
   program object is made from a copy of the ti_Data bytes, as many as the
   JSTAG_SIZE pair says (HostObjectCreated() may refuse it). */
#define JSTAG_HOSTOBJECT 0x80000001u
/* The byte count of the JSTAG_HOSTOBJECT or JSTAG_STRING pair before it;
   nothing alone. */
#define JSTAG_SIZE       0x80000002u
/* A string. Reading: the value converted to a string (toString of objects
   runs); ti_Data becomes a pointer to its zero-terminated characters, valid
   while the value lives. Setting: ti_Data points to a zero-terminated text,
   which is copied. Strings are 8-bit: a character is a byte. Followed by a
   JSTAG_SIZE pair (beyond the original) the string has a length: reading,
   the size pair's ti_Data becomes the length, so zero bytes inside survive;
   setting, that many bytes are copied (a null pointer: the empty string). */
#define JSTAG_STRING     0x80000003u
/* A number as a signed 32-bit integer. Reading: the value converted to a
   number, truncated toward zero and clamped to the 32-bit range; NaN and
   the infinities leave the preset. Setting: the low 32 bits of ti_Data,
   signed. */
#define JSTAG_INTEGER    0x80000004u
/* A number as the bits of a single-precision float in the low 32 bits of
   ti_Data, both ways. */
#define JSTAG_FLOAT      0x80000005u
/* A boolean. Reading: the value's truth, 0 or 1. Setting: true when the low
   16 bits of ti_Data are not 0. */
#define JSTAG_BOOLEAN    0x80000006u
/* Reading only: ti_Data becomes the number of values there are; reads none. */
#define JSTAG_COUNT      0x80000009u
/* Reading only: passes over ti_Data values. */
#define JSTAG_SKIP       0x8000000Au
/* Reading: a type query; ti_Data becomes the tag naming the value's kind
   (JSTAG_INTEGER for numbers, JSTAG_STRING, JSTAG_BOOLEAN, JSTAG_HOSTOBJECT,
   JSTAG_OBJECT for script objects and functions, JSTAG_NULL) and the value
   counts as read; undefined stops the reading with an error. Setting: null. */
#define JSTAG_NULL       0x8000000Bu
/* Setting only: ti_Data is a JSObject the host holds (from NewJSObject()),
   which the value then holds with one more reference; a null ti_Data sets
   null; an object the host does not hold is refused ("Illegal ..."). In
   CallJavaScript(): ti_Data is the value slot that holds the function. */
#define JSTAG_OBJECT     0x8000000Cu
/* CallJavaScript() only: ti_Data is a value slot whose value is the next
   argument of the call. */
#define JSTAG_ARGUMENT   0x8000000Du
/* Full precision (beyond the original): a number as a double, its 64 bits
   in the data word (copy them with memcpy). Reading converts the value to a
   number as JSTAG_FLOAT does; setting (SetJSResult, an argument of
   CallJavaScript) makes that number. Where uintptr_t is narrower than 64
   bits the data word points to a double instead. CallJavaScript also takes
   JSTAG_STRING + JSTAG_SIZE and JSTAG_DOUBLE as arguments by value, in list
   order with its JSTAG_ARGUMENT slots. The type query still names numbers
   JSTAG_INTEGER. */
#define JSTAG_DOUBLE     0x8000000Eu

/* Result codes of the calls. */
#define JSRESULT_OK        0 /* success */
#define JSRESULT_NOMEMORY  1 /* out of memory (also: a null handle where one is needed) */
#define JSRESULT_BREAK     3 /* stopped: the host's break answer, or a hook answered JSANSWER_BREAK */
#define JSRESULT_ERROR     4 /* any other failure: a script error, a bad space handle */

/* Run flags of RunJavaScript() and CallJavaScript(). */
#define JSRUN_RESULT    1u /* keep the value of the last expression statement */
#define JSRUN_LENIENT   2u /* report errors as warnings and go on */
#define JSRUN_RESTORING 4u /* program-level variables declared by the run get their old values back */

/* Flags of HostGetProperty() and HostGetElement(): what is asked. */
#define JSHOST_GET       1u /* give the value with SetJSResult() or SetJSResultObject() */
#define JSHOST_PUT       2u /* store the value, read with GetJSArguments() (one argument) */
#define JSHOST_DELETE    4u /* delete the member */
#define JSHOST_HAS       8u /* does it exist? answer JSANSWER_DONE or JSANSWER_NONAME */
#define JSHOST_NEXTNAME 16u /* give, as a string, the member name after `name` ("" for the first);
                               leaving the value unset ends the enumeration */

/* Operations of HostInvoke(). */
#define JSHOST_CALL      1u /* the object is called: obj(...) */
#define JSHOST_CONSTRUCT 2u /* the object is used with new: new obj(...) */

/* Kinds of HostNotify(). */
#define JSNOTIFY_ERROR   0u /* an error report, or the "Error" box of a failure never reported */
#define JSNOTIFY_WARNING 6u /* a report of a lenient run: the run goes on */
#define JSNOTIFY_POLL    7u /* a break-mask signal is pending: may the run go on? */

/* Answers of the hooks. */
#define JSANSWER_DONE      0u /* done, or "yes, it exists" to JSHOST_HAS */
#define JSANSWER_NOMEMORY  1u /* out of memory: the run fails with JSRESULT_NOMEMORY */
#define JSANSWER_NONAME    2u /* no such name or member */
#define JSANSWER_BREAK     3u /* the user asked to stop: the run ends with JSRESULT_BREAK */
#define JSANSWER_STOREOBJ  6u /* to a JSHOST_PUT of a program object: let the stored
                                 object's owner take it (asked again with name "") */
#define JSANSWER_STOP      8u /* to a JSNOTIFY_POLL: stop the run quietly (JSRESULT_BREAK) */

/*
 * The host hook library: six entries the interpreter calls. The host passes
 * it to CreateJSProgramSpace(); it is not copied and must stay valid while
 * the space lives. Any entry may be null: a null name hook answers "no such
 * name", a null HostInvoke refuses every call ("Wrong type of object for
 * operation"), a null object hook answers 0, a null notify hook shows
 * nothing and answers 0 ("go on") to the break poll.
 *
 * Names a script does not define are offered to the host, reports are sent
 * to HostNotify and the break poll is made only in runs and calls that have a
 * host handle (the `hostHandle` argument of RunJavaScript() and
 * CallJavaScript() not 0). Operations on program objects reach the hooks in
 * any run.
 *
 * Hooks run on the thread of the call that led to them. What a hook may
 * call:
 * - HostInvoke, HostGetProperty, HostGetElement: the calls that take the
 *   JSRunContext they received (GetJSArguments, SetJSResult,
 *   SetJSResultObject, SetJSLookupSpace, SetJSLookupObject,
 *   AddJSScopeObject, HoldJSArgument, NewJSObject, GetJSUserData,
 *   GetJSUserData2), and every call that takes no context: runs and calls
 *   of their own (RunJavaScript, CallJavaScript, GetJSResult) in any space,
 *   the running one included (each counts as one invocation toward the call
 *   depth of 25), ReleaseJSObject, ReleaseJSValue, CreateJSProgramSpace.
 *   DeleteJSProgramSpace of a space with a run under way, and the last
 *   CloseJSLibrary during a run, are refused with their "Illegal ..."
 *   message. A hook must not wait for another thread that calls the
 *   library.
 * - HostNotify: no context; it should only show the report or answer the
 *   poll (SetJSSignal() and GetJSMemUse() are safe).
 * - HostObjectCreated, HostObjectReleased: called while the library is
 *   making or freeing an object (in a run, in DeleteJSProgramSpace, at the
 *   last close): they must not call the library.
 */
typedef struct JSHostLibrary {
    /* A program object is called (operation JSHOST_CALL) or used with `new`
       (JSHOST_CONSTRUCT). target: the user data of the object's owner space
       (the run's host handle for the host's own object of size 0); data,
       size: the object's bytes. The arguments are read with
       GetJSArguments(ctx, ...) (HoldJSArgument() keeps one); the result is
       set with SetJSResult() or SetJSResultObject() and is undefined when
       none is set. Answer JSANSWER_DONE, JSANSWER_NOMEMORY or JSANSWER_BREAK;
       any other answer fails the call with "Object is not a function" ("...
       not a constructor" for new), which try can catch as a TypeError.
       When GetJSArguments() fails, answer JSANSWER_DONE: the failure it left
       in the context becomes the call's result. */
    uint32_t (*HostInvoke)(uintptr_t target, JSRunContext *ctx, void *data,
                           uint32_t size, uint32_t operation);
    /* A named value is asked for (flags: JSHOST_GET, JSHOST_PUT,
       JSHOST_DELETE, JSHOST_HAS or JSHOST_NEXTNAME).
       - data null, size 0: a name the script uses that no scope of it
         holds (target is the run's host handle), asked once with
         JSHOST_HAS: answer JSANSWER_DONE to supply it, JSANSWER_NONAME if
         not (the name then reads as undefined). Supplied names become
         members of the host's own program object (of size 0): reads come
         back here with data null and JSHOST_GET, stores with JSHOST_PUT.
         While answering JSHOST_HAS the hook may instead send the name
         elsewhere: SetJSLookupSpace() (a global name of another space),
         SetJSLookupObject() (a member of a script object), AddJSScopeObject()
         or further pairs of SetJSResult() (a member of a program object).
         At the start of every run "this" and "__global" are asked for with
         JSHOST_HAS and then JSHOST_GET; their values become the run's `this`
         and global value.
       - data, size of a program object: a member of it (target is the user
         data of its owner space). `typeof` asks for the member "__typeof"
         with JSHOST_GET; without an answer a program object is an "object".
         JSHOST_NEXTNAME enumerates the members for for-in. A JSHOST_GET or
         JSHOST_PUT answered JSANSWER_DONE after SetJSLookupSpace() or
         SetJSLookupObject() reads or stores the member there instead.
       Answers: JSANSWER_DONE; JSANSWER_NONAME (no such name or member: a
       read gives undefined); JSANSWER_NOMEMORY; JSANSWER_BREAK; to a
       JSHOST_PUT of a value that is itself a program object also
       JSANSWER_STOREOBJ, which asks the stored object's owner once more
       (name "", JSHOST_PUT). Any other answer to a store or a delete fails
       it with "Wrong type of object for operation" (a TypeError); to a
       read it gives undefined. */
    uint32_t (*HostGetProperty)(uintptr_t target, JSRunContext *ctx, void *data,
                                const char *name, uint32_t size, uint32_t flags);
    /* The same for a numbered member of a program object (obj[3]): index is
       the number, flags as for HostGetProperty(); the answers are the same. */
    uint32_t (*HostGetElement)(uintptr_t target, JSRunContext *ctx, void *data,
                               uint32_t size, uint32_t index, uint32_t flags);
    /* A report, or the break poll. hostHandle is the run's.
       - JSNOTIFY_ERROR and JSNOTIFY_WARNING: a report of a script error:
         heading ("Reference error on line 2", "Type warning on line 1 of
         function f"), message ("Function not defined"), and the source line
         in three pieces: before the offending tokens, the tokens, after them
         (empty texts when there is no line). position points into the source
         text at the tokens, or is null (inside a function, or unknown). The
         texts are valid until the hook returns. A failure no report has
         shown (out of memory, an answer of a hook) comes once, after the
         run, as kind JSNOTIFY_ERROR with heading "Error", the failure's text
         as message and null pieces and position. Each error reaches the host
         once; a run shows at most one error report (lenient runs show every
         warning). The answer is not used.
       - JSNOTIFY_POLL: a signal of the run's break mask is pending (see
         SetJSSignal()); every other argument is 0. Answer 0 to go on (asked
         again at the next check while the signal stays pending: clearing it
         is the host's part), JSANSWER_STOP to stop the run quietly; any
         other answer stops it with the report "Break character recieved".
         A stopped run ends with JSRESULT_BREAK; try cannot catch it. */
    uint32_t (*HostNotify)(uint32_t kind, uintptr_t hostHandle, const char *heading,
                           const char *message, const char *before, const char *token,
                           const char *after, const char *position);
    /* A program object is about to be made from `size` host bytes (bytes may
       be null for size 0; the space's host object of size 0 is made by
       CreateJSProgramSpace() itself). userData is the space's. Answer 0 to
       accept; anything else refuses it (the operation fails as out of
       memory). Must not call the library. */
    uint32_t (*HostObjectCreated)(uintptr_t userData, uintptr_t zero, const void *bytes,
                                  uint32_t size);
    /* A program object leaves its space for good: its last reference went,
       or its space was deleted without a parent to adopt it. userData is
       its owner's; data, size its bytes (valid until the hook returns). The
       answer is not used. Must not call the library. */
    uint32_t (*HostObjectReleased)(uintptr_t userData, uintptr_t zero, void *data,
                                   uint32_t size);
} JSHostLibrary;

/* ---- The eighteen calls, in slot order (slots 5 to 22). ---- */

/*
 * CreateJSProgramSpace (slot 5): makes a program space with the built-in
 * objects. parent: a live space that adopts this space's program objects
 * when it is deleted (null, or a dead handle: none). hooks: the host hook
 * library, or null. userData: a word handed to the object hooks and read
 * with GetJSUserData(); 0 means the space cannot make program objects.
 * Returns the space, or null when memory ran out or the library is not
 * open ("Illegal CreateJSProgramSpace"). With hooks and a userData that is
 * not 0, the space makes its host object of size 0 (HostObjectCreated() is
 * called for it).
 */
QUILLON_API JSProgramSpace *CreateJSProgramSpace(JSProgramSpace *parent,
                                                 const JSHostLibrary *hooks,
                                                 uintptr_t userData);
/*
 * DeleteJSProgramSpace (slot 6): deletes a space: its functions, globals and
 * last result go; its program objects go to its parent, or to
 * HostObjectReleased() when it has none; unreachable cycles of objects are
 * reclaimed. A dead or unknown handle, or a space whose run is under way
 * (deleted from a hook), gets "Illegal DeleteJSProgramSpace" on the
 * diagnostic output and nothing else happens.
 */
QUILLON_API void DeleteJSProgramSpace(JSProgramSpace *space);
/*
 * RunJavaScript (slot 7): lexes and runs a zero-terminated source text in a
 * space (a null source runs nothing). flags: JSRUN_* bits. hostHandle: a
 * word handed to the hooks; 0 runs without a host: no hook but the object
 * hooks is asked, unknown names read as undefined, reports go to the
 * diagnostic output, and a pending break-mask signal stops the run with
 * "Break character recieved". breakMask: the SetJSSignal() bits that ask for
 * a break, checked at every loop iteration and call. compatLevel: 0 for the
 * current language, other levels for older behaviours (see README.md).
 * The value the run leaves (with JSRUN_RESULT the last expression
 * statement's) becomes the space's last result. Returns JSRESULT_OK,
 * JSRESULT_NOMEMORY, JSRESULT_BREAK or JSRESULT_ERROR (a script error, or a
 * dead space handle: "Illegal RunJavaScript"). May be called from a hook
 * (a nested run, in the same space or another; see "Nested runs").
 */
QUILLON_API uint32_t RunJavaScript(JSProgramSpace *space, const char *source, uint32_t flags,
                                   uintptr_t hostHandle, uint32_t breakMask,
                                   int32_t compatLevel);
/*
 * GetJSResult (slot 8): reads the space's last result with a value list (see
 * JSTagItem): one value, or none when the last run set none (then only a
 * JSTAG_COUNT pair changes, to 0). Strings read stay valid until the next
 * run or call in the space, or its deletion. Converting the value may run
 * script code (a toString), without a host handle; from a hook that counts
 * as one invocation of the run under way. Returns JSRESULT_OK;
 * when the last run failed, the code of that failure (JSRESULT_NOMEMORY,
 * JSRESULT_BREAK, JSRESULT_ERROR) and nothing is read; JSRESULT_NOMEMORY for
 * a null space, JSRESULT_ERROR for a dead one or a list that cannot be read.
 */
QUILLON_API uint32_t GetJSResult(JSProgramSpace *space, JSTagItem *list);
/*
 * SetJSResultObject (slot 9, in a hook): makes a program object from a copy
 * of `size` bytes at `data` and makes it the context's result (the value of
 * the call, or of the name or member asked for). Returns 0, or 1 when memory
 * ran out, HostObjectCreated() refused, the space's user data is 0, or ctx
 * is null; 4 for a context that is not good ("Illegal SetJSResultObject").
 */
QUILLON_API uint32_t SetJSResultObject(JSRunContext *ctx, const void *data, uint32_t size);
/*
 * SetJSLookupSpace (slot 10, in HostGetProperty): sends the name being asked
 * for to the global names of another space. Answering JSHOST_HAS for a name
 * the script uses: the script then reads and assigns that space's global
 * (made undefined there when it has none). Answering JSHOST_GET or
 * JSHOST_PUT of a program object's member: the member is read from, or
 * stored into, that space's global of the same name. Returns 0; 3 when space
 * is not a live space (the redirect is cleared); 1 for a null ctx; 4 for a
 * context that is not good.
 */
QUILLON_API uint32_t SetJSLookupSpace(JSRunContext *ctx, JSProgramSpace *space);
/*
 * GetJSArguments (slot 11, in a hook): reads the arguments of the call being
 * made (HostInvoke()) or the one value being stored (JSHOST_PUT) with a
 * value list (see JSTagItem). Strings read stay valid until the hook
 * returns. Returns JSRESULT_OK, or the code of a failure of the reading
 * (JSRESULT_ERROR for a list that cannot be read or a failed conversion,
 * JSRESULT_NOMEMORY, JSRESULT_BREAK), which is also left as the context's
 * result: answer JSANSWER_DONE and the call fails with it. 1 for a null ctx;
 * 4 for a context that is not good.
 */
QUILLON_API uint32_t GetJSArguments(JSRunContext *ctx, JSTagItem *list);
/*
 * SetJSResult (slot 12, in a hook): sets the context's result from the
 * first pair of a value list (two pairs for JSTAG_HOSTOBJECT + JSTAG_SIZE).
 * An empty list, or a first tag that sets nothing, clears the result (the
 * call gives undefined) and returns 0. Pairs after the value, taken two at a
 * time as {any tag, data pointer}, {any tag, size}, make program objects
 * that become the scope objects of the pending name lookup (see
 * AddJSScopeObject()), unless the context already has some. Returns 0, or
 * 103 when memory ran out (the only call that returns this internal code),
 * 1 for a null ctx; 4 for a context that is not good, or a JSTAG_OBJECT
 * the host does not hold ("Illegal SetJSResult").
 */
QUILLON_API uint32_t SetJSResult(JSRunContext *ctx, const JSTagItem *list);
/*
 * GetJSUserData (slot 13): the user data of the context's space; 0 for a
 * null ctx or one that is not good.
 */
QUILLON_API uintptr_t GetJSUserData(JSRunContext *ctx);
/*
 * NewJSObject (slot 14, in a hook): a new plain script object of the
 * context's space, with one reference held by the host: give it to scripts
 * with {JSTAG_OBJECT, object} or SetJSLookupObject(), and release it with
 * ReleaseJSObject() before the space is deleted. Null when memory ran out,
 * for a null ctx ("Illegal DeleteJSProgramSpace" on the diagnostic output,
 * as the original had it) or one that is not good ("Illegal NewJSObject").
 */
QUILLON_API JSObject *NewJSObject(JSRunContext *ctx);
/*
 * ReleaseJSObject (slot 15): gives back one reference to an object from
 * NewJSObject(); the object goes when nothing else holds it. Null is
 * ignored; an object the host does not hold gets "Illegal ReleaseJSObject"
 * and nothing else happens.
 */
QUILLON_API void ReleaseJSObject(JSObject *object);
/*
 * SetJSLookupObject (slot 16, in HostGetProperty or HostGetElement): sends
 * the name being asked for to a member of a script object (the context
 * holds a reference to it meanwhile). Answering JSHOST_HAS for a name the
 * script uses: the script then reads and assigns that member of the object.
 * Answering JSHOST_GET or JSHOST_PUT of a program object's member: the
 * member of the same name or index is read from, or stored into, the object.
 * Returns 0; 3 for a null object (the redirect is cleared); 1 for a null
 * ctx; 4 for a context that is not good or an object the host does not
 * hold.
 */
QUILLON_API uint32_t SetJSLookupObject(JSRunContext *ctx, JSObject *object);
/*
 * AddJSScopeObject (slot 17, in HostGetProperty answering JSHOST_HAS for a
 * name): makes a program object from a copy of `size` bytes at `data` and
 * adds it to the context's scope objects; the name is then looked up as a
 * member of the first of them (HostGetProperty() is asked with its data).
 * Returns 0, or 1 when the object cannot be made (every scope object is
 * then dropped), or for a null ctx; 4 for a context that is not good.
 */
QUILLON_API uint32_t AddJSScopeObject(JSRunContext *ctx, const void *data, uint32_t size);
/*
 * CallJavaScript (slot 18): calls a function value the host keeps in a value
 * slot (HoldJSArgument()). list: {JSTAG_OBJECT, slot} names the function
 * (the last such pair counts), each {JSTAG_ARGUMENT, slot} adds the slot's
 * value as the next argument, and so do JSTAG_DOUBLE and JSTAG_STRING +
 * JSTAG_SIZE pairs by value; other pairs are passed over. flags,
 * hostHandle, breakMask as for RunJavaScript(); compatibility level 0. The
 * function's result becomes the space's last result (GetJSResult()).
 * Returns as RunJavaScript(); JSRESULT_OK without running anything when no
 * function is named; JSRESULT_NOMEMORY for a slot number beyond the table;
 * JSRESULT_ERROR for a dead space ("Illegal RunJavaScript"), a slot already
 * released ("Illegal CallJavaScript") or a value that is not a function.
 */
QUILLON_API uint32_t CallJavaScript(JSProgramSpace *space, uint32_t flags, uintptr_t hostHandle,
                                    uint32_t breakMask, const JSTagItem *list);
/*
 * HoldJSArgument (slot 19, in a hook): copies argument `index` (counting
 * from 0) of the call being made (or the value being stored, index 0) into
 * a free value slot, where it stays after the run until ReleaseJSValue() or
 * the last close. Slots are shared by every space. Returns the slot number,
 * or -1 for an index beyond the arguments, a null ctx or one that is not
 * good, or when memory ran out.
 */
QUILLON_API int32_t HoldJSArgument(JSRunContext *ctx, uint32_t index);
/*
 * ReleaseJSValue (slot 20): frees a value slot. Returns 0 (also for a slot
 * already free, which gets "Illegal ReleaseJSValue"), or 2 for a number
 * beyond the table or a closed library.
 */
QUILLON_API uint32_t ReleaseJSValue(uint32_t slot);
/*
 * GetJSUserData2 (slot 21): as GetJSUserData(); the original did not test
 * ctx for null, this one refuses it with "Illegal GetJSUserData" and 0.
 */
QUILLON_API uintptr_t GetJSUserData2(JSRunContext *ctx);
/*
 * RunJavaScript2 (slot 22): the same as RunJavaScript().
 */
QUILLON_API uint32_t RunJavaScript2(JSProgramSpace *space, const char *source, uint32_t flags,
                                    uintptr_t hostHandle, uint32_t breakMask,
                                    int32_t compatLevel);

/* ---- The library frame. ---- */

/* The type of an entry of the call table: a call's address, to be cast to
   the call's own type. */
typedef void (*JSLibraryCall)(void);

/* The library base OpenJSLibrary() returns: version, open count,
   identification and the call table. It belongs to the library. */
typedef struct JSLibraryBase {
    uint16_t lib_Version;       /* 4 */
    uint16_t lib_Revision;      /* 23 */
    uint16_t lib_OpenCnt;       /* number of opens not yet closed */
    uint16_t lib_Pad;
    const char *lib_IdString;   /* "quillon.library 4.23 (5.11.2022)\r\n" */
    const char *lib_Name;       /* "quillon.library" */
    /* The calls by slot: lib_Calls[slot] for slots 5 to 22; slots 0 to 4 are
       the frame's own entries (open, close, expunge, reserved) or null. */
    JSLibraryCall lib_Calls[23];
} JSLibraryBase;

/* Opens the library: the first open sets up the library-wide state (the
   memory pool, the tables, the random seed); later opens only count.
   Returns the library base, or null when the set-up fails. Every other call
   needs the library open. */
QUILLON_API JSLibraryBase *OpenJSLibrary(void);
/* Closes the library: the last close releases every value slot, tears the
   library-wide state down and prints on the diagnostic output
   "Warning: %ld program objects left!" and "Warning: MemUse = %ld" when
   objects or memory remain (delete every space first). A close without an
   open, or the last close while a run is under way, is refused with
   "Illegal CloseJSLibrary". */
QUILLON_API void CloseJSLibrary(void);
/* Expunges the library: done at once when nothing has it open, else deferred
   to the last close. Returns 1 when the library was expunged now, 0 when
   deferred. */
QUILLON_API int32_t ExpungeJSLibrary(void);

/* ---- Threads, handles and nested runs. ----

   Threads (beyond the original, which left this to the host): every call
   holds one library-wide recursive lock while it runs, so calls made from
   several threads are safe but wait for one another; a run keeps the lock
   until it ends, its hooks included. Hooks run on the thread of the call
   that led to them and may call back into the library on that thread; a
   hook must not wait for another thread that calls the library. Program
   spaces, contexts, objects and value slots may be handed between threads.
   SetJSSignal takes no lock: a signal handler or another thread uses it to
   stop a run under way (the pending signals are one word for the process).

   Handles: a JSRunContext is good only while the run, call or result read
   that handed it to a hook is under way; an object from NewJSObject until
   ReleaseJSObject gives it back; a value slot from HoldJSArgument until
   ReleaseJSValue. A call given a context, object or slot that is not good
   (or was never one) prints "Illegal <name of the call>" on the diagnostic
   output, touches nothing and fails: 4 for calls that return a result code,
   0, null or -1 for the others (ReleaseJSValue of a free slot keeps its 0).

   Nested runs: a RunJavaScript, CallJavaScript or GetJSResult made from
   inside a hook continues the run whose hook it is in: it counts as one
   invocation toward the call depth of 25 and shares the nesting limit, so
   a script cannot drive a host that re-enters the library into exhausting
   the machine stack. Past the limit the inner call reports "Function called
   itself too many times" and fails with 4; the outer run goes on. */

/* ---- Platform services a host needs. ---- */

/* The task's pending signals, as MorphOS SetSignal: the bits under mask take
   the new values; the old pending signals are returned. SetJSSignal(0, 0)
   only reads. Safe to call from a POSIX signal handler and from any thread
   while a run is under way: it takes no lock. A run whose break mask has a
   pending bit polls the host (JSNOTIFY_POLL); the library never clears the
   bits itself. */
QUILLON_API uint32_t SetJSSignal(uint32_t newSignals, uint32_t mask);

/* Signal bit that a host conventionally uses for Ctrl-C. */
#define JSSIGNAL_CTRL_C (1u << 12)

/* Redirects the library's diagnostic output: the "Illegal ..." messages,
   the leak warnings, Debug.write and the reports of runs without a host
   handle. The writer gets zero-terminated texts, valid until it returns, and
   the `user` word given here; reports reach it as plain text. A null writer
   restores the default: standard error (after flushing standard output), on
   which a report's offending tokens are highlighted with the terminal's
   colour sequences when it is a terminal (the colour is reset at the end of
   each report), and plain text otherwise. */
typedef void (*JSDebugWriter)(const char *text, void *user);
QUILLON_API void SetJSDebugOutput(JSDebugWriter writer, void *user);

/* Bytes of interpreter memory in use (the MemUse counter); 0 when nothing is
   held, and after the last close. */
QUILLON_API int32_t GetJSMemUse(void);

/* Limit on MemUse in bytes (beyond the original); 0, the default, sets
   none. Returns the previous limit. An allocation that would pass the limit
   fails exactly as when memory is exhausted (result 1, the run's cleanup
   as usual); the host may raise the limit and go on with the same spaces.
   The limit is library-wide and outlives close and open. */
QUILLON_API uintptr_t SetJSMemLimit(uintptr_t bytes);

/* Serial number of a live program space (100 for the first one, counting
   up); 0 for a dead or unknown handle. */
QUILLON_API uint32_t GetJSProgramSpaceSerial(JSProgramSpace *space);

#ifdef __cplusplus
}
#endif

#endif /* QUILLON_H */
