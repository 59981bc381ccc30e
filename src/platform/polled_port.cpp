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
            reportCommError("Creating Thread.", fd_ < 0 ? EBADF : EBUSY);
            return false;
        }
    }
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0) {
        reportCommError("Creating Thread.");
        return false;
    }
    stopRequested_ = false;
    readerExit_ = ReaderExit::Running;
    beforeReader();
    try {
        reader_ = std::thread(&PolledPort::readerLoop, this, std::move(sink));
    } catch (const std::system_error& e) {
        reportCommError("Creating Thread.", e.code().value());
        ::close(wakeFd_);
        wakeFd_ = -1;
        return false;
    }
    return true;
}

void PolledPort::readerLoop(ByteSink sink) {
    while (!stopRequested_) {
        int fd = -1;
        {
            std::lock_guard<std::mutex> lock(fdMutex_);
            fd = fd_;
        }
        pollfd fds[2] = {{fd, waitEvents(), 0}, {wakeFd_, POLLIN, 0}};
        const int n = ::poll(fds, 2, waitMs());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ReaderExit why = ReaderExit::LineError;
        if (n < 0) {
            reportCommError("Waiting comm events. Loop terminated.");
        } else if (stopRequested_ || (fds[1].revents & POLLIN) ||
                   ((fds[0].revents & POLLIN) && !gatherBurst())) {
            break;
        } else {
            why = onReady(sink, fd, fds[0].revents);
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

bool PolledPort::gatherBurst() {
    // A receiver sends an epoch's sentences together: the first bytes of a
    // burst wait a few milliseconds for the rest, which is then read at once
    // instead of waking the reader for every line. False when the port is
    // being closed meanwhile.
    pollfd wake = {wakeFd_, POLLIN, 0};
    int n = 0;
    do {
        n = ::poll(&wake, 1, kBurstGatherMs);
    } while (n < 0 && errno == EINTR);
    return n <= 0 && !stopRequested_;
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
    if (wakeFd_ >= 0) {
        ::close(wakeFd_);
        wakeFd_ = -1;
    }
    releaseDescriptor();
    stopRequested_ = false;
}

}  // namespace wp2
