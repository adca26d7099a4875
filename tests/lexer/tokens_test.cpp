// Which tokens a text becomes: the longest match, the slash and arrow rules,
// comments, blanks, identifiers, numbers and the fallback.
#include <cmath>

#include "lexfixture.h"

namespace lexer_test {
namespace {

using V = std::vector<uint32_t>;
constexpr uint32_t OP = TK_OPERAND;

TEST_F(LexerTest, DivisionAfterOperandsAndClosers) {
    EXPECT_EQ(Kinds(Lex("a/b/c")), (V{OP, TK_DIV, OP, TK_DIV, OP}));
    EXPECT_EQ(Kinds(Lex("(a)/2")), (V{TK_LPAREN, OP, TK_RPAREN, TK_DIV, OP}));
    EXPECT_EQ(Kinds(Lex("x[1]/2")), (V{OP, TK_LBRACKET, OP, TK_RBRACKET, TK_DIV, OP}));
    EXPECT_EQ(Kinds(Lex("this/2")), (V{KW_THIS, TK_DIV, OP}));
    EXPECT_EQ(Kinds(Lex("true/false/null")), (V{KW_TRUE, TK_DIV, KW_FALSE, TK_DIV, KW_NULL}));
    // Line breaks are passed over when looking back.
    EXPECT_EQ(Kinds(Lex("a\n/b/c")), (V{OP, TK_LINE, TK_DIV, OP, TK_DIV, OP}));
    EXPECT_EQ(Kinds(Lex("a /= 2")), (V{OP, TK_DIV_ASSIGN, OP}));
}

TEST_F(LexerTest, RegularExpressionLiteralsWhereAnOperandStarts) {
    Lexed l = Lex("x = /b/g");
    ASSERT_EQ(Kinds(l), (V{OP, TK_ASSIGN, OP}));
    // Without a maker the literal holds "not implemented".
    EXPECT_EQ(ErrOf(l.codes[2]), ERR_NOTIMPL);
    EXPECT_EQ(Kinds(Lex("/a/.test(s)")), (V{OP, TK_DOT, OP, TK_LPAREN, OP, TK_RPAREN}));
    EXPECT_EQ(Kinds(Lex("a +\n/x/")), (V{OP, TK_ADD, TK_LINE, OP}));
    EXPECT_EQ(Kinds(Lex("f(/x/, /y/)")), (V{OP, TK_LPAREN, OP, TK_COMMA, OP, TK_RPAREN}));
    // "/=" at the start of a literal is part of its body.
    Lexed eq = Lex("x = /=+/");
    ASSERT_EQ(Kinds(eq), (V{OP, TK_ASSIGN, OP}));
    EXPECT_EQ(eq.lens[2], 4u);
    // At the start of the program and of a line after a statement.
    EXPECT_EQ(Kinds(Lex("/re/g.exec(s)")), (V{OP, TK_DOT, OP, TK_LPAREN, OP, TK_RPAREN}));
    EXPECT_EQ(Kinds(Lex("x = 1;\n/re/")), (V{OP, TK_ASSIGN, OP, TK_SEMI, TK_LINE, OP}));
    EXPECT_EQ(Kinds(Lex("\n\n/re/")), (V{TK_LINE, TK_LINE, OP}));
    // After a keyword that is not an operand a literal starts.
    EXPECT_EQ(Kinds(Lex("return /x/")), (V{KW_RETURN, OP}));
}

TEST_F(LexerTest, RegularExpressionErrorsBecomeOperands) {
    Lexed l = Lex("/abc/gq + 1");
    ASSERT_EQ(Kinds(l), (V{OP, TK_ADD, OP}));
    EXPECT_EQ(ErrOf(l.codes[0]), ERR_RX_FLAG);
    EXPECT_EQ(l.lens[0], 8u);  // "/abc/gq" and the blank after it

    Lexed open = Lex("x = /ab\ny");
    ASSERT_EQ(Kinds(open), (V{OP, TK_ASSIGN, OP, TK_LINE, OP}));
    EXPECT_EQ(ErrOf(open.codes[2]), ERR_RX_OPEN);

    Lexed cls = Lex("x = /a[b/c\n");
    ASSERT_EQ(Kinds(cls), (V{OP, TK_ASSIGN, OP, TK_LINE}));
    EXPECT_EQ(ErrOf(cls.codes[2]), ERR_RX_CLASSOPEN);

    // A slash inside a class and an escaped slash do not end the body;
    // a Latin-1 letter after the flags is a bad flag, a digit is not.
    EXPECT_EQ(Kinds(Lex("x = /[/]\\//g")), (V{OP, TK_ASSIGN, OP}));
    Lexed latin = Lex("x = /a/i\xE9");
    EXPECT_EQ(ErrOf(latin.codes[2]), ERR_RX_FLAG);
    EXPECT_EQ(Kinds(Lex("x = /a/i\xF7")), (V{OP, TK_ASSIGN, OP, TK_OTHER}));
    EXPECT_EQ(Kinds(Lex("x = /a/m1")), (V{OP, TK_ASSIGN, OP, OP}));
}

struct MadeRegExp {
    std::string body;
    uint32_t flags = 0;
    int calls = 0;
    bool fail = false;
};
MadeRegExp gMade;

void TestMaker(ProgramSpace *, const char *body, uint32_t len, uint32_t flags, JSAny *out) {
    ++gMade.calls;
    gMade.body.assign(body, len);
    gMade.flags = flags;
    *out = gMade.fail ? JSAny_Err(ERR_NOMEM) : JSAny_Num(42);
}

TEST_F(LexerTest, RegularExpressionMakerGetsBodyAndFlags) {
    gMade = MadeRegExp{};
    Lex_SetRegExpMaker(&TestMaker);
    Lexed l = Lex("r = /a\\/[/]b/gim;");
    ASSERT_EQ(Kinds(l), (V{OP, TK_ASSIGN, OP, TK_SEMI}));
    EXPECT_EQ(gMade.calls, 1);  // made once, for the winning match only
    EXPECT_EQ(gMade.body, "a\\/[/]b");
    EXPECT_EQ(gMade.flags, 7u);
    EXPECT_EQ(Num(l.codes[2]), 42);
    // Errors found by the lexer never reach the maker.
    Lex("/x/q");
    EXPECT_EQ(gMade.calls, 1);
    // Exhausted memory in the maker stops lexing; nothing is left behind.
    uint32_t before = Literals();
    gMade.fail = true;
    EXPECT_EQ(Lex("a = 'str'; b = /x/").err, ERR_NOMEM);
    EXPECT_EQ(Literals(), before);
}

TEST_F(LexerTest, ArrowAndHtmlComments) {
    EXPECT_EQ(Kinds(Lex("x-->0")), (V{OP, TK_DEC, TK_GT, OP}));
    EXPECT_EQ(Kinds(Lex("--> a comment\nb")), (V{TK_LINE, OP}));
    EXPECT_EQ(Kinds(Lex("a\n--> comment\nb")), (V{OP, TK_LINE, TK_LINE, OP}));
    EXPECT_EQ(Kinds(Lex("a <!-- comment\nb")), (V{OP, TK_LINE, OP}));
    EXPECT_EQ(Kinds(Lex("a<!b")), (V{OP, TK_LT, TK_NOT, OP}));
    EXPECT_EQ(Kinds(Lex("a // x /* y\nb")), (V{OP, TK_LINE, OP}));
    EXPECT_EQ(Kinds(Lex("a /* x\n y */ b")), (V{OP, OP}));
    EXPECT_EQ(Kinds(Lex("a\r\nb\rc")), (V{OP, TK_LINE, OP, TK_LINE, OP}));
}

TEST_F(LexerTest, UnmatchedBlockCommentGoesOnAfterIt) {
    Lexed l = Lex("a /* b c");
    ASSERT_EQ(Kinds(l), (V{OP, OP, OP, OP}));
    EXPECT_EQ(ErrOf(l.codes[1]), ERR_COMMENT_OPEN);
    EXPECT_EQ(Lex_NameOf(store_, l.codes[2]), std::string("b"));
    // Every later opening is unmatched as well; closed ones before still close.
    Lexed more = Lex("/* ok */ a /* b /* c /* d");
    ASSERT_EQ(Kinds(more), (V{OP, OP, OP, OP, OP, OP, OP}));
    EXPECT_EQ(ErrOf(more.codes[1]), ERR_COMMENT_OPEN);
    EXPECT_EQ(ErrOf(more.codes[5]), ERR_COMMENT_OPEN);
    EXPECT_STREQ(Lex_NameOf(store_, more.codes[6]), "d");
}

TEST_F(LexerTest, BlanksByteOrderMarkAndNoBreakSpace) {
    EXPECT_EQ(Kinds(Lex("\xEF\xBB\xBFvar a")), (V{KW_VAR, OP}));
    EXPECT_EQ(Kinds(Lex("a\xEF\xBB\xBF=\xA0" "1")), (V{OP, TK_ASSIGN, OP}));
    EXPECT_EQ(Kinds(Lex("\t\v\f a")), (V{OP}));
    // A lone piece of the byte-order mark is not a blank.
    EXPECT_EQ(Kinds(Lex("a\xEF\xBB")), (V{OP, TK_OTHER, TK_OTHER}));
    EXPECT_TRUE(Lex("  \t ").codes.empty());
    EXPECT_TRUE(Lex("").codes.empty());
}

TEST_F(LexerTest, KeywordsAndIdentifiers) {
    Lexed l = Lex("iffy if $x_1 _ in instanceof inx \xE9t\xE9");
    ASSERT_EQ(Kinds(l), (V{OP, KW_IF, OP, OP, TK_IN, TK_INSTANCEOF, OP, TK_OTHER, OP, TK_OTHER}));
    EXPECT_STREQ(Lex_NameOf(store_, l.codes[0]), "iffy");
    EXPECT_STREQ(Lex_NameOf(store_, l.codes[2]), "$x_1");
    EXPECT_STREQ(Lex_NameOf(store_, l.codes[8]), "t");
    EXPECT_EQ(Lex_NameOf(store_, KW_IF), nullptr);
    // Keywords are not interned as identifiers.
    uint32_t err = 0;
    uint32_t ifCode = Lex_Name(store_, "if", &err);
    EXPECT_EQ(err, 0u);
    EXPECT_TRUE(Tk_IsOperand(ifCode));
    EXPECT_EQ(Kinds(Lex("function typeof void delete new")),
              (V{KW_FUNCTION, KW_TYPEOF, KW_VOID, KW_DELETE, KW_NEW}));
}

TEST_F(LexerTest, OperatorsTakeTheLongestText) {
    EXPECT_EQ(Lex(">>>= >>> >>= >> >= >").codes,
              (V{TK_SHR_ASSIGN, TK_SHR, TK_SAR_ASSIGN, TK_SAR, TK_GE, TK_GT}));
    EXPECT_EQ(Lex("a>>>=b").codes.size(), 3u);
    EXPECT_EQ(Lex("=== !== ++ +=").codes, (V{TK_SEQ, TK_SNE, TK_INC, TK_ADD_ASSIGN}));
    EXPECT_EQ(Lex("@#\\").codes, (V{TK_OTHER, TK_OTHER, TK_OTHER}));
}

TEST_F(LexerTest, NumericLiterals) {
    Lexed l = Lex("08 010 0x1F 1e3 0.3 .5 5. 019 1E+2 2e-1 0");
    ASSERT_EQ(l.codes.size(), 11u);
    double want[] = {8, 8, 31, 1000, 0.3, 0.5, 5, 19, 100, 0.2, 0};
    for (size_t i = 0; i < 11; ++i) EXPECT_EQ(Num(l.codes[i]), want[i]) << i;
    // The exponent needs a digit: "1e" is 1 and the identifier e.
    Lexed e = Lex("1e");
    ASSERT_EQ(Kinds(e), (V{OP, OP}));
    EXPECT_EQ(Num(e.codes[0]), 1);
    EXPECT_STREQ(Lex_NameOf(store_, e.codes[1]), "e");
    // "." alone is punctuation; "a.5" is a, .5
    EXPECT_EQ(Kinds(Lex("a.b")), (V{OP, TK_DOT, OP}));
    EXPECT_EQ(Kinds(Lex("5..x")), (V{OP, TK_DOT, OP}));
}

TEST_F(LexerTest, NumericLiteralsAreCorrectlyRounded) {
    Lexed l = Lex("0.1 0.3 1.7976931348623157e308 2.2250738585072014e-308 "
                  "123456789012345678901234567890 9007199254740993 1e23");
    ASSERT_EQ(l.codes.size(), 7u);
    EXPECT_EQ(Num(l.codes[0]), 0.1);
    EXPECT_EQ(Num(l.codes[1]), 0.3);
    EXPECT_EQ(Num(l.codes[2]), 1.7976931348623157e308);
    EXPECT_EQ(Num(l.codes[3]), 2.2250738585072014e-308);
    EXPECT_EQ(Num(l.codes[4]), 123456789012345678901234567890.0);
    EXPECT_EQ(Num(l.codes[5]), 9007199254740992.0);
    EXPECT_EQ(Num(l.codes[6]), 1e23);
}

TEST_F(LexerTest, EveryLiteralOccurrenceHasItsOwnEntry) {
    Lexed l = Lex("1 1 'a' 'a'");
    ASSERT_EQ(l.codes.size(), 4u);
    EXPECT_NE(l.codes[0], l.codes[1]);
    EXPECT_NE(l.codes[2], l.codes[3]);
    EXPECT_EQ(Literals(), 4u);
}

}  // namespace
}  // namespace lexer_test
