// Standard input for the shell: one buffered reader shared by the line
// editor, the plain line reader and the scripts' readline(), so bytes read
// ahead by one are never lost to the others. An interrupted read (Ctrl-C
// arriving as SIGINT) is reported instead of retried.
#pragma once
#include <string>

namespace shell {

enum class ReadStatus { Ok, End, Interrupted, Failed };

// The next byte of standard input (0 to 255), or a negative status:
// kInputEnd, kInputInterrupted, kInputFailed.
constexpr int kInputEnd = -1;
constexpr int kInputInterrupted = -2;
constexpr int kInputFailed = -3;
int Input_Byte();

// One line without its line feed. A last line without a line feed counts as
// a line; End only when nothing at all was left.
ReadStatus Input_Line(std::string &line);

// The rest of standard input.
ReadStatus Input_All(std::string &text);

}  // namespace shell
