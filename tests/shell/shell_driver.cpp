#include "shell_driver.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace shell_test {

namespace {

using Clock = std::chrono::steady_clock;

int Decode(int raw) {
    if (WIFEXITED(raw)) return WEXITSTATUS(raw);
    if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
    return -1;
}

std::vector<char *> Argv(const std::string &path, const std::vector<std::string> &args) {
    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(path.c_str()));
    for (const std::string &a : args) argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    return argv;
}

// Waits for a child until the deadline; kills it then.
int WaitChild(pid_t pid, Clock::time_point deadline, bool *timedOut) {
    int raw = 0;
    for (;;) {
        pid_t r = waitpid(pid, &raw, WNOHANG);
        if (r == pid) return Decode(raw);
        if (r < 0 && errno != EINTR) return -1;
        if (Clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &raw, 0);
            if (timedOut) *timedOut = true;
            return Decode(raw);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace

std::string ShellPath() {
    if (const char *q = std::getenv("QUILLON"); q && *q) return q;
    char self[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "quillon";
    std::string path(self, static_cast<size_t>(n));
    path = path.substr(0, path.rfind('/'));
    return path + "/../shell/quillon";
}

TempDir::TempDir() {
    char tmpl[] = "/tmp/quillon-shell-test.XXXXXX";
    const char *made = mkdtemp(tmpl);
    path_ = made ? made : "/tmp";
}

TempDir::~TempDir() {
    if (path_ != "/tmp") std::system(("rm -rf '" + path_ + "'").c_str());
}

std::string TempDir::Write(const std::string &name, const std::string &text) const {
    std::string path = path_ + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string TempDir::Read(const std::string &name) const {
    std::ifstream in(path_ + "/" + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

Outcome RunBatch(const BatchRun &run) {
    TempDir io;
    std::string in = io.Write("stdin", run.input);
    std::string out = io.Path() + "/stdout", err = io.Path() + "/stderr";
    std::string path = ShellPath();
    std::vector<char *> argv = Argv(path, run.args);
    Outcome o;
    Clock::time_point start = Clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        int i = open(in.c_str(), O_RDONLY);
        int so = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int se = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (i < 0 || so < 0 || se < 0) _exit(125);
        dup2(i, 0);
        dup2(so, 1);
        dup2(se, 2);
        if (!run.dir.empty() && chdir(run.dir.c_str()) != 0) _exit(125);
        execv(path.c_str(), argv.data());
        _exit(126);
    }
    if (pid < 0) return o;
    if (run.interruptAfterMs >= 0) {
        std::this_thread::sleep_until(start + std::chrono::milliseconds(run.interruptAfterMs));
        kill(pid, SIGINT);
    }
    o.status = WaitChild(pid, start + std::chrono::milliseconds(run.timeoutMs), &o.timedOut);
    o.out = io.Read("stdout");
    o.err = io.Read("stderr");
    return o;
}

// ---- Screen ------------------------------------------------------------------

void Screen::Feed(const std::string &bytes) {
    for (char ch : bytes) {
        if (!pending_.empty()) {
            pending_ += ch;
            if (pending_.size() == 2 && ch != '[') {
                pending_.clear();
                continue;
            }
            if (pending_.size() > 2 && ch >= 0x40 && ch <= 0x7E) {
                char op = ch;
                int n = std::atoi(pending_.c_str() + 2);
                if (op == 'K') {
                    if (col_ < lines_[row_].size()) lines_[row_].erase(col_);
                } else if (op == 'C') {
                    col_ += n ? static_cast<size_t>(n) : 1;
                } else if (op == 'J') {
                    lines_.assign(1, std::string());
                    row_ = col_ = 0;
                } else if (op == 'H') {
                    col_ = 0;
                }
                pending_.clear();
            }
            continue;
        }
        if (ch == '\x1b') {
            pending_ = "\x1b";
        } else if (ch == '\r') {
            col_ = 0;
        } else if (ch == '\n') {
            ++row_;
            col_ = 0;
            if (row_ == lines_.size()) lines_.emplace_back();
        } else if (ch == '\b') {
            if (col_) --col_;
        } else if (static_cast<unsigned char>(ch) >= 32 || ch == '\t') {
            std::string &line = lines_[row_];
            if (line.size() < col_) line.resize(col_, ' ');
            if (col_ < line.size()) line[col_] = ch;
            else line += ch;
            ++col_;
        }
    }
}

std::string Screen::Text() const {
    std::string all;
    for (const std::string &l : lines_) all += l + "\n";
    return all;
}

std::string Screen::CurrentLine() const { return lines_[row_]; }

// ---- PtyShell ----------------------------------------------------------------

PtyShell::PtyShell(const std::vector<std::string> &args, const std::string &home, const char *term) {
    std::string path = ShellPath();
    std::vector<char *> argv = Argv(path, args);
    struct winsize ws = {};
    ws.ws_row = 24;
    ws.ws_col = 80;
    pid_ = forkpty(&master_, nullptr, nullptr, &ws);
    if (pid_ == 0) {
        setenv("HOME", home.c_str(), 1);
        setenv("TERM", term, 1);
        execv(path.c_str(), argv.data());
        _exit(126);
    }
}

PtyShell::~PtyShell() {
    if (pid_ > 0 && status_ < 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) close(master_);
}

void PtyShell::Type(const std::string &bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

bool PtyShell::Pump(int timeoutMs) {
    struct pollfd p = {master_, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0) return true;  // nothing yet
    char buf[4096];
    ssize_t n = read(master_, buf, sizeof buf);
    if (n <= 0) return false;  // the shell has gone
    raw_.append(buf, static_cast<size_t>(n));
    screen_.Feed(std::string(buf, static_cast<size_t>(n)));
    return true;
}

bool PtyShell::WaitFor(const std::string &text, int timeoutMs) {
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (screen_.Text().find(text) == std::string::npos) {
        if (Clock::now() >= deadline || !Pump(20)) return screen_.Text().find(text) != std::string::npos;
    }
    return true;
}

bool PtyShell::WaitForLine(const std::string &line, int timeoutMs) {
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (screen_.CurrentLine() != line) {
        if (Clock::now() >= deadline || !Pump(20)) return screen_.CurrentLine() == line;
    }
    return true;
}

bool PtyShell::WaitForLineBelow(size_t row, const std::string &line, int timeoutMs) {
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    auto there = [&] { return screen_.Row() > row && screen_.CurrentLine() == line; };
    while (!there()) {
        if (Clock::now() >= deadline || !Pump(20)) return there();
    }
    return true;
}

bool PtyShell::WaitForRaw(const std::string &text, size_t from, int timeoutMs) {
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    auto there = [&] { return raw_.size() >= from && raw_.find(text, from) != std::string::npos; };
    while (!there()) {
        if (Clock::now() >= deadline || !Pump(20)) return there();
    }
    return true;
}

size_t PtyShell::Count(const std::string &text) const {
    std::string all = screen_.Text();
    size_t n = 0;
    for (size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + text.size())) ++n;
    return n;
}

void PtyShell::Signal(int sig) { kill(pid_, sig); }

int PtyShell::Wait(int timeoutMs) {
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < deadline && Pump(20)) {
    }
    status_ = WaitChild(pid_, deadline, nullptr);
    return status_;
}

}  // namespace shell_test
