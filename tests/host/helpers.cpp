// Small bridges from these tests into the library's internals.
#include "platform/pool.h"
#include "runtime/memory.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace quillon_test {

void FailNth(uint32_t n) {
    if (n) quillon::Pool_FailNth(n);
    else quillon::Pool_FailOff();
}

// A block that is never freed, for the leak warning of the last close; the
// leak checker is told that this one is meant.
void LeakTenBytes() {
#if defined(__SANITIZE_ADDRESS__)
    __lsan_disable();
#endif
    (void)quillon::Mem_Alloc(10);
#if defined(__SANITIZE_ADDRESS__)
    __lsan_enable();
#endif
}

}  // namespace quillon_test
