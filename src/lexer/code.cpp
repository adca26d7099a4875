// Token programs with their source: the run's own (borrowing the host's
// text) and the copies that functions keep of their definitions.
#include "lexer/code.h"

#include "lexer/lexer.h"
#include "runtime/memory.h"

namespace quillon {

namespace {

void (*gFreeCache)(Code *c) = nullptr;

uint32_t LineFeeds(const char *s, uint32_t n) {
    uint32_t lines = 0;
    for (uint32_t i = 0; i < n; ++i) lines += s[i] == '\n';
    return lines;
}

}  // namespace

void Code_SetCacheFree(void (*freeCache)(Code *c)) { gFreeCache = freeCache; }

Code *Code_NewRun(LexStore *store, ProgramSpace *space, uint32_t *codes, uint32_t *lens,
                  uint32_t count, const char *source, uint32_t sourceLen) {
    auto *c = static_cast<Code *>(Mem_AllocZero(sizeof(Code)));
    if (!c) {
        Arr_Free(codes);
        Arr_Free(lens);
        return nullptr;
    }
    c->refs = 1;
    c->count = count;
    c->codes = codes;
    c->lens = lens;
    c->source = source;
    c->sourceLen = sourceLen;
    c->firstLine = 1;
    c->store = store;
    c->space = space;
    return c;
}

Code *Code_NewCopy(const Code *parent, uint32_t from, uint32_t n) {
    if (from > parent->count) from = parent->count;
    if (n > parent->count - from) n = parent->count - from;
    auto *c = static_cast<Code *>(Mem_AllocZero(sizeof(Code)));
    if (!c) return nullptr;
    c->codes = static_cast<uint32_t *>(Arr_Alloc(sizeof(uint32_t), n + 1));
    c->lens = static_cast<uint32_t *>(Arr_Alloc(sizeof(uint32_t), n + 1));
    // The text from the first token's own start to the last token's own end.
    uint32_t s = 0, e = 0;
    if (n > 0) {
        uint32_t ignore;
        Lex_TokenText(parent->source, parent->codes, parent->lens, parent->codes + from, &s,
                      &ignore);
        Lex_TokenText(parent->source, parent->codes, parent->lens, parent->codes + from + n - 1,
                      &ignore, &e);
    }
    char *text = c->codes && c->lens ? Text_FromBytes(parent->source + s, e - s) : nullptr;
    if (!text) {
        Arr_Free(c->codes);
        Arr_Free(c->lens);
        Mem_Free(c);
        return nullptr;
    }
    for (uint32_t i = 0; i < n; ++i) {
        c->codes[i] = parent->codes[from + i];
        c->lens[i] = parent->lens[from + i];
    }
    c->codes[n] = 0;
    c->lens[n] = 0;
    if (n > 0) {
        // Lengths that sum up to the copied text: the first loses what lay
        // before its own text, the last what followed it.
        uint32_t span = Code_Offset(parent, from);
        c->lens[0] -= s - span;
        uint32_t lastStart = n == 1 ? s : Code_Offset(parent, from + n - 1);
        c->lens[n - 1] = e - lastStart;
        if (n == 1) c->lens[0] = e - s;
    }
    c->refs = 1;
    c->count = n;
    c->source = text;
    c->sourceLen = e - s;
    c->ownedSource = text;
    c->firstLine = parent->firstLine + LineFeeds(parent->source, s);
    c->store = parent->store;
    c->space = parent->space;
    Lex_Mark(c->store, c->codes);
    c->marked = true;
    return c;
}

void Code_Release(Code *c) {
    if (!c || --c->refs > 0) return;
    if (c->marked) Lex_Unmark(c->store, c->codes);
    if (gFreeCache) gFreeCache(c);
    Arr_Free(c->codes);
    Arr_Free(c->lens);
    Text_Release(c->ownedSource);
    Arr_Free(c->params);
    Mem_Free(c);
}

uint32_t Code_Offset(const Code *c, uint32_t i) {
    uint32_t s = 0;
    for (uint32_t k = 0; k < i; ++k) s += c->lens[k];
    return s;
}

}  // namespace quillon
