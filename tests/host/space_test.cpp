// Program spaces, program objects, value slots and the library frame,
// through the public calls.
#include <cstring>

#include "support/fixture.h"
#include "support/testhost.h"

namespace quillon_test {

void FailNth(uint32_t n);
void LeakTenBytes();

namespace {

class SpaceTest : public LibraryTest {};

TEST_F(SpaceTest, SerialsCountFromOneHundred) {
    JSProgramSpace *a = CreateJSProgramSpace(nullptr, nullptr, 0);
    JSProgramSpace *b = CreateJSProgramSpace(nullptr, nullptr, 0);
    JSProgramSpace *c = CreateJSProgramSpace(a, nullptr, 0);
    EXPECT_EQ(GetJSProgramSpaceSerial(b), GetJSProgramSpaceSerial(a) + 1);
    EXPECT_EQ(GetJSProgramSpaceSerial(c), GetJSProgramSpaceSerial(a) + 2);
    DeleteJSProgramSpace(c);
    DeleteJSProgramSpace(b);
    DeleteJSProgramSpace(a);
}

TEST_F(SpaceTest, UserDataZeroMakesNoProgramObjects) {
    TestHost h;
    JSProgramSpace *s = CreateJSProgramSpace(nullptr, h.Hooks(), 0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(h.created, 0);
    h.getProperty = [](JSRunContext *ctx, void *, const char *name, uint32_t flags) -> uint32_t {
        if (std::strcmp(name, "obj") != 0) return 2;
        if (flags & JSHOST_HAS) return 0;
        int x = 1;
        return SetJSResultObject(ctx, &x, sizeof x);
    };
    EXPECT_EQ(RunJavaScript(s, "obj", JSRUN_RESULT, 1, 0, 0), 1u) << "out of memory: the object cannot be made";
    DeleteJSProgramSpace(s);
}

TEST_F(SpaceTest, RefusedProgramObjectsAreFreed) {
    TestHost h;
    h.createdAnswer = 1;
    JSProgramSpace *s = CreateJSProgramSpace(nullptr, h.Hooks(), 1);
    ASSERT_NE(s, nullptr);  // the host value could not be made; the space still works
    EXPECT_EQ(RunJavaScript(s, "1", 0, 1, 0, 0), 0u);
    DeleteJSProgramSpace(s);
    EXPECT_EQ(h.released, 0);
}

TEST_F(SpaceTest, CreationSurvivesEveryFailingAllocation) {
    // Fail the 1st, 2nd, ... allocation until creation succeeds.
    for (uint32_t n = 1;; ++n) {
        JSProgramSpace *s = nullptr;
        int32_t use = GetJSMemUse();
        {
            TestHost h;
            FailNth(n);
            s = CreateJSProgramSpace(nullptr, h.Hooks(), 1);
            FailNth(0);
            if (!s) {
                EXPECT_EQ(GetJSMemUse(), use) << "after failing allocation " << n;
                EXPECT_EQ(h.created, 0);
                continue;
            }
            DeleteJSProgramSpace(s);
            EXPECT_EQ(h.created, h.released);
        }
        break;
    }
}

TEST_F(SpaceTest, ValueSlotsGrowByTen) {
    TestHost h;
    std::vector<int32_t> slots;
    h.getProperty = [](JSRunContext *ctx, void *data, const char *name, uint32_t flags) -> uint32_t {
        if (data || std::strcmp(name, "hold") != 0) return 2;
        if (flags & JSHOST_HAS) return 0;
        int tag = 5;
        return SetJSResultObject(ctx, &tag, sizeof tag);
    };
    h.invoke = [&](JSRunContext *ctx, void *, uint32_t, uint32_t) -> uint32_t {
        slots.push_back(HoldJSArgument(ctx, 0));
        EXPECT_EQ(HoldJSArgument(ctx, 5), -1);
        return 0;
    };
    EXPECT_EQ(h.Run("for (var i = 0; i < 11; i++) hold(i);"), 0u);
    ASSERT_EQ(slots.size(), 11u);
    for (int i = 0; i < 11; ++i) EXPECT_EQ(slots[i], i);
    EXPECT_EQ(ReleaseJSValue(20), 2u) << "the table has 20 slots";
    EXPECT_EQ(ReleaseJSValue(19), 0u);
    for (int i = 0; i < 11; ++i) EXPECT_EQ(ReleaseJSValue(i), 0u);
}

TEST(FrameTest, OpensAndClosesCount) {
    StartDebugCapture();
    JSLibraryBase *b1 = OpenJSLibrary();
    ASSERT_NE(b1, nullptr);
    EXPECT_EQ(b1->lib_Version, 4);
    EXPECT_EQ(b1->lib_Revision, 23);
    EXPECT_STREQ(b1->lib_IdString, "quillon.library 4.23 (5.11.2022)\r\n");
    EXPECT_EQ(b1->lib_Calls[7], reinterpret_cast<JSLibraryCall>(&RunJavaScript));
    EXPECT_EQ(b1->lib_Calls[21], reinterpret_cast<JSLibraryCall>(&GetJSUserData2));
    JSLibraryBase *b2 = OpenJSLibrary();
    EXPECT_EQ(b2->lib_OpenCnt, 2);
    JSProgramSpace *s = CreateJSProgramSpace(nullptr, nullptr, 0);
    EXPECT_EQ(ExpungeJSLibrary(), 0) << "expunge is deferred while open";
    CloseJSLibrary();
    // Still open: the space works.
    EXPECT_EQ(RunJavaScript(s, "1 + 1", JSRUN_RESULT, 0, 0, 0), 0u);
    DeleteJSProgramSpace(s);
    ExpectCleanClose();
    // Closed: calls fail safely.
    EXPECT_EQ(CreateJSProgramSpace(nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(RunJavaScript(s, "1", 0, 0, 0, 0), 4u);
}

TEST(FrameTest, LeaksAreReportedAtTheLastClose) {
    StartDebugCapture();
    ASSERT_NE(OpenJSLibrary(), nullptr);
    LeakTenBytes();
    CloseJSLibrary();
    EXPECT_NE(DebugText().find("\nWarning: MemUse = 10\n"), std::string::npos) << DebugText();
    StopDebugCapture();
}

}  // namespace
}  // namespace quillon_test
