// Reports under exhausted memory: shown without the pieces that could not be
// made, and nothing is left behind.
#include "reportfixture.h"

namespace report_test {
namespace {

TEST_F(ReportTest, ShownWithoutTheMissingPieces) {
    Program("a = 1;\nb = x + 2;");
    int32_t mem = MemUse;
    uint64_t n = 1;
    for (; n < 50; ++n) {
        ctx_.reported = false;
        Host().shown.clear();
        Pool_FailNth(n);
        EXPECT_EQ(Err_Report(&ctx_, ROW_NOPROP, Tok("x")), ERR_STOP);
        bool failed = Pool_FailedCount() > 0;
        Pool_FailOff();
        EXPECT_EQ(MemUse, mem) << n;
        ASSERT_EQ(Host().shown.size(), 1u) << n;
        EXPECT_EQ(Last().message, "Property not found");
        if (!failed) {
            EXPECT_EQ(Last().heading, "Reference error on line 2");
            EXPECT_EQ(Last().before, "b = ");
            break;
        }
        // Missing pieces arrive as empty texts, never as null.
        EXPECT_NE(Last().heading, "<null>");
        EXPECT_NE(Last().token, "<null>");
    }
    EXPECT_EQ(n, 5u);  // four pieces: before, token, after, heading
}

TEST_F(ReportTest, DiagnosticOutputUnderExhaustedMemory) {
    ctx_.hostHandle = 0;
    Program("a = x;");
    for (uint64_t n = 1; n <= 5; ++n) {
        ctx_.reported = false;
        Output().clear();
        Pool_FailNth(n);
        Err_Report(&ctx_, ROW_NOPROP, Tok("x"));
        Pool_FailOff();
        EXPECT_NE(Output().find("Property not found\n"), std::string::npos) << n;
    }
}

TEST_F(ReportTest, KeptForCatchUnderExhaustedMemory) {
    ctx_.inTry = true;
    Program("a = x;");
    int32_t mem = MemUse;
    for (uint64_t n = 1; n <= 6; ++n) {
        Pool_FailNth(n);
        uint32_t r = Err_Report(&ctx_, ROW_NOPROP, Tok("x"));
        Pool_FailOff();
        // Without its heading or message the report would give catch a
        // wrong Error: the failure becomes out of memory instead.
        if (ctx_.tryReport.valid) {
            EXPECT_NE(ctx_.tryReport.heading, nullptr) << n;
            EXPECT_NE(ctx_.tryReport.message, nullptr) << n;
        } else {
            EXPECT_EQ(r, ERR_NOMEM) << n;
        }
        Err_ClearTryReport(&ctx_);
        EXPECT_EQ(MemUse, mem) << n;
    }
}

}  // namespace
}  // namespace report_test
