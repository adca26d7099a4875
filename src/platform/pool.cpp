#include "platform/pool.h"

#include <cstdlib>

namespace quillon {

namespace {

bool gOpen = false;
uint64_t gAllocs = 0;
// Failure switch: when gFailAt is non-zero, the allocation whose request
// number equals gFailAt fails; with gFailRepeat every later one fails too.
uint64_t gFailAt = 0;
bool gFailRepeat = false;
uint64_t gFailed = 0;

}  // namespace

bool Pool_Create() {
    gOpen = true;
    gAllocs = 0;
    return true;
}

void Pool_Delete() { gOpen = false; }

bool Pool_IsOpen() { return gOpen; }

void *Pool_Alloc(size_t size) {
    ++gAllocs;
    if (gFailAt != 0 && gAllocs >= gFailAt) {
        if (gAllocs == gFailAt || gFailRepeat) {
            ++gFailed;
            return nullptr;
        }
    }
    return std::malloc(size == 0 ? 1 : size);
}

void Pool_Free(void *block, size_t) { std::free(block); }

void Pool_FailNth(uint64_t n) {
    gFailAt = n == 0 ? 0 : gAllocs + n;
    gFailRepeat = false;
    gFailed = 0;
}

void Pool_FailAfter(uint64_t n) {
    gFailAt = gAllocs + n + 1;
    gFailRepeat = true;
    gFailed = 0;
}

void Pool_FailOff() {
    gFailAt = 0;
    gFailRepeat = false;
}

uint64_t Pool_FailedCount() { return gFailed; }

uint64_t Pool_AllocCount() { return gAllocs; }

}  // namespace quillon
