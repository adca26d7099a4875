#include "signals.h"

#include <csignal>

namespace shell {

namespace {

volatile std::sig_atomic_t gUntaken = 0;

void OnInterrupt(int) {
    uint32_t before = SetJSSignal(kBreakSignal, kBreakSignal);
    if (!(before & kBreakSignal)) return;
    gUntaken = gUntaken + 1;
    if (gUntaken >= 2) {
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
    }
}

}  // namespace

void Signals_Install() {
    struct sigaction sa = {};
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no SA_RESTART: an interrupted read returns EINTR
    sigaction(SIGINT, &sa, nullptr);
}

bool Signals_TakeBreak() {
    bool pending = (SetJSSignal(0, kBreakSignal) & kBreakSignal) != 0;
    gUntaken = 0;
    return pending;
}

}  // namespace shell
