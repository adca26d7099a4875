/*
 * quillon.h - public interface of quillon.library 4.23, an embeddable
 * JavaScript interpreter.
 *
 * A host opens the library, creates program spaces, runs scripts in them,
 * trades values with the scripts through value lists, and answers the
 * interpreter's calls back through the six entries of a host hook library.
 * This header compiles as C99 and as C++.
 */
#ifndef QUILLON_H
#define QUILLON_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define QUILLON_API
#else
#define QUILLON_API __attribute__((visibility("default")))
#endif

/* Library identification. */
#define QUILLON_VERSION 4
#define QUILLON_REVISION 23
#define QUILLON_IDSTRING "quillon.library 4.23 (5.11.2022)\r\n"

/* Opaque handles. */
typedef struct JSProgramSpace JSProgramSpace;
typedef struct JSRunContext JSRunContext;
typedef struct JSObject JSObject;

/* Value lists: arrays of {tag, data} pairs ended by a pair with tag 0. */
typedef struct JSTagItem {
    uintptr_t ti_Tag;
    uintptr_t ti_Data;
} JSTagItem;

#define JSTAG_END        0x00000000u
#define JSTAG_HOSTOBJECT 0x80000001u
#define JSTAG_SIZE       0x80000002u
#define JSTAG_STRING     0x80000003u
#define JSTAG_INTEGER    0x80000004u
#define JSTAG_FLOAT      0x80000005u
#define JSTAG_BOOLEAN    0x80000006u
#define JSTAG_COUNT      0x80000009u
#define JSTAG_SKIP       0x8000000Au
#define JSTAG_NULL       0x8000000Bu
#define JSTAG_OBJECT     0x8000000Cu
#define JSTAG_ARGUMENT   0x8000000Du
/* Full precision (beyond the original): a number as a double, its 64 bits
   in the data word (copy them with memcpy). Reading converts the value to a
   number as JSTAG_FLOAT does; setting (SetJSResult, an argument of
   CallJavaScript) makes that number. Where uintptr_t is narrower than 64
   bits the data word points to a double instead.
   JSTAG_STRING followed by JSTAG_SIZE reads a string with its length (the
   data of the size pair becomes the length, so zero bytes inside survive)
   and sets one from pointer and length (a null pointer: the empty string);
   CallJavaScript takes both forms as arguments by value, in list order with
   its JSTAG_ARGUMENT slots. The type query still names numbers
   JSTAG_INTEGER. */
#define JSTAG_DOUBLE     0x8000000Eu

/* Result codes of the calls. */
#define JSRESULT_OK        0
#define JSRESULT_NOMEMORY  1
#define JSRESULT_BREAK     3
#define JSRESULT_ERROR     4

/* Run flags of RunJavaScript and CallJavaScript. */
#define JSRUN_RESULT    1u /* keep the value of the last expression statement */
#define JSRUN_LENIENT   2u /* report errors as warnings and go on */
#define JSRUN_RESTORING 4u /* program-level variables declared by the run get their old values back */

/* Flags of HostGetProperty and HostGetElement. */
#define JSHOST_GET       1u
#define JSHOST_PUT       2u
#define JSHOST_DELETE    4u
#define JSHOST_HAS       8u
#define JSHOST_NEXTNAME 16u

/* Operations of HostInvoke. */
#define JSHOST_CALL      1u
#define JSHOST_CONSTRUCT 2u

/* Kinds of HostNotify. */
#define JSNOTIFY_ERROR   0u
#define JSNOTIFY_WARNING 6u
#define JSNOTIFY_POLL    7u

/* Answers of the hooks. */
#define JSANSWER_DONE      0u
#define JSANSWER_NOMEMORY  1u
#define JSANSWER_NONAME    2u
#define JSANSWER_BREAK     3u
#define JSANSWER_STOREOBJ  6u
#define JSANSWER_STOP      8u

/*
 * The host hook library. Any entry may be null: a null name hook answers
 * "no such name", a null object hook answers 0, a null notify hook shows
 * nothing and answers 0 ("go on") to the break poll.
 */
typedef struct JSHostLibrary {
    uint32_t (*HostInvoke)(uintptr_t target, JSRunContext *ctx, void *data,
                           uint32_t size, uint32_t operation);
    uint32_t (*HostGetProperty)(uintptr_t target, JSRunContext *ctx, void *data,
                                const char *name, uint32_t size, uint32_t flags);
    uint32_t (*HostGetElement)(uintptr_t target, JSRunContext *ctx, void *data,
                               uint32_t size, uint32_t index, uint32_t flags);
    uint32_t (*HostNotify)(uint32_t kind, uintptr_t hostHandle, const char *heading,
                           const char *message, const char *before, const char *token,
                           const char *after, const char *position);
    uint32_t (*HostObjectCreated)(uintptr_t userData, uintptr_t zero, const void *bytes,
                                  uint32_t size);
    uint32_t (*HostObjectReleased)(uintptr_t userData, uintptr_t zero, void *data,
                                   uint32_t size);
} JSHostLibrary;

/* ---- The eighteen calls, in slot order (slots 5 to 22). ---- */
QUILLON_API JSProgramSpace *CreateJSProgramSpace(JSProgramSpace *parent,
                                                 const JSHostLibrary *hooks,
                                                 uintptr_t userData);
QUILLON_API void DeleteJSProgramSpace(JSProgramSpace *space);
QUILLON_API uint32_t RunJavaScript(JSProgramSpace *space, const char *source, uint32_t flags,
                                   uintptr_t hostHandle, uint32_t breakMask,
                                   int32_t compatLevel);
QUILLON_API uint32_t GetJSResult(JSProgramSpace *space, JSTagItem *list);
QUILLON_API uint32_t SetJSResultObject(JSRunContext *ctx, const void *data, uint32_t size);
QUILLON_API uint32_t SetJSLookupSpace(JSRunContext *ctx, JSProgramSpace *space);
QUILLON_API uint32_t GetJSArguments(JSRunContext *ctx, JSTagItem *list);
QUILLON_API uint32_t SetJSResult(JSRunContext *ctx, const JSTagItem *list);
QUILLON_API uintptr_t GetJSUserData(JSRunContext *ctx);
QUILLON_API JSObject *NewJSObject(JSRunContext *ctx);
QUILLON_API void ReleaseJSObject(JSObject *object);
QUILLON_API uint32_t SetJSLookupObject(JSRunContext *ctx, JSObject *object);
QUILLON_API uint32_t AddJSScopeObject(JSRunContext *ctx, const void *data, uint32_t size);
QUILLON_API uint32_t CallJavaScript(JSProgramSpace *space, uint32_t flags, uintptr_t hostHandle,
                                    uint32_t breakMask, const JSTagItem *list);
QUILLON_API int32_t HoldJSArgument(JSRunContext *ctx, uint32_t index);
QUILLON_API uint32_t ReleaseJSValue(uint32_t slot);
QUILLON_API uintptr_t GetJSUserData2(JSRunContext *ctx);     /* slot 21: no null test */
QUILLON_API uint32_t RunJavaScript2(JSProgramSpace *space, const char *source, uint32_t flags,
                                    uintptr_t hostHandle, uint32_t breakMask,
                                    int32_t compatLevel);  /* slot 22 */

/* ---- The library frame. ---- */

/* One entry of the call table: slot number and the call's address. */
typedef void (*JSLibraryCall)(void);

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

/* Opens the library: the first open sets up the library-wide state.
   Returns the library base, or null when the set-up fails. */
QUILLON_API JSLibraryBase *OpenJSLibrary(void);
/* Closes the library: the last close tears the library-wide state down and
   reports leaks on the diagnostic output. */
QUILLON_API void CloseJSLibrary(void);
/* Expunges the library: done at once when nothing has it open, else deferred
   to the last close. Returns 1 when the library was expunged now. */
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
   while a run is under way: it takes no lock. */
QUILLON_API uint32_t SetJSSignal(uint32_t newSignals, uint32_t mask);

/* Signal bit that a host conventionally uses for Ctrl-C. */
#define JSSIGNAL_CTRL_C (1u << 12)

/* Redirects the library's diagnostic output (default: standard error).
   A null writer restores the default. */
typedef void (*JSDebugWriter)(const char *text, void *user);
QUILLON_API void SetJSDebugOutput(JSDebugWriter writer, void *user);

/* Bytes of interpreter memory in use (the MemUse counter). */
QUILLON_API int32_t GetJSMemUse(void);

/* Limit on MemUse in bytes (beyond the original); 0, the default, sets
   none. Returns the previous limit. An allocation that would pass the limit
   fails exactly as when memory is exhausted (result 1, the run's cleanup
   as usual); the host may raise the limit and go on with the same spaces.
   The limit is library-wide and outlives close and open. */
QUILLON_API uintptr_t SetJSMemLimit(uintptr_t bytes);

/* Serial number of a live program space (100 for the first one). */
QUILLON_API uint32_t GetJSProgramSpaceSerial(JSProgramSpace *space);

#ifdef __cplusplus
}
#endif

#endif /* QUILLON_H */
