// RegExp objects: the constructor's forms and errors, compile, toString,
// the instance properties and literals.
#include "rxo_fixture.h"
#include "support/testhost.h"

namespace rxo_test {
namespace {

using ConstructTest = RxoTest;

struct ErrorCase {
    const char *pattern;  // script expression giving the pattern
    const char *flags;    // script expression, or null
    const char *caught;   // name and message of the caught error
};

TEST_F(ConstructTest, EveryCompileErrorIsCaughtWithItsClassAndMessage) {
    const ErrorCase cases[] = {
        {"'a**'", nullptr, "SyntaxError Syntax error on line 1: Invalid quantifier"},
        {"'a{'", nullptr, "SyntaxError Syntax error on line 1: Invalid quantifier"},
        {"'a{65536}'", nullptr, "SyntaxError Syntax error on line 1: Minimum is too large"},
        {"'a{1,65536}'", nullptr, "SyntaxError Syntax error on line 1: Maximum is too large"},
        {"'a{2,1}'", nullptr, "SyntaxError Syntax error on line 1: Maximum is less than minimum"},
        {"'a)'", nullptr, "SyntaxError Syntax error on line 1: Unexpected right parenthesis"},
        {"'(a'", nullptr, "SyntaxError Syntax error on line 1: Right parenthesis expected"},
        {"'[abc'", nullptr, "SyntaxError Syntax error on line 1: Character class not terminated"},
        {"'a\\\\'", nullptr, "SyntaxError Syntax error on line 1: Trailing \\ in regular expression"},
        {"'[z-a]'", nullptr, "SyntaxError Syntax error on line 1: Invalid character class range"},
        {"new Array(65536).join('()')", nullptr,
         "Error Error on line 1: Regular expression has too many parenthesis"},
        {"'a'", "'gq'", "SyntaxError Syntax error on line 1: Invalid regular expression flag"},
        {"/x/g", "'i'", "TypeError Type error on line 1: Flags given when constructing a RegExp from another"},
        {"/x/", "''", "TypeError Type error on line 1: Flags given when constructing a RegExp from another"},
    };
    for (const ErrorCase &c : cases) {
        std::string call = std::string("new RegExp(") + c.pattern + (c.flags ? std::string(", ") + c.flags : "") + ")";
        std::string text = "var r; try { " + call + "; r = 'made'; } catch (e) { r = e.name + ' ' + e.message; } r";
        EXPECT_EQ(Eval(text.c_str()), c.caught) << call;
        // The call form and compile() fail the same way.
        text = "var r; try { /q/.compile(" + std::string(c.pattern) + (c.flags ? std::string(", ") + c.flags : "") +
               "); r = 'made'; } catch (e) { r = e.message; } r";
        EXPECT_NE(Eval(text.c_str()), "made") << "compile " << call;
    }
}

TEST_F(ConstructTest, AnUncaughtCompileErrorIsReportedWithItsClass) {
    quillon_test::TestHost h;
    EXPECT_EQ(h.Run("var x = 1;\nvar r = new RegExp('+');"), static_cast<uint32_t>(JSRESULT_ERROR));
    ASSERT_EQ(h.reports.size(), 1u);
    EXPECT_EQ(h.reports[0].message, "Invalid quantifier");
    EXPECT_NE(h.reports[0].heading.find("Syntax error"), std::string::npos) << h.reports[0].heading;
    EXPECT_NE(h.reports[0].heading.find("line 2"), std::string::npos) << h.reports[0].heading;
}

TEST_F(ConstructTest, ConstructorForms) {
    EXPECT_EQ(Eval("var re = /x/g; RegExp(re) === re"), "true");
    EXPECT_EQ(Eval("var re = /x/g; RegExp(re, undefined) === re"), "true");
    EXPECT_EQ(Eval("var re = /x/g; var c = new RegExp(re); (c !== re) + ' ' + c + ' ' + c.global"), "true /x/g true");
    EXPECT_EQ(Eval("String(new RegExp('a', 'mig'))"), "/a/gim");
    EXPECT_EQ(Eval("String(RegExp('a', 'ggi'))"), "/a/gi");
    EXPECT_EQ(Eval("var r = new RegExp(); r.source + ' ' + r + ' ' + r.test('') + ' ' + r.global"),
              "(?:) /(?:)/ true false");
    EXPECT_EQ(Eval("new RegExp(undefined).source + ' ' + new RegExp('').source.length + ' ' + new RegExp(null).source"),
              "(?:) 0 null");
    EXPECT_EQ(Eval("new RegExp(12, undefined) + ' ' + new RegExp('a', undefined).global"), "/12/ false");
    EXPECT_EQ(Eval("Object.prototype.toString.call(/x/) + ' ' + typeof /x/ + ' ' + (/x/ instanceof RegExp)"),
              "[object RegExp] object true");
    EXPECT_EQ(Eval("/x/.constructor === RegExp"), "true");
    // A pattern whose conversion throws passes the thrown value on.
    EXPECT_EQ(Eval("var r; try { new RegExp({toString: function () { throw 'no'; }}); } catch (e) { r = e; } r"),
              "no");
    EXPECT_EQ(Eval("var r; try { new RegExp('a', {toString: function () { throw 'nf'; }}); } catch (e) { r = e; } r"),
              "nf");
}

TEST_F(ConstructTest, PrototypeIsAnExpressionMatchingEverywhere) {
    EXPECT_EQ(Eval("RegExp.prototype.source + ' ' + RegExp.prototype + ' ' + RegExp.prototype.exec('abc').index"),
              "(?:) /(?:)/ 0");
    EXPECT_EQ(Eval("RegExp.prototype.lastIndex + ' ' + RegExp.prototype.global"),
              "0 false");
}

TEST_F(ConstructTest, CompileReplacesPatternFlagsAndLastIndex) {
    EXPECT_EQ(Eval("var r = /a/g; r.exec('aa'); var before = r.lastIndex; var back = r.compile('b', 'i');"
                   "before + ' ' + r.lastIndex + ' ' + r + ' ' + r.test('B') + ' ' + (back === r)"),
              "1 0 /b/i true true");
    EXPECT_EQ(Eval("var r = /a/g; r.compile(); r + ' ' + r.global"), "/(?:)/ false");
    EXPECT_EQ(Eval("var r = /a/g; r.compile(r); r + ' ' + r.test('a')"), "/a/g true");
    EXPECT_EQ(Eval("var r = /a/; r.compile(/c/m); r + ''"), "/c/m");
    // A failed compile keeps the new pattern without a program: every use fails again.
    EXPECT_EQ(Eval("var r = /a/; try { r.compile('('); } catch (e) {} var m;"
                   "try { r.test('a'); m = 'ran'; } catch (e) { m = e.message; } r.source + ' ' + m"),
              "( Syntax error on line 1: Right parenthesis expected");
    // Bad flags leave the object as it was.
    EXPECT_EQ(Eval("var r = /a/g; try { r.compile('b', 'x'); } catch (e) {} r + ''"), "/a/g");
}

TEST_F(ConstructTest, MethodsOnOtherThisDoNothing) {
    EXPECT_EQ(Eval("var p = RegExp.prototype; typeof p.exec.call({}, 'a') + ' ' + typeof p.test.call(5, 'a') + ' ' +"
                   "typeof p.compile.call('s', 'a') + ' ' + typeof p.toString.call([])"),
              "undefined undefined undefined undefined");
}

TEST_F(ConstructTest, InstancePropertiesAndTheirAssignments) {
    EXPECT_EQ(Eval("var r = /a\\/b/gi; r.source + ' ' + r.global + ' ' + r.ignoreCase + ' ' + r.multiline + ' ' + r.lastIndex"),
              "a\\/b true true false 0");
    const char *readOnly[] = {"source", "global", "ignoreCase", "multiline"};
    for (const char *name : readOnly) {
        std::string text = std::string("var r = /a/m, m; try { r.") + name +
                           " = 1; m = 'stored'; } catch (e) { m = e.name + ': ' + e.message; } m + ' ' + r." + name;
        std::string expect = std::string("ReferenceError: Reference error on line 1: Property is read only ") +
                             (std::string(name) == "source" ? "a" : std::string(name) == "multiline" ? "true" : "false");
        EXPECT_EQ(Eval(text.c_str()), expect) << name;
    }
    EXPECT_EQ(Eval("var r = /a/; r.lastIndex = '7'; var a = r.lastIndex; r.lastIndex = -1; var b = r.lastIndex;"
                   "r.lastIndex = 2; a + ' ' + b + ' ' + r.lastIndex + ' ' + typeof a"),
              "7 4294967295 2 number");
    EXPECT_EQ(Eval("var r; try { /a/.lastIndex = {valueOf: function () { throw 'li'; }}; } catch (e) { r = e; } r"),
              "li");
    // Other names are ordinary properties; the hooked ones are present.
    EXPECT_EQ(Eval("var r = /a/; r.extra = 5; r.extra + ' ' + ('lastIndex' in r) + ' ' + ('source' in r) + ' ' +"
                   "('nothing' in r)"),
              "5 true true false");
    // An object inheriting from a RegExp sees its properties.
    EXPECT_EQ(Eval("function F() {} F.prototype = /q/g; var o = new F(); o.source + ' ' + o.global"), "q true");
}

TEST_F(ConstructTest, LiteralsMakeOneObjectPerLiteral) {
    EXPECT_EQ(Eval("function f() { return /b/g; } var a = f(), b = f(); (a === b) + ' ' + (/b/g === /b/g)"),
              "true false");
    // That one object keeps its lastIndex from evaluation to evaluation.
    EXPECT_EQ(Eval("var out = ''; for (var i = 0; i < 3; i++) { var x = /b/g; out += x.test('bb') + ','; } out"),
              "true,true,false,");
    EXPECT_EQ(Eval("var x = /b/g; x.source + x.global + (1 /2/ 1)"), "btrue0.5");
    // A faulty pattern in a literal is reported when the literal is used.
    EXPECT_EQ(Eval("var q = /a**/; var m; try { q.test('a'); } catch (e) { m = e.message; } String(q) + ' ' + m"),
              "/a**/ Syntax error on line 1: Invalid quantifier");
}

TEST_F(ConstructTest, CalledAsAFunctionARegExpActsAsExec) {
    EXPECT_EQ(Eval("var r = /(\\d+)/; var m = r('ab12'); m[1] + ' ' + m.index"), "12 2");
}

}  // namespace
}  // namespace rxo_test
