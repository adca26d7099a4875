// The element store of an object: a dense vector for the indexes filled
// from 0 upward and a hash map for scattered ones, both behind one small
// head (ElemHead, object.h) that holds their counts. In the dense vector a slot
// without an element holds JSANY_ABSENT (lookups go on to the prototype); a
// hole that reads as undefined holds JSANY_UNDECLARED. Arguments objects keep
// every element in the dense vector.
#pragma once
#include <cstdint>

#include "objects/object.h"

namespace quillon {

// Makes room for n dense slots (the slots in use stay where they are until
// the store moves; none is added). False when memory ran out.
bool Elems_Reserve(Object *o, uint32_t n);
// The element's slot, or null when the object has no element there.
JSAny *Elems_Find(Object *o, uint32_t index);
// Stores a copy of value at index (the element must not exist yet, or its
// slot is overwritten). Raises elementLength. 103 with the object unchanged
// on exhaustion.
uint32_t Elems_Add(Object *o, uint32_t index, const JSAny *value);
void Elems_Remove(Object *o, uint32_t index);
// Removes every element at or above n.
void Elems_Truncate(Object *o, uint32_t n);
void Elems_FreeAll(Object *o);
// Number of elements present.
uint32_t Elems_Count(const Object *o);

}  // namespace quillon
