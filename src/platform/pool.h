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
void *Pool_Alloc(size_t size);
void Pool_Free(void *block, size_t size);
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
