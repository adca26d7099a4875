// A fixture for RegExp objects and the pattern methods of strings: the
// library opened, one program space without hooks, and runs in result mode
// whose value is read back as text, at any compatibility level.
#pragma once
#include <string>

#include "values/space.h"
#include "support/fixture.h"

namespace rxo_test {

class RxoTest : public quillon_test::LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        space_ = CreateJSProgramSpace(nullptr, nullptr, 0);
        ASSERT_NE(space_, nullptr);
    }
    void TearDown() override {
        if (space_) DeleteJSProgramSpace(space_);
        space_ = nullptr;
        LibraryTest::TearDown();
    }
    quillon::ProgramSpace *Space() { return reinterpret_cast<quillon::ProgramSpace *>(space_); }

    uint32_t Run(const char *text, int32_t compat = 0) {
        return RunJavaScript(space_, text, JSRUN_RESULT, 0, 0, compat);
    }

    // The value of the run as a string, or "<status N>" when it failed.
    std::string Eval(const char *text, int32_t compat = 0) {
        uint32_t status = Run(text, compat);
        if (status != JSRESULT_OK) return "<status " + std::to_string(status) + ">";
        return Result(space_);
    }

    static std::string Result(JSProgramSpace *s) {
        JSTagItem list[2] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
        if (GetJSResult(s, list) != JSRESULT_OK || !list[0].ti_Data) return "<unreadable>";
        return reinterpret_cast<const char *>(list[0].ti_Data);
    }

    JSProgramSpace *space_ = nullptr;
};

}  // namespace rxo_test
