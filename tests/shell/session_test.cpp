// The interactive session under a pseudo-terminal: prompts, printed values,
// continuation lines, errors that leave the session running, Ctrl-C, line
// editing and history.
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>

#include "shell_driver.h"

namespace shell_test {
namespace {

constexpr const char *kPrompt = "js> ";
constexpr const char *kMore = "... ";

class SessionTest : public ::testing::Test {
protected:
    // Types a line and waits for the next prompt.
    void Enter(PtyShell &sh, const std::string &line, const char *prompt = kPrompt) {
        size_t row = sh.Display().Row();
        sh.Type(line + "\r");
        ASSERT_TRUE(sh.WaitForLineBelow(row, prompt)) << sh.Display().Text();
    }
    TempDir home_;
};

TEST_F(SessionTest, PrintsValuesKeepsStateAndContinuesOpenLines) {
    PtyShell sh({}, home_.Path());
    ASSERT_TRUE(sh.WaitForLine(kPrompt)) << sh.Display().Text();
    Enter(sh, "1 + 2");
    Enter(sh, "'con' + \"cat\"");
    Enter(sh, "var n = 6");
    Enter(sh, "n * 7");
    Enter(sh, "function twice(x) {", kMore);
    Enter(sh, "  return [x,", kMore);
    Enter(sh, "          x];", kMore);
    Enter(sh, "}");
    Enter(sh, "twice('ab')");
    Enter(sh, "print('printed'); undefined");
    Enter(sh, "null");
    Enter(sh, "var s = 'one \\", kMore);  // a string continued with a backslash
    Enter(sh, "two'");
    Enter(sh, "s");
    const std::string screen = sh.Display().Text();
    EXPECT_NE(screen.find("js> 1 + 2\n3\n"), std::string::npos) << screen;
    EXPECT_NE(screen.find("\n\"concat\"\n"), std::string::npos) << screen;
    EXPECT_NE(screen.find("js> var n = 6\njs> n * 7\n42\n"), std::string::npos) << screen;
    EXPECT_NE(screen.find("js> function twice(x) {\n...   return [x,\n...           x];\n... }\njs> "),
              std::string::npos)
        << screen;
    EXPECT_NE(screen.find("twice('ab')\nab,ab\n"), std::string::npos) << screen;
    EXPECT_NE(screen.find("undefined\nprinted\njs> null\nnull\n"), std::string::npos) << screen;
    EXPECT_NE(screen.find("js> s\n\"one two\"\n"), std::string::npos) << screen;
    sh.Type("\x04");
    EXPECT_EQ(sh.Wait(), 0);
}

TEST_F(SessionTest, ErrorsAreShownAndTheSessionGoesOn) {
    PtyShell sh({}, home_.Path());
    ASSERT_TRUE(sh.WaitForLine(kPrompt));
    Enter(sh, "var kept = 'still here'");
    Enter(sh, "nosuch(1)");
    Enter(sh, "1 +* 2");
    Enter(sh, "throw new Error('boom')");
    Enter(sh, "(1]");  // a mismatched bracket is not a continuation
    Enter(sh, "kept");
    const std::string screen = sh.Display().Text();
    // Entries typed in the session come from standard input.
    EXPECT_NE(screen.find("nosuch(1)\n^^^^^^\nstdin: Reference error on line 1"), std::string::npos)
        << screen;
    EXPECT_NE(screen.find("stdin: Syntax error on line 1"), std::string::npos) << screen;
    EXPECT_NE(screen.find("stdin: Error on line 1: boom"), std::string::npos) << screen;
    EXPECT_NE(screen.find("js> kept\n\"still here\"\n"), std::string::npos) << screen;
    EXPECT_EQ(sh.Count(kMore), 0u) << screen;
    sh.Type("\x04");
    EXPECT_EQ(sh.Wait(), 0);
}

TEST_F(SessionTest, CtrlCStopsARunningEntryAndTheSessionGoesOn) {
    PtyShell sh({}, home_.Path());
    ASSERT_TRUE(sh.WaitForLine(kPrompt));
    Enter(sh, "var i = 0");
    sh.Type("while (true) i++;\r");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    sh.Type("\x03");  // the terminal turns it into SIGINT while the entry runs
    ASSERT_TRUE(sh.WaitFor("User break\n")) << sh.Display().Text();
    ASSERT_TRUE(sh.WaitForLine(kPrompt));
    Enter(sh, "i > 0");
    // A SIGINT from outside does the same.
    size_t row = sh.Display().Row();
    sh.Type("for (;;) {}\r");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    sh.Signal(SIGINT);
    ASSERT_TRUE(sh.WaitForLineBelow(row, kPrompt)) << sh.Display().Text();
    Enter(sh, "'alive'");
    const std::string screen = sh.Display().Text();
    EXPECT_NE(screen.find("js> i > 0\ntrue\n"), std::string::npos) << screen;
    EXPECT_EQ(sh.Count("User break"), 2u) << screen;
    EXPECT_NE(screen.find("\"alive\""), std::string::npos) << screen;
    sh.Type("\x04");
    EXPECT_EQ(sh.Wait(), 0);
}

TEST_F(SessionTest, CtrlCWhileTypingDropsTheEntry) {
    PtyShell sh({}, home_.Path());
    ASSERT_TRUE(sh.WaitForLine(kPrompt));
    Enter(sh, "function broken() {", kMore);
    size_t row = sh.Display().Row();
    sh.Type("1 +");
    sh.Type("\x03");
    ASSERT_TRUE(sh.WaitForLineBelow(row, kPrompt)) << sh.Display().Text();
    Enter(sh, "5");
    Enter(sh, "typeof broken");
    const std::string screen = sh.Display().Text();
    EXPECT_NE(screen.find("... 1 +^C\njs> 5\n5\n"), std::string::npos) << screen;
    EXPECT_NE(screen.find("\"undefined\""), std::string::npos) << screen;
    sh.Type("\x04");
    EXPECT_EQ(sh.Wait(), 0);
}

TEST_F(SessionTest, EditingKeysAndHistory) {
    {
        PtyShell sh({}, home_.Path());
        ASSERT_TRUE(sh.WaitForLine(kPrompt));
        Enter(sh, "40 + 2");
        // Home, then insert in front; Left twice and Backspace; Ctrl-E and append.
        Enter(sh, "2*3\x1b[H1");                  // 12*3
        Enter(sh, "1000\x1b[D\x1b[D\x7f\x05+1");   // 100+1
        Enter(sh, "\x1b[A\x1b[A\x1b[A");           // up three: 40 + 2 again
        Enter(sh, "'abc def'\x17\x17'x'");          // Ctrl-W twice: 'x'
        Enter(sh, "garbage\x15'kill'");             // Ctrl-U
        const std::string screen = sh.Display().Text();
        EXPECT_NE(screen.find("js> 12*3\n36\n"), std::string::npos) << screen;
        EXPECT_NE(screen.find("js> 100+1\n101\n"), std::string::npos) << screen;
        EXPECT_EQ(sh.Count("js> 40 + 2\n42\n"), 2u) << screen;
        EXPECT_NE(screen.find("js> 'x'\n\"x\"\n"), std::string::npos) << screen;
        EXPECT_NE(screen.find("js> 'kill'\n\"kill\"\n"), std::string::npos) << screen;
        sh.Type("\x04");
        EXPECT_EQ(sh.Wait(), 0);
    }
    // The history outlives the session.
    std::string history = home_.Read(".quillon_history");
    EXPECT_EQ(history.find("40 + 2\n12*3\n100+1\n"), 0u) << history;
    PtyShell again({}, home_.Path());
    ASSERT_TRUE(again.WaitForLine(kPrompt));
    Enter(again, "\x1b[A");
    EXPECT_NE(again.Display().Text().find("js> 'kill'\n\"kill\"\n"), std::string::npos)
        << again.Display().Text();
    again.Type("\x04");
    EXPECT_EQ(again.Wait(), 0);
}

TEST_F(SessionTest, LineEditingMovesAndDeletesByUtf8Character) {
    PtyShell sh({}, home_.Path());
    ASSERT_TRUE(sh.WaitForLine(kPrompt));
    const std::string left = "\x1b[D", right = "\x1b[C", home = "\x1b[H", end = "\x1b[F",
                      del = "\x1b[3~", backspace = "\x7f";
    // Two-byte character, Backspace: "é" then Backspace then e" is "e".
    Enter(sh, "\"\xc3\xa9" + backspace + "e\"");
    // Three-byte character, Left over it, insert, then Backspace over it.
    Enter(sh, "'\xe2\x82\xac'" + left + left + "a" + end + left + backspace);
    // Four-byte character, Delete on it; Ctrl-B and Ctrl-F move the same way.
    Enter(sh, "'\xf0\x9f\x98\x80" "b'" + home + right + del);
    Enter(sh, "'x\xc3\xa9" "y'\x02\x02\x02\x06\x7f");  // Ctrl-B thrice, Ctrl-F, Backspace: 'xy'
    // Bytes that form no UTF-8 character (Latin-1 text) are one character each.
    Enter(sh, "'\xe9\xe9" + backspace + "'");
    // The script gets the bytes typed.
    Enter(sh, "'\xc3\xb1\xc3\xa9'.length");
    const std::string screen = sh.Display().Text();
    EXPECT_NE(screen.find("\n\"e\"\n"), std::string::npos) << screen;
    EXPECT_NE(screen.find("\n\"a\"\n"), std::string::npos) << screen;
    EXPECT_NE(screen.find("\n\"b\"\n"), std::string::npos) << screen;
    EXPECT_NE(screen.find("\n\"xy\"\n"), std::string::npos) << screen;
    EXPECT_NE(screen.find("\n\"\xe9\"\n"), std::string::npos) << screen;
    EXPECT_NE(screen.find("'.length\n4\n"), std::string::npos) << screen;
    // The cursor column counts characters: after "é" and Left it stands in
    // column 4 + 2, shown as the line redrawn and the cursor moved there.
    size_t from = sh.Raw().size();
    sh.Type("\"\xc3\xa9\"" + left);
    EXPECT_TRUE(sh.WaitForRaw("js> \"\xc3\xa9\"\x1b[0K\r\x1b[6C", from)) << sh.Raw().substr(from);
    sh.Type("\x05\x15\x04");  // Ctrl-E, Ctrl-U, Ctrl-D
    EXPECT_EQ(sh.Wait(), 0);
}

TEST_F(SessionTest, TheLibrarysReportsAreColouredOnTheTerminal) {
    PtyShell sh({}, home_.Path());
    ASSERT_TRUE(sh.WaitForLine(kPrompt));
    // Printing this value converts it with no host at hand: the library
    // reports the failure on its own diagnostic output, here the terminal.
    Enter(sh, "var o = {toString: function () { throw new Error('no text'); }}");
    size_t from = sh.Raw().size();
    Enter(sh, "o");
    Enter(sh, "Debug.writeln('plain \xc4\x9bm')");
    const std::string raw = sh.Raw().substr(from);
    size_t highlight = raw.find("\x1b[0;33;40m");
    size_t normal = raw.find("\x1b[0;31;40m");
    size_t reset = raw.find("no text\x1b[0m\r\n");
    EXPECT_NE(highlight, std::string::npos) << raw;
    EXPECT_LT(highlight, normal) << raw;
    EXPECT_LT(normal, reset) << raw;
    EXPECT_EQ(raw.find("\x9b" "0;3"), std::string::npos) << raw;  // no console sequences
    EXPECT_NE(raw.find("\r\nplain \xc4\x9bm\r\n"), std::string::npos) << raw;
    // The shell's own reports have no colour.
    from = sh.Raw().size();
    Enter(sh, "nosuch()");
    ASSERT_TRUE(sh.WaitForRaw("stdin: Reference error on line 1: Function not defined\r\n", from));
    EXPECT_EQ(sh.Raw().find("\x1b[0;3", from), std::string::npos) << sh.Raw().substr(from);
    sh.Type("\x04");
    EXPECT_EQ(sh.Wait(), 0);
}

TEST_F(SessionTest, LongLinesScrollSideways) {
    PtyShell sh({}, home_.Path());
    ASSERT_TRUE(sh.WaitForLine(kPrompt));
    std::string sum = "0";
    for (int i = 1; i <= 40; ++i) sum += "+" + std::to_string(i);  // wider than 80 columns
    Enter(sh, sum);
    EXPECT_NE(sh.Display().Text().find("\n820\n"), std::string::npos) << sh.Display().Text();
    sh.Type("\x04");
    EXPECT_EQ(sh.Wait(), 0);
}

TEST_F(SessionTest, ReadlineAndQuitInsideTheSession) {
    PtyShell sh({}, home_.Path());
    ASSERT_TRUE(sh.WaitForLine(kPrompt));
    sh.Type("var got = readline()\r");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    Enter(sh, "typed at the terminal");
    Enter(sh, "got");
    EXPECT_NE(sh.Display().Text().find("\"typed at the terminal\""), std::string::npos)
        << sh.Display().Text();
    // Ctrl-C while a script waits for a line stops the entry, not the session.
    sh.Type("readline(); 'not reached'\r");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    sh.Type("\x03");
    ASSERT_TRUE(sh.WaitFor("User break\n")) << sh.Display().Text();
    ASSERT_TRUE(sh.WaitForLine(kPrompt));
    EXPECT_EQ(sh.Count("\"not reached\""), 0u);
    sh.Type("quit(3)\r");
    EXPECT_EQ(sh.Wait(), 3);
}

TEST_F(SessionTest, FilesRunFirstWithDashI) {
    std::string lib = home_.Write("lib.js", "function square(x) { return x * x; }\nprint('loaded');\n");
    PtyShell sh({"-i", lib}, home_.Path());
    ASSERT_TRUE(sh.WaitForLine(kPrompt));
    Enter(sh, "square(12)");
    const std::string screen = sh.Display().Text();
    EXPECT_NE(screen.find("loaded\njs> square(12)\n144\n"), std::string::npos) << screen;
    sh.Type("\x04");
    EXPECT_EQ(sh.Wait(), 0);
}

TEST_F(SessionTest, DumbTerminalReadsPlainLines) {
    PtyShell sh({}, home_.Path(), "dumb");
    ASSERT_TRUE(sh.WaitForLine(kPrompt));
    Enter(sh, "[1, 2].length");
    Enter(sh, "if (true) {", kMore);
    Enter(sh, "'in block' }");
    const std::string screen = sh.Display().Text();
    // The terminal echoes the typed lines itself.
    EXPECT_NE(screen.find("js> [1, 2].length\n2\n"), std::string::npos) << screen;
    EXPECT_NE(screen.find("... 'in block' }\n\"in block\"\n"), std::string::npos) << screen;
    sh.Type("\x04");
    EXPECT_EQ(sh.Wait(), 0);
}

}  // namespace
}  // namespace shell_test
