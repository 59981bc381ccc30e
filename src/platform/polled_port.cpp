// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/polled_port.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <system_error>
#include <utility>

#include "core/gps/comm_error.h"

namespace wp2 {

std::int64_t steadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool PolledPort::startReader(ByteSink sink) {
    {
        std::lock_guard<std::mutex> lock(fdMutex_);
        if (fd_ < 0 || reader_.joinable()) {
            reportCommError(diagnostics_, "Creating Thread.", fd_ < 0 ? EBADF : EBUSY);
            return false;
        }
    }
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0) {
        reportCommError(diagnostics_, "Creating Thread.");
        return false;
    }
    stopRequested_ = false;
    readerExit_ = ReaderExit::Running;
    collectedExit_ = ReaderExit::Running;
    sink_ = std::move(sink);
    beforeReader();
    try {
        reader_ = std::thread(&PolledPort::readerLoop, this);
    } catch (const std::system_error& e) {
        reportCommError(diagnostics_, "Creating Thread.", e.code().value());
        ::close(wakeFd_);
        wakeFd_ = -1;
        return false;
    }
    return true;
}

void PolledPort::readerLoop() {
    while (!stopRequested_) {
        int fd = -1;
        short events = 0;
        int waitFor = -1;
        {
            std::lock_guard<std::mutex> read(readMutex_);
            std::lock_guard<std::mutex> lock(fdMutex_);
            fd = fd_;
            events = waitEvents();
            waitFor = waitMs();
        }
        // Data is left for collect(); a peer that closes its end is seen here.
        const short watched =
            static_cast<short>((events & POLLIN) ? (events & ~POLLIN) | POLLRDHUP : events);
        pollfd fds[2] = {{fd, watched, 0}, {wakeFd_, POLLIN, 0}};
        const int n = ::poll(fds, 2, waitFor);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ReaderExit why = ReaderExit::LineError;
        if (n < 0) {
            reportCommError(diagnostics_, "Waiting comm events. Loop terminated.");
        } else if (stopRequested_) {
            break;
        } else if (fds[1].revents & POLLIN) {
            // Woken by collect(): to end, or to wait anew because the port
            // stopped taking data for a while.
            why = collectedExit_;
            std::uint64_t count = 0;
            ssize_t ignored = ::read(wakeFd_, &count, sizeof count);
            (void)ignored;
        } else {
            // What is left before the end of the stream is still taken in.
            short revents = fds[0].revents;
            if (revents & POLLRDHUP) {
                revents = static_cast<short>((revents & ~POLLRDHUP) | POLLIN);
            }
            std::lock_guard<std::mutex> read(readMutex_);
            why = onReady(sink_, fd, revents);
        }
        if (why != ReaderExit::Running) {
            releaseDescriptor();
            readerExit_ = why;
            return;
        }
    }
    // Closed by the owner: the descriptor is released by close() after the join.
    readerExit_ = ReaderExit::InvalidHandle;
}

void PolledPort::collect() {
    std::lock_guard<std::mutex> read(readMutex_);
    std::lock_guard<std::mutex> lock(fdMutex_);
    if (fd_ < 0 || !sink_ || collectedExit_ != ReaderExit::Running) {
        return;
    }
    // Everything waiting now, in the port's own steps; a port that may take
    // no more for a while (or is still connecting) says so by not asking
    // for POLLIN.
    while (!stopRequested_ && (waitEvents() & POLLIN)) {
        pollfd ready = {fd_, POLLIN, 0};
        if (::poll(&ready, 1, 0) != 1) {
            return;
        }
        const ReaderExit why = onReady(sink_, fd_, ready.revents);
        if (why != ReaderExit::Running) {
            collectedExit_ = why;
            wakeReader();
            return;
        }
        if (!(waitEvents() & POLLIN)) {
            wakeReader();  // to wait until the port takes data again
        }
    }
}

void PolledPort::wakeReader() {
    std::uint64_t one = 1;
    ssize_t ignored = ::write(wakeFd_, &one, sizeof one);
    (void)ignored;
}

void PolledPort::adopt(int fd) {
    std::lock_guard<std::mutex> lock(fdMutex_);
    fd_ = fd;
    readerExit_ = ReaderExit::Running;
}

void PolledPort::replaceDescriptor(int fd) {
    std::lock_guard<std::mutex> lock(fdMutex_);
    fd_ = fd;
}

void PolledPort::releaseDescriptor() {
    std::lock_guard<std::mutex> lock(fdMutex_);
    if (fd_ >= 0) {
        release(fd_);
        fd_ = -1;
    }
}

bool PolledPort::isOpen() const {
    std::lock_guard<std::mutex> lock(fdMutex_);
    return fd_ >= 0;
}

void PolledPort::close() {
    if (reader_.joinable()) {
        stopRequested_ = true;
        std::uint64_t one = 1;
        ssize_t ignored = ::write(wakeFd_, &one, sizeof one);
        (void)ignored;
        reader_.join();
    }
    // A collect() on another thread ends before the descriptors go.
    std::lock_guard<std::mutex> read(readMutex_);
    if (wakeFd_ >= 0) {
        ::close(wakeFd_);
        wakeFd_ = -1;
    }
    releaseDescriptor();
    sink_ = nullptr;
    stopRequested_ = false;
}

}  // namespace wp2
