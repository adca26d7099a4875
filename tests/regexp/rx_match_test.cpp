// Matching: the rules of every operation, with the cases a careless
// backtracker gets wrong (empty iterations, captures after backtracking,
// look-aheads, Latin-1 case and word rules).
#include <string>

#include "rx_support.h"

using namespace rx_test;
using namespace quillon;
using V = std::vector<std::string>;

namespace {
const std::string U = kUnset;
const std::string None = "<no match>";
}  // namespace

TEST_F(RxTest, EmptyIterationsEnd) {
    EXPECT_EQ(Exec("(a*)*", "b"), (V{"", U}));
    EXPECT_EQ(Exec("(a*)+", "b"), (V{"", ""}));
    EXPECT_EQ(Exec("(a*)+b", "aaab"), (V{"aaab", "aaa"}));
    EXPECT_EQ(Exec("(a*)+b", "aaaa"), (V{None}));
    EXPECT_EQ(Exec("(a*)*b", "aaac"), (V{None}));
    EXPECT_EQ(Exec("(?:)*x", "x"), (V{"x"}));
    EXPECT_EQ(Exec("(a|)*b", "aab"), (V{"aab", "a"}));
    EXPECT_EQ(Exec("(a*?)*?b", "aab"), (V{"aab", "a"}));
    EXPECT_EQ(Exec("(a*){3,}x", "x"), (V{"x", ""}));  // mandatory iterations may be empty
    EXPECT_EQ(Exec("(?:a?)+?b", "ab"), (V{"ab"}));
    EXPECT_EQ(Exec("", "abc"), (V{""}));
    EXPECT_EQ(Exec("x*", ""), (V{""}));
}

TEST_F(RxTest, GreedyLazyAndCounts) {
    EXPECT_EQ(Exec("a+?", "aaa"), (V{"a"}));
    EXPECT_EQ(Exec("a{2,}", "aaa"), (V{"aaa"}));
    EXPECT_EQ(Exec("a{2,}?", "aaa"), (V{"aa"}));
    EXPECT_EQ(Exec("a{2,3}", "aaaa"), (V{"aaa"}));
    EXPECT_EQ(Exec("a{2,3}?", "aaaa"), (V{"aa"}));
    EXPECT_EQ(Exec("a{3}", "aa"), (V{None}));
    EXPECT_EQ(Exec("ab{0}c", "abcac"), (V{"ac"}));
    EXPECT_EQ(Exec("(a){0}b", "ab"), (V{"b", U}));
    EXPECT_EQ(Exec("(a){0,0}?b", "ab"), (V{"b", U}));
    EXPECT_EQ(Exec("<.*>", "<a><b>"), (V{"<a><b>"}));
    EXPECT_EQ(Exec("<.*?>", "<a><b>"), (V{"<a>"}));
    EXPECT_EQ(Exec("(a+)(a*)", "aaa"), (V{"aaa", "aaa", ""}));
    EXPECT_EQ(Exec("(a+?)(a*)", "aaa"), (V{"aaa", "a", "aa"}));
    EXPECT_EQ(Exec("(a|b)*?c", "abc"), (V{"abc", "b"}));
    EXPECT_EQ(Exec("(ab|a)??b", "ab"), (V{"ab", "a"}));
    EXPECT_EQ(Exec("(a)??b", "ab"), (V{"ab", "a"}));
    EXPECT_EQ(Exec("x(a)??", "xa"), (V{"x", U}));
    EXPECT_EQ(Exec("(?:ab)*c", "xababc"), (V{"ababc"}));
    EXPECT_EQ(Exec("(?:ab)*?abc", "abababc"), (V{"abababc"}));
    EXPECT_EQ(Exec("(?:ab){2}", "abababab"), (V{"abab"}));
    EXPECT_EQ(Exec("(?:ab)+b", "ababb"), (V{"ababb"}));
    EXPECT_EQ(Exec("x(?:ab)+?$", "xababab"), (V{"xababab"}));
    EXPECT_EQ(Exec("a*a*a*b", "aaaab"), (V{"aaaab"}));
    EXPECT_EQ(Exec("[ab]*b", "aabab"), (V{"aabab"}));
    EXPECT_EQ(Exec("\\d{2,4}?x", "12345x"), (V{"2345x"}));
    EXPECT_EQ(Exec("(\\d+)\\s*-\\s*(\\d+)", "range 10 - 200!"), (V{"10 - 200", "10", "200"}));
}

TEST_F(RxTest, CapturesAfterBacktracking) {
    EXPECT_EQ(Exec("(a|ab)(c|bcd)(d*)", "abcd"), (V{"abcd", "a", "bcd", ""}));
    EXPECT_EQ(Exec("(a)|b", "b"), (V{"b", U}));
    EXPECT_EQ(Exec("(a)|(b)", "b"), (V{"b", U, "b"}));
    EXPECT_EQ(Exec("(a)?\\1b", "b"), (V{"b", U}));
    EXPECT_EQ(Exec("(a)?(?:x|a)", "a"), (V{"a", U}));
    EXPECT_EQ(Exec("(a)?ab", "ab"), (V{"ab", U}));
    EXPECT_EQ(Exec("(?:(a)|b)+", "ab"), (V{"ab", U}));  // each iteration starts with its groups unset
    EXPECT_EQ(Exec("(z)((a+)?(b+)?(c))*", "zaacbbbcac"), (V{"zaacbbbcac", "z", "ac", "a", U, "c"}));
    EXPECT_EQ(Exec("(a+)+b", "aaab"), (V{"aaab", "aaa"}));
    EXPECT_EQ(Exec("((a)|b)+c", "abc"), (V{"abc", "b", U}));
    EXPECT_EQ(Exec("(x(a)?)+y", "xaxy"), (V{"xaxy", "x", U}));
    EXPECT_EQ(Exec("^(a(b)?)+$", "aba"), (V{"aba", "a", U}));
    EXPECT_EQ(Exec("(.)(?:(b)|c)*\\2", "acbcb"), (V{"acbc", "a", U}));
    EXPECT_EQ(Exec("(.)(?:(b)|c)*\\2", "acbcbb"), (V{"acbcbb", "a", "b"}));
}

TEST_F(RxTest, LookAheads) {
    EXPECT_EQ(Exec("(?!a\\d)", "ax"), (V{""}));
    EXPECT_EQ(MatchIndex("(?!a\\d)", "a1"), 1);
    EXPECT_EQ(Exec("(?=a)", "b"), (V{None}));
    EXPECT_EQ(MatchIndex("a(?!b)", "abac"), 2);
    EXPECT_EQ(MatchIndex("a(?=c)", "abac"), 2);
    EXPECT_EQ(Exec("(?=(a+))", "baaabac"), (V{"", "aaa"}));
    // Choices inside a look-ahead are never revisited.
    EXPECT_EQ(Exec("(?=(a+))a*b\\1", "baaabac"), (V{"aba", "a"}));
    EXPECT_EQ(Exec("(.*?)a(?!(a+)b\\2c)\\2(.*)", "baaabaac"), (V{"baaabaac", "ba", U, "abaac"}));
    EXPECT_EQ(Exec("(?!(a))\\1b", "b"), (V{"b", U}));
    EXPECT_EQ(Exec("(?=(\\w+))\\1:", "abc:"), (V{"abc:", "abc"}));
    EXPECT_EQ(Exec("(?=(\\w+))\\1:", "abc d:"), (V{"d:", "d"}));
    EXPECT_EQ(Exec("(?=(a+))\\1a", "aaa"), (V{None}));
    EXPECT_EQ(Exec("(?=a|ab)ab", "ab"), (V{"ab"}));
    EXPECT_EQ(Exec("(?:(?=(b))|a)+c", "abc"), (V{None}));
    EXPECT_EQ(Exec("(?:x|(?=(a))a)(?:c|b)", "ab"), (V{"ab", "a"}));
    EXPECT_EQ(Exec("(?:(?=(a))a|ab)c", "abc"), (V{"abc", U}));  // undone when the alternative is left
    EXPECT_EQ(Exec("(?=a)*a", "a"), (V{"a"}));
    EXPECT_EQ(Exec("(?!)", "a"), (V{None}));
    EXPECT_EQ(Exec("(?=)", "a"), (V{""}));
    EXPECT_EQ(Exec("x(?!.*y)", "xayxb"), (V{"x"}));
    EXPECT_EQ(MatchIndex("x(?!.*y)", "xayxb"), 3);
}

TEST_F(RxTest, AlternationsAndGuards) {
    EXPECT_EQ(Exec("ab|ac", "ac"), (V{"ac"}));
    EXPECT_EQ(Exec("ab|ac|ad", "xad"), (V{"ad"}));
    EXPECT_EQ(Exec("ab|a", "ac"), (V{"a"}));
    EXPECT_EQ(Exec("a|b", "c"), (V{None}));
    EXPECT_EQ(Exec("[ab]x|by", "by"), (V{"by"}));
    EXPECT_EQ(Exec("[^a]x|ay", "ay"), (V{"ay"}));
    EXPECT_EQ(Exec("[^a]x|ay", "bx"), (V{"bx"}));
    EXPECT_EQ(Exec("a||b", "b"), (V{""}));
    EXPECT_EQ(Exec("|a", "a"), (V{""}));
    EXPECT_EQ(Exec("(|a)+", "a"), (V{"a", "a"}));
    EXPECT_EQ(Exec("(a|b|c)+", "cab!"), (V{"cab", "b"}));
    EXPECT_EQ(Exec("x(?:a|b)*y", "xababy"), (V{"xababy"}));
    EXPECT_EQ(Exec("AB|AC", "ac", RX_IGNORECASE), (V{"ac"}));
    EXPECT_EQ(Exec("\\n|\\r", "a\rb"), (V{"\r"}));
    EXPECT_EQ(Exec("a|", "b"), (V{""}));
}

TEST_F(RxTest, LinesAndAnchors) {
    EXPECT_EQ(MatchIndex("^b", "a\rb", RX_MULTILINE), 2);
    EXPECT_EQ(MatchIndex("^b", "a\nb", RX_MULTILINE), 2);
    EXPECT_EQ(MatchIndex("^b", "a\nb"), -1);
    EXPECT_EQ(Exec("^b", "a\rb", 0, 0, true), (V{"b"}));  // multiline forced by the caller
    EXPECT_EQ(MatchIndex("a$", "a\rb", RX_MULTILINE), 0);
    EXPECT_EQ(MatchIndex("a$", "a\nb"), -1);
    EXPECT_EQ(MatchIndex("a$", "ba"), 1);
    EXPECT_EQ(MatchIndex("^", "abc", 0, 1), -1);
    EXPECT_EQ(MatchIndex("$", "abc", 0, 1), 3);
    EXPECT_EQ(MatchIndex("^$", "a\n\nb", RX_MULTILINE), 2);
    EXPECT_EQ(MatchIndex("(^a|b)", "ba"), 0);
    EXPECT_EQ(MatchIndex(".", "\n\rx"), 2);
    EXPECT_EQ(MatchIndex("a.c", "a\nc a\rc abc"), 8);
    EXPECT_EQ(Exec("[^]*", "a\nb"), (V{"a\nb"}));
    EXPECT_EQ(Exec("a[]", "a"), (V{None}));
    EXPECT_EQ(Exec("[^]", "\r"), (V{"\r"}));
}

TEST_F(RxTest, WordBoundariesLatin1) {
    EXPECT_EQ(MatchIndex("\\bfoo\\b", "a foo b"), 2);
    EXPECT_EQ(MatchIndex("\\bfoo\\b", "afoo"), -1);
    EXPECT_EQ(MatchIndex("a\\b", "a\xe9"), -1);  // 233 is a word character
    EXPECT_EQ(MatchIndex("a\\b", "a\xd7"), 0);   // 215 is not
    EXPECT_EQ(MatchIndex("a\\b", "a\xf7"), 0);   // 247 is not
    EXPECT_EQ(MatchIndex("a\\B", "a\xe9"), 0);
    EXPECT_EQ(MatchIndex("\\w", "\xd7\xf7\xe9"), 2);
    EXPECT_EQ(MatchIndex("\\W", "a\xff\xf7"), 2);
    EXPECT_EQ(MatchIndex("\\b", ""), -1);
    EXPECT_EQ(MatchIndex("\\B", ""), 0);
    EXPECT_EQ(MatchIndex("x\\b", "x"), 0);
    EXPECT_EQ(MatchIndex("\\d\\D\\s\\S", "a1bc d"), -1);
    EXPECT_EQ(MatchIndex("\\d\\D\\s\\S", "a1b\xa0" "c"), 1);
}

TEST_F(RxTest, IgnoreCaseLatin1) {
    EXPECT_EQ(MatchIndex("[a-z]", "Q", RX_IGNORECASE), 0);
    EXPECT_EQ(MatchIndex("[A-Z]", "q", RX_IGNORECASE), 0);
    EXPECT_EQ(MatchIndex("[^a-z]", "Q", RX_IGNORECASE), -1);
    EXPECT_EQ(MatchIndex("abc", "xABC", RX_IGNORECASE), 1);
    EXPECT_EQ(MatchIndex("\xe9", "\xc9", RX_IGNORECASE), 0);
    EXPECT_EQ(MatchIndex("[\xe9]", "\xc9", RX_IGNORECASE), 0);
    EXPECT_EQ(MatchIndex("[\xe0-\xfe]", "\xc0", RX_IGNORECASE), 0);
    EXPECT_EQ(MatchIndex("[A-z]", "_", RX_IGNORECASE), 0);  // the whole range, not just its case forms
    EXPECT_EQ(MatchIndex("\xe9t\xe9", "\xc9T\xc9", RX_IGNORECASE), 0);
    EXPECT_EQ(MatchIndex("\xe9t\xe9", "\xc9T\xc9"), -1);
    // 255 has no upper-case form: nothing else matches it.
    for (int c = 0; c < 255; ++c) {
        std::string s(1, static_cast<char>(c));
        EXPECT_EQ(MatchIndex("\xff", s, RX_IGNORECASE), -1) << c;
        EXPECT_EQ(MatchIndex("[\xff]", s, RX_IGNORECASE), -1) << c;
    }
    EXPECT_EQ(MatchIndex("\xff", "\xff", RX_IGNORECASE), 0);
    EXPECT_EQ(MatchIndex("\xd7", "\xf7", RX_IGNORECASE), -1);
}

TEST_F(RxTest, BackReferences) {
    EXPECT_EQ(Exec("(a)\\1", "aA", RX_IGNORECASE), (V{"aA", "a"}));
    EXPECT_EQ(Exec("(a)\\1", "aA"), (V{None}));
    EXPECT_EQ(Exec("(\xe9+)\\1", "\xe9\xc9", RX_IGNORECASE), (V{"\xe9\xc9", "\xe9"}));
    EXPECT_EQ(Exec("(\\w+) \\1", "the The end", RX_IGNORECASE), (V{"the The", "the"}));
    EXPECT_EQ(Exec("(a\\1)", "a"), (V{"a", "a"}));  // inside its own group: empty
    EXPECT_EQ(Exec("(a*)b\\1", "aabaa"), (V{"aabaa", "aa"}));
    EXPECT_EQ(Exec("(a*)b\\1$", "aaba"), (V{"aba", "a"}));
    EXPECT_EQ(Exec("(a)|\\1b", "b"), (V{"b", U}));
    EXPECT_EQ(Exec("(a)\\1*x", "aaaax"), (V{"aaaax", "a"}));
}

TEST_F(RxTest, StartPositions) {
    EXPECT_EQ(MatchIndex("a", "aXa", 0, 1), 2);
    EXPECT_EQ(MatchIndex("", "abc", 0, 3), 3);
    EXPECT_EQ(MatchIndex("", "abc", 0, 4), -1);
    EXPECT_EQ(MatchIndex("a|", "bc", 0, 1), 1);
    EXPECT_EQ(MatchIndex("(b)c", "abcbc", 0, 2), 3);
    EXPECT_EQ(MatchIndex("abc", "ababc"), 2);
    EXPECT_EQ(MatchIndex("aab", "aaab"), 1);
    EXPECT_EQ(MatchIndex("[xy]", "abcy"), 3);
    EXPECT_EQ(MatchIndex("\\bc", "ab c"), 3);
    // A null input pointer with length 0 is an empty string.
    RxProgram *p = nullptr;
    ASSERT_EQ(Rx_Compile("x*", 2, 0, false, &p), 0u);
    uint32_t s = 9, e = 9;
    EXPECT_EQ(Rx_Match(p, nullptr, 0, 0, false, &s, &e, nullptr, nullptr, nullptr), 1u);
    EXPECT_EQ(s, 0u);
    EXPECT_EQ(e, 0u);
    Rx_Free(p);
}

TEST_F(RxTest, ProgramReuse) {
    // One program, many matches: the stacks and class bitmaps kept between
    // calls must not carry anything over.
    RxProgram *p = nullptr;
    const char *pat = "([a-c]+)(?:-(\\d))?";
    ASSERT_EQ(Rx_Compile(pat, static_cast<uint32_t>(strlen(pat)), 0, false, &p), 0u);
    RxCapture caps[2];
    uint32_t s = 0, e = 0;
    EXPECT_EQ(Rx_Match(p, "xab-1", 5, 0, false, &s, &e, caps, nullptr, nullptr), 1u);
    EXPECT_EQ(caps[1].start, 4);
    EXPECT_EQ(Rx_Match(p, "zzcc", 4, 0, false, &s, &e, caps, nullptr, nullptr), 1u);
    EXPECT_EQ(s, 2u);
    EXPECT_EQ(caps[0].start, 2);
    EXPECT_EQ(caps[0].length, 2u);
    EXPECT_EQ(caps[1].start, -1);
    EXPECT_EQ(Rx_Match(p, "zzz", 3, 0, false, &s, &e, caps, nullptr, nullptr), 0u);
    Rx_Free(p);
}
