// Reports of runs without a host handle on the default diagnostic output
// (standard error): coloured with the terminal's sequences and reset at the
// end on a terminal, plain text in a file; a host's writer gets plain text
// too. Standard error is pointed at a pseudo-terminal or a file for each case.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>

#include "reportfixture.h"

namespace report_test {
namespace {

// Points standard error somewhere else for as long as it lives.
class StderrTo {
public:
    explicit StderrTo(int fd) {
        std::fflush(stderr);
        saved_ = dup(2);
        dup2(fd, 2);
    }
    ~StderrTo() {
        std::fflush(stderr);
        dup2(saved_, 2);
        close(saved_);
    }

private:
    int saved_;
};

// Everything the pseudo-terminal has received so far.
std::string Drain(int master) {
    std::string got;
    char buf[4096];
    struct pollfd p = {master, POLLIN, 0};
    while (poll(&p, 1, 200) > 0) {
        ssize_t n = read(master, buf, sizeof buf);
        if (n <= 0) break;
        got.append(buf, static_cast<size_t>(n));
    }
    return got;
}

class DiagnosticOutputTest : public ReportTest {
protected:
    void SetUp() override {
        ReportTest::SetUp();
        Plat_SetDebugWriter(nullptr, nullptr);  // the default: standard error
        ctx_.hostHandle = 0;
    }
};

TEST_F(DiagnosticOutputTest, ATerminalGetsItsOwnColourSequencesAndAResetAtTheEnd) {
    int master = -1, slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    struct termios mode;
    ASSERT_EQ(tcgetattr(slave, &mode), 0);
    cfmakeraw(&mode);  // bytes arrive exactly as written
    ASSERT_EQ(tcsetattr(slave, TCSANOW, &mode), 0);
    {
        StderrTo pty(slave);
        Program("b = 1;\na = x;");
        EXPECT_EQ(Err_Report(&ctx_, ROW_NOPROP, Tok("x")), ERR_STOP);
        // A report kept for catch and shown when no catch took it, with a
        // source line of UTF-8 text: its bytes pass unchanged.
        ctx_.reported = false;
        ctx_.inTry = true;
        Program("s = \"\xc4\x9bm\"; nosuch;");
        EXPECT_EQ(Err_Report(&ctx_, ROW_NOPROP, Tok("nosuch")), ERR_STOP);
        ctx_.inTry = false;
        Err_ShowTryReport(&ctx_);
        // Other text of the debug log is written as it is.
        Plat_DebugWrite("plain \xc4\x9bm\n");
    }
    std::string got = Drain(master);
    close(slave);
    close(master);
    EXPECT_EQ(got,
              "a = \x1b[0;33;40mx\x1b[0;31;40m;\n"
              "Reference error on line 2: Property not found\x1b[0m\n"
              "s = \"\xc4\x9bm\"; \x1b[0;33;40mnosuch\x1b[0;31;40m;\n"
              "Reference error on line 1: Property not found\x1b[0m\n"
              "plain \xc4\x9bm\n");
    EXPECT_TRUE(Output().empty());
}

TEST_F(DiagnosticOutputTest, AFileGetsPlainText) {
    char path[] = "/tmp/quillon-report-test.XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    {
        StderrTo file(fd);
        Program("b = 1;\na = x;");
        EXPECT_EQ(Err_Report(&ctx_, ROW_NOPROP, Tok("x")), ERR_STOP);
    }
    std::string got;
    char buf[512];
    lseek(fd, 0, SEEK_SET);
    for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;) got.append(buf, static_cast<size_t>(n));
    close(fd);
    unlink(path);
    EXPECT_EQ(got, "a = x;\nReference error on line 2: Property not found\n");
}

TEST_F(DiagnosticOutputTest, AHostsWriterGetsPlainTextEvenWhenStandardErrorIsATerminal) {
    int master = -1, slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    {
        StderrTo pty(slave);
        Plat_SetDebugWriter(&CaptureOutput, nullptr);
        Program("a;");
        Err_Report(&ctx_, ROW_NOPROP, Tok("a"));
        // A report without any source piece keeps its empty first line.
        ctx_.reported = false;
        Err_Report(&ctx_, ROW_NOPROP, nullptr);
    }
    EXPECT_EQ(Drain(master), "");
    close(slave);
    close(master);
    EXPECT_EQ(Output(),
              "a;\nReference error on line 1: Property not found\n"
              "\nReference error: Property not found\n");
}

}  // namespace
}  // namespace report_test
