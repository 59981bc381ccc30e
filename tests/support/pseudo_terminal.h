// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pseudo-terminals for the serial-link tests: the slave stands in for a
// receiver's serial device, the test plays the receiver on the master.
// Also counters of the process's open descriptors and threads, for leak checks.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace wp2::test {

class PseudoTerminal {
public:
    explicit PseudoTerminal(int masterFlags = 0) {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | masterFlags);
        char name[128] = {};
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0 &&
            ::ptsname_r(master_, name, sizeof name) == 0) {
            slavePath_ = name;
        }
    }
    ~PseudoTerminal() { closeMaster(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool valid() const { return master_ >= 0 && !slavePath_.empty(); }
    const std::string& slavePath() const { return slavePath_; }
    int master() const { return master_; }

    // Writes everything to the master (what the receiver sends).
    bool send(const std::string& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n <= 0) {
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    // Reads from the master what the program wrote to the device, until
    // `count` bytes arrived or nothing more came for `quietMs`.
    std::string receive(std::size_t count, int quietMs = 2000) {
        std::string out;
        while (out.size() < count) {
            pollfd pfd{master_, POLLIN, 0};
            if (::poll(&pfd, 1, quietMs) <= 0 || !(pfd.revents & POLLIN)) {
                break;
            }
            char buf[512];
            ssize_t n = ::read(master_, buf, sizeof buf);
            if (n <= 0) {
                break;
            }
            out.append(buf, static_cast<std::size_t>(n));
        }
        return out;
    }

    // Unplugs the receiver: the slave side sees a hang-up.
    void closeMaster() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }

private:
    int master_ = -1;
    std::string slavePath_;
};

// A receiver on a pseudo-terminal that sends epoch(0), epoch(1), ... every
// periodMs of real time while it lives. Like a receiver's line, its master
// never blocks: what cannot be written while nobody reads is dropped.
class PlayingReceiver {
public:
    PlayingReceiver(int periodMs, std::function<std::string(int)> epoch)
        : thread_([this, periodMs, epoch] {
              for (int s = 0; running_; ++s) {
                  pty_.send(epoch(s));
                  std::this_thread::sleep_for(std::chrono::milliseconds(periodMs));
              }
          }) {}
    ~PlayingReceiver() {
        running_ = false;
        thread_.join();
    }
    PlayingReceiver(const PlayingReceiver&) = delete;
    PlayingReceiver& operator=(const PlayingReceiver&) = delete;

    const std::string& device() const { return pty_.slavePath(); }

private:
    PseudoTerminal pty_{O_NONBLOCK};
    std::atomic<bool> running_{true};
    std::thread thread_;
};

// Collects what a port's reader hands over, from the reader's thread.
class ByteCollector {
public:
    std::function<void(std::uint8_t)> sink() {
        return [this](std::uint8_t b) {
            std::lock_guard<std::mutex> lock(mutex_);
            bytes_.push_back(static_cast<char>(b));
        };
    }
    std::string bytes() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return bytes_;
    }

private:
    mutable std::mutex mutex_;
    std::string bytes_;
};

// Whether this process has the file open.
inline bool processHolds(const std::string& path) {
    std::error_code ignored;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        if (std::filesystem::read_symlink(fd.path(), ignored) == path) {
            return true;
        }
    }
    return false;
}

inline int openDescriptorCount() {
    // Without the one the directory listing holds.
    auto fds = std::filesystem::directory_iterator("/proc/self/fd");
    return static_cast<int>(std::distance(fds, {})) - 1;
}

inline int threadCount() {
    auto tasks = std::filesystem::directory_iterator("/proc/self/task");
    return static_cast<int>(std::distance(tasks, {}));
}

// Runs and joins one thread, so that helper threads a runtime starts with
// the first thread of the process (ThreadSanitizer has one) exist before a
// test takes its thread count.
inline void settleThreads() {
    std::thread([] {}).join();
}

// Polls pred every millisecond of real time until it holds or timeoutMs pass.
inline bool waitUntil(const std::function<bool()>& pred, int timeoutMs = 5000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace wp2::test
