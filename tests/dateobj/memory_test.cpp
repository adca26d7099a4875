// Date methods under memory exhaustion: whichever allocation fails, the
// run ends cleanly (success or "out of memory") and nothing leaks.
#include "dateobj_support.h"
#include "platform/pool.h"

namespace dateobj_test {
namespace {

using quillon::Pool_AllocCount;
using quillon::Pool_FailedCount;
using quillon::Pool_FailNth;
using quillon::Pool_FailOff;

using DateMemoryTest = DateObjTest;

const char kScript[] =
    "var d = new Date(2000, 0, 15, 10, 20, 30, 400);\n"
    "d.setHours(-1); d.setUTCMonth(3, 2); d.setYear(99); d.setTime(5);\n"
    "var s = d.toString() + d.toUTCString() + d.toLocaleString() + Date() + d.toTimeString();\n"
    "var e = new Date('Nov 5 2022');\n"
    "s.length + Date.parse('Nov 5 2022') + Date.UTC(2000) - e.getTime() + d.getUTCDay();\n";

// 33 + 29 + 27 + 33 + 17 characters, Date.UTC(2000) = 946684800000, and
// 1970-01-01 was a Thursday.
const char kWant[] = "946684800143";

TEST_F(DateMemoryTest, EveryAllocationMayFail) {
    EXPECT_EQ(Run(kScript), kWant);
    DeleteJSProgramSpace(space_);
    space_ = nullptr;

    const long base = GetJSMemUse();
    uint64_t successes = 0;
    for (uint64_t n = 1; n < 5000; ++n) {
        JSProgramSpace *space = CreateJSProgramSpace(nullptr, nullptr, 0);
        ASSERT_NE(space, nullptr);
        Pool_FailNth(n);
        const uint32_t rc = RunJavaScript(space, kScript, JSRUN_RESULT, 0, 0, 0);
        const bool failed = Pool_FailedCount() > 0;
        Pool_FailOff();
        if (rc == JSRESULT_OK) {
            JSTagItem tags[] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
            ASSERT_EQ(GetJSResult(space, tags), 0u) << n;
            EXPECT_STREQ(reinterpret_cast<const char *>(tags[0].ti_Data), kWant) << n;
        } else {
            EXPECT_EQ(rc, static_cast<uint32_t>(JSRESULT_NOMEMORY)) << "allocation " << n;
        }
        DeleteJSProgramSpace(space);
        ASSERT_EQ(GetJSMemUse(), base) << "memory left after failing allocation " << n;
        if (!failed) {
            successes = n;
            break;
        }
    }
    EXPECT_GT(successes, 10u) << "the sweep never ran to the end";
}

}  // namespace
}  // namespace dateobj_test
