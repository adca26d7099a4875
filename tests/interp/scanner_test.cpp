// The skipping scanners called directly on token programs: where a skipped
// statement ends (every kind of statement, ended by `;`, by a line break or
// by the end of the text, alone and nested in the statements that take
// another), where a skipped operand ends at each expression level (with the
// line-break rule), labels, and the statement-end check. Run-level tests of
// the same rules are scan_test.cpp's.
#include <string>
#include <vector>

#include "interp/scan.h"
#include "lexer/lexfixture.h"

namespace lexer_test {
namespace {

class ScannerTest : public LexerTest {
protected:
    // Lexes the text, applies the scanner at its first token and gives the
    // source from the first token that is not a line break at the position
    // it returned ("" at the end of the program).
    template <class F>
    std::string Rest(const std::string &text, F scanner) {
        uint32_t *codes = nullptr, *lens = nullptr, count = 0;
        EXPECT_EQ(Lex_Run(store_, text.c_str(), 0, nullptr, &codes, &lens, &count), 0u) << text;
        if (!codes) return "<lex error>";
        Tok end = Scan_Lines(scanner(static_cast<Tok>(codes)));
        std::string rest;
        if (*end != TK_END) {
            uint32_t start, stop;
            Lex_TokenText(text.c_str(), codes, lens, end, &start, &stop);
            rest = text.substr(start);
        }
        Arr_Free(codes);
        Arr_Free(lens);
        Lex_EndRun(store_);
        return rest;
    }
    std::string AfterStatement(const std::string &text) { return Rest(text, Scan_SkipStatement); }
    std::string AfterExpr(const std::string &text, ExprLevel level) {
        return Rest(text, [level](Tok p) { return Scan_SkipExpr(p, level); });
    }
    bool Complete(const std::string &text, size_t tokens) {
        uint32_t *codes = nullptr, *lens = nullptr, count = 0;
        EXPECT_EQ(Lex_Run(store_, text.c_str(), 0, nullptr, &codes, &lens, &count), 0u) << text;
        bool ok = Scan_StatementComplete(codes, codes + tokens);
        Arr_Free(codes);
        Arr_Free(lens);
        Lex_EndRun(store_);
        return ok;
    }
};

const char *const kStatements[] = {
    "a = b + c",
    "a = b\n+ c",
    "a = -\n b",
    "a = [1, {b: 2}, (3)]",
    "a = b ? c : d ? e : f",
    "a = typeof b + void c - delete d.e",
    "new F(1).g[2]\n.h",
    "a = x++ + ++y",
    "var a = 1, b = function () { return 2 }, c",
    "return a ? b : c",
    "return",
    "throw new Error('x')",
    "break",
    "continue lab",
    "if (x) a = 1",
    "if (x) a = 1; else b = 2",
    "if (x) { a } else if (y) { b } else { c }",
    "if (a) if (b) c; else d; else e",
    "if (a) do x(); while (y); else z",
    "while (x) { a; }",
    "while (x) a--",
    "do a++; while (x)",
    "do { a } while (x)",
    "do do a(); while (b); while (c)",
    "for (i = 0; i < 3; i++) a += i",
    "for (var k in o) { }",
    "with (o) a = b",
    "switch (x) { case 1: a; break; default: b }",
    "try { a } catch (e) { b } finally { c }",
    "try { a } finally { c }",
    "try { try { a } catch (e) { } } catch (f) { b }",
    "lab: while (x) break lab",
    "l1: l2: { x: a = 1 }",
    "lab:\n{ }",
    "function f(a, b) { return a }",
    "{ a; { b } }",
};

// Every kind of statement, ended by `;`, by a line break, by the end of the
// text or by a block's `}`, is skipped up to its last token; and so is each
// as the body of every statement that takes another.
TEST_F(ScannerTest, EveryStatementEndsWhereItShould) {
    const char *bodies[] = {"%", "if (z) %", "if (z) % else q", "while (z) %", "for (;;) %", "with (z) %",
                            "lab: %", "if (z) {} else %"};
    for (const char *text : kStatements) {
        for (const char *body : bodies) {
            std::string b = body;
            std::string stmt = b.replace(b.find('%'), 1, text);
            // Ended by a semicolon: it stays for the next statement (an
            // empty one), except that a do-while at the end takes it.
            bool elsePart = stmt.size() > 7 && stmt.compare(stmt.size() - 7, 7, " else q") == 0;
            bool endsWithDo = !elsePart && std::string(text).rfind("do ", 0) == 0;
            EXPECT_EQ(AfterStatement(stmt + "; @"), endsWithDo ? "@" : "; @") << stmt;
            // Ended by a line break.
            EXPECT_EQ(AfterStatement(stmt + "\n@"), "@") << stmt;
            // Ended by the end of the text.
            EXPECT_EQ(AfterStatement(stmt), "") << stmt;
            // Inside a block: the block is one statement.
            EXPECT_EQ(AfterStatement("{ " + stmt + " } @"), "@") << stmt;
        }
    }
}

TEST_F(ScannerTest, ALineBreakEndsAStatementBeforeWhatCannotContinueIt) {
    EXPECT_EQ(AfterStatement("a\n(b)"), "(b)");
    EXPECT_EQ(AfterStatement("a\n[1]"), "[1]");
    EXPECT_EQ(AfterStatement("x = y\n++z"), "++z");
    EXPECT_EQ(AfterStatement("x = function () { }\n(1)"), "(1)");
    EXPECT_EQ(AfterStatement("a = 1\nb = 2"), "b = 2");
    EXPECT_EQ(AfterStatement("return\nvalue"), "value");
    EXPECT_EQ(AfterStatement("break\nlab"), "lab");
    EXPECT_EQ(AfterStatement("continue\nlab"), "lab");
    // What can continue it does.
    EXPECT_EQ(AfterStatement("a\n.b\n.c(1)\n@"), "@");
    EXPECT_EQ(AfterStatement("a\n+ b\n* c\n@"), "@");
    EXPECT_EQ(AfterStatement("a\n+= b\n@"), "@");
    EXPECT_EQ(AfterStatement("a = b\n? c\n: d\n@"), "@");
    EXPECT_EQ(AfterStatement("a\n, b\n@"), "@");
    EXPECT_EQ(AfterStatement("a = (\nb\n)\n@"), "@");
}

TEST_F(ScannerTest, SkippedOperandsStopAtTheirLevel) {
    const std::string text = "a || b && c | d ? e : f = g, h";
    EXPECT_EQ(AfterExpr(text, kCommaLevel), "");
    EXPECT_EQ(AfterExpr(text, kAssignLevel), ", h");
    // The right operand of || takes && and tighter; of && takes | and tighter.
    EXPECT_EQ(AfterExpr("b && c | d ? e : f", Scan_LogicalLevel(TK_LOGOR)), "? e : f");
    EXPECT_EQ(AfterExpr("c | d && e", Scan_LogicalLevel(TK_LOGAND)), "&& e");
    // Binary levels by precedence group.
    EXPECT_EQ(AfterExpr("a * b + c", Scan_BinaryLevel(TK_MUL)), "+ c");
    EXPECT_EQ(AfterExpr("a + b * c < d", Scan_BinaryLevel(TK_ADD)), "< d");
    EXPECT_EQ(AfterExpr("a << b == c", Scan_BinaryLevel(TK_SHL)), "== c");
    EXPECT_EQ(AfterExpr("a < b in c == d", Scan_BinaryLevel(TK_LT)), "== d");
    // Prefix and postfix parts belong to the operand.
    EXPECT_EQ(AfterExpr("-typeof !a.b[c](d)++ * e", Scan_BinaryLevel(TK_ADD)), "");
    EXPECT_EQ(AfterExpr("new F(1)(2).g * e + 1", Scan_BinaryLevel(TK_MUL)), "+ 1");
    EXPECT_EQ(AfterExpr("function (x) { return x } (1) + 2", Scan_BinaryLevel(TK_MUL)), "+ 2");
    // The conditional takes assignment expressions in both arms.
    EXPECT_EQ(AfterExpr("a ? b = 1 : c = 2, d", kAssignLevel), ", d");
    // No operand: the scan does not move.
    EXPECT_EQ(AfterExpr(") x", kCommaLevel), ") x");
}

TEST_F(ScannerTest, SkippedOperandsFollowTheLineBreakRule) {
    EXPECT_EQ(AfterExpr("a\n+ b\n@", Scan_BinaryLevel(TK_ADD)), "@");
    EXPECT_EQ(AfterExpr("a\n* b\n+ c", Scan_BinaryLevel(TK_MUL)), "+ c");
    EXPECT_EQ(AfterExpr("a\n.b\n(c)", kCommaLevel), "(c)");
    EXPECT_EQ(AfterExpr("a\n= b", kAssignLevel), "= b");
    EXPECT_EQ(AfterExpr("a\n+= b\n@", kAssignLevel), "@");
    EXPECT_EQ(AfterExpr("a\n+= b", Scan_BinaryLevel(TK_LOGOR)), "+= b");
    EXPECT_EQ(AfterExpr("a\n, b\n@", kCommaLevel), "@");
    EXPECT_EQ(AfterExpr("a\n, b", kAssignLevel), ", b");
    EXPECT_EQ(AfterExpr("a\n++b", kCommaLevel), "++b");
    EXPECT_EQ(AfterExpr("a +\n\nb\n@", kCommaLevel), "@");
}

TEST_F(ScannerTest, GroupsAndFunctions) {
    EXPECT_EQ(Rest("(a, [b, {c: (d)}]) @", Scan_Group), "@");
    EXPECT_EQ(Rest("(a, (b)", Scan_Group), "");  // no closer: the end of the program
    EXPECT_EQ(Rest("function f(a) { if (a) { return } } @", Scan_SkipFunction), "@");
    EXPECT_EQ(Rest("function (a)\n{ }\n@", Scan_SkipFunction), "@");
    EXPECT_EQ(Rest("function f @", Scan_SkipFunction), "@");  // malformed: stops where it goes wrong
}

TEST_F(ScannerTest, StatementCompleteChecksWhatFollows) {
    // "a = 1" is three tokens.
    EXPECT_TRUE(Complete("a = 1; b", 3));
    EXPECT_TRUE(Complete("a = 1\nb", 3));
    EXPECT_TRUE(Complete("a = 1", 3));
    EXPECT_TRUE(Complete("a = 1 } b", 3));
    EXPECT_TRUE(Complete("a = 1 else b", 3));
    EXPECT_TRUE(Complete("a = 1 while (b)", 3));
    EXPECT_FALSE(Complete("a = 1 b", 3));
    EXPECT_FALSE(Complete("a = 1 (b)", 3));
    // Ending in `}`, `:` or `;` is complete whatever follows.
    EXPECT_TRUE(Complete("{ } b", 2));
    EXPECT_TRUE(Complete("lab: b", 2));
    EXPECT_TRUE(Complete("; b", 1));
}

}  // namespace
}  // namespace lexer_test
