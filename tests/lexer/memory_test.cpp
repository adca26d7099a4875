// Lexing under exhausted memory: every failure is 103, leaves no literal
// entry and no block behind, and the store stays usable.
#include "lexfixture.h"
#include "runtime/idtable.h"

namespace lexer_test {
namespace {

void Maker(ProgramSpace *, const char *, uint32_t, uint32_t, JSAny *out) {
    JSAny_SetStringCopy(out, "made");  // 103 in the record when memory runs out
}

TEST_F(LexerTest, EveryAllocationFailureOfARun) {
    Lex_SetRegExpMaker(&Maker);
    const std::string text =
        "var s = 'str\\x41', r = /a[b]/g, n = 0x1F + 1e3;\n"
        "function f(a) { return a / 2 + \"two\"; } /* x */ fresh1 = fresh2;";
    uint64_t n = 1;
    int failures = 0;
    for (; n < 400; ++n) {
        Pool_FailNth(n);
        Lexed l = Lex(text);
        bool failed = Pool_FailedCount() > 0;
        Pool_FailOff();
        if (!failed) {
            EXPECT_EQ(l.err, 0u);
            break;
        }
        ++failures;
        EXPECT_EQ(l.err, ERR_NOMEM) << n;
        EXPECT_EQ(Literals(), 0u) << n;
        Lex_EndRun(store_);
    }
    EXPECT_LT(n, 400u);
    EXPECT_GT(failures, 10);
    // A clean run afterwards gives every identifier its one entry.
    Lexed ok = Lex(text);
    ASSERT_EQ(ok.err, 0u);
    EXPECT_EQ(Str(ok.codes[3]), "strA");
    EXPECT_EQ(Str(ok.codes[7]), "made");
    Lex_EndRun(store_);
    EXPECT_EQ(Literals(), 0u);
}

TEST_F(LexerTest, StoreCreationUnderExhaustedMemory) {
    int32_t mem = MemUse;
    for (uint64_t n = 1; n <= 4; ++n) {
        Pool_FailNth(n);
        LexStore *s = Lex_CreateStore();
        Pool_FailOff();
        EXPECT_EQ(s, nullptr) << n;
        EXPECT_EQ(MemUse, mem);
    }
}

TEST_F(LexerTest, NameUnderExhaustedMemory) {
    for (uint64_t n = 1; n <= 3; ++n) {
        Pool_FailNth(n);
        uint32_t err = 0;
        uint32_t code = Lex_Name(store_, "someName", &err);
        bool failed = Pool_FailedCount() > 0;
        Pool_FailOff();
        if (!failed) {
            EXPECT_TRUE(Tk_IsOperand(code));
            break;
        }
        EXPECT_EQ(code, 0u);
        EXPECT_EQ(err, ERR_NOMEM);
        EXPECT_EQ(Id_Find(store_->ids, "someName", 8), nullptr);
    }
}

}  // namespace
}  // namespace lexer_test
