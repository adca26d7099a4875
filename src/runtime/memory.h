// Memory blocks and MemUse accounting. Every block of the interpreter comes
// from the library's pool through these calls, records its own size, and is
// counted in MemUse: plain blocks count their data bytes, arrays their
// element bytes plus 8, text blocks their capacity plus 1. An optional limit
// on MemUse makes an allocation that would pass it fail as if the pool were
// exhausted.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/pool.h"

namespace quillon {

extern int32_t MemUse;

// The limit on MemUse in bytes (0: none). Returns the previous limit.
uintptr_t Mem_SetLimit(uintptr_t bytes);

// Plain blocks.
void *Mem_Alloc(size_t n);
void *Mem_AllocZero(size_t n);
// (Freeing is inline: the header before the data holds the size, as
// memory.cpp lays it out: 8 bytes, the size first.)
inline void Mem_Free(void *p) {  // null is ignored
    if (!p) return;
    uint32_t size = reinterpret_cast<const uint32_t *>(p)[-2];
    MemUse -= static_cast<int32_t>(size);
    Pool_Free(static_cast<char *>(p) - 8, 8 + size);
}
// Gives a plain block room for n bytes, keeping the first of them; the block
// may move (big blocks grow in place or are remapped, never copied twice
// over). Null when memory ran out, the old block untouched.
void *Mem_Realloc(void *p, size_t n);

// Growable arrays: the caller keeps the number of elements in use; the array
// knows its element size and capacity.
void *Arr_Alloc(uint32_t elemSize, uint32_t capacity);
void Arr_Free(void *p);  // null is ignored
// An array's header sits just before its first element (16 bytes, so the
// elements stay aligned) and ends with the element size and the capacity.
inline uint32_t Arr_Capacity(const void *p) {
    return p ? reinterpret_cast<const uint32_t *>(p)[-1] : 0;
}
// Ensures room for n elements; grows to max(n, cap + (cap + 16) / 2).
// On failure returns false and leaves the array and the pointer untouched.
// *pp may be null: it then needs the element size.
bool Arr_Ensure(void **pp, uint32_t n, uint32_t elemSize);

template <class T>
inline bool Arr_EnsureT(T *&p, uint32_t n) {
    if (p && Arr_Capacity(p) >= n) return true;
    void *v = p;
    if (!Arr_Ensure(&v, n, sizeof(T))) return false;
    p = static_cast<T *>(v);
    return true;
}

// Text blocks: zero-terminated 8-bit texts with an 8-bit reference count
// (at most 255 holders). The capacity is the number of bytes available for
// characters and the terminating zero.
constexpr uint32_t kTextMaxRefs = 255;

char *Text_Alloc(size_t n);  // room for n characters and a zero, count 1
char *Text_FromBytes(const char *src, size_t n);
char *Text_FromString(const char *s);
char *Text_Join(const char *a, size_t an, const char *b, size_t bn);
char *Text_Format(const char *format, ...) __attribute__((format(printf, 1, 2)));
// The count is the byte just before a text's first character (the last of
// its header), so taking and dropping a share are inline: they are among
// the most frequent things the interpreter does with strings.
inline uint32_t Text_RefCount(const char *t) { return reinterpret_cast<const uint8_t *>(t)[-1]; }
inline void Text_AddRef(char *t) { ++reinterpret_cast<uint8_t *>(t)[-1]; }
void Text_FreeLast(char *t);  // frees a text whose last share was dropped
inline void Text_Release(char *t) {  // null is ignored
    if (t && --reinterpret_cast<uint8_t *>(t)[-1] == 0) Text_FreeLast(t);
}
uint32_t Text_Capacity(const char *t);
// Rounded capacity for a text of n characters: (n + 8) rounded down to 8.
constexpr size_t Text_RoundedCapacity(size_t n) { return (n + 8) & ~static_cast<size_t>(7); }

// Key texts: text blocks with an area of kTextKeyArea bytes in front of
// their header, where the key table (runtime/atoms) keeps a property name's
// length, hash and holders. Otherwise they are ordinary counted texts
// (shared, released and freed like any other); MemUse counts the area too.
constexpr size_t kTextKeyArea = 16;
char *Text_NewKey(const char *src, size_t n);  // count 1
bool Text_IsKey(const char *t);
inline void *Text_KeyArea(char *t) { return t - 8 - kTextKeyArea; }
inline const void *Text_KeyArea(const char *t) { return t - 8 - kTextKeyArea; }

// Called once at the last close: prints the MemUse warning when not 0.
void Mem_ShutdownCheck();

}  // namespace quillon
