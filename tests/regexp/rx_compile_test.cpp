// Compiling patterns: syntax errors with their codes, escapes, classes and
// the limits on groups and quantifier bounds.
#include <string>

#include "platform/latin1.h"
#include "regexp/rxprogram.h"
#include "rx_support.h"

using namespace rx_test;
using namespace quillon;
using V = std::vector<std::string>;

namespace {

std::string Repeat(const std::string &s, size_t n) {
    std::string out;
    out.reserve(s.size() * n);
    for (size_t i = 0; i < n; ++i) out += s;
    return out;
}

}  // namespace

TEST_F(RxTest, QuantifierErrors) {
    for (const char *p : {"a{", "a{x}", "a{,3}", "a{}", "a**", "a+*", "a?+", "a{2}{3}", "a*??", "^*", "$+", "\\b+",
                          "\\B{2}", "*a", "+", "?", "a|*", "(*)", "(?", "(?x)", "x{1,2"})
        EXPECT_EQ(CompileCode(p), ERR_RX_QUANTIFIER) << p;
    EXPECT_EQ(CompileCode("a{65536}"), ERR_RX_MINLARGE);
    EXPECT_EQ(CompileCode("a{99999999999,}"), ERR_RX_MINLARGE);
    EXPECT_EQ(CompileCode("a{1,65536}"), ERR_RX_MAXLARGE);
    EXPECT_EQ(CompileCode("a{2,1}"), ERR_RX_MAXLESS);
    EXPECT_EQ(CompileCode("a{65536,1}"), ERR_RX_MINLARGE);
    // Braces that cannot start a quantifier are plain characters at the start of a term.
    EXPECT_EQ(Exec("{", "x{y"), (V{"{"}));
    EXPECT_EQ(Exec("}]", "a}]"), (V{"}]"}));
    EXPECT_EQ(Exec("x{}", "x{}"), (V{Hex(ERR_RX_QUANTIFIER)}));
    EXPECT_EQ(Exec("a*?b+?c??d{1,2}?", "abcd"), (V{"abcd"}));
}

TEST_F(RxTest, ParenthesisAndClassErrors) {
    EXPECT_EQ(CompileCode("(a"), ERR_RX_PARENEXPECTED);
    EXPECT_EQ(CompileCode("((a)"), ERR_RX_PARENEXPECTED);
    EXPECT_EQ(CompileCode("(?=a"), ERR_RX_PARENEXPECTED);
    EXPECT_EQ(CompileCode("(a|"), ERR_RX_PARENEXPECTED);
    EXPECT_EQ(CompileCode("a)"), ERR_RX_UNEXPECTEDPAREN);
    EXPECT_EQ(CompileCode(")"), ERR_RX_UNEXPECTEDPAREN);
    EXPECT_EQ(CompileCode("(a))"), ERR_RX_UNEXPECTEDPAREN);
    EXPECT_EQ(CompileCode("[z-a]"), ERR_RX_RANGE);
    EXPECT_EQ(CompileCode("[a-\\d]"), ERR_RX_RANGE);
    EXPECT_EQ(CompileCode("[a-\\W]"), ERR_RX_RANGE);
    EXPECT_EQ(CompileCode("[\\d-!]"), ERR_RX_RANGE);
    EXPECT_EQ(CompileCode("[\\wz-a]"), ERR_RX_RANGE);  // a bad range anywhere in the body
    EXPECT_EQ(CompileCode("[abc"), ERR_RX_CLASSOPEN);
    EXPECT_EQ(CompileCode("[a\\]"), ERR_RX_CLASSOPEN);
    EXPECT_EQ(CompileCode("["), ERR_RX_CLASSOPEN);
    EXPECT_EQ(CompileCode("[^"), ERR_RX_CLASSOPEN);
    EXPECT_EQ(CompileCode("a\\"), ERR_RX_TRAILING);
    EXPECT_EQ(CompileCode("\\"), ERR_RX_TRAILING);
    EXPECT_EQ(CompileCode("a\\\\"), 0u);
}

TEST_F(RxTest, ClassBodies) {
    // \d followed by '-' takes the '-' literally.
    EXPECT_EQ(CompileCode("[\\d-z]"), 0u);
    EXPECT_EQ(MatchIndex("[\\d-z]", "ab5"), 2);
    EXPECT_EQ(MatchIndex("[\\d-z]", "ab-"), 2);
    EXPECT_EQ(MatchIndex("[\\d-z]", "abz"), 2);
    EXPECT_EQ(MatchIndex("[\\d-z]", "amy"), -1);
    EXPECT_EQ(MatchIndex("[\\w-!]", "..!"), 2);
    EXPECT_EQ(MatchIndex("[a-]", "x-"), 1);
    EXPECT_EQ(MatchIndex("[-a]", "x-"), 1);
    EXPECT_EQ(MatchIndex("[a-c-e]", "xd-"), 2);
    EXPECT_EQ(MatchIndex("[\\x41-\\x43]", "aBc"), 1);
    EXPECT_EQ(MatchIndex("[\\]]", "a]"), 1);
    EXPECT_EQ(MatchIndex("[\\\\]", "a\\"), 1);
    EXPECT_EQ(MatchIndex("[\\b]", "b\b"), 1);
    EXPECT_EQ(MatchIndex("[\\cA]", "A\x01"), 1);
    EXPECT_EQ(MatchIndex("[\\c1]", "1\x11"), 1);  // any word character after \c in a class
    EXPECT_EQ(MatchIndex("[\\c]", "\\"), 0);
    EXPECT_EQ(MatchIndex("[\\c]", "c"), 0);
    EXPECT_EQ(MatchIndex(std::string("[\\0]"), std::string("ab\0", 3)), 2);  // NUL alone is a member
    EXPECT_EQ(MatchIndex("[\\s]", "ab\xA0"), 2);
    EXPECT_EQ(MatchIndex("[^\\s\\d]", " 1\t2x"), 4);
    EXPECT_EQ(Exec("[]a]", "a]"), (V{"<no match>"}));  // an empty class, then "a]"
    EXPECT_EQ(Exec("[^]a]", "xa]"), (V{"xa]"}));
    // Identical bodies share one class entry; a negated one reuses it too.
    RxProgram *p = nullptr;
    ASSERT_EQ(Rx_Compile("[ab][ab][^ab][cd]", 17, 0, false, &p), 0u);
    EXPECT_EQ(p->classCount, 2u);
    Rx_Free(p);
}

TEST_F(RxTest, CharacterEscapes) {
    EXPECT_EQ(Exec("\\x4g", "ax4g"), (V{"x4g"}));
    EXPECT_EQ(Exec("\\x41\\u0042", "zAB"), (V{"AB"}));
    EXPECT_EQ(Exec("\\u1234", "a4"), (V{"4"}));  // the low 8 bits
    EXPECT_EQ(Exec("\\u12", "u\x12"), (V{"\x12"}));  // the pattern ends inside the escape
    EXPECT_EQ(Exec("\\uzz", "uzz"), (V{"uzz"}));
    EXPECT_EQ(Exec("\\xe9", "\xe9"), (V{"\xe9"}));
    EXPECT_EQ(Exec("\\cA\\cz", "\x01\x1a"), (V{"\x01\x1a"}));
    EXPECT_EQ(Exec("\\c1", "x\\c1"), (V{"\\c1"}));  // not a control escape: backslash, c, 1
    EXPECT_EQ(Exec("\\f\\n\\r\\t\\v", "\f\n\r\t\v"), (V{"\f\n\r\t\v"}));
    EXPECT_EQ(Exec("\\012", "a\n"), (V{"\n"}));
    EXPECT_EQ(Exec("\\0400", "  "), (V{" "}));  // the digit that would pass 255 is dropped
    EXPECT_EQ(Exec("\\.\\*a", "x.*a"), (V{".*a"}));
    const std::string nulAndEight("\0" "8", 2);
    EXPECT_EQ(Exec("\\8", "x" + nulAndEight), (V{nulAndEight}));
    const std::string x("\0", 1);
    EXPECT_EQ(Exec("\\x", "a" + x), (V{x}));
}

TEST_F(RxTest, BackReferencesAndOctal) {
    EXPECT_EQ(Exec("(a)\\1", "aaa"), (V{"aa", "a"}));
    EXPECT_EQ(Exec("\\1(a)", "a"), (V{"a", "a"}));  // a later group, unset when tested
    EXPECT_EQ(Exec("\\2(a)", "\x02" "a"), (V{"\x02" "a", "a"}));  // only one group: octal
    EXPECT_EQ(Exec("(a)\\2", "a\x02"), (V{"a\x02", "a"}));
    EXPECT_EQ(Exec("(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)\\10", "abcdefghijj"),
              (V{"abcdefghijj", "a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}));
    EXPECT_EQ(Exec("(a)\\10", "a\x08"), (V{"a\x08", "a"}));
    EXPECT_EQ(Exec("[\\1]", "\x01"), (V{"\x01"}));
    // Syntax errors later in the pattern still win.
    EXPECT_EQ(CompileCode("\\1(a"), ERR_RX_PARENEXPECTED);
}

TEST_F(RxTest, GroupLimit) {
    std::string many = Repeat("()", 65534);
    RxProgram *p = nullptr;
    ASSERT_EQ(Rx_Compile(many.data(), static_cast<uint32_t>(many.size()), 0, false, &p), 0u);
    EXPECT_EQ(Rx_GroupCount(p), 65534u);
    Rx_Free(p);
    std::string tooMany = Repeat("()", 65535);
    EXPECT_EQ(CompileCode(tooMany), ERR_RX_TOOMANY);
    EXPECT_EQ(CompileCode(Repeat("(?:)", 70000)), 0u);
}

TEST_F(RxTest, GroupCountAndFlags) {
    RxProgram *p = nullptr;
    ASSERT_EQ(Rx_Compile("(a)(?:b)(?=(c))(?!d)[(](e)\\(", 28, RX_GLOBAL | RX_IGNORECASE, false, &p), 0u);
    EXPECT_EQ(Rx_GroupCount(p), 3u);
    EXPECT_EQ(Rx_Flags(p), RX_GLOBAL | RX_IGNORECASE);
    uint32_t len = 0;
    EXPECT_EQ(std::string(Rx_Source(p, &len), 28), "(a)(?:b)(?=(c))(?!d)[(](e)\\(");
    EXPECT_EQ(len, 28u);
    Rx_Free(p);
    Rx_Free(nullptr);

    uint32_t flags = 99;
    EXPECT_EQ(Rx_ParseFlags("gimgi", 5, &flags), 0u);
    EXPECT_EQ(flags, RX_GLOBAL | RX_IGNORECASE | RX_MULTILINE);
    EXPECT_EQ(Rx_ParseFlags("", 0, &flags), 0u);
    EXPECT_EQ(flags, 0u);
    EXPECT_EQ(Rx_ParseFlags("gq", 2, &flags), ERR_RX_FLAG);
    EXPECT_EQ(Rx_ParseFlags("G", 1, &flags), ERR_RX_FLAG);
}

TEST_F(RxTest, PlainText) {
    RxProgram *p = nullptr;
    ASSERT_EQ(Rx_Compile("a.(b", 4, 0, true, &p), 0u);
    EXPECT_EQ(Rx_GroupCount(p), 0u);
    uint32_t s = 0, e = 0;
    EXPECT_EQ(Rx_Match(p, "xa.(bz", 6, 0, false, &s, &e, nullptr, nullptr, nullptr), 1u);
    EXPECT_EQ(s, 1u);
    EXPECT_EQ(e, 5u);
    EXPECT_EQ(Rx_Match(p, "xaz(b", 5, 0, false, &s, &e, nullptr, nullptr, nullptr), 0u);
    Rx_Free(p);

    ASSERT_EQ(Rx_Compile("AB", 2, RX_IGNORECASE, true, &p), 0u);
    EXPECT_EQ(Rx_Match(p, "xab", 3, 0, false, &s, &e, nullptr, nullptr, nullptr), 1u);
    EXPECT_EQ(s, 1u);
    Rx_Free(p);

    ASSERT_EQ(Rx_Compile("", 0, 0, true, &p), 0u);
    EXPECT_EQ(Rx_Match(p, "ab", 2, 1, false, &s, &e, nullptr, nullptr, nullptr), 1u);
    EXPECT_EQ(s, 1u);
    EXPECT_EQ(e, 1u);
    Rx_Free(p);
}

TEST_F(RxTest, CaseMappingAndPredicates) {
    EXPECT_EQ(Plat_ToUpper('a'), 'A');
    EXPECT_EQ(Plat_ToUpper(224), 192);
    EXPECT_EQ(Plat_ToUpper(247), 247);
    EXPECT_EQ(Plat_ToUpper(255), 255);
    EXPECT_EQ(Plat_ToUpper(223), 223);
    EXPECT_EQ(Plat_ToLower('Z'), 'z');
    EXPECT_EQ(Plat_ToLower(222), 254);
    EXPECT_EQ(Plat_ToLower(215), 215);
    EXPECT_TRUE(Rx_IsWordChar(233));
    EXPECT_TRUE(Rx_IsWordChar('_'));
    EXPECT_FALSE(Rx_IsWordChar(215));
    EXPECT_FALSE(Rx_IsWordChar(247));
    EXPECT_FALSE(Rx_IsWordChar('-'));
    EXPECT_TRUE(Rx_IsSpace(160));
    EXPECT_TRUE(Rx_IsSpace(11));
    EXPECT_FALSE(Rx_IsSpace(133));
}
