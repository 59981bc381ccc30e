// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Network sources for the tests, all on 127.0.0.1: a small TCP server that
// plays an NMEA stream to its client, and a program run in the background
// (gpsd, the tool) whose output is read as it comes.

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace wp2::test {

// A TCP socket listening on 127.0.0.1:port (0: any free port) with room for
// `backlog` connections waiting to be accepted; -1 when that port is taken.
inline int listenOnLoopback(int port, int backlog = 4) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, backlog) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The port a socket is bound to.
inline int portOf(int fd) {
    sockaddr_in a{};
    socklen_t size = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size);
    return ntohs(a.sin_port);
}

// A port the kernel has just handed out and taken back: free for a server to bind.
inline int freeTcpPort() {
    const int fd = listenOnLoopback(0);
    const int port = portOf(fd);
    ::close(fd);
    return port;
}

// Serves one client at a time: writes `script` to it every periodMs until
// destroyed. A client that went away is noticed when a write fails.
class LocalTcpServer {
public:
    LocalTcpServer(std::string script, int periodMs, int port)
        : listen_(listenOnLoopback(port)), thread_([this, script, periodMs] {
              int client = -1;
              while (running_) {
                  pollfd p{listen_, POLLIN, 0};
                  if (client < 0 && ::poll(&p, 1, 10) == 1) {
                      client = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
                  } else if (client >= 0) {
                      if (::send(client, script.data(), script.size(), MSG_NOSIGNAL) < 0) {
                          ::close(client);
                          client = -1;
                      }
                      std::this_thread::sleep_for(std::chrono::milliseconds(periodMs));
                  }
              }
              if (client >= 0) {
                  ::close(client);
              }
          }) {}
    ~LocalTcpServer() {
        running_ = false;
        thread_.join();
        ::close(listen_);
    }
    LocalTcpServer(const LocalTcpServer&) = delete;
    LocalTcpServer& operator=(const LocalTcpServer&) = delete;

private:
    int listen_;
    std::atomic<bool> running_{true};
    std::thread thread_;
};

// A program run in its own process group (so that it ends with its children),
// its standard output read as it comes, its errors dropped.
class Background {
public:
    explicit Background(const std::vector<std::string>& argv) {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setpgid(0, 0);
            ::dup2(out[1], 1);
            int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 2);
            std::vector<char*> args;
            for (const std::string& a : argv) {
                args.push_back(const_cast<char*>(a.c_str()));
            }
            args.push_back(nullptr);
            ::execvp(args[0], args.data());
            ::_exit(127);
        }
        ::setpgid(pid_, pid_);
        ::close(out[1]);
        fd_ = out[0];
    }
    ~Background() { stop(); }
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;

    // Reads until `text` appears after the last one found; false when it did
    // not within timeoutMs.
    bool waitFor(const std::string& text, int timeoutMs) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        std::size_t at;
        while ((at = out.find(text, seen_)) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            pollfd p{fd_, POLLIN, 0};
            char buf[4096];
            ssize_t n = 0;
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) != 1 ||
                (n = ::read(fd_, buf, sizeof buf)) <= 0) {
                return false;
            }
            out.append(buf, static_cast<std::size_t>(n));
        }
        seen_ = at + text.size();
        return true;
    }
    // Ends the program (and its children); its exit status, -1 when killed.
    int stop(int signal = SIGTERM) {
        int status = 0;
        if (pid_ > 0) {
            ::kill(-pid_, signal);
            ::waitpid(pid_, &status, 0);
            ::close(fd_);
            pid_ = -1;
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string out;

private:
    pid_t pid_ = -1;
    int fd_ = -1;
    std::size_t seen_ = 0;
};

}  // namespace wp2::test
