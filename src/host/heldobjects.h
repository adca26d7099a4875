// Objects held by the host: every reference NewJSObject hands out is
// recorded here until ReleaseJSObject gives it back, so that a handle the
// host already released (or never had) is refused instead of reaching freed
// memory. A library-wide hash set of {object, references held}.
#pragma once
#include <cstdint>

namespace quillon {

struct Object;

// Records one more reference held by the host; false when out of memory.
bool Held_Add(Object *o);
// Gives back one reference the host held; false when it holds none.
bool Held_Drop(Object *o);
// True when the host holds at least one reference to the object.
bool Held_Has(const Object *o);
// Frees the table (the last close); objects still held stay as they are.
void Held_Shutdown();

}  // namespace quillon
