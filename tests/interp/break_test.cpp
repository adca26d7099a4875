// The user-break check: pending task signals under the run's mask make the
// interpreter poll the host, whose answer stops the run or lets it go on.
#include <chrono>
#include <cstring>
#include <thread>

#include "support/fixture.h"
#include "support/testhost.h"

namespace quillon_test {
namespace {

class BreakTest : public LibraryTest {
protected:
    void TearDown() override {
        SetJSSignal(0, 0xFFFFFFFFu);
        LibraryTest::TearDown();
    }
};

constexpr uint32_t kBit = 1u << 12;

TEST_F(BreakTest, AnswerEightStopsQuietly) {
    TestHost h;
    int polls = 0;
    h.poll = [&]() -> uint32_t { return ++polls == 3 ? 8 : 0; };
    SetJSSignal(kBit, kBit);
    EXPECT_EQ(RunJavaScript(h.Space(), "var i = 0; while (true) i++;", 0, 1, kBit, 0), 3u);
    EXPECT_EQ(polls, 3);
    EXPECT_TRUE(h.reports.empty());
}

TEST_F(BreakTest, NoPollWithoutAPendingSignal) {
    TestHost h;
    int polls = 0;
    h.poll = [&]() -> uint32_t { ++polls; return 8; };
    EXPECT_EQ(RunJavaScript(h.Space(), "for (var i = 0; i < 1000; i++) ;", 0, 1, kBit, 0), 0u);
    EXPECT_EQ(polls, 0);
    // A pending signal outside the mask is ignored too.
    SetJSSignal(1u << 3, 1u << 3);
    EXPECT_EQ(RunJavaScript(h.Space(), "for (var i = 0; i < 1000; i++) ;", 0, 1, kBit, 0), 0u);
    EXPECT_EQ(polls, 0);
}

TEST_F(BreakTest, OtherAnswersReportTheBreakOnceAndTryDoesNotCatchIt) {
    TestHost h;
    h.poll = []() -> uint32_t { return 1; };
    SetJSSignal(kBit, kBit);
    EXPECT_EQ(RunJavaScript(h.Space(), "try { while (true) ; } catch (e) { 'caught' }", JSRUN_RESULT, 1,
                            kBit, 0),
              3u);
    ASSERT_EQ(h.reports.size(), 1u);
    EXPECT_EQ(h.reports[0].message, "Break character recieved");
}

// A function's loop runs from its remembered form after its first passes;
// each of its passes is checked as the walker checks it.
TEST_F(BreakTest, LoopsRunFromTheirFormsAreCheckedAtEveryPass) {
    TestHost h;
    int polls = 0;
    h.poll = [&]() -> uint32_t { return ++polls == 300 ? 8 : 0; };
    SetJSSignal(kBit, kBit);
    EXPECT_EQ(RunJavaScript(h.Space(), "function f() { var a = 0, i = 0; while (i >= 0) { a = a + i; i++; } } f();",
                            0, 1, kBit, 0),
              3u);
    EXPECT_EQ(polls, 300);
    // With nothing pending under the mask, such a loop runs to its end unpolled.
    polls = 0;
    SetJSSignal(0, kBit);
    SetJSSignal(1u << 3, 1u << 3);
    EXPECT_EQ(RunJavaScript(h.Space(),
                            "function g() { var a = 0; for (var i = 0; i < 5000; i++) { a += i; } return a; } g();",
                            0, 1, kBit, 0),
              0u);
    EXPECT_EQ(polls, 0);
}

// A loop inside a loop runs from the outer loop's form: the top of each of
// its passes is checked too, once, as the walker checks it (the call, 51
// outer tops, 4 inner tops in each of 50 outer passes), and a stop answered
// at an inner top stops the run there.
TEST_F(BreakTest, LoopsInsideLoopsAreCheckedAtEveryPass) {
    const char *src =
        "function f() { var s = 0, i, j; for (i = 0; i < 50; i++) { j = 0; while (j < 3) { s = s + j; j++; } }"
        " return s; } f();";
    for (int stopAt : {0, 100, 203}) {
        TestHost h;
        int polls = 0;
        h.poll = [&]() -> uint32_t { return ++polls == stopAt ? 8 : 0; };
        SetJSSignal(kBit, kBit);
        EXPECT_EQ(RunJavaScript(h.Space(), src, 0, 1, kBit, 0), stopAt ? 3u : 0u);
        EXPECT_EQ(polls, stopAt ? stopAt : 252);
        SetJSSignal(0, kBit);
    }
}

// A signal raised by another task while an inner loop runs from the outer
// loop's form is seen at the inner loop's next pass (the loop never ends
// otherwise).
TEST_F(BreakTest, ASignalRaisedWhileAnInnerLoopRunsStopsIt) {
    TestHost h;
    h.poll = []() -> uint32_t { return 8; };
    std::thread raiser([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        SetJSSignal(kBit, kBit);
    });
    EXPECT_EQ(RunJavaScript(h.Space(),
                            "function f() { var s = 0, i, j; for (i = 0; i < 3; i++) { j = 0;"
                            " while (i < 2 ? j < 3 : true) { s = s + 1; j++; } } return s; } f();",
                            0, 1, kBit, 0),
              3u);
    raiser.join();
}

TEST_F(BreakTest, CallsAreCheckedToo) {
    TestHost h;
    h.poll = []() -> uint32_t { return 8; };
    SetJSSignal(kBit, kBit);
    EXPECT_EQ(RunJavaScript(h.Space(), "function f() { return 1; } f();", 0, 1, kBit, 0), 3u);
}

// A signal raised while a remembered expression's call runs, or while the
// arguments after it are read, stops the run at the next call's check: the
// call with that one among its arguments is not made. (The host raises it
// when `raise` is read: in the inner call, or in a later argument.)
TEST_F(BreakTest, ASignalRaisedDuringACallStopsBeforeTheOuterCall) {
    const char *const kScripts[] = {
        "var made = 0; function inner(x) { if (x == 5) raise; return x; }"
        "function outer(a, b) { made++; return a + b; }"
        "function run() { var s = 0; for (var i = 0; i < 9; i++) s = outer(inner(i), i) * 2; return s; } run();",
        "var made = 0; function inner(x) { return x; }"
        "function outer(a, b) { made++; return a + b; }"
        "function run() { var s = 0; for (var i = 0; i < 9; i++) s = outer(inner(i), i == 5 ? raise : 0) * 2;"
        " return s; } run();",
    };
    for (const char *script : kScripts) {
        TestHost h;
        h.getProperty = [](JSRunContext *ctx, void *, const char *name, uint32_t flags) -> uint32_t {
            if (std::strcmp(name, "raise") != 0) return 2;
            if (flags & JSHOST_HAS) return 0;
            if (flags & JSHOST_GET) {
                SetJSSignal(kBit, kBit);
                JSTagItem t[] = {{JSTAG_INTEGER, 0}, {JSTAG_END, 0}};
                return SetJSResult(ctx, t);
            }
            return 2;
        };
        int polls = 0;
        h.poll = [&]() -> uint32_t { ++polls; return 8; };
        EXPECT_EQ(RunJavaScript(h.Space(), script, 0, 1, kBit, 0), 3u) << script;
        EXPECT_EQ(polls, 1) << script;
        SetJSSignal(0, kBit);
        EXPECT_EQ(h.Run("made"), 0u);
        EXPECT_EQ(h.ResultNumber(), 5) << script;
    }
}

TEST_F(BreakTest, SetSignalReturnsTheOldWord) {
    SetJSSignal(0, 0xFFFFFFFFu);
    EXPECT_EQ(SetJSSignal(kBit, kBit), 0u);
    EXPECT_EQ(SetJSSignal(0, 0), kBit);
    EXPECT_EQ(SetJSSignal(0, kBit), kBit);
    EXPECT_EQ(SetJSSignal(0, 0), 0u);
}

}  // namespace
}  // namespace quillon_test
