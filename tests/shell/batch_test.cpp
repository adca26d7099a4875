// The shell as a batch program: files, -e texts and piped input in one
// program space, the host functions, exit statuses and Ctrl-C.
#include <gtest/gtest.h>

#include "shell_driver.h"

namespace shell_test {
namespace {

class BatchTest : public ::testing::Test {
protected:
    Outcome Run(std::vector<std::string> args, const std::string &input = "") {
        BatchRun run;
        run.args = std::move(args);
        run.input = input;
        run.dir = dir_.Path();
        Outcome o = Run(run);
        return o;
    }
    Outcome Run(const BatchRun &run) {
        Outcome o = RunBatch(run);
        EXPECT_FALSE(o.timedOut);
        // The shell fails with 70 and the library warns when memory is left.
        EXPECT_NE(o.status, 70) << o.err;
        EXPECT_EQ(o.err.find("Warning:"), std::string::npos) << o.err;
        return o;
    }
    std::string File(const std::string &name, const std::string &text) { return dir_.Write(name, text); }
    TempDir dir_;
};

TEST_F(BatchTest, PipedInputIsOneScript) {
    Outcome o = Run({}, "var a = [1, 2,\n 3];\nprint(a.length, typeof print);\nconsole.log('x', null, true);\n");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "3 function\nx null true\n");
    EXPECT_EQ(o.err, "");
    // "-" names standard input among other sources.
    o = Run({"-e", "var before = 1", "-", "-e", "print(after + before)"}, "var after = 41;");
    EXPECT_EQ(o.out, "42\n");
}

TEST_F(BatchTest, FilesAndTextsRunInOrderInOneSpace) {
    File("a.js", "var trail = ['a'];\nfunction add(x) { trail.push(x); }\n");
    File("b.js", "add('b');\n");
    Outcome o = Run({"a.js", "-e", "add('e1')", "b.js", "-eadd('e2')", "-e", "print(trail.join(' '))"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "a e1 b e2\n");
}

TEST_F(BatchTest, DoubleDashEndsTheOptions) {
    File("-e", "print('a file named -e');");
    File("-l", "print('and one named -l');");
    Outcome o = Run({"-c", "0", "--", "-e", "-l"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "a file named -e\nand one named -l\n");
}

TEST_F(BatchTest, HelpVersionAndUsageErrors) {
    Outcome o = Run({"-h"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out.find("usage: quillon"), 0u);
    EXPECT_EQ(o.err, "");
    o = Run({"-v"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "quillon.library 4.23 (5.11.2022)\n");
    for (auto args : std::vector<std::vector<std::string>>{{"-q"}, {"-e"}, {"-c"}, {"-c", "x1"}, {"-c", "1x"}}) {
        o = Run(args);
        EXPECT_EQ(o.status, 2) << args[0];
        EXPECT_EQ(o.out, "");
        EXPECT_NE(o.err.find("usage: quillon"), std::string::npos) << o.err;
    }
}

TEST_F(BatchTest, AnUnreadableFileRunsNothing) {
    File("first.js", "print('first');");
    Outcome o = Run({"first.js", "missing.js"});
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err.find("cannot read missing.js"), std::string::npos) << o.err;
    o = Run({dir_.Path()});  // a folder is not a script
    EXPECT_EQ(o.status, 2);
}

TEST_F(BatchTest, ExitStatusIsTheLastRunsResult) {
    File("ok.js", "print('ok');");
    File("bad.js", "print('bad');\nundefinedFunction();\nprint('never');");
    File("after.js", "print('after');");
    Outcome o = Run({"ok.js", "bad.js", "after.js"});
    EXPECT_EQ(o.status, 4);
    EXPECT_EQ(o.out, "ok\nbad\n");  // the run that failed ends the shell
    EXPECT_EQ(o.err,
              "undefinedFunction();\n^^^^^^^^^^^^^^^^^\n"
              "Reference error on line 2: Function not defined\n");
    // Lenient runs report warnings and go on.
    o = Run({"-l", "bad.js", "after.js"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "bad\nnever\nafter\n");
    EXPECT_NE(o.err.find("Reference warning on line 2"), std::string::npos) << o.err;
    // An uncaught throw, and a syntax error in a line that runs.
    EXPECT_EQ(Run({"-e", "throw 'x'"}).status, 4);
    EXPECT_EQ(Run({"-e", "var a = (1;"}).status, 4);
}

TEST_F(BatchTest, CompatibilityLevelReachesEveryRun) {
    File("cont.js", "print('a\\\nb'.length);");
    EXPECT_EQ(Run({"cont.js"}).out, "2\n");
    EXPECT_EQ(Run({"-c", "2", "cont.js", "-e", "load('cont.js')"}).out, "3\n3\n");
    EXPECT_EQ(Run({"-c2", "cont.js"}).out, "3\n");
}

TEST_F(BatchTest, HostObjectsThroughTheHooks) {
    Outcome o = Run({"-e",
                     "print(typeof print, typeof console, typeof console.log, typeof load,"
                     " typeof readline, typeof quit);"
                     "var names = []; for (var k in console) names.push(k); print(names.join());"
                     "print('log' in console, 'warn' in console, console.warn);"
                     "print(String(print), '' + console);"
                     "var p = print; p('through a variable');"
                     "try { new print(); } catch (e) { print('new:', e.name); }"
                     "try { console.log = 0; } catch (e) { print('store:', e.name); }"
                     "console.error('to', 'stderr');"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out,
              "function object function function function function\n"
              "log,error\n"
              "true false undefined\n"
              "function print() { [host code] } [object Console]\n"
              "through a variable\n"
              "new: TypeError\n"
              "store: TypeError\n");
    EXPECT_EQ(o.err, "to stderr\n");
}

TEST_F(BatchTest, PrintConvertsEveryArgument) {
    Outcome o = Run({"-e",
                     "print(); print(1, 'two', [3, 4], {toString: function () { return 'five'; }},"
                     " 0.1 + 0.2, -0, 1/0, undefined, null, false);"
                     "print({toString: function () { throw new Error('no string'); }});"
                     "print('unreached');"});
    EXPECT_EQ(o.status, 4);
    EXPECT_EQ(o.out, "\n1 two 3,4 five 0.30000000000000004 0 Infinity undefined null false\n");
    EXPECT_NE(o.err.find("no string"), std::string::npos) << o.err;
}

TEST_F(BatchTest, LoadRunsFilesInTheSameSpace) {
    File("lib.js", "var fromLib = 'lib value';\nfunction helper(x) { return x + 1; }\n");
    File("broken.js", "var partly = 1;\nnoSuchThing();\n");
    File("self.js", "load('self.js');\n");
    Outcome o = Run({"-e", "load('lib.js'); print(fromLib, helper(1))"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "lib value 2\n");
    // A missing file fails the call, which a script can catch.
    o = Run({"-e", "try { load('missing.js'); } catch (e) { print('caught'); } print('went on')"});
    EXPECT_EQ(o.out, "caught\nwent on\n");
    EXPECT_NE(o.err.find("cannot read missing.js"), std::string::npos) << o.err;
    // An error inside the loaded file is shown and stops the script that loaded it.
    o = Run({"-e", "load('broken.js'); print('not reached')"});
    EXPECT_EQ(o.status, 4);
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err.find("noSuchThing();"), std::string::npos) << o.err;
    // A file that loads itself stops at a fixed depth instead of exhausting the stack.
    o = Run({"self.js"});
    EXPECT_EQ(o.status, 4);
    EXPECT_NE(o.err.find("loaded 16 deep"), std::string::npos) << o.err;
}

TEST_F(BatchTest, ReadlineReadsStandardInput) {
    File("echo.js",
         "var line, n = 0;\n"
         "while ((line = readline()) !== null) print(++n + ': [' + line + ']');\n"
         "print('end', readline());\n");
    Outcome o = Run({"echo.js"}, "first\n\nthird without newline");
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "1: [first]\n2: []\n3: [third without newline]\nend null\n");
    // Piped script: the script took all of standard input.
    o = Run({}, "print(readline());");
    EXPECT_EQ(o.out, "null\n");
}

TEST_F(BatchTest, QuitEndsEverything) {
    File("q.js", "print('before'); quit(7); print('after');");
    File("next.js", "print('next file');");
    Outcome o = Run({"q.js", "next.js"});
    EXPECT_EQ(o.status, 7);
    EXPECT_EQ(o.out, "before\n");
    EXPECT_EQ(o.err, "");  // no "User break" box
    File("inner.js", "function f() { for (;;) quit(9); }\nf();");
    o = Run({"-e", "try { load('inner.js'); } finally { print('finally runs?'); }", "next.js"});
    EXPECT_EQ(o.status, 9);
    EXPECT_EQ(o.out.find("next file"), std::string::npos);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(Run({"-e", "quit()"}).status, 0);
    EXPECT_EQ(Run({"-e", "quit(256 + 5)"}).status, 5);
}

TEST_F(BatchTest, InterruptStopsARunningScript) {
    File("spin.js", "print('started');\nvar i = 0;\nwhile (true) i++;\n");
    BatchRun run;
    run.args = {"spin.js", "-e", "print('not reached')"};
    run.dir = dir_.Path();
    run.interruptAfterMs = 500;
    Outcome o = Run(run);
    EXPECT_EQ(o.status, 3);
    EXPECT_EQ(o.out, "started\n");
    EXPECT_EQ(o.err, "");
    // A loop with an empty body, and a script read from standard input.
    run.args = {"-e", "while(true);"};
    o = Run(run);
    EXPECT_EQ(o.status, 3);
    EXPECT_EQ(o.err, "");
    run.args = {};
    run.input = "print('piped'); for (;;) {}";
    o = Run(run);
    EXPECT_EQ(o.status, 3);
    EXPECT_EQ(o.out, "piped\n");
    run.input.clear();
    // Inside nested script calls.
    File("deep.js", "function spin() { for (;;) {} }\nfunction outer() { spin(); }\nouter();\n");
    run.args = {"deep.js"};
    o = Run(run);
    EXPECT_EQ(o.status, 3);
}

TEST_F(BatchTest, SessionOnPipedInputWithDashI) {
    Outcome o = Run({"-i"},
                    "1 + 1\n"
                    "var o = {toString: function () { throw new Error('no text'); }}\n"
                    "o\n"
                    "Debug.writeln('to the', ' diagnostic output')\n"
                    "[1,\n2]\n"
                    "f(");  // the input ends inside an open entry: it still runs
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "js> 2\njs> js> <error>\njs> js> ... 1,2\njs> ... \n");
    // Reports of the library's own output lose their console colour codes.
    EXPECT_EQ(o.err.find('\x9b'), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("Error on line 1: no text\n"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("to the diagnostic output\n"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("Syntax error"), std::string::npos) << o.err;
}

}  // namespace
}  // namespace shell_test
