// The shell as a batch program: files, -e texts and piped input in one
// program space, the host functions, exit statuses and Ctrl-C.
#include <gtest/gtest.h>
#include <sys/stat.h>

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
              "bad.js: Reference error on line 2: Function not defined\n");
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
    File("self.js", "load('self.js');\n");
    Outcome o = Run({"-e", "load('lib.js'); print(fromLib, helper(1))"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "lib value 2\n");
    // A file that loads itself stops at a fixed depth instead of exhausting
    // the stack; the failure is told once.
    o = Run({"self.js"});
    EXPECT_EQ(o.status, 4);
    EXPECT_EQ(o.err, "self.js: Error: cannot load self.js: files loaded 8 deep\n");
}

// A load() that fails throws an Error naming the file, which a script can
// catch; the loaded file's own report is shown once, and an Error nobody
// catches adds no report of its own. Every way of failing, caught and not.
TEST_F(BatchTest, AFailedLoadThrowsAnErrorNamingTheFile) {
    File("broken.js", "var partly = 1;\nnoSuchThing();\n");
    File("outer.js", "print('outer starts');\nload('broken.js');\nprint('outer goes on');\n");
    File("throws.js", "throw 'plain';\n");
    File("syntax.js", "var x = (1;\n");
    const std::string brokenReport =
        "noSuchThing();\n^^^^^^^^^^^\nbroken.js: Reference error on line 2: Function not defined\n";
    struct Case {
        const char *file;
        std::string message;  // of the Error
        std::string report;   // what the file's own run shows
    };
    const Case cases[] = {
        {"broken.js", "cannot load broken.js: Reference error on line 2: Function not defined", brokenReport},
        {"outer.js", "cannot load outer.js: broken.js: Reference error on line 2: Function not defined",
         brokenReport},
        {"throws.js", "cannot load throws.js: Error on line 1: Uncaught exception: plain",
         "throw 'plain';\n^^^^^\nthrows.js: Error on line 1: Uncaught exception: plain\n"},
        {"syntax.js", "cannot load syntax.js: Syntax error on line 1: Right parenthesis expected",
         "var x = (1;\n          ^\nsyntax.js: Syntax error on line 1: Right parenthesis expected\n"},
        {"missing.js", "cannot load missing.js: No such file or directory", ""},
        {".", "cannot load .: Is a directory", ""},
    };
    for (const Case &c : cases) {
        std::string file = c.file;
        std::string printed = file == "outer.js" ? "outer starts\n" : "";
        // Caught, at the top level and inside a function.
        for (std::string call : {"load('" + file + "')", "(function () { load('" + file + "'); })()"}) {
            Outcome o = Run({"-e", "try { " + call + "; } catch (e) { print(e.name, e instanceof Error, e.message); }"
                                   " print('went on')"});
            EXPECT_EQ(o.status, 0) << file << o.err;
            EXPECT_EQ(o.out, printed + "Error true " + c.message + "\nwent on\n") << file;
            EXPECT_EQ(o.err, c.report) << file;
        }
        // Not caught: the run stops; only the file's report, or for a file
        // that could not run, the Error's text under the loader's name.
        for (std::string call : {"load('" + file + "')", "function f() { load('" + file + "'); }\nf()"}) {
            Outcome o = Run({"-e", call + "; print('not reached')"});
            EXPECT_EQ(o.status, 4) << file;
            EXPECT_EQ(o.out, printed) << file;
            EXPECT_EQ(o.err, c.report.empty() ? "-e: Error: " + c.message + "\n" : c.report) << file;
        }
        // From a file, the loader's name is the file's.
        File("loader.js", "load('" + file + "');\n");
        Outcome o = Run({"loader.js"});
        EXPECT_EQ(o.status, 4) << file;
        EXPECT_EQ(o.err, c.report.empty() ? "loader.js: Error: " + c.message + "\n" : c.report) << file;
        // Lenient: a file that could not run is a warning; the script goes
        // on. (The warning's "Warning:" is no leak warning.)
        BatchRun lenient;
        lenient.args = {"-l", "-e", "load('" + file + "'); print('went on')"};
        lenient.dir = dir_.Path();
        o = RunBatch(lenient);
        EXPECT_EQ(o.status, 0) << file;
        EXPECT_NE(o.out.find("went on\n"), std::string::npos) << file;
        if (c.report.empty()) {
            EXPECT_EQ(o.err, "-e: Warning: " + c.message + "\n") << file;
        }
    }
    // An Error caught and thrown again is reported where it is thrown.
    Outcome o = Run({"-e", "try { load('missing.js'); } catch (e) { throw e; }"});
    EXPECT_EQ(o.status, 4);
    EXPECT_NE(o.err.find("^^^^^\n-e: Error on line 1: cannot load missing.js: No such file or directory\n"),
              std::string::npos)
        << o.err;
    // Loaded from deep inside calls: the call depth is the library's limit.
    File("lib.js", "var fromLib = 1;\n");
    o = Run({"-e", "function g(n) { if (n) return g(n - 1); load('lib.js'); }\n"
                   "try { g(22); print('loaded', fromLib); g(23); } catch (e) { print(e.message); }"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "loaded 1\ncannot load lib.js: Error: Function called itself too many times\n");
    EXPECT_EQ(o.err, "lib.js: Error: Function called itself too many times\n");
    // No file named.
    o = Run({"-e", "try { load(); } catch (e) { print(e.message); }"});
    EXPECT_EQ(o.out, "cannot load: no file named\n");
    // load is the shell's function; the host function behind it stays hidden.
    o = Run({"-e", "print(typeof load, load.length, typeof __loadFile)"});
    EXPECT_EQ(o.out, "function 1 undefined\n");
}

// Each report names the source it came from: the file as named, "-e",
// "stdin" for "-" and piped input, a loaded file by the name given to load().
TEST_F(BatchTest, ReportsNameTheirSource) {
    const std::string report = ": Reference error on line 2: Function not defined\n";
    const std::string text = "var a = 1;\nnosuch();\n";
    File("bad.js", text);
    mkdir((dir_.Path() + "/sub").c_str(), 0700);
    File("sub/deep.js", text);
    struct Case {
        std::vector<std::string> args;
        std::string input, name;
    };
    const Case cases[] = {
        {{"bad.js"}, "", "bad.js"},
        {{"sub/deep.js"}, "", "sub/deep.js"},
        {{"-e", text}, "", "-e"},
        {{"-e" + text}, "", "-e"},
        {{"-"}, text, "stdin"},
        {{}, text, "stdin"},
        {{"--", "bad.js"}, "", "bad.js"},
        {{"-e", "load('sub/deep.js')"}, "", "sub/deep.js"},
        {{"-e", "1", "bad.js"}, "", "bad.js"},
    };
    for (const Case &c : cases) {
        Outcome o = Run(c.args, c.input);
        EXPECT_EQ(o.status, 4) << c.name;
        EXPECT_EQ(o.err, "nosuch();\n^^^^^^\n" + c.name + report) << c.name;
        // Warnings of lenient runs too.
        std::vector<std::string> lenient = c.args;
        lenient.insert(lenient.begin(), "-l");
        o = Run(lenient, c.input);
        EXPECT_EQ(o.status, 0) << c.name;
        EXPECT_EQ(o.err, "nosuch();\n^^^^^^\n" + c.name + ": Reference warning on line 2: Function not defined\n")
            << c.name;
    }
    // A report after a load() names the loader again.
    File("fine.js", "var fine = 1;\n");
    Outcome o = Run({"-e", "load('fine.js');\nnosuch();"});
    EXPECT_EQ(o.err, "nosuch();\n^^^^^^\n-e" + report);
}

// A first line starting with #! is skipped in files, in standard input and
// in loaded files; line numbers stay those of the file. Elsewhere it is code.
TEST_F(BatchTest, AnInterpreterLineIsSkipped) {
    const std::string body = "print('runs');\nnosuch();\n";
    File("plain.js", "#!/usr/bin/env quillon\n" + body);
    File("crlf.js", "#!/usr/bin/quillon -l\r\n" + body);
    File("bare.js", "#!");
    File("twice.js", "#!/a\n#!/b\n");
    File("second.js", "print('first');\n#!/not/skipped\n");
    for (const char *file : {"plain.js", "crlf.js"}) {
        Outcome o = Run({file});
        EXPECT_EQ(o.status, 4) << file;
        EXPECT_EQ(o.out, "runs\n") << file;
        EXPECT_EQ(o.err, std::string("nosuch();\n^^^^^^\n") + file +
                             ": Reference error on line 3: Function not defined\n")
            << file;
    }
    Outcome o = Run({"-"}, "#!/usr/bin/env quillon\n" + body);
    EXPECT_EQ(o.out, "runs\n");
    EXPECT_NE(o.err.find("stdin: Reference error on line 3"), std::string::npos) << o.err;
    o = Run({"-e", "load('plain.js')"});
    EXPECT_EQ(o.out, "runs\n");
    EXPECT_NE(o.err.find("plain.js: Reference error on line 3"), std::string::npos) << o.err;
    EXPECT_EQ(Run({"bare.js"}).status, 0);
    // Only the first line, only in files.
    o = Run({"twice.js"});
    EXPECT_EQ(o.status, 4);
    EXPECT_NE(o.err.find("twice.js: Syntax error on line 2"), std::string::npos) << o.err;
    o = Run({"second.js"});
    EXPECT_EQ(o.out, "first\n");
    EXPECT_NE(o.err.find("second.js: Syntax error on line 2"), std::string::npos) << o.err;
    o = Run({"-e", "#!/usr/bin/env quillon\nprint('x')"});
    EXPECT_EQ(o.status, 4);
    EXPECT_NE(o.err.find("-e: Syntax error on line 1"), std::string::npos) << o.err;
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
    run.interruptAfterMs = 1500;  // the scripts have started, even on a busy machine
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
    // Reports on the library's own output are plain text in a file: neither
    // console colour codes nor the terminal's.
    EXPECT_EQ(o.err.find('\x9b'), std::string::npos) << o.err;
    EXPECT_EQ(o.err.find('\x1b'), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("Error on line 1: no text\n"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("to the diagnostic output\n"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("Syntax error"), std::string::npos) << o.err;
}

}  // namespace
}  // namespace shell_test
