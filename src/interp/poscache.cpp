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

namespace {

struct Entry {
    uint32_t key;   // position * 4 + kind, +1 (0 marks an empty entry)
    uint32_t pad;
    void *value;
};

struct Cache {
    uint32_t count;
    uint32_t mask;
    Entry *entries;  // Arr_*
    uint32_t *groupEnds;
    uint32_t *statementEnds;
    uint32_t *resolveHints;
    uint32_t *formIndex;
    FormCell *formStore;
    uint32_t formUsed;
};
static_assert(sizeof(Cache) == sizeof(CodeCache) && offsetof(Cache, resolveHints) == offsetof(CodeCache, resolveHints) &&
                  offsetof(Cache, formUsed) == offsetof(CodeCache, formUsed),
              "the inline view of the caches matches");

Cache *CacheOf(Code *code) {
    auto *c = static_cast<Cache *>(code->cache);
    if (c) return c;
    c = static_cast<Cache *>(Mem_AllocZero(sizeof(Cache)));
    if (!c) return nullptr;
    c->entries = static_cast<Entry *>(Arr_Alloc(sizeof(Entry), 8));
    if (!c->entries) {
        Mem_Free(c);
        return nullptr;
    }
    for (uint32_t i = 0; i < 8; ++i) c->entries[i] = Entry{0, 0, nullptr};
    c->mask = 7;
    code->cache = c;
    return c;
}

uint32_t *JumpTable(Code *code, uint32_t *Cache::*which) {
    Cache *c = CacheOf(code);
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
    auto *c = static_cast<Cache *>(code->cache);
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

bool Insert(Entry *entries, uint32_t mask, uint32_t key, void *value) {
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
    auto *c = static_cast<const Cache *>(code->cache);
    if (!c) return nullptr;
    uint32_t key = KeyOf(kind, pos);
    uint32_t slot = (key * 2654435761u) & c->mask;
    for (;;) {
        const Entry &e = c->entries[slot];
        if (e.key == key) return e.value;
        if (!e.key) return nullptr;
        slot = (slot + 1) & c->mask;
    }
}

bool Cache_Put(Code *code, CacheKind kind, uint32_t pos, void *value) {
    Cache *c = CacheOf(code);
    if (!c) return false;
    if ((c->count + 1) * 2 > c->mask + 1) {
        uint32_t size = (c->mask + 1) * 2;
        auto *fresh = static_cast<Entry *>(Arr_Alloc(sizeof(Entry), size));
        if (!fresh) return false;
        for (uint32_t i = 0; i < size; ++i) fresh[i] = Entry{0, 0, nullptr};
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

uint32_t *Cache_GroupEnds(Code *code) { return JumpTable(code, &Cache::groupEnds); }
uint32_t *Cache_StatementEnds(Code *code) { return JumpTable(code, &Cache::statementEnds); }
uint32_t *Cache_ResolveHints(Code *code) { return JumpTable(code, &Cache::resolveHints); }
uint32_t *Cache_FormIndex(Code *code) { return JumpTable(code, &Cache::formIndex); }

FormCell **Cache_FormStore(Code *code, uint32_t **used) {
    Cache *c = CacheOf(code);
    if (!c) return nullptr;
    *used = &c->formUsed;
    return &c->formStore;
}

}  // namespace quillon
