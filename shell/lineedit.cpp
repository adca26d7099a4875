#include "lineedit.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace shell {

namespace {

constexpr size_t kHistoryKept = 1000;

enum Key : int {
    kCtrlA = 1, kCtrlB = 2, kCtrlC = 3, kCtrlD = 4, kCtrlE = 5, kCtrlF = 6, kCtrlH = 8, kTab = 9,
    kCtrlK = 11, kCtrlL = 12, kEnter = 13, kCtrlN = 14, kCtrlP = 16, kCtrlU = 21, kCtrlW = 23,
    kEscape = 27, kBackspace = 127,
    // Keys sent as escape sequences.
    kUp = 1000, kDown, kLeft, kRight, kHome, kEnd, kDelete, kNone,
};

// The line is edited by UTF-8 character: a character is a lead byte and the
// continuation bytes it calls for. A byte that fits no such sequence (Latin-1
// text, a stray continuation byte) is a character of its own, so any bytes
// can still be edited. The script receives the bytes as typed.
inline bool Continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Bytes of the sequence a byte starts, continuation bytes included.
inline size_t SequenceLength(unsigned char c) {
    return c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 1;
}

// Start of the character after the one starting at i.
size_t NextChar(const std::string &s, size_t i) {
    if (i >= s.size()) return s.size();
    size_t n = SequenceLength(static_cast<unsigned char>(s[i]));
    size_t j = i + 1;
    while (j < s.size() && j < i + n && Continuation(static_cast<unsigned char>(s[j]))) ++j;
    return j;
}

// Start of the character that ends at i.
size_t PrevChar(const std::string &s, size_t i) {
    if (i == 0) return 0;
    size_t k = i - 1;
    while (k > 0 && i - k < 4 && Continuation(static_cast<unsigned char>(s[k]))) --k;
    return NextChar(s, k) == i ? k : i - 1;
}

// Columns a text takes: one per character.
size_t Width(const std::string &s, size_t from, size_t to) {
    size_t w = 0;
    for (size_t i = from; i < to && i < s.size(); i = NextChar(s, i)) ++w;
    return w;
}

size_t Columns() {
    struct winsize ws;
    if (ioctl(1, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0) return ws.ws_col;
    return 80;
}

// Decodes the rest of an escape sequence (after ESC).
int EscapeKey() {
    int a = Input_Byte();
    if (a < 0) return a;
    if (a != '[' && a != 'O') return kNone;
    int b = Input_Byte();
    if (b < 0) return b;
    if (b >= '0' && b <= '9') {
        int c = Input_Byte();
        if (c < 0) return c;
        while (c != '~' && c >= '0' && c <= ';') {  // parameters we do not use
            c = Input_Byte();
            if (c < 0) return c;
        }
        switch (b) {
        case '1': case '7': return c == '~' ? kHome : kNone;
        case '4': case '8': return c == '~' ? kEnd : kNone;
        case '3': return kDelete;
        default: return kNone;
        }
    }
    switch (b) {
    case 'A': return kUp;
    case 'B': return kDown;
    case 'C': return kRight;
    case 'D': return kLeft;
    case 'H': return kHome;
    case 'F': return kEnd;
    default: return kNone;
    }
}

}  // namespace

struct LineEditor::Saved {
    struct termios mode;
};

LineEditor::LineEditor() {
    const char *term = std::getenv("TERM");
    bool dumb = !term || !*term || std::strcmp(term, "dumb") == 0;
    editing_ = isatty(0) && isatty(1) && !dumb;
    if (editing_) {
        termios_ = new Saved;
        if (tcgetattr(0, &termios_->mode) != 0) editing_ = false;
    }
}

LineEditor::~LineEditor() {
    RawMode(false);
    if (editing_ && !historyPath_.empty()) {
        if (FILE *out = std::fopen(historyPath_.c_str(), "w")) {
            size_t from = history_.size() > kHistoryKept ? history_.size() - kHistoryKept : 0;
            for (size_t i = from; i < history_.size(); ++i) {
                std::fwrite(history_[i].data(), 1, history_[i].size(), out);
                std::fputc('\n', out);
            }
            std::fclose(out);
        }
    }
    delete termios_;
}

bool LineEditor::RawMode(bool on) {
    if (!editing_ || on == raw_) return true;
    if (!on) {
        tcsetattr(0, TCSADRAIN, &termios_->mode);
        raw_ = false;
        return true;
    }
    struct termios raw = termios_->mode;
    // Keys arrive one by one, unechoed; Ctrl-C and Ctrl-D are keys here.
    raw.c_iflag &= ~(BRKINT | ICRNL | INPCK | ISTRIP | IXON);
    raw.c_cflag |= CS8;
    raw.c_lflag &= ~(ECHO | ICANON | IEXTEN | ISIG);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    if (tcsetattr(0, TCSADRAIN, &raw) != 0) return false;
    raw_ = true;
    return true;
}

void LineEditor::Write(const std::string &text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(1, text.data() + done, text.size() - done);
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

void LineEditor::Refresh() {
    size_t cols = Columns();
    size_t promptWidth = Width(prompt_, 0, prompt_.size());
    // Scroll sideways so the cursor stays on the screen.
    size_t start = 0;
    while (start < pos_ && promptWidth + Width(buf_, start, pos_) >= cols) start = NextChar(buf_, start);
    size_t end = start;
    while (end < buf_.size() && promptWidth + Width(buf_, start, NextChar(buf_, end)) < cols)
        end = NextChar(buf_, end);
    std::string out = "\r" + prompt_ + buf_.substr(start, end - start) + "\x1b[0K\r";
    size_t column = promptWidth + Width(buf_, start, pos_);
    if (column) out += "\x1b[" + std::to_string(column) + "C";
    Write(out);
}

void LineEditor::Recall(int step) {
    if (history_.empty()) return;
    if (browse_ == history_.size()) saved_ = buf_;
    if (step < 0 && browse_ == 0) return;
    if (step > 0 && browse_ == history_.size()) return;
    browse_ = step < 0 ? browse_ - 1 : browse_ + 1;
    buf_ = browse_ == history_.size() ? saved_ : history_[browse_];
    pos_ = buf_.size();
    Refresh();
}

ReadStatus LineEditor::EditLine(std::string &line) {
    buf_.clear();
    pos_ = 0;
    browse_ = history_.size();
    Refresh();
    size_t awaited = 0;  // continuation bytes still to come for the character being typed
    for (;;) {
        int key = Input_Byte();
        if (awaited && key >= 0 && Continuation(static_cast<unsigned char>(key))) {
            // The line is shown again once the character is complete.
            buf_.insert(pos_++, 1, static_cast<char>(key));
            if (--awaited == 0) Refresh();
            continue;
        }
        awaited = 0;
        if (key == kEscape) key = EscapeKey();
        if (key == kInputInterrupted) key = kCtrlC;  // SIGINT from outside
        if (key == kInputEnd || key == kInputFailed) {
            if (buf_.empty()) return ReadStatus::End;
            key = kEnter;
        }
        switch (key) {
        case kEnter:
        case '\n':
            line = buf_;
            Write("\r\n");
            return ReadStatus::Ok;
        case kCtrlC:
            Write("^C\r\n");
            return ReadStatus::Interrupted;
        case kCtrlD:
            if (buf_.empty()) {
                Write("\r\n");
                return ReadStatus::End;
            }
            [[fallthrough]];
        case kDelete:
            buf_.erase(pos_, NextChar(buf_, pos_) - pos_);
            break;
        case kBackspace:
        case kCtrlH: {
            size_t from = PrevChar(buf_, pos_);
            buf_.erase(from, pos_ - from);
            pos_ = from;
            break;
        }
        case kCtrlA:
        case kHome: pos_ = 0; break;
        case kCtrlE:
        case kEnd: pos_ = buf_.size(); break;
        case kCtrlB:
        case kLeft: pos_ = PrevChar(buf_, pos_); break;
        case kCtrlF:
        case kRight: pos_ = NextChar(buf_, pos_); break;
        case kCtrlK: buf_.erase(pos_); break;
        case kCtrlU:
            buf_.erase(0, pos_);
            pos_ = 0;
            break;
        case kCtrlW: {
            size_t from = pos_;
            while (from > 0 && buf_[from - 1] == ' ') --from;
            while (from > 0 && buf_[from - 1] != ' ') --from;
            buf_.erase(from, pos_ - from);
            pos_ = from;
            break;
        }
        case kCtrlL: Write("\x1b[H\x1b[2J"); break;
        case kCtrlP:
        case kUp: Recall(-1); continue;
        case kCtrlN:
        case kDown: Recall(1); continue;
        case kTab:
            buf_.insert(pos_, "  ");
            pos_ += 2;
            break;
        default:
            if (key >= 32 && key < 256 && key != kBackspace) {
                buf_.insert(pos_++, 1, static_cast<char>(key));
                awaited = SequenceLength(static_cast<unsigned char>(key)) - 1;
                if (awaited) continue;
            } else if (key < 0) {
                return ReadStatus::Failed;
            }
            break;
        }
        Refresh();
    }
}

ReadStatus LineEditor::Read(const char *prompt, std::string &line) {
    prompt_ = prompt;
    if (!editing_ || !RawMode(true)) {
        std::fputs(prompt, stdout);
        std::fflush(stdout);
        ReadStatus status = Input_Line(line);
        if (status == ReadStatus::Interrupted) std::fputs("\n", stdout);
        return status;
    }
    std::fflush(stdout);
    ReadStatus status = EditLine(line);
    RawMode(false);  // runs see the terminal as it was: Ctrl-C raises SIGINT again
    return status;
}

void LineEditor::Remember(const std::string &line) {
    if (line.find_first_not_of(" \t") == std::string::npos) return;
    if (!history_.empty() && history_.back() == line) return;
    history_.push_back(line);
}

void LineEditor::UseHistoryFile(const std::string &path) {
    if (!editing_) return;
    historyPath_ = path;
    FILE *in = std::fopen(path.c_str(), "r");
    if (!in) return;
    std::string line;
    for (int c; (c = std::fgetc(in)) != EOF;) {
        if (c != '\n') {
            line += static_cast<char>(c);
            continue;
        }
        Remember(line);
        line.clear();
    }
    if (!line.empty()) Remember(line);
    std::fclose(in);
}

}  // namespace shell
