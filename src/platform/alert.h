// The system alert: problems of the identifier table are shown to the user
// as an alert rather than on the diagnostic output. Off MorphOS the alert is
// one framed line on the debug log.
#pragma once

namespace quillon {

void Plat_Alert(const char *message);

}  // namespace quillon
