// The library's memory pool: the one place where interpreter memory comes
// from. Blocks are carved from the process heap; a failure switch lets tests
// make the Nth allocation (or every allocation after the Nth) fail.
#pragma once
#include <cstddef>
#include <cstdint>

namespace quillon {

bool Pool_Create();
void Pool_Delete();

// Returns null when the pool cannot supply the block (or the failure switch
// says so). Blocks are 16-byte aligned.
void *Pool_AllocSlow(size_t size);
void Pool_FreeSlow(void *block, size_t size);

// Small blocks come from free lists of 16-byte size classes; taking one
// that a list holds, and giving one back, are inline (the interpreter does
// both for every object, property store and string it makes and drops).
// Everything else, and every allocation while the failure switch is set,
// goes through the calls above.
namespace pool {
constexpr size_t kGrain = 16;
constexpr size_t kLargest = 512;
struct FreeBlock {
    FreeBlock *next;
};
extern FreeBlock *gFree[kLargest / kGrain];
extern uint64_t gAllocs;
extern bool gFastOff;  // the failure switch is set, or blocks come from the C library
inline size_t ClassOf(size_t size) { return (size + kGrain - 1) / kGrain - 1; }
}  // namespace pool

inline void *Pool_Alloc(size_t size) {
    if (size - 1 < pool::kLargest && !pool::gFastOff) {
        if (pool::FreeBlock *b = pool::gFree[pool::ClassOf(size)]) {
            ++pool::gAllocs;
            pool::gFree[pool::ClassOf(size)] = b->next;
            return b;
        }
    }
    return Pool_AllocSlow(size);
}
inline void Pool_Free(void *block, size_t size) {
    if (size - 1 < pool::kLargest && !pool::gFastOff) {
        auto *b = static_cast<pool::FreeBlock *>(block);
        b->next = pool::gFree[pool::ClassOf(size)];
        pool::gFree[pool::ClassOf(size)] = b;
        return;
    }
    Pool_FreeSlow(block, size);
}
// A block of newSize bytes holding the first bytes of the old one, which is
// given back; big blocks are handed to the C library's realloc (no second
// copy alive at once). Null (the old block as it was) when memory ran out.
// Counts as an allocation for the failure switch.
void *Pool_Realloc(void *block, size_t oldSize, size_t newSize);

// Failure switch for tests. Pool_FailNth(n): the nth allocation from now
// fails once (n >= 1; 0 turns the switch off). Pool_FailAfter(n): every
// allocation after the next n succeeds fails until the switch is turned off.
void Pool_FailNth(uint64_t n);
void Pool_FailAfter(uint64_t n);
void Pool_FailOff();
// Number of allocations the switch has failed since it was last set.
uint64_t Pool_FailedCount();
// Number of allocation requests since the pool was created.
uint64_t Pool_AllocCount();

}  // namespace quillon
