// A fixture for the core built-ins: the library opened, one program space
// without hooks (reports go to the captured diagnostic output), and runs in
// result mode whose value is read back as text.
#pragma once
#include <string>

#include "values/space.h"
#include "support/fixture.h"

namespace core_test {

class CoreTest : public quillon_test::LibraryTest {
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

    uint32_t Run(const char *text) { return RunJavaScript(space_, text, JSRUN_RESULT, 0, 0, 0); }

    // Runs the text and gives its value as a string ("<status N>" when the
    // run failed or the value could not be read).
    std::string Eval(const char *text) {
        uint32_t status = Run(text);
        if (status != JSRESULT_OK) return "<status " + std::to_string(status) + ">";
        JSTagItem list[2] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
        status = GetJSResult(space_, list);
        if (status != JSRESULT_OK || !list[0].ti_Data) return "<status " + std::to_string(status) + ">";
        return reinterpret_cast<const char *>(list[0].ti_Data);
    }

    JSProgramSpace *space_ = nullptr;
};

}  // namespace core_test
