// Block headers and MemUse: every block records its size in an 8- or
// 16-byte header, and MemUse counts what the 32-bit layout would (data
// bytes, 8 more for arrays, capacity plus 1 for texts). An allocation past
// the limit fails as an exhausted pool does, before anything is counted.
#include "runtime/memory.h"

#include <cstdarg>
#include <cstdio>

#include "platform/debuglog.h"
#include "platform/pool.h"

namespace quillon {

int32_t MemUse = 0;

namespace {

uintptr_t gLimit = 0;  // 0: no limit

// True when MemUse may grow by `amount` without passing the limit.
inline bool WithinLimit(uint64_t amount) {
    if (gLimit == 0) return true;
    int64_t use = MemUse;
    return use < 0 || static_cast<uint64_t>(use) + amount <= static_cast<uint64_t>(gLimit);
}

// Block headers. Each block starts with a header of 8 or 16 bytes that
// keeps the data 8-byte aligned on a 64-bit host; MemUse counts exactly
// the amounts of the 32-bit layout (data bytes of the request).
struct PlainHead {
    uint32_t size;  // data bytes (Mem_Free reads it inline)
    uint32_t pad;
};
struct ArrayHead {
    uint64_t pad;
    uint32_t elemSize;
    uint32_t capacity;
};
struct TextHead {
    uint32_t capacity;  // bytes for characters and the terminating zero
    uint8_t exact;      // 1: allocated by Text_Alloc without rounding; 2: a key text
    uint8_t pad[2];
    uint8_t refs;       // the byte just before the first character
};
static_assert(offsetof(PlainHead, size) == 0 && sizeof(PlainHead) == 8 && sizeof(ArrayHead) == 16 && sizeof(TextHead) == 8);
static_assert(offsetof(TextHead, refs) == sizeof(TextHead) - 1);  // Text_RefCount and the like read it so

inline PlainHead *PlainOf(void *p) { return static_cast<PlainHead *>(p) - 1; }
inline ArrayHead *ArrayOf(void *p) { return static_cast<ArrayHead *>(p) - 1; }
inline TextHead *TextOf(char *t) { return reinterpret_cast<TextHead *>(t) - 1; }
inline const TextHead *TextOf(const char *t) { return reinterpret_cast<const TextHead *>(t) - 1; }

constexpr uint8_t kKeyText = 2;

inline int32_t TextAccount(const TextHead *h) {
    if (h->exact == kKeyText) return static_cast<int32_t>(h->capacity + 1 + kTextKeyArea);
    return static_cast<int32_t>(h->exact ? h->capacity : h->capacity + 1);
}

char *TextNew(uint32_t capacity, bool exact) {
    if (!WithinLimit(exact ? capacity : capacity + 1ull)) return nullptr;
    auto *h = static_cast<TextHead *>(Pool_Alloc(sizeof(TextHead) + capacity));
    if (!h) return nullptr;
    h->capacity = capacity;
    h->exact = exact ? 1 : 0;
    h->pad[0] = h->pad[1] = 0;
    h->refs = 1;
    MemUse += TextAccount(h);
    return reinterpret_cast<char *>(h + 1);
}

}  // namespace

uintptr_t Mem_SetLimit(uintptr_t bytes) {
    uintptr_t old = gLimit;
    gLimit = bytes;
    return old;
}

void *Mem_Alloc(size_t n) {
    if (n > 0xFFFFFFF0u || !WithinLimit(n)) return nullptr;
    auto *h = static_cast<PlainHead *>(Pool_Alloc(sizeof(PlainHead) + n));
    if (!h) return nullptr;
    h->size = static_cast<uint32_t>(n);
    h->pad = 0;
    MemUse += static_cast<int32_t>(n);
    return h + 1;
}

void *Mem_AllocZero(size_t n) {
    void *p = Mem_Alloc(n);
    if (p) std::memset(p, 0, n);
    return p;
}

void *Mem_Realloc(void *p, size_t n) {
    PlainHead *h = PlainOf(p);
    uint32_t old = h->size;
    if (n > 0xFFFFFFF0u || (n > old && !WithinLimit(n - old))) return nullptr;
    auto *fresh = static_cast<PlainHead *>(Pool_Realloc(h, sizeof(PlainHead) + old, sizeof(PlainHead) + n));
    if (!fresh) return nullptr;
    fresh->size = static_cast<uint32_t>(n);
    MemUse += static_cast<int32_t>(n) - static_cast<int32_t>(old);
    return fresh + 1;
}



void *Arr_Alloc(uint32_t elemSize, uint32_t capacity) {
    uint64_t bytes = static_cast<uint64_t>(elemSize) * capacity;
    if (bytes > 0x7FFFFFF0u || !WithinLimit(bytes + 8)) return nullptr;
    auto *h = static_cast<ArrayHead *>(Pool_Alloc(sizeof(ArrayHead) + bytes));
    if (!h) return nullptr;
    h->elemSize = elemSize;
    h->capacity = capacity;
    h->pad = 0;
    MemUse += static_cast<int32_t>(bytes + 8);
    return h + 1;
}

void Arr_Free(void *p) {
    if (!p) return;
    ArrayHead *h = ArrayOf(p);
    uint64_t bytes = static_cast<uint64_t>(h->elemSize) * h->capacity;
    MemUse -= static_cast<int32_t>(bytes + 8);
    Pool_Free(h, sizeof(ArrayHead) + bytes);
}


bool Arr_Ensure(void **pp, uint32_t n, uint32_t elemSize) {
    void *old = *pp;
    uint32_t cap = old ? ArrayOf(old)->capacity : 0;
    if (old) elemSize = ArrayOf(old)->elemSize;
    if (old && cap >= n) return true;
    uint64_t grown = static_cast<uint64_t>(cap) + (cap + 16) / 2;
    uint64_t want = n > grown ? n : grown;
    if (want > 0xFFFFFFFFu) want = n;
    void *fresh = Arr_Alloc(elemSize, static_cast<uint32_t>(want));
    if (!fresh) return false;
    if (old) {
        std::memcpy(fresh, old, static_cast<size_t>(elemSize) * cap);
        Arr_Free(old);
    }
    *pp = fresh;
    return true;
}

char *Text_Alloc(size_t n) {
    if (n >= 0xFFFFFFF0u) return nullptr;
    char *t = TextNew(static_cast<uint32_t>(n + 1), true);
    if (t) t[0] = 0;
    return t;
}

char *Text_FromBytes(const char *src, size_t n) {
    if (n >= 0xFFFFFFF0u) return nullptr;
    char *t = TextNew(static_cast<uint32_t>(Text_RoundedCapacity(n)), false);
    if (!t) return nullptr;
    if (n) std::memcpy(t, src, n);
    t[n] = 0;
    return t;
}

char *Text_FromString(const char *s) { return Text_FromBytes(s, std::strlen(s)); }

char *Text_Join(const char *a, size_t an, const char *b, size_t bn) {
    if (an + bn >= 0xFFFFFFF0u) return nullptr;
    size_t n = an + bn;
    char *t = TextNew(static_cast<uint32_t>(Text_RoundedCapacity(n)), false);
    if (!t) return nullptr;
    if (an) std::memcpy(t, a, an);
    if (bn) std::memcpy(t + an, b, bn);
    t[n] = 0;
    return t;
}

char *Text_Format(const char *format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    char *t = nullptr;
    if (n >= 0) {
        t = TextNew(static_cast<uint32_t>(Text_RoundedCapacity(static_cast<size_t>(n))), false);
        if (t) std::vsnprintf(t, static_cast<size_t>(n) + 1, format, args);
    }
    va_end(args);
    return t;
}

char *Text_NewKey(const char *src, size_t n) {
    if (n >= 0xFFFFFFE0u) return nullptr;
    uint32_t capacity = static_cast<uint32_t>(Text_RoundedCapacity(n));
    if (!WithinLimit(capacity + 1ull + kTextKeyArea)) return nullptr;
    auto *block = static_cast<char *>(Pool_Alloc(kTextKeyArea + sizeof(TextHead) + capacity));
    if (!block) return nullptr;
    std::memset(block, 0, kTextKeyArea);
    auto *h = reinterpret_cast<TextHead *>(block + kTextKeyArea);
    h->capacity = capacity;
    h->exact = kKeyText;
    h->pad[0] = h->pad[1] = 0;
    h->refs = 1;
    MemUse += TextAccount(h);
    char *t = reinterpret_cast<char *>(h + 1);
    if (n) std::memcpy(t, src, n);
    t[n] = 0;
    return t;
}

bool Text_IsKey(const char *t) { return TextOf(t)->exact == kKeyText; }

void Text_FreeLast(char *t) {
    TextHead *h = TextOf(t);
    MemUse -= TextAccount(h);
    if (h->exact == kKeyText) Pool_Free(reinterpret_cast<char *>(h) - kTextKeyArea, kTextKeyArea + sizeof(TextHead) + h->capacity);
    else Pool_Free(h, sizeof(TextHead) + h->capacity);
}

uint32_t Text_Capacity(const char *t) { return TextOf(t)->capacity; }

void Mem_ShutdownCheck() {
    if (MemUse != 0) Plat_DebugPrintf("\nWarning: MemUse = %ld\n", static_cast<long>(MemUse));
}

}  // namespace quillon
