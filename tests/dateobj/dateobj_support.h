// Shared support of the Date object tests: a library fixture with one
// program space, a pinned zone offset and a pinned clock, and helpers that
// run a script and give its value as text.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "builtins/date_calendar.h"
#include "platform/clock.h"
#include "quillon.h"
#include "support/fixture.h"

namespace dateobj_test {

// The pinned "now": Saturday 2022-11-05 12:30:15.500 local time.
inline quillon::DateStamp PinnedNow() {
    quillon::DateStamp s;
    s.days = static_cast<int32_t>(quillon::Date_DaysFromCivil(2022, 11, 5));
    s.minutes = 12 * 60 + 30;
    s.ticks = 15 * 50 + 25;
    return s;
}

class DateObjTest : public quillon_test::LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        if (HasFatalFailure()) return;
        Zone(0);
        quillon::Plat_PinDateStamp(true, PinnedNow());
        space_ = CreateJSProgramSpace(nullptr, nullptr, 0);
        ASSERT_NE(space_, nullptr);
    }
    void TearDown() override {
        if (space_) DeleteJSProgramSpace(space_);
        space_ = nullptr;
        quillon::Plat_PinZoneOffset(false, 0);
        quillon::Plat_PinDateStamp(false, quillon::DateStamp{});
        LibraryTest::TearDown();
    }

    // Pins the local zone: minutes west of Greenwich.
    static void Zone(int32_t minutesWest) { quillon::Plat_PinZoneOffset(true, minutesWest); }

    // Runs a script and gives the value it leaves as text; a run that fails
    // gives "<failed N>" with its result code.
    std::string Run(const std::string &src, int32_t compat = 0) {
        const uint32_t rc = RunJavaScript(space_, src.c_str(), JSRUN_RESULT, 0, 0, compat);
        if (rc != JSRESULT_OK) return "<failed " + std::to_string(rc) + ">";
        JSTagItem tags[] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
        const uint32_t st = GetJSResult(space_, tags);
        if (st) return "<result " + std::to_string(st) + ">";
        const char *text = reinterpret_cast<const char *>(tags[0].ti_Data);
        return text ? text : "<none>";
    }

    // Runs a statement that is expected to fail, catching the failure; gives
    // the caught message, or "no failure: <value>" when it did not fail.
    std::string Failure(const std::string &src) {
        return Run("try { 'no failure: ' + (" + src + "); } catch (e) { e.message; }");
    }

    JSProgramSpace *space_ = nullptr;
};

// True when text contains part (for messages with a heading in front).
inline bool Has(const std::string &text, const char *part) {
    return text.find(part) != std::string::npos;
}

}  // namespace dateobj_test
