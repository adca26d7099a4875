// A pattern that backtracks for a very long time can still be stopped: the
// matcher makes the run's user-break check while it works.
#include "support/fixture.h"
#include "support/testhost.h"

namespace rxo_test {
namespace {

class RxBreakTest : public quillon_test::LibraryTest {
protected:
    void TearDown() override {
        SetJSSignal(0, 0xFFFFFFFFu);
        LibraryTest::TearDown();
    }
};

constexpr uint32_t kBit = 1u << 12;

// 40 a's and no b: (a*)* tries every way of cutting them up, far longer
// than any test can wait. The scripts have no loops, so the polls past the
// first few come from the matcher.
#define FORTY_AS "var s = 'aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa';"
constexpr char kCatastrophic[] = FORTY_AS "var hit = /(a*)*b/.test(s); 'finished';";

TEST_F(RxBreakTest, AnswerEightStopsTheMatchQuietly) {
    quillon_test::TestHost h;
    int polls = 0;
    h.poll = [&]() -> uint32_t { return ++polls >= 10 ? 8 : 0; };
    SetJSSignal(kBit, kBit);
    EXPECT_EQ(RunJavaScript(h.Space(), kCatastrophic, JSRUN_RESULT, 1, kBit, 0), 3u);
    EXPECT_EQ(polls, 10);
    EXPECT_TRUE(h.reports.empty());
}

TEST_F(RxBreakTest, OtherAnswersReportTheBreakWhichTryDoesNotCatch) {
    quillon_test::TestHost h;
    int polls = 0;
    h.poll = [&]() -> uint32_t { return ++polls > 100 ? 1 : 0; };
    SetJSSignal(kBit, kBit);
    const char *text = FORTY_AS "try { s.replace(/(a*)*b/g, 'x'); } catch (e) { 'caught'; }";
    EXPECT_EQ(RunJavaScript(h.Space(), text, JSRUN_RESULT, 1, kBit, 0), 3u);
    ASSERT_EQ(h.reports.size(), 1u);
    EXPECT_EQ(h.reports[0].message, "Break character recieved");
}

TEST_F(RxBreakTest, SplitAndMatchAreStoppedToo) {
    quillon_test::TestHost h;
    int polls = 0;
    h.poll = [&]() -> uint32_t { return ++polls % 10 == 0 ? 8 : 0; };
    SetJSSignal(kBit, kBit);
    const char *texts[] = {
        FORTY_AS "s.split(/(a*)*b/);",
        FORTY_AS "s.match(/(a*)*b/g);",
        FORTY_AS "s.search(/(a*)*b/);",
        FORTY_AS "/(a*)*b/.exec(s);",
    };
    for (const char *t : texts) EXPECT_EQ(RunJavaScript(h.Space(), t, 0, 1, kBit, 0), 3u) << t;
    // Without a pending signal an ordinary match is never interrupted.
    SetJSSignal(0, kBit);
    EXPECT_EQ(RunJavaScript(h.Space(), "/(a*)*b/.test('aaaaaaaaaab')", JSRUN_RESULT, 1, kBit, 0), 0u);
    EXPECT_EQ(h.ResultString(), "true");
}

}  // namespace
}  // namespace rxo_test
