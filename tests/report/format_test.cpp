// The pieces of a report: heading, line number, the source line around the
// tokens and its narrowing to the statement.
#include "reportfixture.h"

namespace report_test {
namespace {

TEST_F(ReportTest, ErrorOnTheFirstLineIsLineOne) {
    const char *text = "x y;";
    Program(text);
    EXPECT_EQ(Err_Report(&ctx_, ROW_SEMICOLON, Tok("y")), ERR_STOP);
    const Shown &s = Last();
    EXPECT_EQ(s.kind, JSNOTIFY_ERROR);
    EXPECT_EQ(s.handle, 77u);
    EXPECT_EQ(s.heading, "Syntax error on line 1");
    EXPECT_EQ(s.message, "Semicolon expected");
    EXPECT_EQ(s.before, "x ");
    EXPECT_EQ(s.token, "y");
    EXPECT_EQ(s.after, ";");
    EXPECT_EQ(s.position, text + 2);
    EXPECT_EQ(Output(), "");
}

TEST_F(ReportTest, WithoutHostHandleTheReportGoesToTheDiagnosticOutput) {
    ctx_.hostHandle = 0;
    Program("b = 1;\na = x;");
    EXPECT_EQ(Err_Report(&ctx_, ROW_NOPROP, Tok("x")), ERR_STOP);
    EXPECT_TRUE(Host().shown.empty());
    EXPECT_EQ(Output(),
              "a = x;\n"
              "Reference error on line 2: Property not found\n");
}

TEST_F(ReportTest, ClassZeroHeadingIsCapitalised) {
    Program("a;");
    Err_Report(&ctx_, ROW_UNCAUGHT, Tok("a"));
    EXPECT_EQ(Last().heading, "Error on line 1");
}

class LongLineTest : public ReportTest {
protected:
    std::string text_;
};

TEST_F(LongLineTest, LongLineIsNarrowedToTheStatement) {
    for (int i = 0; text_.size() < 90; ++i) text_ += "first" + std::to_string(i) + " = 1; ";
    text_ += "target = x + 1; ";
    while (text_.size() < 200) text_ += "more = 2; ";
    Program(text_.c_str());
    Err_Report(&ctx_, ROW_NOPROP, Tok("x"));
    const Shown &s = Last();
    EXPECT_EQ(s.before, "target = ");
    EXPECT_EQ(s.token, "x");
    EXPECT_EQ(s.after, " + 1;");
    EXPECT_EQ(s.heading, "Reference error on line 1");
}

TEST_F(LongLineTest, NarrowingStartsAtEightyOneCharacters) {
    // 80 characters: the whole line.
    text_ = "a = 1; b = x; " + std::string(80 - 14 - 1, 'c') + ";";
    ASSERT_EQ(text_.size(), 80u);
    Program(text_.c_str());
    Err_Report(&ctx_, ROW_NOPROP, Tok("x"));
    EXPECT_EQ(Last().before, "a = 1; b = ");
    EXPECT_EQ(Last().after, "; " + std::string(65, 'c') + ";");
    // 81 characters: the statement.
    ctx_.reported = false;
    text_ = "a = 1; b = x; " + std::string(81 - 14 - 1, 'c') + ";";
    Program(text_.c_str());
    Err_Report(&ctx_, ROW_NOPROP, Tok("x"));
    EXPECT_EQ(Last().before, "b = ");
    EXPECT_EQ(Last().after, ";");
}

TEST_F(LongLineTest, LongLineWithoutSemicolonsKeepsItsEnds) {
    text_ = "value = " + std::string(100, 'y') + " + x";
    Program(text_.c_str());
    Err_Report(&ctx_, ROW_NOPROP, Tok("x"));
    EXPECT_EQ(Last().before, "value = " + std::string(100, 'y') + " + ");
    EXPECT_EQ(Last().after, "");
}

TEST_F(ReportTest, BlanksAndTabsAtTheLineEdgesAreTrimmed) {
    Program("\t  a = x;  \t\n");
    Err_Report(&ctx_, ROW_NOPROP, Tok("x"));
    EXPECT_EQ(Last().before, "a = ");
    EXPECT_EQ(Last().after, ";");
}

TEST_F(ReportTest, LinesEndAtCarriageReturnsToo) {
    Program("a;\r\nb = x;\r\nc");
    Err_Report(&ctx_, ROW_NOPROP, Tok("x"));
    EXPECT_EQ(Last().heading, "Reference error on line 2");
    EXPECT_EQ(Last().before, "b = ");
    EXPECT_EQ(Last().after, ";");
}

TEST_F(ReportTest, TheTokenPieceIsTheTokensOwnText) {
    Program("a = x   // note\n");
    Err_Report(&ctx_, ROW_NOPROP, Tok("x"));
    EXPECT_EQ(Last().token, "x");
    EXPECT_EQ(Last().after, "   // note");
    // The first token of the text, after blanks and a comment.
    ctx_.reported = false;
    Program("  /* c */ x = 1");
    Err_Report(&ctx_, ROW_NOPROP, Tok("x"));
    EXPECT_EQ(Last().before, "/* c */ ");
    EXPECT_EQ(Last().token, "x");
}

TEST_F(ReportTest, SpanOfTokens) {
    Program("q = a + b;");
    Err_ReportSpan(&ctx_, ROW_NO_EFFECT, Tok("a"), 3);
    EXPECT_EQ(Last().before, "q = ");
    EXPECT_EQ(Last().token, "a + b");
    EXPECT_EQ(Last().after, ";");
}

TEST_F(ReportTest, SpanOverSeveralLinesCountsFromItsStart) {
    Program("x;\nf(a,\n  b\n);\ny;");
    Err_ReportSpan(&ctx_, ROW_BAD_ARGS, Tok("f"), 8);
    EXPECT_EQ(Last().heading, "Type error on line 2");
    EXPECT_EQ(Last().token, "f(a,\n  b\n)");
    EXPECT_EQ(Last().after, ";");
}

TEST_F(ReportTest, AtTheEndOfTheProgram) {
    const char *text = "x;\nf(a";
    Program(text);
    Err_Report(&ctx_, ROW_RPAREN, End());
    EXPECT_EQ(Last().heading, "Syntax error on line 2");
    EXPECT_EQ(Last().before, "f(a");
    EXPECT_EQ(Last().token, "");
    EXPECT_EQ(Last().after, "");
    EXPECT_EQ(Last().position, text + 6);
}

TEST_F(ReportTest, WithoutAPositionThereIsNoLine) {
    Program("a;");
    Err_Report(&ctx_, ROW_NOT_FUNCTION, nullptr);
    EXPECT_EQ(Last().heading, "Type error");
    EXPECT_EQ(Last().before, "");
    EXPECT_EQ(Last().token, "");
    EXPECT_EQ(Last().after, "");
    EXPECT_EQ(Last().position, nullptr);
    // A token of another program is no position either.
    ctx_.reported = false;
    uint32_t other[] = {TK_ADD, 0};
    Err_Report(&ctx_, ROW_NOT_FUNCTION, other);
    EXPECT_EQ(Last().heading, "Type error");
    // Nor is a run without a token program.
    ctx_.reported = false;
    Code_Release(ctx_.code);
    ctx_.code = nullptr;
    Err_Report(&ctx_, ROW_NOT_FUNCTION, other);
    EXPECT_EQ(Last().heading, "Type error");
}

TEST_F(ReportTest, FunctionNameInTheHeading) {
    const char *text = "a = x;";
    Program(text);
    ctx_.fnName = "compute";
    Err_Report(&ctx_, ROW_NOT_FUNCTION, Tok("x"));
    EXPECT_EQ(Last().heading, "Type error on line 1 of function compute");
    EXPECT_EQ(Last().position, text + 4);
    ctx_.reported = false;
    Err_Report(&ctx_, ROW_NOT_FUNCTION, nullptr);
    EXPECT_EQ(Last().heading, "Type error in function compute");
    // Inside a function the host gets no source position.
    ctx_.reported = false;
    ctx_.act = reinterpret_cast<Activation *>(&ctx_);
    Err_Report(&ctx_, ROW_NOT_FUNCTION, Tok("x"));
    EXPECT_EQ(Last().position, nullptr);
    EXPECT_EQ(Last().token, "x");
    ctx_.act = nullptr;
}

TEST_F(LongLineTest, LinesAfterAVeryLongComment) {
    // More than 65535 bytes of comment (with line feeds) between two tokens.
    text_ = "a = 1; /*";
    for (int i = 0; i < 700; ++i) text_ += std::string(99, '*') + "\n";
    text_ += "*/ b = y;";
    Program(text_.c_str());
    Err_Report(&ctx_, ROW_NOPROP, Tok("y"));
    EXPECT_EQ(Last().heading, "Reference error on line 701");
    EXPECT_EQ(Last().before, "*/ b = ");
    EXPECT_EQ(Last().token, "y");
    EXPECT_EQ(Last().position, text_.c_str() + text_.size() - 2);
}

TEST_F(ReportTest, LinesOfAFunctionsOwnCopy) {
    Program("x = 1;\n\nfunction f() {\n  return y;\n}\n");
    const Code *run = ctx_.code;
    uint32_t from = static_cast<uint32_t>(Tok("function") - run->codes);
    uint32_t to = static_cast<uint32_t>(Tok("}") - run->codes);
    Code *fn = Code_NewCopy(run, from, to - from + 1);
    ASSERT_NE(fn, nullptr);
    Code_Release(ctx_.code);
    ctx_.code = fn;
    Err_Report(&ctx_, ROW_NOPROP, Tok("y"));
    EXPECT_EQ(Last().heading, "Reference error on line 4");
    EXPECT_EQ(Last().before, "return ");
    EXPECT_EQ(Last().after, ";");
}

}  // namespace
}  // namespace report_test
