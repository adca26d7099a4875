// Whole runs through the public calls: result and restoring modes, lenient
// runs, reports and their line excerpts, the once-per-run rule.
#include "support/fixture.h"
#include "support/testhost.h"

namespace quillon_test {
namespace {

class RunTest : public LibraryTest {};

TEST_F(RunTest, ResultModeKeepsTheLastExpressionStatement) {
    TestHost h;
    EXPECT_EQ(h.Run("1; 2; 'three'"), 0u);
    EXPECT_EQ(h.ResultString(), "three");
    // Without result mode a top-level return gives the result.
    EXPECT_EQ(h.Run("5; return 7;", 0), 0u);
    EXPECT_EQ(h.ResultNumber(), 7);
    // ...and with it a top-level return is an error.
    EXPECT_EQ(h.Run("return 7;"), 4u);
    ASSERT_FALSE(h.reports.empty());
    EXPECT_EQ(h.reports.back().message, "Unexpected return statement");
}

TEST_F(RunTest, NoValueWithoutReturnReadsAsNothing) {
    TestHost h;
    EXPECT_EQ(h.Run("var a = 1;", 0), 0u);
    JSTagItem tags[] = {{JSTAG_COUNT, 99}, {JSTAG_INTEGER, 42}, {JSTAG_END, 0}};
    EXPECT_EQ(GetJSResult(h.space, tags), 0u);
    EXPECT_EQ(tags[0].ti_Data, 0u);
    EXPECT_EQ(tags[1].ti_Data, 42u);  // preset left alone
}

TEST_F(RunTest, RestoringModePutsGlobalsBack) {
    TestHost h;
    EXPECT_EQ(h.Run("var g = 'old';"), 0u);
    EXPECT_EQ(h.Run("var g = 'new'; g", JSRUN_RESULT | JSRUN_RESTORING), 0u);
    EXPECT_EQ(h.ResultString(), "new");
    EXPECT_EQ(h.Run("g"), 0u);
    EXPECT_EQ(h.ResultString(), "old");
}

TEST_F(RunTest, ReportNamesLineTokenAndExcerpt) {
    TestHost h;
    EXPECT_EQ(h.Run("var a = 1;\na = x(;"), 4u);
    ASSERT_EQ(h.reports.size(), 1u);
    const Report &r = h.reports[0];
    EXPECT_EQ(r.kind, 0u);
    EXPECT_EQ(r.heading, "Syntax error on line 2");
    EXPECT_EQ(r.message, "Right parenthesis expected");
    EXPECT_EQ(r.before, "a = x(");
    EXPECT_EQ(r.token, ";");
    EXPECT_TRUE(r.hasPosition);
}

TEST_F(RunTest, ErrorsInsideFunctionsNameTheFunction) {
    TestHost h;
    EXPECT_EQ(h.Run("function boom() {\n  return nothing();\n}\nboom();"), 4u);
    ASSERT_EQ(h.reports.size(), 1u);
    EXPECT_EQ(h.reports[0].heading, "Reference error on line 2 of function boom");
    EXPECT_EQ(h.reports[0].message, "Function not defined");
    EXPECT_FALSE(h.reports[0].hasPosition);
}

TEST_F(RunTest, LongLinesAreNarrowedToTheStatement) {
    TestHost h;
    std::string line;
    for (int i = 0; i < 20; ++i) line += "var v" + std::to_string(i) + " = " + std::to_string(i) + "; ";
    line += "bad(; var after = 1;";
    ASSERT_GT(line.size(), 200u);
    EXPECT_EQ(h.Run(line.c_str()), 4u);
    ASSERT_EQ(h.reports.size(), 1u);
    EXPECT_EQ(h.reports[0].before, "bad(");
    EXPECT_EQ(h.reports[0].token, ";");
}

TEST_F(RunTest, OneReportPerRunAndLenientRunsGoOn) {
    TestHost h;
    EXPECT_EQ(h.Run("a = ;\nb = ;"), 4u);
    EXPECT_EQ(h.reports.size(), 1u);
    h.reports.clear();
    EXPECT_EQ(h.Run("x = (;\ny = 2;\nz = );\ny", JSRUN_RESULT | JSRUN_LENIENT), 0u);
    ASSERT_EQ(h.reports.size(), 2u);
    EXPECT_EQ(h.reports[0].kind, 6u);
    EXPECT_EQ(h.reports[0].heading, "Syntax warning on line 1");
    EXPECT_EQ(h.ResultNumber(), 2);
}

TEST_F(RunTest, UntakenBranchesAreNeverChecked) {
    TestHost h;
    EXPECT_EQ(h.Run("if (false) { this is not valid } ; 'ran'"), 0u);
    EXPECT_EQ(h.ResultString(), "ran");
    EXPECT_EQ(h.Run("var n = 0; while (n > 0) { a b c } ; for (;false;) x y z ; 'ok'"), 0u);
    EXPECT_EQ(h.ResultString(), "ok");
    EXPECT_TRUE(h.reports.empty());
}

TEST_F(RunTest, WithoutHostHandleReportsGoToTheDiagnosticOutput) {
    JSProgramSpace *s = CreateJSProgramSpace(nullptr, nullptr, 0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(RunJavaScript(s, "var a;\na = x;", JSRUN_RESULT, 0, 0, 0), 0u);  // x is just undefined
    EXPECT_EQ(RunJavaScript(s, "var a;\na = (;", JSRUN_RESULT, 0, 0, 0), 4u);
    EXPECT_NE(Debug().find("a = (;\nSyntax error on line 2: "),
              std::string::npos)
        << Debug();
    DeleteJSProgramSpace(s);
}

TEST_F(RunTest, BadHandlesAreRefused) {
    EXPECT_EQ(RunJavaScript(nullptr, "1", 0, 0, 0, 0), 4u);
    EXPECT_NE(Debug().find("Illegal RunJavaScript\n"), std::string::npos);
    JSProgramSpace *s = CreateJSProgramSpace(nullptr, nullptr, 0);
    DeleteJSProgramSpace(s);
    ClearDebug();
    DeleteJSProgramSpace(s);  // already gone
    EXPECT_EQ(Debug(), "Illegal DeleteJSProgramSpace\n");
    ClearDebug();
}

TEST_F(RunTest, CallDepthStopsAtTwentyFive) {
    TestHost h;
    EXPECT_EQ(h.Run("function d(n) { return n ? 1 + d(n - 1) : 1; } d(24)"), 0u);
    EXPECT_EQ(h.ResultNumber(), 25);
    EXPECT_EQ(h.Run("d(25)"), 4u);
    ASSERT_FALSE(h.reports.empty());
    EXPECT_EQ(h.reports.back().message, "Function called itself too many times");
}

TEST_F(RunTest, DeepNestingIsAnErrorNotACrash) {
    TestHost h;
    std::string text = "var x = " + std::string(100000, '(') + "1" + std::string(100000, ')') + ";";
    EXPECT_EQ(h.Run(text.c_str()), 4u);
    ASSERT_EQ(h.reports.size(), 1u);
    EXPECT_EQ(h.reports[0].message, "Program nested too deeply");
    std::string blocks = std::string(50000, '{') + std::string(50000, '}');
    EXPECT_EQ(h.Run(blocks.c_str()), 4u);
    std::string skipped = "if (0) " + std::string(100000, '{') + std::string(100000, '}') + "; 'skipped'";
    EXPECT_EQ(h.Run(skipped.c_str()), 0u);
    EXPECT_EQ(h.ResultString(), "skipped");
}

}  // namespace
}  // namespace quillon_test
