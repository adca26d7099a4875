// The object references an object holds: what reclamation follows.
#pragma once
#include "objects/function.h"
#include "objects/object.h"

namespace quillon {

// Calls fn(Object *) for every object the record references: its prototype,
// the parts of its kind, and every element and property value that is an
// object.
template <class F>
void Obj_ForEachChild(Object *o, F fn) {
    if (o->prototype) fn(o->prototype);
    switch (o->kind) {
    case ObjKind::Native:
    case ObjKind::Script:
    case ObjKind::Bound: {
        auto *f = static_cast<Function *>(o);
        if (f->prototypeObject) fn(f->prototypeObject);
        if (o->kind == ObjKind::Script) {
            auto *s = static_cast<ScriptFunction *>(o);
            if (s->enclosing) fn(s->enclosing);
            if (s->kept) fn(s->kept);
        } else if (o->kind == ObjKind::Bound) {
            auto *b = static_cast<BoundFunction *>(o);
            if (b->target) fn(b->target);
            if (b->boundThis) fn(b->boundThis);
        }
        break;
    }
    case ObjKind::Arguments: {
        auto *a = static_cast<ArgumentsObject *>(o);
        if (a->invoked) fn(a->invoked);
        if (a->caller) fn(a->caller);
        break;
    }
    case ObjKind::Activation: {
        auto *a = static_cast<Activation *>(o);
        if (a->enclosing) fn(a->enclosing);
        if (a->arguments) fn(a->arguments);
        for (LocalChunk *c = &a->first; c; c = c->next)
            for (uint32_t i = 0; i < c->used; ++i)
                if (c->items[i].value.type == JSANY_OBJECT && c->items[i].value.obj)
                    fn(c->items[i].value.obj);
        break;
    }
    default:
        break;
    }
    Obj_ForEachValue(o, [&](JSAny *v) {
        if (v->type == JSANY_OBJECT && v->obj) fn(v->obj);
    });
}

}  // namespace quillon
