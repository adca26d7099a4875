// exec and test, lastIndex stepping, and the last-match record seen
// through the static properties of RegExp.
#include "rxo_fixture.h"

namespace rxo_test {
namespace {

using ExecTest = RxoTest;

TEST_F(ExecTest, GlobalExecStepsLastIndexAndResetsIt) {
    EXPECT_EQ(Eval("var r = /a/g, s = 'aa'; var out = [];"
                   "for (var i = 0; i < 4; i++) { var m = r.exec(s); out.push(m ? m.index : m, r.lastIndex); }"
                   "out.join()"),
              "0,1,1,2,,0,0,1");
    EXPECT_EQ(Eval("var r = /a/, out = []; for (var i = 0; i < 3; i++) out.push(r.exec('aa').index, r.lastIndex);"
                   "out.join()"),
              "0,0,0,0,0,0");
    // test steps the same way.
    EXPECT_EQ(Eval("var r = /o/g; [r.test('foo'), r.lastIndex, r.test('foo'), r.lastIndex, r.test('foo'),"
                   "r.lastIndex].join()"),
              "true,2,true,3,false,0");
    // A start beyond the input gives no match and resets lastIndex; one at the end may still match.
    EXPECT_EQ(Eval("var r = /x*/g; r.lastIndex = 5; var a = r.exec('abc'); var b = r.lastIndex;"
                   "r.lastIndex = 3; var c = r.exec('abc'); a + ' ' + b + ' ' + c.index + ' ' + r.lastIndex"),
              "null 0 3 3");
    // A non-global expression ignores and keeps lastIndex.
    EXPECT_EQ(Eval("var r = /b/; r.lastIndex = 9; r.exec('abc').index + ' ' + r.lastIndex"), "1 9");
}

TEST_F(ExecTest, ExecArrayHoldsGroupsIndexAndInput) {
    EXPECT_EQ(Eval("var m = /(\\d+)-(x)?(\\d+)/.exec('ab12-34cd');"
                   "[m.length, m[0], m[1], typeof m[2], m[3], m.index, m.input].join('|')"),
              "4|12-34|12|undefined|34|2|ab12-34cd");
    EXPECT_EQ(Eval("var m = /(a)|(b)/.exec('b'); (m[1] === undefined) + ' ' + m[2] + ' ' + (RegExp.$1 === '') +"
                   "' ' + RegExp.$2"),
              "true b true b");
    EXPECT_EQ(Eval("/z/.exec('abc') === null && /z/.test('abc') === false"), "true");
    // The argument is converted to a string.
    EXPECT_EQ(Eval("/2/.exec(123).index + ' ' + /ll/.test({toString: function () { return 'null'; }}) + ' ' +"
                   "/defined/.test(undefined)"),
              "1 true true");
}

TEST_F(ExecTest, NoArgumentUsesTheRecordsInput) {
    EXPECT_EQ(Eval("var m; try { /a/.exec(); } catch (e) { m = e.name + ': ' + e.message; } m"),
              "SyntaxError: Syntax error on line 1: No input for regular expression");
    EXPECT_EQ(Eval("RegExp.input = 'xyz'; /y/.exec().index + ' ' + /q/.test()"), "1 false");
    EXPECT_EQ(Eval("/b/.test('abc'); RegExp.$_ + ' ' + /c/.exec().index"), "abc 2");
}

TEST_F(ExecTest, StaticsFollowTheLastMatch) {
    EXPECT_EQ(Eval("/(\\w+)\\s(\\w+)/.exec('say John Smith now');"
                   "[RegExp.lastMatch, RegExp['$&'], RegExp.lastParen, RegExp['$+'], RegExp.leftContext,"
                   " RegExp['$`'], RegExp.rightContext, RegExp[\"$'\"], RegExp.$1, RegExp.$2, RegExp.$3,"
                   " RegExp.input].join('|')"),
              "say John|say John|John|John||| Smith now| Smith now|say|John||say John Smith now");
    // A failed match leaves the record alone.
    EXPECT_EQ(Eval("/(b)/.exec('abc'); /(z)/.exec('zzz-no'.slice(3)); RegExp.$1 + RegExp.lastMatch + RegExp.input"),
              "bbabc");
    // Unmatched groups are empty strings; an expression without groups empties lastParen.
    EXPECT_EQ(Eval("/(x)?(y)/.exec('y'); var a = '[' + RegExp.$1 + '][' + RegExp.lastParen + ']';"
                   "/(q)?/.exec('a'); var b = '[' + RegExp.lastParen + ']'; /a/.exec('a'); a + b + '[' + RegExp.lastParen + ']'"),
              "[][y][][]");
    // Groups above the last match's count keep what an earlier match left.
    EXPECT_EQ(Eval("/(a)(b)(c)/.exec('abc'); /(d)/.exec('d'); RegExp.$1 + RegExp.$2 + RegExp.$3"), "dbc");
}

TEST_F(ExecTest, MoreThanNineGroupsAndValuesOutlivingTheirInput) {
    EXPECT_EQ(Eval("var m = /(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)/.exec('-abcdefghijk-');"
                   "m[11] + m.length + RegExp.$9 + RegExp.lastParen"),
              "k12ik");
    // A later match on another text: values above its groups are still the old ones,
    // even after the old text is gone.
    EXPECT_EQ(Eval("function f() { var s = 'ab' + 'cdefghijkl'; /(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)/.exec(s); }"
                   "f(); /(x)/.exec('x' + 'yz'); var junk = []; for (var i = 0; i < 50; i++) junk.push('zz' + i);"
                   "RegExp.$1 + RegExp.$2 + RegExp.$9 + RegExp.lastMatch + RegExp.input"),
              "xbixxyz");
    // Assigning the input keeps every other value.
    EXPECT_EQ(Eval("/(b)(c)/.exec('abcd'); RegExp.input = 'other';"
                   "RegExp.$1 + RegExp.$2 + RegExp.lastMatch + RegExp.leftContext + RegExp.rightContext + RegExp.input"),
              "bcbcadother");
}

TEST_F(ExecTest, StaticWritesAndReadOnlyNames) {
    // Initial state: input null, every text empty.
    EXPECT_EQ(Eval("RegExp.input === null && RegExp.lastMatch === '' && RegExp.$1 === '' && RegExp.$9 === ''"),
              "true");
    EXPECT_EQ(Eval("RegExp.input = 42; typeof RegExp.input + RegExp.input + RegExp.$_"), "string4242");
    EXPECT_EQ(Eval("RegExp.$_ = null; RegExp.input"), "null");
    EXPECT_EQ(Eval("var a = RegExp.multiline; RegExp.multiline = 'yes'; var b = RegExp['$*']; RegExp['$*'] = 0;"
                   "a + ' ' + b + ' ' + RegExp.multiline"),
              "false true false");
    const char *names[] = {"lastMatch", "$&", "lastParen", "$+", "leftContext", "$`", "rightContext", "$'",
                           "$1", "$5", "$9"};
    for (const char *n : names) {
        std::string text = std::string("var m; try { RegExp['") + (std::string(n) == "$'" ? "$\\'" : n) +
                           "'] = 'x'; m = 'stored'; } catch (e) { m = e.name + ': ' + e.message; } m";
        EXPECT_EQ(Eval(text.c_str()), "ReferenceError: Reference error on line 1: Property is read only") << n;
    }
    // $10 and other names are ordinary properties of the constructor.
    EXPECT_EQ(Eval("RegExp.$10 = 'ten'; RegExp.mine = 1; RegExp.$10 + RegExp.mine + ('$1' in RegExp) +"
                   "('leftContext' in RegExp) + ('$0' in RegExp)"),
              "ten1truetruefalse");
    EXPECT_EQ(Eval("var m; try { RegExp.input = {toString: function () { throw 'in'; }}; } catch (e) { m = e; } m"),
              "in");
}

TEST_F(ExecTest, GlobalMultilineSettingActsLikeTheFlag) {
    EXPECT_EQ(Eval("var a = /^b/.test('a\\nb'); RegExp.multiline = true; var b = /^b/.test('a\\rb');"
                   "var c = /a$/.test('a\\nb'); RegExp.multiline = false; a + ' ' + b + ' ' + c + ' ' + /^b/.test('a\\nb')"),
              "false true true false");
}

TEST_F(ExecTest, LevelThreeLeftContextStartsWhereTheSearchBegan) {
    const char *text = "var r = /b/g; r.exec('abab'); r.exec('abab'); RegExp.leftContext + '|' + RegExp.rightContext";
    EXPECT_EQ(Eval(text, 0), "aba|");
    EXPECT_EQ(Eval(text, 3), "a|");
}

TEST_F(ExecTest, RecordBelongsToItsSpace) {
    JSProgramSpace *other = CreateJSProgramSpace(nullptr, nullptr, 0);
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(Run("/(q)/.exec('aqa');"), 0u);
    ASSERT_EQ(RunJavaScript(other, "/(z)/.exec('z'); RegExp.$1 + RegExp.input", JSRUN_RESULT, 0, 0, 0), 0u);
    EXPECT_EQ(Result(other), "zz");
    EXPECT_EQ(Eval("RegExp.$1 + RegExp.input"), "qaqa");
    DeleteJSProgramSpace(other);
    // A space destroyed right after a match frees its record.
    other = CreateJSProgramSpace(nullptr, nullptr, 0);
    ASSERT_EQ(RunJavaScript(other, "/(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)/.exec('abcdefghijk' + 'x');", 0, 0, 0, 0), 0u);
    DeleteJSProgramSpace(other);
}

}  // namespace
}  // namespace rxo_test
