// Script files as the shell reads them: the whole file as bytes, "-" for
// standard input, and a first line starting with "#!" (the interpreter line
// of an executable script) blanked, its line feed kept, so line numbers in
// reports stay those of the file.
#pragma once
#include <string>

namespace shell {

// Reads the file (standard input for "-" when `dashIsStdin`). False with
// `error` set to the reason when it cannot be read.
bool Source_Read(const std::string &path, bool dashIsStdin, std::string &text, std::string &error);

// Blanks a first line that starts with "#!".
void Source_SkipInterpreterLine(std::string &text);

}  // namespace shell
