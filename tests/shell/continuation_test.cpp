// When the interactive session asks for another line.
#include <gtest/gtest.h>

#include "continuation.h"

namespace {

using shell::NeedsMoreInput;

TEST(Continuation, OpenBracketsAskForMore) {
    EXPECT_TRUE(NeedsMoreInput("function f() {\n"));
    EXPECT_TRUE(NeedsMoreInput("f(1,\n"));
    EXPECT_TRUE(NeedsMoreInput("var a = [\n"));
    EXPECT_TRUE(NeedsMoreInput("if (x) { g([1, (2\n"));
    EXPECT_FALSE(NeedsMoreInput("function f() { return (1 + [2][0]); }\n"));
    EXPECT_FALSE(NeedsMoreInput("1 + 2\n"));
    EXPECT_FALSE(NeedsMoreInput("\n"));
}

TEST(Continuation, ClosersThatCannotMatchEndTheEntry) {
    EXPECT_FALSE(NeedsMoreInput(")\n"));
    EXPECT_FALSE(NeedsMoreInput("(1]\n"));
    EXPECT_FALSE(NeedsMoreInput("{ ( } \n"));
    EXPECT_FALSE(NeedsMoreInput("}{\n"));  // the stray closer decides, whatever follows
}

TEST(Continuation, BracketsInsideStringsAndCommentsDoNotCount) {
    EXPECT_FALSE(NeedsMoreInput("'('\n"));
    EXPECT_FALSE(NeedsMoreInput("\"{[\" + '\\'('\n"));
    EXPECT_FALSE(NeedsMoreInput("x // (\n"));
    EXPECT_FALSE(NeedsMoreInput("x <!-- {\n"));
    EXPECT_FALSE(NeedsMoreInput("-->  (\n"));
    EXPECT_FALSE(NeedsMoreInput("x /* ( */\n"));
    EXPECT_TRUE(NeedsMoreInput("f( // )\n"));
    EXPECT_TRUE(NeedsMoreInput("'a' + (\"b)\"\n"));
}

TEST(Continuation, BlockCommentsAndContinuedStringsAskForMore) {
    EXPECT_TRUE(NeedsMoreInput("/* open\n"));
    EXPECT_TRUE(NeedsMoreInput("x = 1; /* still\n ( open\n"));
    EXPECT_FALSE(NeedsMoreInput("/* open\n closed */ 1\n"));
    EXPECT_TRUE(NeedsMoreInput("var s = 'one \\\n"));
    EXPECT_TRUE(NeedsMoreInput("var s = \"one \\\r\n"));
    EXPECT_FALSE(NeedsMoreInput("var s = 'one \\\ntwo'\n"));
    EXPECT_FALSE(NeedsMoreInput("var s = 'one \\\\'\n"));  // an escaped backslash ends nothing
    // A string left open without a backslash is an error to report, not a continuation.
    EXPECT_FALSE(NeedsMoreInput("var s = 'unterminated\n"));
    EXPECT_FALSE(NeedsMoreInput("f('(\n"));
    EXPECT_FALSE(NeedsMoreInput("{ 'a' + \"b\n"));
}

TEST(Continuation, SlashesArePatternsOrDivisions) {
    // Patterns: brackets inside them do not count.
    EXPECT_FALSE(NeedsMoreInput("x = /(/\n"));
    EXPECT_FALSE(NeedsMoreInput("/[)(]/.test(s)\n"));
    EXPECT_FALSE(NeedsMoreInput("return /\\(/g\n"));
    EXPECT_FALSE(NeedsMoreInput("f(/[/(]/)\n"));
    EXPECT_FALSE(NeedsMoreInput("typeof /{/\n"));
    // Divisions: what follows is code.
    EXPECT_TRUE(NeedsMoreInput("a / (b\n"));
    EXPECT_TRUE(NeedsMoreInput("(a) / (b\n"));
    EXPECT_TRUE(NeedsMoreInput("x[0] / 2 / (y\n"));
    EXPECT_TRUE(NeedsMoreInput("this / (y\n"));
    EXPECT_TRUE(NeedsMoreInput("'s' / (y\n"));
    EXPECT_TRUE(NeedsMoreInput("/a/ / (y\n"));
    // A pattern cannot span lines: one left open is an error to report.
    EXPECT_FALSE(NeedsMoreInput("f(/abc\n"));
}

}  // namespace
