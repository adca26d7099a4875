// The operand-table dump.
#include "lexfixture.h"
#include "platform/signals.h"
#include "quillon.h"

namespace lexer_test {
namespace {

TEST_F(LexerTest, DumpListsEveryEntry) {
    Lexed l = Lex("foo = 'str' + 12 + /re/ + keep");
    uint32_t keep[] = {l.codes[6], 0};  // the regular expression (no maker: an error)
    Lex_Mark(store_, keep);
    Lex_EndRun(store_);  // frees the string and the number below it
    Captured().clear();
    Lex_Dump(store_);
    EXPECT_EQ(Captured(),
              "Token data:\n"
              "<0> = foo marks=1\n"
              "<1> = <void> marks=-1\n"
              "<2> = <void> marks=-1\n"
              "<3> = ERROR marks=1\n"
              "<4> = keep marks=1\n");
    Lex_Unmark(store_, keep);
    Lexed n = Lex("'a\"b' 2.5");
    Captured().clear();
    Lex_Dump(store_);
    EXPECT_NE(Captured().find("<1> = \"a\"b\" marks=0\n<2> = 2.5 marks=0\n"), std::string::npos)
        << Captured();
    Lex_EndRun(store_);
}

TEST_F(LexerTest, DumpStopsWhenTheUserPressesBreak) {
    Lex("a b c");
    Plat_SetSignal(JSSIGNAL_CTRL_C, JSSIGNAL_CTRL_C);
    Captured().clear();
    Lex_Dump(store_);
    Plat_SetSignal(0, JSSIGNAL_CTRL_C);
    EXPECT_EQ(Captured(), "Token data:\n");
}

}  // namespace
}  // namespace lexer_test
