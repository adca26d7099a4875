// Drives the quillon shell as a user would: as a batch program with files,
// arguments and piped input, or interactively under a pseudo-terminal whose
// output is replayed onto a small screen model.
#pragma once
#include <string>
#include <sys/types.h>
#include <vector>

namespace shell_test {

// Path of the shell under test: $QUILLON, else ../shell/quillon beside the
// test program's own folder.
std::string ShellPath();

// A temporary folder removed with its files at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string &Path() const { return path_; }
    // Writes a file in the folder and returns its path.
    std::string Write(const std::string &name, const std::string &text) const;
    std::string Read(const std::string &name) const;

private:
    std::string path_;
};

struct Outcome {
    int status = -1;        // exit status, or 128 + signal
    std::string out, err;
    bool timedOut = false;
};

struct BatchRun {
    std::vector<std::string> args;
    std::string input;                  // standard input (a file, not a terminal)
    std::string dir;                    // working folder (empty: unchanged)
    int interruptAfterMs = -1;          // send SIGINT this long after the start
    int timeoutMs = 20000;
};

// Runs the shell with its standard input, output and error in files.
Outcome RunBatch(const BatchRun &run);

// The visible text of a terminal: carriage return, line feed, erase to the
// end of the line, cursor forward and clear screen are followed.
class Screen {
public:
    void Feed(const std::string &bytes);
    // All lines, each ended by a line feed (trailing blanks kept).
    std::string Text() const;
    // The line the cursor is on, and its number.
    std::string CurrentLine() const;
    size_t Row() const { return row_; }

private:
    std::vector<std::string> lines_{std::string()};
    size_t row_ = 0, col_ = 0;
    std::string pending_;  // an escape sequence not yet complete
};

// The shell under a pseudo-terminal. HOME points at a temporary folder so the
// history file lands there.
class PtyShell {
public:
    explicit PtyShell(const std::vector<std::string> &args, const std::string &home,
                      const char *term = "xterm");
    ~PtyShell();
    // Types bytes at the terminal.
    void Type(const std::string &bytes);
    // Waits until the screen text contains `text`; false after the timeout.
    bool WaitFor(const std::string &text, int timeoutMs = 20000);
    // Waits until the current line is exactly `line` (a fresh prompt).
    bool WaitForLine(const std::string &line, int timeoutMs = 20000);
    // The same on a line below `row`.
    bool WaitForLineBelow(size_t row, const std::string &line, int timeoutMs = 20000);
    // Waits until the bytes written since `from` contain `text`.
    bool WaitForRaw(const std::string &text, size_t from, int timeoutMs = 20000);
    // Counts occurrences of `text` on the screen.
    size_t Count(const std::string &text) const;
    void Signal(int sig);
    // Waits for the exit; returns the status (128 + signal when killed).
    int Wait(int timeoutMs = 20000);
    const Screen &Display() const { return screen_; }
    // Every byte the shell has written to the terminal so far.
    const std::string &Raw() const { return raw_; }

private:
    bool Pump(int timeoutMs);

    pid_t pid_ = -1;
    int master_ = -1;
    Screen screen_;
    std::string raw_;
    int status_ = -1;
};

}  // namespace shell_test
