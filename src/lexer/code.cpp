// Token programs with their source: the run's own (borrowing the host's
// text) and the copies that functions keep of their definitions.
#include "lexer/code.h"

#include <cstdlib>

#include "lexer/lexstate.h"
#include "runtime/memory.h"

namespace quillon {

namespace {

void (*gFreeCache)(Code *c) = nullptr;

uint32_t LineFeeds(const char *s, uint32_t from, uint32_t to) {
    uint32_t lines = 0;
    for (uint32_t i = from; i < to; ++i) lines += s[i] == '\n';
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
    // The text from the first token's own start to the last token's own end,
    // with the offsets found in one pass.
    uint32_t lines = 0;
    uint32_t span = Code_Locate(parent, from, &lines);
    uint32_t lastStart = span;
    for (uint32_t i = from; i + 1 < from + n; ++i) lastStart += parent->lens[i];
    uint32_t s = span, e = span, ignore;
    if (n > 0) {
        Lex_OwnText(parent->source, parent->codes[from], span, parent->lens[from], from == 0, &s,
                    &ignore);
        uint32_t last = from + n - 1;
        Lex_OwnText(parent->source, parent->codes[last], lastStart, parent->lens[last],
                    last == 0, &ignore, &e);
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
        c->lens[0] -= s - span;
        c->lens[n - 1] = e - (n == 1 ? s : lastStart);
    }
    c->refs = 1;
    c->count = n;
    c->source = text;
    c->sourceLen = e - s;
    c->ownedSource = text;
    c->firstLine = parent->firstLine + lines + LineFeeds(parent->source, span, s);
    c->store = parent->store;
    c->space = parent->space;
    Lex_Mark(c->store, c->codes);
    c->marked = true;
    c->markedPrev = nullptr;
    c->markedNext = c->store->marked;
    if (c->store->marked) c->store->marked->markedPrev = c;
    c->store->marked = c;
    return c;
}

void Code_Release(Code *c) {
    if (!c || --c->refs > 0) return;
    if (c->marked) {
        Lex_Unmark(c->store, c->codes);
        if (c->markedPrev) c->markedPrev->markedNext = c->markedNext;
        else c->store->marked = c->markedNext;
        if (c->markedNext) c->markedNext->markedPrev = c->markedPrev;
    }
    if (gFreeCache) gFreeCache(c);
#ifdef QUILLON_CHECKS
    std::free(c->extents);
#endif
    Arr_Free(c->codes);
    Arr_Free(c->lens);
    Text_Release(c->ownedSource);
    Arr_Free(c->params);
    Mem_Free(c);
}

uint32_t Code_Locate(const Code *c, uint32_t i, uint32_t *lineFeeds) {
    if (i > c->count) i = c->count;
    uint32_t k = 0, offset = 0, lines = 0;
    if (c->cursorTok <= i) {
        k = c->cursorTok;
        offset = c->cursorOffset;
        lines = c->cursorLines;
    }
    uint32_t from = offset;
    for (; k < i; ++k) offset += c->lens[k];
    if (c->source) lines += LineFeeds(c->source, from, offset);
    c->cursorTok = i;
    c->cursorOffset = offset;
    c->cursorLines = lines;
    if (lineFeeds) *lineFeeds = lines;
    return offset;
}

uint32_t Code_Offset(const Code *c, uint32_t i) { return Code_Locate(c, i, nullptr); }

void Code_TokenText(const Code *c, uint32_t i, uint32_t *start, uint32_t *end) {
    if (i > c->count) i = c->count;
    uint32_t span = Code_Offset(c, i);
    Lex_OwnText(c->source, c->codes[i], span, c->lens[i], i == 0, start, end);
}

uint32_t Code_LineAt(const Code *c, uint32_t offset) {
    // The token whose span holds the offset is found from the cursor on.
    uint32_t k = 0, at = 0;
    if (c->cursorOffset <= offset) {
        k = c->cursorTok;
        at = c->cursorOffset;
    }
    while (k < c->count && at + c->lens[k] <= offset) at += c->lens[k++];
    uint32_t lines = 0;
    Code_Locate(c, k, &lines);
    if (offset > c->sourceLen) offset = c->sourceLen;
    return c->firstLine + lines + (c->source ? LineFeeds(c->source, at, offset) : 0);
}

}  // namespace quillon
