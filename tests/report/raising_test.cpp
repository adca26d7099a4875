// The raising rules: one report per run, warnings in lenient runs, codes
// and error values mapped to rows, and reports kept for `catch`.
#include "reportfixture.h"

namespace report_test {
namespace {

TEST_F(ReportTest, OnlyTheFirstErrorOfARunIsShown) {
    Program("a; b;");
    EXPECT_EQ(Err_Report(&ctx_, ROW_NOPROP, Tok("a")), ERR_STOP);
    EXPECT_TRUE(ctx_.reported);
    EXPECT_EQ(Err_Report(&ctx_, ROW_NOT_FUNCTION, Tok("b")), ERR_STOP);
    EXPECT_EQ(Err_ReportCode(&ctx_, ERR_NOPROP, Tok("b"), 1), ERR_STOP);
    EXPECT_EQ(Err_ReportOnce(&ctx_, ROW_NOPROP, Tok("b"), 1), ERR_STOP);
    EXPECT_EQ(Err_ReportText(&ctx_, EC_TYPE, "x", Tok("b"), 1), ERR_STOP);
    ASSERT_EQ(Host().shown.size(), 1u);
    EXPECT_EQ(Host().shown[0].message, "Property not found");
}

TEST_F(ReportTest, LenientRunsShowEveryErrorAsAWarning) {
    ctx_.flags = RUN_LENIENT;
    Program("a; b;");
    EXPECT_EQ(Err_Report(&ctx_, ROW_NOT_FUNCTION, Tok("a")), 0u);
    EXPECT_EQ(Err_Report(&ctx_, ROW_NOPROP, Tok("b")), 0u);
    ASSERT_EQ(Host().shown.size(), 2u);
    EXPECT_EQ(Host().shown[0].kind, JSNOTIFY_WARNING);
    EXPECT_EQ(Host().shown[0].heading, "Type warning on line 1");
    EXPECT_EQ(Host().shown[1].heading, "Reference warning on line 1");
    EXPECT_FALSE(ctx_.reported);
    // Class 0 warnings are capitalised too.
    Err_Report(&ctx_, ROW_UNCAUGHT, Tok("a"));
    EXPECT_EQ(Last().heading, "Warning on line 1");
    // "Once" reports are errors even in a lenient run.
    EXPECT_EQ(Err_ReportOnce(&ctx_, ROW_NOPROP, Tok("a"), 1), ERR_STOP);
    EXPECT_EQ(Last().kind, JSNOTIFY_ERROR);
    EXPECT_EQ(Last().heading, "Reference error on line 1");
    EXPECT_TRUE(ctx_.reported);
}

struct CodeCase {
    uint32_t code;
    const char *heading;
    const char *message;
};

TEST_F(ReportTest, CodesAreReportedWithTheirRows) {
    const CodeCase cases[] = {
        {ERR_STRING_OPEN, "Syntax error on line 1", "String not terminated"},
        {ERR_COMMENT_OPEN, "Syntax error on line 1", "Unmatched comment"},
        {ERR_BADARGS, "Type error on line 1", "Bad arguments for function"},
        {ERR_NOTIMPL, "Reference error on line 1", "Function not implemented"},
        {ERR_WRONGTYPE, "Type error on line 1", "Wrong type of object for operation"},
        {ERR_RX_PARENEXPECTED, "Syntax error on line 1", "Right parenthesis expected"},
        {ERR_URI, "URI error on line 1", "Malformed URI sequence"},
        {ERR_RX_TOOMANY, "Error on line 1", "Regular expression has too many parenthesis"},
        {ERR_NOMEM, "Error on line 1", "not enough memory available"},
        {ERR_BREAK, "Error on line 1", "User break"},
        {0, "Error on line 1", "Everything's OK"},
        {CPL_BREAK, "Error on line 1", ""},
    };
    Program("a;");
    for (const CodeCase &c : cases) {
        ctx_.reported = false;
        EXPECT_EQ(Err_ReportCode(&ctx_, c.code, Tok("a"), 1), ERR_STOP);
        EXPECT_EQ(Last().heading, c.heading) << c.code;
        EXPECT_EQ(Last().message, c.message) << c.code;
    }
    // A code already shown is passed back as it is.
    size_t n = Host().shown.size();
    ctx_.reported = false;
    EXPECT_EQ(Err_ReportCode(&ctx_, ERR_STOP, Tok("a"), 1), ERR_STOP);
    EXPECT_EQ(Err_ReportCode(&ctx_, ERR_REPORTED | ERR_BREAK, Tok("a"), 1),
              ERR_REPORTED | ERR_BREAK);
    EXPECT_EQ(Host().shown.size(), n);
}

TEST_F(ReportTest, ErrorValuesAreReportedOnce) {
    Program("a;");
    JSAny v = JSAny_Err(ERR_RX_FLAG);
    EXPECT_EQ(Err_ReportValue(&ctx_, Tok("a"), 1, &v), ERR_STOP);
    EXPECT_EQ(Last().message, "Invalid regular expression flag");
    EXPECT_EQ(v.type, JSANY_ERROR);
    EXPECT_EQ(v.code, ERR_STOP);
    ctx_.reported = false;
    EXPECT_EQ(Err_ReportValue(&ctx_, Tok("a"), 1, &v), ERR_STOP);
    EXPECT_EQ(Host().shown.size(), 1u);
    // Code 0 in an error value reads as "wrong type".
    JSAny zero = JSAny_Err(0);
    Err_ReportValue(&ctx_, Tok("a"), 1, &zero);
    EXPECT_EQ(Last().message, "Wrong type of object for operation");
    JSAny num = JSAny_Num(1);
    EXPECT_EQ(Err_ReportValue(&ctx_, Tok("a"), 1, &num), 0u);
    EXPECT_EQ(num.type, JSANY_NUMBER);
}

TEST_F(ReportTest, MessagesOfTheirOwn) {
    Program("throw x;");
    Err_ReportText(&ctx_, EC_RANGE, "Uncaught exception: boom", Tok("x"), 1);
    EXPECT_EQ(Last().heading, "Range error on line 1");
    EXPECT_EQ(Last().message, "Uncaught exception: boom");
}

TEST_F(ReportTest, InsideTryTheReportIsKeptNotShown) {
    ctx_.inTry = true;
    ctx_.fnName = "g";
    Program("x = 1;\ny = a.b;");
    EXPECT_EQ(Err_Report(&ctx_, ROW_NOPROP, Tok("b")), ERR_STOP);
    EXPECT_TRUE(Host().shown.empty());
    EXPECT_EQ(Output(), "");
    EXPECT_FALSE(ctx_.reported);  // later errors, after the catch, still show
    const TryReport &t = ctx_.tryReport;
    ASSERT_TRUE(t.valid);
    EXPECT_STREQ(t.heading, "Reference error on line 2 of function g");
    EXPECT_STREQ(t.message, "Property not found");
    EXPECT_STREQ(t.before, "y = a.");
    EXPECT_STREQ(t.token, "b");
    EXPECT_STREQ(t.after, ";");
    EXPECT_EQ(t.kind, JSNOTIFY_ERROR);
    EXPECT_EQ(t.errClass, EC_REFERENCE);
    // A later report replaces it.
    Err_ReportText(&ctx_, EC_TYPE, "custom", Tok("x"), 1);
    EXPECT_STREQ(t.heading, "Type error on line 1 of function g");
    EXPECT_STREQ(t.message, "custom");
    EXPECT_EQ(t.errClass, EC_TYPE);
    Err_ClearTryReport(&ctx_);
    EXPECT_FALSE(t.valid);
    EXPECT_EQ(t.heading, nullptr);
    // Out of try again: shown.
    ctx_.inTry = false;
    Err_Report(&ctx_, ROW_NOPROP, Tok("b"));
    EXPECT_EQ(Host().shown.size(), 1u);
}

TEST_F(ReportTest, WithoutANotifyHookTheDiagnosticOutputShowsIt) {
    hooks_.HostNotify = nullptr;
    Program("a;");
    Err_Report(&ctx_, ROW_NOPROP, Tok("a"));
    // A host's writer gets plain text: no colour sequences at all.
    EXPECT_EQ(Output(), "a;\nReference error on line 1: Property not found\n");
}

}  // namespace
}  // namespace report_test
