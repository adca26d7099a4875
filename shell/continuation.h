// Whether an interactive entry is finished: the session keeps reading lines
// while a bracket, a block comment or a string continued with a backslash
// is still open.
#pragma once
#include <string>

namespace shell {

// True when `text` (the lines read so far, each ended by a line feed) leaves
// a bracket, a block comment or a backslash-continued string open.
// A closing bracket that matches nothing, a string or pattern literal left
// open at a line's end count as finished: no further line can mend them, and
// running the text reports them.
bool NeedsMoreInput(const std::string &text);

}  // namespace shell
