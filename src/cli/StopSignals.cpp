#include "cli/StopSignals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>
#include <csignal>

namespace quorvex {

namespace {
int signalPipe[2] = {-1, -1};

void OnSignal(int signal) {
    const auto byte = static_cast<char>(signal);
    // Only async-signal-safe calls here: the event loop does the rest.
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}
}  // namespace

StopSignals::StopSignals() {
    if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        while (::read(signalPipe[0], &byte, 1) == 1)
            if (received_ == 0) received_ = static_cast<unsigned char>(byte);
    });
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
    // A reader that went away (quorvex-cli download | head) is a write error, not a crash.
    ::signal(SIGPIPE, SIG_IGN);
}

StopSignals::~StopSignals() = default;

}  // namespace quorvex
