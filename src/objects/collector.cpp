// Reclamation of objects: reference counting with root buffering, and the
// trial-deletion cycle collector run when a program space is destroyed.
// Nothing here recurses along object references: freeing and every phase of
// the collector work through explicit stacks, so long chains and deep graphs
// cannot overflow the machine stack.
#include "objects/children.h"
#include "objects/collector.h"
#include "objects/elements.h"
#include "objects/props.h"
#include "values/space.h"
#include "lexer/code.h"
#include "platform/debuglog.h"

namespace quillon {

namespace {

Object *gRoots = nullptr;       // head of the root list
Object *gFreeStack = nullptr;   // objects whose count reached 0, waiting to be freed
bool gFreeing = false;
const RegExpHooks *gHooks = nullptr;

void Unroot(Object *o) {
    if (o->prev) o->prev->next = o->next; else gRoots = o->next;
    if (o->next) o->next->prev = o->prev;
    o->next = o->prev = nullptr;
    o->buffered = 0;
}

void Root(Object *o) {
    o->buffered = 1;
    o->prev = nullptr;
    o->next = gRoots;
    if (gRoots) gRoots->prev = o;
    gRoots = o;
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
    if (releaseObjects) {
        Elems_FreeAll(o);
        Props_FreeAll(o);
    } else {
        Obj_ForEachValue(o, [](JSAny *v) {
            if (v->type == JSANY_OBJECT) v->type = JSANY_UNDEFINED;
        });
        Elems_FreeAll(o);
        Props_FreeAll(o);
    }
    Mem_Free(o);
}

// Intrusive stacks through the objects' own link fields: the collector
// allocates nothing, so it cannot fail half-way with counts disturbed.
struct WorkStack {
    Object *top = nullptr;
    Object *Object::*link;
    explicit WorkStack(Object *Object::*l) : link(l) {}
    void Push(Object *o) {
        o->*link = top;
        top = o;
    }
    Object *Pop() {
        Object *o = top;
        if (o) {
            top = o->*link;
            o->*link = nullptr;
        }
        return o;
    }
};

void MarkGray(Object *root) {
    if (root->colour == COL_GRAY) return;
    WorkStack st(&Object::work);
    root->colour = COL_GRAY;
    st.Push(root);
    while (Object *s = st.Pop()) {
        Obj_ForEachChild(s, [&](Object *t) {
            --t->refs;
            if (t->colour != COL_GRAY) {
                t->colour = COL_GRAY;
                st.Push(t);
            }
        });
    }
}

void ScanBlack(Object *root) {
    WorkStack st(&Object::work2);
    root->colour = COL_BLACK;
    st.Push(root);
    while (Object *s = st.Pop()) {
        Obj_ForEachChild(s, [&](Object *t) {
            ++t->refs;
            if (t->colour != COL_BLACK) {
                t->colour = COL_BLACK;
                st.Push(t);
            }
        });
    }
}

void Scan(Object *root) {
    if (root->colour != COL_GRAY) return;
    WorkStack st(&Object::work);
    root->queued = 1;
    st.Push(root);
    while (Object *s = st.Pop()) {
        s->queued = 0;
        if (s->colour != COL_GRAY) continue;
        if (s->refs > 0) {
            ScanBlack(s);
        } else {
            s->colour = COL_WHITE;
            Obj_ForEachChild(s, [&](Object *t) {
                if (t->colour == COL_GRAY && !t->queued) {
                    t->queued = 1;
                    st.Push(t);
                }
            });
        }
    }
}

// Gathers the white garbage reachable from a white root (not through roots
// still buffered) onto the garbage chain.
void CollectWhite(Object *root, WorkStack &garbage) {
    WorkStack st(&Object::work);
    root->colour = COL_BLACK;
    st.Push(root);
    while (Object *s = st.Pop()) {
        garbage.Push(s);
        Obj_ForEachChild(s, [&](Object *t) {
            if (t->colour == COL_WHITE && !t->buffered) {
                t->colour = COL_BLACK;
                st.Push(t);
            }
        });
    }
}

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

long Obj_RootCount() {
    long n = 0;
    for (Object *o = gRoots; o; o = o->next) ++n;
    return n;
}

void Obj_CollectCycles() {
    // Mark: trial-delete the references inside the subgraphs of purple roots.
    for (Object *o = gRoots; o;) {
        Object *next = o->next;
        if (o->colour == COL_PURPLE) {
            MarkGray(o);
        } else {
            Unroot(o);
            if (o->refs == 0 && o->colour == COL_BLACK) {
                Plat_DebugPrintf("********** MarkRoots disposing %08lx\n",
                                 static_cast<unsigned long>(reinterpret_cast<uintptr_t>(o)));
                Dispose(o, true);
            }
        }
        o = next;
    }
    // Scan: what is still referenced from outside is restored.
    for (Object *o = gRoots; o; o = o->next) Scan(o);
    // Collect: the white remainder is garbage.
    WorkStack garbage(&Object::work2);
    for (Object *o = gRoots; o; o = o->next) {
        o->buffered = 0;
        if (o->colour == COL_WHITE) CollectWhite(o, garbage);
    }
    for (Object *o = gRoots; o;) {
        Object *next = o->next;
        o->next = o->prev = nullptr;
        o->buffered = 0;
        o = next;
    }
    gRoots = nullptr;
    while (Object *o = garbage.Pop()) Dispose(o, false);
}

}  // namespace quillon
