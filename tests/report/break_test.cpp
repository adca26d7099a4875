// The user-break poll and check.
#include "reportfixture.h"

namespace report_test {
namespace {

TEST_F(ReportTest, PollAnswerGoOn) {
    Program("while (1) {}");
    Host().pollAnswer = 0;
    EXPECT_EQ(Err_PollBreak(&ctx_, Tok("while")), 0u);
    EXPECT_EQ(Host().polls, 1);
    EXPECT_TRUE(Host().shown.empty());
}

TEST_F(ReportTest, PollAnswerStopQuietly) {
    Program("while (1) {}");
    Host().pollAnswer = JSANSWER_STOP;
    EXPECT_EQ(Err_PollBreak(&ctx_, Tok("while")), 0x40001001u);
    EXPECT_TRUE(Host().shown.empty());
    EXPECT_FALSE(ctx_.reported);
}

TEST_F(ReportTest, PollAnswerBreakShowsTheReportOnce) {
    Program("while (1) {}");
    Host().pollAnswer = JSANSWER_BREAK;
    EXPECT_EQ(Err_PollBreak(&ctx_, Tok("while")), 0x40001001u);
    ASSERT_EQ(Host().shown.size(), 1u);
    EXPECT_EQ(Last().kind, JSNOTIFY_ERROR);
    EXPECT_EQ(Last().heading, "Error on line 1");
    EXPECT_EQ(Last().message, "Break character recieved");
    EXPECT_EQ(Last().token, "while");
    EXPECT_TRUE(ctx_.reported);
    Host().pollAnswer = 5;
    EXPECT_EQ(Err_PollBreak(&ctx_, Tok("while")), 0x40001001u);
    EXPECT_EQ(Host().shown.size(), 1u);
}

TEST_F(ReportTest, BreakIsShownEvenInsideTryAndInLenientRuns) {
    ctx_.inTry = true;
    ctx_.flags = RUN_LENIENT;
    Program("x;");
    Host().pollAnswer = JSANSWER_BREAK;
    EXPECT_EQ(Err_PollBreak(&ctx_, Tok("x")), 0x40001001u);
    ASSERT_EQ(Host().shown.size(), 1u);
    EXPECT_EQ(Last().kind, JSNOTIFY_ERROR);
    EXPECT_FALSE(ctx_.tryReport.valid);
}

TEST_F(ReportTest, NullNotifyHookAnswersGoOn) {
    hooks_.HostNotify = nullptr;
    Program("x;");
    EXPECT_EQ(Err_PollBreak(&ctx_, Tok("x")), 0u);
    EXPECT_EQ(Output(), "");
}

TEST_F(ReportTest, WithoutHostHandleABreakStopsTheRun) {
    ctx_.hostHandle = 0;
    Program("x;");
    EXPECT_EQ(Err_PollBreak(&ctx_, Tok("x")), ERR_BREAK);
    EXPECT_EQ(Host().polls, 0);
    EXPECT_NE(Output().find("Error on line 1: Break character recieved\n"), std::string::npos);
    Output().clear();
    EXPECT_EQ(Err_PollBreak(&ctx_, Tok("x")), ERR_BREAK);
    EXPECT_EQ(Output(), "");
}

TEST_F(ReportTest, CheckPollsOnlyForPendingSignalsUnderTheMask) {
    Program("x;");
    Host().pollAnswer = 0;
    ctx_.breakMask = JSSIGNAL_CTRL_C;
    Plat_SetSignal(0, ~0u);
    EXPECT_EQ(Err_CheckBreak(&ctx_, Tok("x")), 0u);
    EXPECT_EQ(Host().polls, 0);
    Plat_SetSignal(1u << 13, 1u << 13);  // not under the mask
    EXPECT_EQ(Err_CheckBreak(&ctx_, Tok("x")), 0u);
    EXPECT_EQ(Host().polls, 0);
    Plat_SetSignal(JSSIGNAL_CTRL_C, JSSIGNAL_CTRL_C);
    EXPECT_EQ(Err_CheckBreak(&ctx_, Tok("x")), 0u);
    EXPECT_EQ(Host().polls, 1);
    // The signal stays pending (clearing it is the host's part), so a host
    // that said "go on" is asked again at the next check.
    EXPECT_EQ(Plat_SetSignal(0, 0) & JSSIGNAL_CTRL_C, JSSIGNAL_CTRL_C);
    EXPECT_EQ(Err_CheckBreak(&ctx_, Tok("x")), 0u);
    EXPECT_EQ(Host().polls, 2);
    Host().pollAnswer = JSANSWER_STOP;
    Plat_SetSignal(JSSIGNAL_CTRL_C, JSSIGNAL_CTRL_C);
    EXPECT_EQ(Err_CheckBreak(&ctx_, Tok("x")), 0x40001001u);
}

}  // namespace
}  // namespace report_test
