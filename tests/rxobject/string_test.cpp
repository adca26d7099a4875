// The pattern methods of strings: match, search, replace and split, at the
// compatibility levels that change them.
#include "rxo_fixture.h"

namespace rxo_test {
namespace {

using StringTest = RxoTest;

// JSON-like text of an array of strings, so empty elements show.
constexpr char kShow[] =
    "function show(a) { if (a === null) return 'null'; var o = []; for (var i = 0; i < a.length; i++)"
    " o.push(a[i] === undefined ? 'u' : '\"' + a[i] + '\"'); return a.length + ':[' + o.join(',') + ']'; }";

std::string With(const char *text) { return std::string(kShow) + text; }

TEST_F(StringTest, Match) {
    EXPECT_EQ(Eval(With("show('abc'.match(/x/g))").c_str()), "null");
    EXPECT_EQ(Eval(With("show('aXbX'.match(/X/g))").c_str()), "2:[\"X\",\"X\"]");
    EXPECT_EQ(Eval(With("show('ab'.match(/x*/g))").c_str()), "3:[\"\",\"\",\"\"]");
    EXPECT_EQ(Eval(With("show('aaa'.match(/a*/g))").c_str()), "2:[\"aaa\",\"\"]");
    // Not global: exactly what exec gives.
    EXPECT_EQ(Eval(With("var m = 'xa1'.match(/a(\\d)(z)?/); show(m) + m.index + m.input").c_str()),
              "3:[\"a1\",\"1\",u]1xa1");
    // A text pattern is a regular expression, with the second argument as its flags.
    EXPECT_EQ(Eval("'abc'.match('a.c')[0] + 'aBc'.match('b', 'i')[0] + 'xyxy'.match('y', 'g').length"), "abcB2");
    // The global loop leaves lastIndex at 0 and the record at the last match.
    EXPECT_EQ(Eval("var r = /(\\d)/g; r.lastIndex = 3; var n = 'a1b2c3d'.match(r).length;"
                   "n + ' ' + r.lastIndex + ' ' + RegExp.$1 + ' ' + RegExp.rightContext"),
              "3 0 3 d");
    EXPECT_EQ(Eval("String(123).match(/2/).index + ' ' + 'abc'.match(new RegExp()).index"), "1 0");
}

TEST_F(StringTest, Search) {
    EXPECT_EQ(Eval("'abc'.search(/c/) + ' ' + 'abc'.search(/x/) + ' ' + 'a.c'.search('.') + ' ' + 'aBc'.search('b', 'i')"),
              "2 -1 0 1");
    // lastIndex and the global flag play no part; the record is updated.
    EXPECT_EQ(Eval("var r = /b/g; r.lastIndex = 2; 'abcb'.search(r) + ' ' + r.lastIndex + ' ' + RegExp.rightContext"),
              "1 2 cb");
}

TEST_F(StringTest, ReplaceWithTextPatternsIsLiteralAndFirstOnly) {
    EXPECT_EQ(Eval("'a.b'.replace('.', '-') + ' ' + 'a.b.c'.replace('.', '') + ' ' + 'abc'.replace('', '-') + ' ' +"
                   "'a+b'.replace('+', '$&$&') + ' ' + 'aBc'.replace('b', 'x') + ' ' + 'abc'.replace('b', 5)"),
              "a-b ab.c -abc a++b aBc a5c");
    EXPECT_EQ(Eval("var s = 'unchanged'; var t = s.replace('zz', 'y'); t + (t === s)"), "unchangedtrue");
}

TEST_F(StringTest, DollarRulesAtLevelZero) {
    EXPECT_EQ(Eval("'abc'.replace(/(b)/, '[$1$2$$]')"), "a[b$2$]c");
    EXPECT_EQ(Eval("'abcd'.replace(/(b)(c)/, \"[$&|$`|$'|$+]\")"), "a[bc|a|d|c]d");
    EXPECT_EQ(Eval("'abc'.replace(/b/, '$0|$+|$1|$|$x|\\\\$&')"), "a$0||$1|$|$x|\\bc");
    EXPECT_EQ(Eval("'abc'.replace(/(b)/, '$10|$01|$1$')"), "ab0|$01|b$c");
    EXPECT_EQ(Eval("'abcdefghijkl'.replace(/(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)/, '[$11|$10|$12|$111]')"),
              "[k|j|a2|k1]l");
    EXPECT_EQ(Eval("'a-b'.replace(/(x)?-/, '[$1]')"), "a[]b");
}

TEST_F(StringTest, DollarRulesOfOlderLevels) {
    // Levels 1 to 5: every following digit counts, missing groups give
    // nothing, and a backslash keeps a $ as it is.
    for (int level = 1; level <= 5; ++level) {
        EXPECT_EQ(Eval("'abc'.replace(/(b)/, '[$1$2$$|$10|\\\\$1|$0|$&]')", level), "a[b$||\\$1|$0|b]c") << level;
        EXPECT_EQ(Eval("'abcdefghijkl'.replace(/(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)/, '[$11|$111|$00011]')", level),
                  "[k||$00011]l")
            << level;
    }
    EXPECT_EQ(Eval("'abc'.replace(/(b)/, '$10')", 6), "ab0c");
    // $` always runs from the input's start, also where level 3 records another left context.
    const char *text = "var s = 'abab'.replace(/b/g, '[$`]'); s + ' ' + RegExp.leftContext";
    EXPECT_EQ(Eval(text, 0), "a[a]a[aba] aba");
    EXPECT_EQ(Eval(text, 3), "a[a]a[aba] a");
}

TEST_F(StringTest, GlobalReplaceAndEmptyMatches) {
    EXPECT_EQ(Eval("'abc'.replace(/x*/g, '-') + ' ' + 'aaa'.replace(/a*/g, 'X') + ' ' + ''.replace(/x*/g, '-') + ' ' +"
                   "'a,b,,c'.replace(/,/g, ';') + ' ' + 'aaa'.replace(/a/, 'b')"),
              "-a-b-c- XX - a;b;;c baa");
    EXPECT_EQ(Eval("var r = /a/g; r.lastIndex = 2; 'aXa'.replace(r, 'b') + r.lastIndex"), "bXb0");
    EXPECT_EQ(Eval("'a\\nb\\nc'.replace(/^/gm, '> ')"), "> a\n> b\n> c");
}

TEST_F(StringTest, ReplacementFunctions) {
    EXPECT_EQ(Eval("'a1b22'.replace(/(\\d)(\\d)?/g, function (m, a, b, i, s) {"
                   " return '[' + m + ',' + a + ',' + b + ',' + i + ',' + s + ',' + arguments.length + ']'; })"),
              "a[1,1,,1,a1b22,5]b[22,2,2,3,a1b22,5]");
    EXPECT_EQ(Eval("'abc'.replace(/b/, function () {}) + 'abc'.replace('b', function () { return 7; }) +"
                   "'abc'.replace(/b/, function () { return {toString: function () { return 'T'; }}; })"),
              "aundefinedca7caTc");
    // The record follows each match while the function runs.
    EXPECT_EQ(Eval("'x1y2'.replace(/(\\d)/g, function () { return RegExp.$1 + RegExp.leftContext.length; })"),
              "x11y23");
    EXPECT_EQ(Eval("var m; try { 'abc'.replace(/b/, function () { throw 'thrown'; }); } catch (e) { m = e; } m"),
              "thrown");
    EXPECT_EQ(Eval("var m; try { 'abc'.replace(/b/, function () { return {toString: function () { throw 'ts'; }}; });"
                   "} catch (e) { m = e; } m"),
              "ts");
    // Nested use of the same expression, and functions that drop or recompile it.
    EXPECT_EQ(Eval("var r = /(.)/g; 'ab'.replace(r, function (m) { return m.replace(r, '<$1>') + r.lastIndex; })"),
              "<a>0<b>0");
    EXPECT_EQ(Eval("var r = /a/g; 'aaa'.replace(r, function () { r.compile('b', 'g'); return 'X'; }) + r"), "Xaa/b/g");
    EXPECT_EQ(Eval("var r = /a/g; 'aa'.replace(r, function () { r = null; return '-'; })"), "--");
    EXPECT_EQ(Eval("var r = /a/g; 'aa'.replace(r, function () { r.compile('('); return '-'; })"), "<status 4>");
}

TEST_F(StringTest, Split) {
    EXPECT_EQ(Eval(With("show('a,b,'.split(/,/)) + show('a,b,'.split(','))").c_str()),
              "2:[\"a\",\"b\"]3:[\"a\",\"b\",\"\"]");
    EXPECT_EQ(Eval(With("show('ab'.split('')) + show('a1b2c'.split(/(\\d)/)) + show(',a'.split(/,/))").c_str()),
              "2:[\"a\",\"b\"]5:[\"a\",\"1\",\"b\",\"2\",\"c\"]2:[\"\",\"a\"]");
    EXPECT_EQ(Eval(With("show('abc'.split()) + show('abc'.split(undefined)) + show('a.b'.split('.')) +"
                        "show('a::b'.split('::')) + show('a12b'.split(/(1)(x)?2/))").c_str()),
              "1:[\"abc\"]1:[\"abc\"]2:[\"a\",\"b\"]2:[\"a\",\"b\"]4:[\"a\",\"1\",\"\",\"b\"]");
    // The empty string.
    EXPECT_EQ(Eval(With("show(''.split(/,/)) + show(''.split(/x*/)) + show(''.split(',')) + show(''.split(''))").c_str()),
              "1:[\"\"]0:[]1:[\"\"]0:[]");
    // The record holds the last separator found.
    EXPECT_EQ(Eval("'a1b2c'.split(/\\d/); RegExp.lastMatch + RegExp.rightContext"), "2c");
}

TEST_F(StringTest, SplitLimits) {
    EXPECT_EQ(Eval(With("show('a1b2c'.split(/(\\d)/, 2)) + show('a1b2c'.split(/(\\d)/, 3)) + show('a,b,c'.split(',', 2))"
                        "+ show('abc'.split('', 2))").c_str()),
              "2:[\"a\",\"1\"]3:[\"a\",\"1\",\"b\"]2:[\"a\",\"b\"]2:[\"a\",\"b\"]");
    EXPECT_EQ(Eval(With("show('a,b'.split(',', 0)) + show('a,b'.split(',', NaN)) + show('a,b'.split(',', -1)) +"
                        "show('a,b'.split(',', '1')) + show('a,b'.split(',', undefined)) + show('a,b'.split(',', 1.9)) +"
                        "show('ab'.split(undefined, 0)) + show('a,b'.split(',', 1e10))").c_str()),
              "0:[]0:[]0:[]1:[\"a\"]2:[\"a\",\"b\"]1:[\"a\"]0:[]2:[\"a\",\"b\"]");
    EXPECT_EQ(Eval("var m; try { 'a'.split(',', {valueOf: function () { throw 'lim'; }}); } catch (e) { m = e; } m"),
              "lim");
}

TEST_F(StringTest, SplitOnEmptyMatches) {
    const char *text = "show('abc'.split(/x*/)) + show('abc'.split(/(x*)/)) + show('ab'.split(/$/m))";
    EXPECT_EQ(Eval(With(text).c_str(), 0),
              "3:[\"a\",\"b\",\"c\"]5:[\"a\",\"\",\"b\",\"\",\"c\"]1:[\"ab\"]");
    // Level 3 retries the empty match at the input's end too.
    EXPECT_EQ(Eval(With(text).c_str(), 3),
              "3:[\"a\",\"b\",\"c\"]6:[\"a\",\"\",\"b\",\"\",\"c\",\"\"]1:[\"ab\"]");
}

TEST_F(StringTest, LevelThreeSingleSpaceSplitsOnWhiteSpaceRuns) {
    const char *text = "show('  a b\\t\\n c \\xa0'.split(' ')) + show('   '.split(' ')) + show('a  b'.split(' ', 1))";
    EXPECT_EQ(Eval(With(text).c_str(), 3), "3:[\"a\",\"b\",\"c\"]0:[]1:[\"a\"]");
    EXPECT_EQ(Eval(With("show('a  b'.split(' '))").c_str(), 0), "3:[\"a\",\"\",\"b\"]");
    EXPECT_EQ(Eval(With("show('a  b'.split('  '))").c_str(), 3), "2:[\"a\",\"b\"]");
}

TEST_F(StringTest, StaticGenericsAndStringObjects) {
    EXPECT_EQ(Eval("String.match('abc', /b/)[0] + String.replace('abc', 'b', 'x') + String.split('a,b', ',').length +"
                   "String.search('abc', 'c') + new String('xyz').replace(/y/, '-') + 'q'.concat(5).match(/5/).index"),
              "baxc22x-z1");
}

TEST_F(StringTest, LongInputsAndManyMatches) {
    // Output and work grow with the input, not with input times matches.
    EXPECT_EQ(Eval("var a = []; for (var i = 0; i < 20000; i++) a.push('ab,'); var s = a.join('');"
                   "var r = s.replace(/,/g, ';;'); var p = s.split(/,/); var m = s.match(/b/g);"
                   "r.length + ' ' + p.length + ' ' + m.length + ' ' + s.replace(/(a)(b)/g, '$2$1').substring(0, 6)"),
              "80000 20000 20000 ba,ba,");
    // An input held by very many values at once.
    EXPECT_EQ(Eval("var a = []; for (var i = 0; i < 5000; i++) a.push('ab,'); var s = a.join('');"
                   "var keep = []; for (var i = 0; i < 300; i++) keep.push(s);"
                   "s.replace(/,/g, ';').length + ' ' + s.split(/(,)/).length + ' ' + s.match(/a/g).length + ' ' +"
                   "RegExp.input.length + ' ' + RegExp.rightContext"),
              "15000 10000 5000 15000 b,");
}

}  // namespace
}  // namespace rxo_test
