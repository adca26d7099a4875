// Reclamation of objects: reference counting with root buffering, and the
// trial-deletion cycle collector. The collector runs when a program space is
// destroyed and, while scripts run, at the interpreter's safe points once
// the root list has grown past a threshold (see Obj_CollectAtSafePoint).
//
// Nothing here recurses along object references: freeing and every phase of
// the collector work through explicit stacks, so long chains and deep graphs
// cannot overflow the machine stack. The collector's stacks are intrusive:
// during a collection the root list is walked through `next` alone, which
// frees `prev` of every object to link its work stack, and garbage is
// chained through `next` once the roots are dealt with. So a collection
// allocates nothing and cannot fail half-way with counts disturbed.
//
// Between its first phase and the end of its third, counts are trial values:
// nothing may run then that reads or changes them. The phases call nothing
// outside this file; freeing the garbage (which may reach host hooks through
// the program objects it held) comes after every count is true again.
#include "objects/children.h"
#include "objects/collector.h"
#include "objects/elements.h"
#include "objects/props.h"
#include "values/space.h"
#include "lexer/code.h"
#include "platform/debuglog.h"
#include "runtime/hookguard.h"

namespace quillon {

bool gObjCollectDue = false;

namespace {

// The root list must grow to this many entries before a collection runs
// during a run; after each collection the threshold is the larger of this
// and the number of live objects that collection had to look at, so the
// time spent stays in proportion to the work of the scripts.
constexpr uint32_t kRootFloor = 4096;

Object *gRoots = nullptr;       // head of the root list
uint32_t gRootCount = 0;
uint32_t gThreshold = kRootFloor;
Object *gFreeStack = nullptr;   // objects whose count reached 0, waiting to be freed
bool gFreeing = false;
bool gCollecting = false;       // a collection is under way (its garbage may still be going)
bool gFullWanted = false;       // a space was destroyed while no collection could run
bool gEvery = false;            // test switch: collect at every safe point
uint64_t gEveryUntil = 0;       // ... until this many objects were examined (0: always)
CollectorStats gStats;
const RegExpHooks *gHooks = nullptr;

// Walk state of the scan phase, in the `queued` byte.
constexpr uint8_t kQueued = 1;   // on the stack
constexpr uint8_t kRestore = 2;  // turned black; its children's counts still to restore

void Unroot(Object *o) {
    if (o->prev) o->prev->next = o->next; else gRoots = o->next;
    if (o->next) o->next->prev = o->prev;
    o->next = o->prev = nullptr;
    o->buffered = 0;
    --gRootCount;
}

void Root(Object *o) {
    o->buffered = 1;
    o->prev = nullptr;
    o->next = gRoots;
    if (gRoots) gRoots->prev = o;
    gRoots = o;
    if (++gRootCount >= gThreshold) gObjCollectDue = true;
}

inline void DropObject(Object **slot, bool releaseObjects) {
    Object *o = *slot;
    *slot = nullptr;
    if (o && releaseObjects) Obj_Release(o);
}

// Empties a record of everything it holds and frees it.
void Dispose(Object *o, bool releaseObjects) {
    switch (o->kind) {
    case ObjKind::Native:
    case ObjKind::Script:
    case ObjKind::Bound: {
        auto *f = static_cast<Function *>(o);
        DropObject(&f->prototypeObject, releaseObjects);
        if (o->kind != ObjKind::Script && f->space) Fn_Unlink(f, &f->space->natives);
        if (o->kind == ObjKind::Script) {
            auto *s = static_cast<ScriptFunction *>(o);
            Fn_DisposeScript(s);  // tokens, source text, list link
            Object *enclosing = s->enclosing, *kept = s->kept;
            s->enclosing = nullptr;
            s->kept = nullptr;
            DropObject(&enclosing, releaseObjects);
            DropObject(&kept, releaseObjects);
        } else if (o->kind == ObjKind::Bound) {
            auto *b = static_cast<BoundFunction *>(o);
            f->entry = Fn_NotImplemented;
            f->name = "";
            Text_Release(b->ownedName);
            b->ownedName = nullptr;
            Object *t = b->target, *th = b->boundThis;
            b->target = nullptr;
            b->boundThis = nullptr;
            DropObject(&t, releaseObjects);
            DropObject(&th, releaseObjects);
        }
        break;
    }
    case ObjKind::Activation: {
        auto *a = static_cast<Activation *>(o);
        Act_ClearLocals(a, releaseObjects);
        Object *enc = a->enclosing, *args = a->arguments;
        a->function = nullptr;
        a->enclosing = nullptr;
        a->arguments = nullptr;
        if (a->code) {
            Code *c = a->code;
            a->code = nullptr;
            Code_Release(c);
        }
        DropObject(&enc, releaseObjects);
        DropObject(&args, releaseObjects);
        break;
    }
    case ObjKind::Arguments: {
        auto *a = static_cast<ArgumentsObject *>(o);
        Object *inv = a->invoked, *cal = a->caller;
        a->invoked = nullptr;
        a->caller = nullptr;
        DropObject(&inv, releaseObjects);
        DropObject(&cal, releaseObjects);
        break;
    }
    case ObjKind::RegExp:
        if (gHooks && gHooks->finalize) gHooks->finalize(o);
        break;
    default:
        break;
    }
    DropObject(&o->prototype, releaseObjects);
    if (!releaseObjects) {
        // Garbage: the counts of what it refers to already leave it out.
        Obj_ForEachValue(o, [](JSAny *v) {
            if (v->type == JSANY_OBJECT) v->type = JSANY_UNDEFINED;
        });
    }
    Elems_FreeAll(o);
    Props_FreeAll(o);
    Mem_Free(o);
}

// A stack linked through the objects' `prev` fields (free during a
// collection).
struct WorkStack {
    Object *top = nullptr;
    void Push(Object *o) {
        o->prev = top;
        top = o;
    }
    Object *Pop() {
        Object *o = top;
        if (o) {
            top = o->prev;
            o->prev = nullptr;
        }
        return o;
    }
};

// Trial deletion: takes the references inside the graph below a purple root
// off the counts. Returns the number of objects coloured gray.
uint32_t MarkGray(Object *root) {
    if (root->colour == COL_GRAY) return 0;
    uint32_t n = 1;
    WorkStack st;
    root->colour = COL_GRAY;
    st.Push(root);
    while (Object *s = st.Pop()) {
        Obj_ForEachChild(s, [&](Object *t) {
            --t->refs;
            if (t->colour != COL_GRAY) {
                t->colour = COL_GRAY;
                st.Push(t);
                ++n;
            }
        });
    }
    return n;
}

// Decides the gray graph below a root: an object still counted from
// outside turns black and gives its children their counts back (they turn
// black too); the rest turn white. One stack serves both walks: an object is
// on it at most once at a time, and what it needs when taken off is read
// from its state, not from the entry.
void Scan(Object *root) {
    if (root->colour != COL_GRAY) return;
    WorkStack st;
    root->queued = kQueued;
    st.Push(root);
    auto turnBlack = [&](Object *t) {
        t->colour = COL_BLACK;
        t->queued |= kRestore;
        if (!(t->queued & kQueued)) {
            t->queued |= kQueued;
            st.Push(t);
        }
    };
    while (Object *s = st.Pop()) {
        s->queued &= static_cast<uint8_t>(~kQueued);
        if (s->colour == COL_GRAY && s->refs > 0) {
            s->colour = COL_BLACK;
            s->queued |= kRestore;
        }
        if (s->queued & kRestore) {
            s->queued = 0;
            Obj_ForEachChild(s, [&](Object *t) {
                ++t->refs;
                if (t->colour != COL_BLACK) turnBlack(t);
            });
        } else if (s->colour == COL_GRAY) {
            s->colour = COL_WHITE;
            Obj_ForEachChild(s, [&](Object *t) {
                if (t->colour == COL_GRAY && !(t->queued & kQueued)) {
                    t->queued |= kQueued;
                    st.Push(t);
                }
            });
        }
    }
}

// Chains the white garbage reachable from a white root (not through roots
// still buffered: those are gathered from their own turn) onto *garbage
// through `next`. Returns the number of objects chained.
uint32_t CollectWhite(Object *root, Object **garbage) {
    uint32_t n = 0;
    WorkStack st;
    root->colour = COL_BLACK;
    st.Push(root);
    while (Object *s = st.Pop()) {
        s->next = *garbage;
        *garbage = s;
        ++n;
        Obj_ForEachChild(s, [&](Object *t) {
            if (t->colour == COL_WHITE && !t->buffered) {
                t->colour = COL_BLACK;
                st.Push(t);
            }
        });
    }
    return n;
}

// One collection over the whole root list.
void Collect() {
    gCollecting = true;
    ++gStats.collections;
    Object *list = gRoots;
    gRoots = nullptr;
    gRootCount = 0;
    for (Object *o = list; o; o = o->next) o->prev = nullptr;
    // Mark: trial-delete the references inside the subgraphs of purple
    // roots; roots touched again since they were buffered are in use and
    // leave the list.
    uint32_t grayed = 0;
    Object *stray = nullptr;  // buffered with a count of 0: never expected
    for (Object **pp = &list; Object *o = *pp;) {
        if (o->colour == COL_PURPLE) {
            grayed += MarkGray(o);
            pp = &o->next;
            continue;
        }
        *pp = o->next;
        o->buffered = 0;
        o->next = nullptr;
        if (o->refs == 0 && o->colour == COL_BLACK) {
            o->next = stray;
            stray = o;
        }
    }
    // Scan: what is still referenced from outside is restored.
    for (Object *o = list; o; o = o->next) Scan(o);
    // Collect: the white remainder is garbage. Each root leaves the list as
    // it is reached, before its `next` is reused for the garbage chain.
    Object *garbage = nullptr;
    uint32_t freed = 0;
    for (Object *o = list; o;) {
        Object *next = o->next;
        o->next = nullptr;
        o->buffered = 0;
        if (o->colour == COL_WHITE) freed += CollectWhite(o, &garbage);
        o = next;
    }
    // Every count is true again. The next collection during a run waits
    // for at least as many roots as live objects this one looked at.
    uint32_t live = grayed - freed;
    gThreshold = live > kRootFloor ? live : kRootFloor;
    gStats.examined += grayed;
    gStats.freed += freed;
    while (Object *o = stray) {
        stray = o->next;
        o->next = nullptr;
        Plat_DebugPrintf("********** MarkRoots disposing %08lx\n",
                         static_cast<unsigned long>(reinterpret_cast<uintptr_t>(o)));
        Dispose(o, true);
    }
    while (Object *o = garbage) {
        garbage = o->next;
        o->next = nullptr;
        Dispose(o, false);
    }
    gCollecting = false;
}

inline bool Every() { return gEvery && (gEveryUntil == 0 || gStats.examined < gEveryUntil); }
inline void SetDue() { gObjCollectDue = Every() || gFullWanted || gRootCount >= gThreshold; }

}  // namespace

void Collector_SetRegExpHooks(const RegExpHooks *hooks) { gHooks = hooks; }

void Obj_Buffer(Object *o) { Root(o); }

void Obj_Free(Object *o) {
    o->refs = 0;
    if (o->buffered) Unroot(o);
    o->next = gFreeStack;
    gFreeStack = o;
    if (gFreeing) return;
    gFreeing = true;
    while (Object *x = gFreeStack) {
        gFreeStack = x->next;
        x->next = nullptr;
        Dispose(x, true);
    }
    gFreeing = false;
}

long Obj_RootCount() { return static_cast<long>(gRootCount); }

void Obj_CollectCycles() {
    // During a collection (a hook reached from its freeing destroyed a
    // space), or inside a hook, where the library may be anywhere with
    // values held only by its locals: the collection waits for the next
    // safe point, or for the end of the collection under way.
    if (gCollecting || gHookDepth) {
        gFullWanted = true;
        gObjCollectDue = true;
        return;
    }
    do {
        gFullWanted = false;
        Collect();
    } while (gFullWanted);
    SetDue();
}

void Obj_CollectAtSafePoint() {
    // A collection under way (a hook run from its freeing reached a safe
    // point of its own) or a hook in progress: the collection waits.
    if (gCollecting || gHookDepth) return;
    do {
        gFullWanted = false;
        if (gRootCount) Collect();
    } while (gFullWanted);
    SetDue();
}

void Collector_SetEverySafePoint(bool on, uint64_t budget) {
    gEvery = on;
    gEveryUntil = budget ? gStats.examined + budget : 0;
    SetDue();
}

CollectorStats Collector_Stats() { return gStats; }

void Collector_Reset() {
    gRoots = nullptr;
    gRootCount = 0;
    gThreshold = kRootFloor;
    gFreeStack = nullptr;
    gFreeing = gCollecting = gFullWanted = false;
    gStats = CollectorStats{};
    SetDue();
}

}  // namespace quillon
