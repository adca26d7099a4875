// Small bridges from these tests into the library's internals.
#include "platform/pool.h"
#include "runtime/memory.h"

namespace quillon_test {

void FailNth(uint32_t n) {
    if (n) quillon::Pool_FailNth(n);
    else quillon::Pool_FailOff();
}

void LeakTenBytes() { (void)quillon::Mem_Alloc(10); }

}  // namespace quillon_test
