// String literals: escapes, code points above 255, line continuations by
// compatibility level, and unterminated strings.
#include "lexfixture.h"

namespace lexer_test {
namespace {

using V = std::vector<uint32_t>;
constexpr uint32_t OP = TK_OPERAND;

class StringTest : public LexerTest {
protected:
    // The value of a text holding one string literal.
    std::string One(const std::string &text, int32_t compat = 0) {
        Lexed l = Lex(text, compat);
        EXPECT_EQ(l.codes.size(), 1u) << text;
        return l.codes.size() == 1 ? Str(l.codes[0]) : "<bad>";
    }
};

TEST_F(StringTest, SimpleEscapes) {
    EXPECT_EQ(One(R"("a\nb\rc\td\be\ff\vg")"), "a\nb\rc\td\be\ff\vg");
    EXPECT_EQ(One(R"('\'\"\\')"), "'\"\\");
    EXPECT_EQ(One(R"("it's")"), "it's");
    EXPECT_EQ(One(R"('say "hi"')"), "say \"hi\"");
    EXPECT_EQ(One(R"("\q\z\8")"), "qz8");
    EXPECT_EQ(One(R"("")"), "");
}

TEST_F(StringTest, HexAndUnicodeEscapesNeedAllTheirDigits) {
    EXPECT_EQ(One(R"("\x41\x4a")"), "AJ");
    EXPECT_EQ(One(R"("\x4g")"), "x4g");
    EXPECT_EQ(One(R"("\x4")"), "x4");
    EXPECT_EQ(One(R"("\u12")"), "u12");
    EXPECT_EQ(One(R"("\u004")"), "u004");
    EXPECT_EQ(One(R"("\u0041\u00e9")"), "A\xE9");
}

TEST_F(StringTest, OctalEscapes) {
    EXPECT_EQ(One(R"("\101")"), "A");
    EXPECT_EQ(One(R"("\1011")"), "A1");  // at most three digits
    EXPECT_EQ(One(R"("\7a")"), "\x07" "a");
    EXPECT_EQ(One(R"("\08")"), std::string("\0" "8", 2));
    EXPECT_EQ(One(R"("a\0b")"), std::string("a\0b", 3));
}

TEST_F(StringTest, CodePointsAbove255BecomeOneByte) {
    EXPECT_EQ(One(R"("\u2014")"), "\x97");
    EXPECT_EQ(One(R"("\u2122")"), "\x99");
    EXPECT_EQ(One(R"("\u2010\u2013\u2018\u2019\u201c\u201d\u2022")"),
              "\x2D\x96\x91\x92\x93\x94\x95");
    EXPECT_EQ(One(R"("\u201F\u2020\u2021\u2016\u2017\u201B\u201A\u201E")"),
              "\x93\x86\x87\x7C\x5F\x60\x81\x84");
    EXPECT_EQ(One(R"("\u2011")"), std::string(1, '\0'));
    EXPECT_EQ(One(R"("\u4e00\u2023\u200f\u0100")"), "????");
}

TEST_F(StringTest, LineContinuationByCompatibilityLevel) {
    EXPECT_EQ(One("\"a\\\nb\"", 0), "ab");
    EXPECT_EQ(One("\"a\\\nb\"", 1), "a\nb");
    EXPECT_EQ(One("\"a\\\nb\"", 2), "a\nb");
    EXPECT_EQ(One("\"a\\\nb\"", 3), "a\nb");
    EXPECT_EQ(One("\"a\\\nb\"", 4), "ab");
    // A carriage return (with its line feed) continues at every level.
    EXPECT_EQ(One("\"a\\\r\nb\"", 2), "ab");
    EXPECT_EQ(One("\"a\\\rb\"", 0), "ab");
}

TEST_F(StringTest, UnterminatedStringThenTheNextLine) {
    Lexed l = Lex("x = \"abc\ny = 'd';");
    ASSERT_EQ(Kinds(l), (V{OP, TK_ASSIGN, OP, TK_LINE, OP, TK_ASSIGN, OP, TK_SEMI}));
    EXPECT_EQ(ErrOf(l.codes[2]), ERR_STRING_OPEN);
    EXPECT_EQ(Str(l.codes[6]), "d");
    // The source positions stay right after the broken literal.
    EXPECT_EQ(l.lens[2], 4u);

    Lexed cr = Lex("'abc\r\nb");
    ASSERT_EQ(Kinds(cr), (V{OP, TK_LINE, OP}));
    EXPECT_EQ(ErrOf(cr.codes[0]), ERR_STRING_OPEN);

    Lexed end = Lex("'abc\\");
    ASSERT_EQ(Kinds(end), (V{OP}));
    EXPECT_EQ(ErrOf(end.codes[0]), ERR_STRING_OPEN);
    EXPECT_EQ(end.lens[0], 5u);
    // A quote of the other kind does not close.
    Lexed mixed = Lex("\"abc'");
    EXPECT_EQ(ErrOf(mixed.codes[0]), ERR_STRING_OPEN);
}

}  // namespace
}  // namespace lexer_test
