// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Connecting a TCP socket without blocking. The host's addresses are tried in
// turn, each socket connecting in the background, until one connects or the
// time given is up (shared by all of them). The caller waits for the socket
// to become writable (poll for POLLOUT) and hands the result back to step(),
// on whatever thread it likes.

#include <sys/socket.h>

#include <cstdint>
#include <string>
#include <vector>

namespace wp2 {

class TcpConnect {
public:
    // Looks the host up. False (errno EHOSTUNREACH) when the name is unknown.
    bool begin(const std::string& host, int port, int timeoutMs);
    // Goes on from socket fd (-1 at the start) whose wait ended with revents
    // (0 when nothing happened in time). Returns the socket to wait for next,
    // connected when `connected` is set, or -1 (errno) once every address
    // failed or the time is up. A failed socket is closed here; a returned one
    // belongs to the caller.
    int step(int fd, short revents, bool& connected);
    // What is left of the time, in milliseconds (0 when it is up).
    int leftMs() const;

private:
    struct Address {
        sockaddr_storage address{};
        socklen_t size = 0;
        int family = 0;
        int protocol = 0;
    };

    std::vector<Address> addresses_;
    std::size_t next_ = 0;
    std::int64_t deadlineMs_ = 0;
    int error_ = 0;
};

// Connects a TCP socket to host:port within timeoutMs, waiting for it. The
// descriptor, or -1 with errno set.
int connectTcp(const std::string& host, int port, int timeoutMs);

}  // namespace wp2
