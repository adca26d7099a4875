// How the Array methods reach the object they work on. Every method works
// through "length" and the index properties, so array-like objects work as
// well as arrays; the helpers here keep that cheap: index lookups go straight
// to the element store, elements of a prototype are still found, and methods
// over a huge length with few elements visit only the elements present.
#pragma once
#include <cstdint>

#include "builtins/native_args.h"
#include "values/context.h"
#include "objects/function.h"
#include "values/convert.h"
#include "values/jsany.h"

namespace quillon {

// Largest array length: lengths and indexes are unsigned 32-bit numbers.
constexpr uint32_t kMaxArrayLength = 0xFFFFFFFFu;

// An array of indexes from Arr_Alloc, freed when it goes out of scope.
struct IndexList {
    uint32_t *items = nullptr;
    uint32_t count = 0;
    IndexList() = default;
    ~IndexList() { Arr_Free(items); }
    IndexList(const IndexList &) = delete;
    IndexList &operator=(const IndexList &) = delete;
};

// A vector of value records from Arr_Alloc; every record in use is released
// when it goes out of scope.
struct ValueList {
    JSAny *items = nullptr;
    uint32_t count = 0;
    ValueList() = default;
    ~ValueList();
    ValueList(const ValueList &) = delete;
    ValueList &operator=(const ValueList &) = delete;
    bool Reserve(uint32_t n) { return n == 0 || Arr_EnsureT(items, n); }
};

// The object a method works on: `this` converted to an object. False with
// the conversion's error as the result.
bool Ary_TakeThis(RunContext *ctx, ValueGuard *self);

// The "length" of o as an unsigned 32-bit integer (truncated). False with
// the error as the result when reading or converting it fails.
bool Ary_Length(RunContext *ctx, Object *o, uint32_t *len);
// Stores "length" (0 .. 2^32-1); returns the status.
uint32_t Ary_SetLength(Object *o, double n);

// Reads element i (through the prototype chain; a String object also gives
// its characters) into *out; answers whether an element was there. On
// exhausted memory *out becomes error 103.
bool Ary_GetIf(Object *o, uint32_t i, JSAny *out);
inline void Ary_Get(Object *o, uint32_t i, JSAny *out) { (void)Ary_GetIf(o, i, out); }
uint32_t Ary_Put(Object *o, uint32_t i, const JSAny *v);
void Ary_Delete(Object *o, uint32_t i);
// Deletes the own elements with indexes in [lo, hi).
uint32_t Ary_DeleteRange(Object *o, uint32_t lo, uint32_t hi);

// True when a length is so much larger than the number of elements that a
// method should visit only the elements present.
bool Ary_IsSparse(Object *o, uint32_t len);
// Sorted distinct indexes below len that have an element in o or along its
// prototype chain. False when memory ran out.
bool Ary_Present(Object *o, uint32_t len, IndexList *out);

// Moves the elements [from, from + count) to [to, to + count) as assignments
// would, in the order that keeps overlapping ranges intact: a missing source
// element deletes its destination. `sparse` selects the visit of present
// elements only. Returns the status.
uint32_t Ary_Move(Object *o, uint32_t from, uint32_t to, uint32_t count, bool sparse);

// Copies the elements [from, from + count) of src to dst starting at `at`;
// missing elements stay missing. Returns the status.
uint32_t Ary_CopyRange(Object *src, uint32_t from, uint32_t count, Object *dst, uint32_t at);

// A relative position: negative counts from len (clamped at 0), values
// above len become len.
inline uint32_t Ary_Relative(int64_t pos, uint32_t len) {
    if (pos < 0) {
        pos += len;
        return pos < 0 ? 0 : static_cast<uint32_t>(pos);
    }
    return pos > len ? len : static_cast<uint32_t>(pos);
}

// A new empty array into *out; false with 103 as the result.
bool Ary_NewArray(RunContext *ctx, ValueGuard *out);

}  // namespace quillon
