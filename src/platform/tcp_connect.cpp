// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/tcp_connect.h"

#include <netdb.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/polled_port.h"

namespace wp2 {

bool TcpConnect::begin(const std::string& host, int port, int timeoutMs) {
    addresses_.clear();
    next_ = 0;
    error_ = ECONNREFUSED;
    deadlineMs_ = steadyMs() + timeoutMs;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list) != 0) {
        errno = EHOSTUNREACH;
        return false;
    }
    for (const addrinfo* ai = list; ai; ai = ai->ai_next) {
        Address a;
        a.size = std::min<socklen_t>(ai->ai_addrlen, sizeof a.address);
        std::memcpy(&a.address, ai->ai_addr, a.size);
        a.family = ai->ai_family;
        a.protocol = ai->ai_protocol;
        addresses_.push_back(a);
    }
    ::freeaddrinfo(list);
    return true;
}

int TcpConnect::leftMs() const {
    return static_cast<int>(std::max<std::int64_t>(0, deadlineMs_ - steadyMs()));
}

int TcpConnect::step(int fd, short revents, bool& connected) {
    connected = false;
    if (fd >= 0) {
        int error = ETIMEDOUT;
        if (revents != 0) {
            socklen_t size = sizeof error;
            if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) {
                error = errno;
            }
        } else if (leftMs() > 0) {
            return fd;  // woken early: still connecting
        }
        if (error == 0) {
            connected = true;
            return fd;
        }
        error_ = error;
        ::close(fd);
    }
    while (next_ < addresses_.size()) {
        if (leftMs() <= 0) {
            error_ = ETIMEDOUT;
            break;
        }
        const Address& a = addresses_[next_++];
        const int s = ::socket(a.family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, a.protocol);
        if (s < 0) {
            error_ = errno;
            continue;
        }
        if (::connect(s, reinterpret_cast<const sockaddr*>(&a.address), a.size) == 0) {
            connected = true;
            return s;
        }
        if (errno == EINPROGRESS) {
            return s;
        }
        error_ = errno;
        ::close(s);
    }
    errno = error_;
    return -1;
}

int connectTcp(const std::string& host, int port, int timeoutMs) {
    TcpConnect attempt;
    if (!attempt.begin(host, port, timeoutMs)) {
        return -1;
    }
    bool connected = false;
    int fd = attempt.step(-1, 0, connected);
    while (fd >= 0 && !connected) {
        pollfd p{fd, POLLOUT, 0};
        const int n = ::poll(&p, 1, attempt.leftMs());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            errno = error;
            return -1;
        }
        fd = attempt.step(fd, n > 0 ? p.revents : 0, connected);
    }
    return fd;
}

}  // namespace wp2
