// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/quit_signals.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>

namespace wp2 {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
// A quit signal this soon after the first is the same request delivered
// twice: timeout(1), shells and service managers send it to the program and
// to its whole process group.
constexpr long long kRepeatGraceMs = 1000;
int signalPipe[2] = {-1, -1};
// Monotonic milliseconds of the first quit signal; 0 before it.
std::atomic<long long> firstSignalMs{0};
static_assert(std::atomic<long long>::is_always_lock_free, "used in a signal handler");

extern "C" void onQuitSignal(int signalNumber) {
    const int saved = errno;
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const long long ms = now.tv_sec * 1000LL + now.tv_nsec / 1000000 + 1;
    const long long first = firstSignalMs.load();
    if (first == 0) {
        firstSignalMs.store(ms);
        const unsigned char byte = static_cast<unsigned char>(signalNumber);
        [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    } else if (ms - first >= kRepeatGraceMs) {
        // Asked again: the orderly end seems stuck; the default action ends it.
        ::signal(signalNumber, SIG_DFL);
        ::raise(signalNumber);
    }
    errno = saved;
}

}  // namespace

QuitSignals::QuitSignals(std::function<void(int)> handler) : handler_(std::move(handler)) {
    if (signalPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        return;  // one instance at a time
    }
    for (int fd : signalPipe) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, O_NONBLOCK);
    }
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { deliver(); });
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    firstSignalMs.store(0);
    for (int s : kSignals) {
        ::sigaction(s, &action, nullptr);
    }
    installed_ = true;
}

QuitSignals::~QuitSignals() {
    if (!installed_) {
        return;
    }
    // Once a quit was asked for, the program is ending in order: a repeat of
    // the request (timeout(1) sends it to the process group as well, which a
    // busy machine may deliver late) must not kill what is left of that end.
    const auto after = firstSignalMs.load() != 0 ? SIG_IGN : SIG_DFL;
    for (int s : kSignals) {
        std::signal(s, after);
    }
    delete notifier_;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void QuitSignals::deliver() {
    unsigned char byte = 0;
    while (::read(signalPipe[0], &byte, 1) == 1) {
        if (handler_) {
            handler_(byte);
        }
    }
}

}  // namespace wp2
