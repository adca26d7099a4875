// Line input of the interactive session. On a terminal it edits the line
// in place (cursor keys, Home/End, Backspace/Delete, Ctrl-A/E/B/F/K/U/W/L,
// history with Up/Down or Ctrl-P/N) and keeps a history file; the cursor
// moves and deletes by UTF-8 character, one column each. Elsewhere it prints
// the prompt and reads plain lines.
#pragma once
#include <string>
#include <vector>

#include "input.h"

namespace shell {

class LineEditor {
public:
    LineEditor();
    ~LineEditor();
    LineEditor(const LineEditor &) = delete;
    LineEditor &operator=(const LineEditor &) = delete;

    // Whether lines are edited in place on a terminal.
    bool Editing() const { return editing_; }
    // Reads one line after showing the prompt. Ok: a line; End: end of input
    // (Ctrl-D on an empty line); Interrupted: Ctrl-C, the line is dropped.
    ReadStatus Read(const char *prompt, std::string &line);
    // Adds a line to the history (blank lines and repeats are not kept).
    void Remember(const std::string &line);
    // Reads and later writes the history file (only when editing).
    void UseHistoryFile(const std::string &path);

private:
    bool RawMode(bool on);
    void Refresh();
    void Write(const std::string &text);
    ReadStatus EditLine(std::string &line);
    void Recall(int step);

    bool editing_ = false;
    bool raw_ = false;
    std::string prompt_, buf_, saved_;
    size_t pos_ = 0;
    std::vector<std::string> history_;
    size_t browse_ = 0;  // history entry shown; history_.size() for the new line
    std::string historyPath_;
    struct Saved;
    Saved *termios_ = nullptr;
};

}  // namespace shell
