// The pool: small blocks from size-class free lists in 32 KiB puddles, large
// blocks straight from the heap, the largest as pages of their own,
// everything freed at the last close. The failure switch counts requests,
// so a test can fail exactly the Nth.
#include "platform/pool.h"

#include <cstdlib>
#include <cstring>

#include <sys/mman.h>
#include <unistd.h>

namespace quillon {

namespace pool {

uint64_t gAllocs = 0;
#if defined(QUILLON_PLAIN_MALLOC)
constexpr bool kPlain = true;
#else
constexpr bool kPlain = false;
#endif
bool gFastOff = kPlain;
FreeBlock *gFree[kLargest / kGrain];

}  // namespace pool

using pool::FreeBlock;
using pool::gAllocs;
using pool::gFree;
using pool::kGrain;
using pool::kLargest;
using pool::ClassOf;

namespace {

bool gOpen = false;
// Failure switch: when gFailAt is non-zero, the allocation whose request
// number equals gFailAt fails; with gFailRepeat every later one fails too.
uint64_t gFailAt = 0;
bool gFailRepeat = false;
uint64_t gFailed = 0;

bool Fails() {
    ++gAllocs;
    if (gFailAt != 0 && gAllocs >= gFailAt && (gAllocs == gFailAt || gFailRepeat)) {
        ++gFailed;
        return true;
    }
    return false;
}

#if defined(QUILLON_PLAIN_MALLOC)

// Sanitizer builds hand every block to the C library so that the checkers
// see each allocation and free on its own.
void *Take(size_t size) { return std::malloc(size == 0 ? 1 : size); }
void Give(void *block, size_t) { std::free(block); }
void FreePuddles() {}

#else

// Small blocks come from puddles of 32768 bytes, carved in size classes of
// 16 bytes up to 512 and recycled through one free list per class; larger
// blocks have memory of their own. Everything goes back when the pool is
// deleted at the last close.
constexpr size_t kPuddle = 32768;
// Blocks of 128 KiB and more (big arrays' element stores, long texts) are
// pages mapped for them alone: freeing one gives its memory back to the
// system at once. (The C library does so for such blocks too, but after
// freeing one it raises the size from which it does, and later big blocks
// then come from its heap, where what was freed stays resident.)
constexpr size_t kMapped = 128 * 1024;

size_t Pages(size_t bytes) {
    static const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) & ~(page - 1);
}

void *MapBlock(size_t size) {
    void *p = mmap(nullptr, Pages(size), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
}

struct Puddle {
    Puddle *next;
    size_t pad;  // keeps the blocks 16-byte aligned
};

Puddle *gPuddles = nullptr;
char *gCursor = nullptr;  // unused part of the newest puddle
char *gLimit = nullptr;

void *Carve(size_t bytes) {
    if (static_cast<size_t>(gLimit - gCursor) < bytes) {
        auto *p = static_cast<Puddle *>(std::malloc(kPuddle));
        if (!p) return nullptr;
        p->next = gPuddles;
        gPuddles = p;
        gCursor = reinterpret_cast<char *>(p + 1);
        gLimit = reinterpret_cast<char *>(p) + kPuddle;
    }
    void *b = gCursor;
    gCursor += bytes;
    return b;
}

void *Take(size_t size) {
    if (size == 0) size = 1;
    if (size >= kMapped) return MapBlock(size);
    if (size > kLargest) return std::malloc(size);
    size_t c = ClassOf(size);
    if (FreeBlock *b = gFree[c]) {
        gFree[c] = b->next;
        return b;
    }
    return Carve((c + 1) * kGrain);
}

void Give(void *block, size_t size) {
    if (size == 0) size = 1;
    if (size >= kMapped) {
        munmap(block, Pages(size));
        return;
    }
    if (size > kLargest) {
        std::free(block);
        return;
    }
    size_t c = ClassOf(size);
    auto *b = static_cast<FreeBlock *>(block);
    b->next = gFree[c];
    gFree[c] = b;
}

void FreePuddles() {
    while (Puddle *p = gPuddles) {
        gPuddles = p->next;
        std::free(p);
    }
    for (FreeBlock *&f : gFree) f = nullptr;
    gCursor = gLimit = nullptr;
}

#endif

}  // namespace

bool Pool_Create() {
    gOpen = true;
    gAllocs = 0;
    return true;
}

void Pool_Delete() {
    FreePuddles();
    gOpen = false;
}

void *Pool_AllocSlow(size_t size) {
    if (Fails()) return nullptr;
    return Take(size);
}

void Pool_FreeSlow(void *block, size_t size) { Give(block, size); }

void *Pool_Realloc(void *block, size_t oldSize, size_t newSize) {
    if (Fails()) return nullptr;
#if defined(QUILLON_PLAIN_MALLOC)
    (void)oldSize;
    return std::realloc(block, newSize == 0 ? 1 : newSize);
#else
    if (oldSize >= kMapped && newSize >= kMapped) {
        void *p = mremap(block, Pages(oldSize), Pages(newSize), MREMAP_MAYMOVE);
        return p == MAP_FAILED ? nullptr : p;
    }
    if (oldSize > kLargest && newSize > kLargest && oldSize < kMapped && newSize < kMapped)
        return std::realloc(block, newSize);
    void *fresh = Take(newSize);
    if (!fresh) return nullptr;
    std::memcpy(fresh, block, oldSize < newSize ? oldSize : newSize);
    Give(block, oldSize);
    return fresh;
#endif
}

// (While the switch is set every allocation goes through Fails().)
void Pool_FailNth(uint64_t n) {
    gFailAt = n == 0 ? 0 : gAllocs + n;
    gFailRepeat = false;
    gFailed = 0;
    pool::gFastOff = pool::kPlain || gFailAt != 0;
}

void Pool_FailAfter(uint64_t n) {
    gFailAt = gAllocs + n + 1;
    gFailRepeat = true;
    gFailed = 0;
    pool::gFastOff = true;
}

void Pool_FailOff() {
    gFailAt = 0;
    gFailRepeat = false;
    pool::gFastOff = pool::kPlain;
}

uint64_t Pool_FailedCount() { return gFailed; }

uint64_t Pool_AllocCount() { return gAllocs; }

}  // namespace quillon
