// The list of live program spaces, in the order they were made (handles
// from hosts are checked against it before anything is read through it),
// and the short strings of the match state.
#include "values/space.h"

namespace quillon {

namespace {

ProgramSpace *gFirst = nullptr;
ProgramSpace *gLast = nullptr;

char gEmptyText[1] = {0};

}  // namespace

void Space_InitShort(ShortStr *s) {
    s->state = -1;
    s->chars = gEmptyText;
    s->len = 0;
}

void Space_ClearShort(ShortStr *s) {
    if (s->state != -1 && s->chars) Text_Release(s->chars);
    Space_InitShort(s);
}

bool Space_CopyShort(ShortStr *s, const char *text, uint32_t len) {
    char *t = Text_FromBytes(text, len);
    if (!t) return false;
    Space_ClearShort(s);
    s->state = 0;
    s->chars = t;
    s->len = len;
    return true;
}

void Space_Link(ProgramSpace *s) {
    s->next = nullptr;
    s->prev = gLast;
    if (gLast) gLast->next = s; else gFirst = s;
    gLast = s;
}

void Space_Unlink(ProgramSpace *s) {
    if (s->prev) s->prev->next = s->next; else if (gFirst == s) gFirst = s->next;
    if (s->next) s->next->prev = s->prev; else if (gLast == s) gLast = s->prev;
    s->next = s->prev = nullptr;
}

bool Space_IsLive(const ProgramSpace *space) {
    if (!space) return false;
    for (ProgramSpace *s = gFirst; s; s = s->next)
        if (s == space) return s->magic == JSPS_MAGIC;
    return false;
}

bool Space_AnyRunning() {
    for (ProgramSpace *s = gFirst; s; s = s->next)
        if (s->runs) return true;
    return false;
}

}  // namespace quillon
