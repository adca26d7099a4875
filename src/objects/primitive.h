// The object model's part of the conversions: an object or program object
// becomes a primitive by calling its valueOf and toString, a primitive
// becomes an object by wrapping, and an object's typeof text depends on
// whether it can be called. values/convert.cpp reaches these through the
// hooks installed here at the library's first open.
#pragma once

namespace quillon {

void Obj_InstallConversions();

}  // namespace quillon
