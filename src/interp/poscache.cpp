// The position caches of a token program: a small open-addressed hash from
// (position, kind) to a pointer, and the jump tables (one word per token)
// made on first use. Everything hangs off the Code's cache pointer and is
// freed by its free hook, so it never outlives the program.
#include "interp/poscache.h"

#include "lexer/code.h"
#include <cstddef>
#include <cstring>

#include "runtime/memory.h"

namespace quillon {

struct CacheEntry {
    uint32_t key;   // position * 4 + kind, +1 (0 marks an empty entry)
    uint32_t pad;
    void *value;
};

CodeCache *Cache_Of(Code *code) {
    auto *c = static_cast<CodeCache *>(code->cache);
    if (c) return c;
    c = static_cast<CodeCache *>(Mem_AllocZero(sizeof(CodeCache)));
    if (!c) return nullptr;
    c->entries = static_cast<CacheEntry *>(Arr_Alloc(sizeof(CacheEntry), 8));
    if (!c->entries) {
        Mem_Free(c);
        return nullptr;
    }
    for (uint32_t i = 0; i < 8; ++i) c->entries[i] = CacheEntry{0, 0, nullptr};
    c->mask = 7;
    code->cache = c;
    return c;
}

namespace {

uint32_t *JumpTable(Code *code, uint32_t *CodeCache::*which) {
    CodeCache *c = Cache_Of(code);
    if (!c) return nullptr;
    if (!(c->*which)) {
        auto *t = static_cast<uint32_t *>(Arr_Alloc(sizeof(uint32_t), code->count + 1));
        if (!t) return nullptr;
        std::memset(t, 0, sizeof(uint32_t) * (code->count + 1));
        c->*which = t;
    }
    return c->*which;
}

inline uint32_t KeyOf(CacheKind kind, uint32_t pos) { return (pos * 4 + static_cast<uint32_t>(kind)) + 1; }

void FreeValue(uint32_t key, void *value) {
    auto kind = static_cast<CacheKind>((key - 1) & 3);
    if (kind == CacheKind::FunctionCode) Code_Release(static_cast<Code *>(value));
    else Arr_Free(value);
}

void FreeCache(Code *code) {
    auto *c = static_cast<CodeCache *>(code->cache);
    if (!c) return;
    code->cache = nullptr;
    for (uint32_t i = 0; i <= c->mask; ++i)
        if (c->entries[i].key) FreeValue(c->entries[i].key, c->entries[i].value);
    Arr_Free(c->entries);
    Arr_Free(c->groupEnds);
    Arr_Free(c->statementEnds);
    Arr_Free(c->resolveHints);
    Arr_Free(c->formIndex);
    Arr_Free(c->formStore);
    Mem_Free(c);
}

bool Insert(CacheEntry *entries, uint32_t mask, uint32_t key, void *value) {
    uint32_t slot = (key * 2654435761u) & mask;
    while (entries[slot].key) {
        if (entries[slot].key == key) return false;
        slot = (slot + 1) & mask;
    }
    entries[slot].key = key;
    entries[slot].value = value;
    return true;
}

}  // namespace

void *Cache_Get(const Code *code, CacheKind kind, uint32_t pos) {
    auto *c = static_cast<const CodeCache *>(code->cache);
    if (!c) return nullptr;
    uint32_t key = KeyOf(kind, pos);
    uint32_t slot = (key * 2654435761u) & c->mask;
    for (;;) {
        const CacheEntry &e = c->entries[slot];
        if (e.key == key) return e.value;
        if (!e.key) return nullptr;
        slot = (slot + 1) & c->mask;
    }
}

bool Cache_Put(Code *code, CacheKind kind, uint32_t pos, void *value) {
    CodeCache *c = Cache_Of(code);
    if (!c) return false;
    if ((c->count + 1) * 2 > c->mask + 1) {
        uint32_t size = (c->mask + 1) * 2;
        auto *fresh = static_cast<CacheEntry *>(Arr_Alloc(sizeof(CacheEntry), size));
        if (!fresh) return false;
        for (uint32_t i = 0; i < size; ++i) fresh[i] = CacheEntry{0, 0, nullptr};
        for (uint32_t i = 0; i <= c->mask; ++i)
            if (c->entries[i].key) Insert(fresh, size - 1, c->entries[i].key, c->entries[i].value);
        Arr_Free(c->entries);
        c->entries = fresh;
        c->mask = size - 1;
    }
    if (!Insert(c->entries, c->mask, KeyOf(kind, pos), value)) return false;
    ++c->count;
    return true;
}

void Cache_Install() { Code_SetCacheFree(FreeCache); }

uint32_t *Cache_GroupEnds(Code *code) { return JumpTable(code, &CodeCache::groupEnds); }
uint32_t *Cache_StatementEnds(Code *code) { return JumpTable(code, &CodeCache::statementEnds); }
uint32_t *Cache_ResolveHints(Code *code) { return JumpTable(code, &CodeCache::resolveHints); }
uint32_t *Cache_FormIndex(Code *code) { return JumpTable(code, &CodeCache::formIndex); }


}  // namespace quillon
