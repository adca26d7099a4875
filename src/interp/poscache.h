// Caches the interpreter keeps with a token program, keyed by token
// position: the Code of a function defined there, the declarations a
// statement list holds. Computed on first use, freed with the program.
#pragma once
#include <cstdint>

#include "lexer/code.h"

namespace quillon {

enum class CacheKind : uint8_t {
    FunctionCode,   // value: Code * of the function defined at the position (counted)
    Declarations,   // value: Arr_* of uint32_t offsets (first element: count)
};

// The cached value, or null.
void *Cache_Get(const Code *code, CacheKind kind, uint32_t pos);
// Stores a value (the cache takes it over); false when out of memory (the
// caller then keeps ownership).
bool Cache_Put(Code *code, CacheKind kind, uint32_t pos, void *value);
// Installs the hook that frees a Code's caches.
void Cache_Install();

// Where the bracketed group opened at token i ends (the position after its
// closer), and where the statement starting at token i ends, remembered per
// token: 0 means not known yet. Null when the table cannot be made.
uint32_t *Cache_GroupEnds(Code *code);
uint32_t *Cache_StatementEnds(Code *code);
// How the identifier at token i was last resolved (see Ev_Resolve).
uint32_t *Cache_ResolveHints(Code *code);
// What is known of the expression at token i (see interp/forms.h).
uint32_t *Cache_FormIndex(Code *code);

struct FormCell;
struct CacheEntry;

// The caches of one Code (its `cache` word).
struct CodeCache {
    uint32_t count;
    uint32_t mask;
    CacheEntry *entries;      // Arr_*: the hash from (position, kind)
    uint32_t *groupEnds;      // Arr_*, one per token, or null
    uint32_t *statementEnds;  // Arr_*, one per token, or null
    uint32_t *resolveHints;   // Arr_*, one per token, or null
    uint32_t *formIndex;      // Arr_*, one per token, or null
    FormCell *formStore;      // Arr_* of 16-byte cells (interp/forms.cpp), or null
    uint32_t formUsed;        // cells of formStore in use
};

// The caches of a Code, made when it has none yet; null when out of memory.
CodeCache *Cache_Of(Code *code);

// A Code's per-token table `which`, made by `make` (one of the four above)
// when it does not exist yet; null when it cannot be made. A table, once
// made, stays at one address for the life of its Code, so it is read
// straight from the caches from then on.
inline uint32_t *Cache_Table(Code *code, uint32_t *CodeCache::*which, uint32_t *(*make)(Code *)) {
    auto *caches = static_cast<CodeCache *>(code->cache);
    uint32_t *t = caches ? caches->*which : nullptr;
    return t ? t : make(code);
}

}  // namespace quillon
