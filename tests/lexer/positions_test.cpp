// Token lengths and the mapping of tokens back to the source.
#include "lexfixture.h"

namespace lexer_test {
namespace {

using V = std::vector<uint32_t>;

class PositionTest : public LexerTest {
protected:
    // Own text of token i of a lexed text.
    std::string Own(const std::string &text, const Lexed &l, uint32_t i) {
        std::vector<uint32_t> codes = l.codes, lens = l.lens;
        codes.push_back(0);
        lens.push_back(0);
        uint32_t s, e;
        Lex_TokenText(text.c_str(), codes.data(), lens.data(), codes.data() + i, &s, &e);
        return text.substr(s, e - s);
    }
};

TEST_F(PositionTest, LengthsRunToTheNextTokenAndLeadingBlanksCountFirst) {
    std::string text = "  a = 1; // c\n\tb";
    Lexed l = Lex(text);
    ASSERT_EQ(l.codes.size(), 6u);
    EXPECT_EQ(l.lens, (V{4, 2, 1, 6, 2, 1}));
    uint32_t sum = 0;
    for (uint32_t n : l.lens) sum += n;
    EXPECT_EQ(sum, text.size());
    std::vector<uint32_t> codes = l.codes, lens = l.lens;
    codes.push_back(0);
    lens.push_back(0);
    uint32_t s, e;
    Lex_TokenPosition(codes.data(), lens.data(), codes.data() + 3, &s, &e);
    EXPECT_EQ(s, 7u);
    EXPECT_EQ(e, 13u);
    Lex_TokenPosition(codes.data(), lens.data(), codes.data() + 6, &s, &e);
    EXPECT_EQ(s, text.size());
    EXPECT_EQ(e, text.size());
}

TEST_F(PositionTest, OwnTextLeavesOutBlanksAndComments) {
    std::string text = "\xEF\xBB\xBF /* x */ abc /* y */ + 'q\\'r' + /z/g -->0 12.5e1 ;\r\n";
    Lexed l = Lex(text);
    ASSERT_EQ(l.codes.size(), 11u);
    const char *own[] = {"abc", "+", "'q\\'r'", "+", "/z/g", "--", ">", "0", "12.5e1", ";",
                         "\r\n", ""};
    for (uint32_t i = 0; i < 12; ++i) EXPECT_EQ(Own(text, l, i), own[i]) << i;

    std::string bad = "'open\n/* never closed";
    Lexed b = Lex(bad);
    ASSERT_EQ(b.codes.size(), 5u);
    EXPECT_EQ(Own(bad, b, 0), "'open");
    EXPECT_EQ(Own(bad, b, 2), "/*");
}

TEST_F(PositionTest, LengthsPastSixteenBits) {
    // A token followed by 70000 bytes of comment still maps exactly.
    std::string text = "a /*" + std::string(70000, 'x') + "*/\nb\n c";
    Lexed l = Lex(text);
    ASSERT_EQ(l.codes.size(), 5u);
    EXPECT_EQ(l.lens[0], 70006u);
    std::vector<uint32_t> codes = l.codes, lens = l.lens;
    codes.push_back(0);
    lens.push_back(0);
    uint32_t s, e;
    Lex_TokenText(text.c_str(), codes.data(), lens.data(), codes.data() + 4, &s, &e);
    EXPECT_EQ(text.substr(s, e - s), "c");
    EXPECT_EQ(s, text.size() - 1);
}

}  // namespace
}  // namespace lexer_test
