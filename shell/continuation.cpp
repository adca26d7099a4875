#include "continuation.h"

#include <cstring>
#include <vector>

namespace shell {

namespace {

bool IsIdentByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$' || c >= 128;
}

// Words after which a slash is a division: the operands among the keywords.
bool IsOperandWord(const std::string &w) {
    return w == "true" || w == "false" || w == "null" || w == "this";
}

bool IsKeyword(const std::string &w) {
    static const char *const kWords[] = {
        "break", "case",   "catch", "continue", "default", "delete", "do",   "else",  "finally",
        "for",   "function", "if",  "import",   "in",      "instanceof", "new", "return", "switch",
        "throw", "try",    "typeof", "var",     "void",    "while",  "with",
    };
    for (const char *k : kWords)
        if (w == k) return true;
    return false;
}

}  // namespace

bool NeedsMoreInput(const std::string &text) {
    std::vector<char> open;      // the closing bracket each open one expects
    bool afterOperand = false;   // a slash here is a division, not a pattern
    bool lineStart = true;       // only blanks so far on this line ("-->" comment)
    size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\n' || c == '\r') {
            lineStart = true;
            ++i;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\f' || c == '\v') {
            ++i;
            continue;
        }
        bool wasLineStart = lineStart;
        lineStart = false;
        if (c == '/' && i + 1 < n && text[i + 1] == '*') {
            size_t end = text.find("*/", i + 2);
            if (end == std::string::npos) return true;
            i = end + 2;
            lineStart = wasLineStart;
            continue;
        }
        if ((c == '/' && i + 1 < n && text[i + 1] == '/') || text.compare(i, 4, "<!--") == 0 ||
            (wasLineStart && text.compare(i, 3, "-->") == 0)) {
            while (i < n && text[i] != '\n' && text[i] != '\r') ++i;
            continue;
        }
        if (c == '"' || c == '\'') {
            ++i;
            while (i < n && static_cast<unsigned char>(text[i]) != c) {
                // Not terminated: no further line can mend it; running it reports it.
                if (text[i] == '\n' || text[i] == '\r') return false;
                if (text[i] == '\\') {
                    if (i + 1 >= n) return true;
                    if (text[i + 1] == '\r' && i + 2 < n && text[i + 2] == '\n') ++i;
                    // A backslash before the line's end continues the string.
                    if ((text[i + 1] == '\n' || text[i + 1] == '\r') && i + 2 >= n) return true;
                    i += 2;
                    continue;
                }
                ++i;
            }
            if (i < n && static_cast<unsigned char>(text[i]) == c) ++i;
            afterOperand = true;
            continue;
        }
        if (c == '/') {
            ++i;
            if (afterOperand) {
                afterOperand = false;
                continue;
            }
            // A pattern literal: it cannot span lines.
            bool inClass = false;
            for (;;) {
                if (i >= n || text[i] == '\n' || text[i] == '\r') return false;  // not terminated
                char d = text[i];
                if (d == '\\' && i + 1 < n && text[i + 1] != '\n' && text[i + 1] != '\r') {
                    i += 2;
                    continue;
                }
                ++i;
                if (d == '[') inClass = true;
                else if (d == ']') inClass = false;
                else if (d == '/' && !inClass) break;
            }
            while (i < n && IsIdentByte(static_cast<unsigned char>(text[i]))) ++i;
            afterOperand = true;
            continue;
        }
        if (IsIdentByte(c)) {
            size_t start = i;
            while (i < n && IsIdentByte(static_cast<unsigned char>(text[i]))) ++i;
            std::string word = text.substr(start, i - start);
            afterOperand = IsOperandWord(word) || !IsKeyword(word);
            continue;
        }
        ++i;
        switch (c) {
        case '(': open.push_back(')'); break;
        case '[': open.push_back(']'); break;
        case '{': open.push_back('}'); break;
        case ')':
        case ']':
        case '}':
            // A stray or mismatched closer can never be repaired by more lines.
            if (open.empty() || open.back() != static_cast<char>(c)) return false;
            open.pop_back();
            break;
        default: break;
        }
        afterOperand = c == ')' || c == ']';
    }
    return !open.empty();
}

}  // namespace shell
