#include "support/fixture.h"

namespace quillon_test {

namespace {

void Capture(const char *text, void *) { DebugText() += text; }

}  // namespace

std::string &DebugText() {
    static std::string text;
    return text;
}

void StartDebugCapture() {
    DebugText().clear();
    SetJSDebugOutput(&Capture, nullptr);
}

void StopDebugCapture() { SetJSDebugOutput(nullptr, nullptr); }

void LibraryTest::SetUp() {
    StartDebugCapture();
    base_ = OpenJSLibrary();
    ASSERT_NE(base_, nullptr);
}

void LibraryTest::TearDown() { ExpectCleanClose(); }

void ExpectCleanClose() {
    CloseJSLibrary();
    EXPECT_EQ(GetJSMemUse(), 0) << "memory left at the last close";
    EXPECT_EQ(DebugText().find("Warning:"), std::string::npos)
        << "leak warning printed:\n" << DebugText();
    EXPECT_EQ(DebugText().find("UFO"), std::string::npos) << DebugText();
    StopDebugCapture();
}

}  // namespace quillon_test
