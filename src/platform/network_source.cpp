// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/network_source.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/base/cformat.h"
#include "core/base/diagnostics.h"
#include "core/gps/comm_error.h"

namespace wp2 {

namespace {

constexpr std::size_t kReadChunk = 16 * 1024;
// What is kept of a gpsd line to look for an error report in it.
constexpr std::size_t kGpsdLineKept = 200;
// How long a reader that took in all it may waits before it looks again.
constexpr int kRefillWaitMs = 1000 / 16;

bool sendAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p{fd, POLLOUT, 0};
            if (::poll(&p, 1, 1000) <= 0) {
                errno = ETIMEDOUT;
                return false;
            }
        } else if (n < 0 && errno != EINTR) {
            return false;
        }
    }
    return true;
}

// Appends a JSON string's text with its escapes undone ("\/" is "/").
std::string jsonString(const std::string& line, std::size_t& at) {
    std::string out;
    for (; at < line.size() && line[at] != '"'; ++at) {
        if (line[at] == '\\' && at + 1 < line.size()) {
            ++at;
        }
        out += line[at];
    }
    return out;
}

std::string jsonEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

}  // namespace

std::string gpsdWatchRequest(const std::string& device) {
    std::string request = R"(?WATCH={"enable":true,"nmea":true)";
    if (!device.empty()) {
        request += R"(,"device":")" + jsonEscaped(device) + "\"";
    }
    return request + "};\n";
}

bool askGpsdDevices(const SourceAddress& address, int timeoutMs, std::vector<std::string>& paths) {
    const std::int64_t deadline = steadyMs() + timeoutMs;
    const int fd = connectTcp(address.host, address.port, timeoutMs);
    if (fd < 0) {
        return false;
    }
    bool answered = false;
    std::string text;
    if (sendAll(fd, "?DEVICES;\n")) {
        for (std::int64_t left; !answered && (left = deadline - steadyMs()) > 0;) {
            pollfd p{fd, POLLIN, 0};
            char chunk[kReadChunk];
            ssize_t n = 0;
            if (::poll(&p, 1, static_cast<int>(left)) != 1 ||
                (n = ::recv(fd, chunk, sizeof chunk, 0)) <= 0) {
                break;
            }
            text.append(chunk, static_cast<std::size_t>(n));
            for (std::size_t end; !answered && (end = text.find('\n')) != std::string::npos;) {
                const std::string line = text.substr(0, end);
                text.erase(0, end + 1);
                if (line.find(R"("class":"DEVICES")") == std::string::npos) {
                    continue;  // the greeting, or a watcher's report
                }
                answered = true;
                paths.clear();
                const std::string key = R"("path":")";
                for (std::size_t at = line.find(key); at != std::string::npos;
                     at = line.find(key, at)) {
                    at += key.size();
                    paths.push_back(jsonString(line, at));
                }
            }
        }
    }
    ::close(fd);
    return answered;
}

NetworkSource::~NetworkSource() {
    close();
}

bool NetworkSource::open(const std::string& device, const SerialLineSettings&) {
    SourceAddress address;
    if (!parseSource(device, address) || address.kind == SourceAddress::Kind::Serial) {
        close();
        address_ = SourceAddress{};
        address_.device = device;
        openError_ = EINVAL;
        reportCommError(diagnostics_, "Invalid Comms Port Opening.", EINVAL);
        return false;
    }
    return connectTo(address);
}

bool NetworkSource::connectTo(const SourceAddress& address, const std::string& gpsdDevice) {
    close();
    address_ = address;
    gpsdDevice_ = gpsdDevice;
    openError_ = 0;
    atLineStart_ = true;
    skippingLine_ = false;
    allowance_ = kMaxBytesPerSecond;
    refilledMs_ = steadyMs();
    if (!connect_.begin(address.host, address.port, kConnectTimeoutMs)) {
        return fail(errno);
    }
    bool connected = false;
    int fd = connect_.step(-1, 0, connected);
    // What the system knows at once (a refusal from this machine) is taken
    // here, so that open() fails as it would have waiting for the answer.
    while (fd >= 0 && !connected) {
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, 0) != 1) {
            break;
        }
        fd = connect_.step(fd, p.revents, connected);
    }
    if (fd < 0) {
        return fail(errno);
    }
    if (connected && !sendWatch(fd)) {
        fail(errno);
        ::close(fd);
        return false;
    }
    connecting_ = !connected;
    adopt(fd);
    return true;
}

bool NetworkSource::fail(int code) {
    openError_ = code;
    reportCommError(diagnostics_, "Invalid Comms Port Opening.", code);
    return false;
}

bool NetworkSource::sendWatch(int fd) {
    return address_.kind != SourceAddress::Kind::Gpsd || sendAll(fd, gpsdWatchRequest(gpsdDevice_));
}

bool NetworkSource::proceed(int fd, short revents) {
    bool connected = false;
    const int next = connect_.step(fd, revents, connected);
    const int error = errno;
    if (next != fd) {
        replaceDescriptor(next);  // step() closed the failed socket
    }
    if (next < 0) {
        return fail(error);
    }
    if (connected) {
        connecting_ = false;
        return sendWatch(next) || fail(errno);
    }
    return true;
}

short NetworkSource::waitEvents() const {
    // Only a hang-up or an error is noticed while nothing more may be taken in.
    return connecting_ ? POLLOUT : allowance_ > 0 ? POLLIN : 0;
}

int NetworkSource::waitMs() const {
    return connecting_ ? connect_.leftMs() : allowance_ > 0 ? -1 : kRefillWaitMs;
}

void NetworkSource::refill() {
    const std::int64_t now = steadyMs();
    allowance_ =
        std::min(kMaxBytesPerSecond, allowance_ + (now - refilledMs_) * kMaxBytesPerSecond / 1000);
    refilledMs_ = now;
}

ReaderExit NetworkSource::onReady(const ByteSink& sink, int fd, short revents) {
    if (connecting_) {
        return proceed(fd, revents) ? ReaderExit::Running : ReaderExit::LineError;
    }
    refill();
    if (!(revents & (POLLIN | POLLHUP | POLLERR))) {
        return ReaderExit::Running;
    }
    // At least a byte, so that a hang-up is read as the end of the stream.
    char chunk[kReadChunk];
    const auto size = static_cast<std::size_t>(
        std::clamp<std::int64_t>(allowance_, 1, static_cast<std::int64_t>(kReadChunk)));
    const ssize_t n = ::recv(fd, chunk, size, 0);
    if (n > 0) {
        allowance_ -= n;
        pass(sink, chunk, static_cast<std::size_t>(n));
    } else if (n == 0) {  // the server closed the connection
        reportCommError(diagnostics_, "Waiting comm events. Loop terminated.", ECONNRESET);
        return ReaderExit::LineError;
    } else if (errno != EAGAIN && errno != EINTR) {
        reportCommError(diagnostics_, "Reading comms port. Loop terminated.");
        return ReaderExit::ReadError;
    }
    return ReaderExit::Running;
}

void NetworkSource::pass(const ByteSink& sink, const char* bytes, std::size_t n) {
    const bool gpsd = address_.kind == SourceAddress::Kind::Gpsd;
    for (std::size_t i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (gpsd && atLineStart_) {
            skippingLine_ = c == '{';  // gpsd's own reports are JSON objects
            gpsdLine_.clear();
        }
        atLineStart_ = c == '\n';
        if (!skippingLine_) {
            sink(static_cast<std::uint8_t>(c));
        } else if (!atLineStart_ && gpsdLine_.size() < kGpsdLineKept) {
            gpsdLine_ += c;
        } else if (atLineStart_) {
            traceGpsdError();
        }
    }
}

void NetworkSource::traceGpsdError() {
    const std::string key = R"("message":")";
    const std::size_t at = gpsdLine_.find(key);
    if (gpsdLine_.find(R"("class":"ERROR")") == std::string::npos || at == std::string::npos) {
        return;
    }
    std::size_t from = at + key.size();
    diagnostics_.trace("gpsd at " + address_.hostPort() + ": " + jsonString(gpsdLine_, from));
}

void NetworkSource::release(int fd) {
    ::close(fd);
}

bool NetworkSource::write(const void*, std::size_t) {
    reportCommError(diagnostics_, "Writing comms port.", EPERM);
    return false;
}

std::string NetworkSource::describe() const {
    switch (address_.kind) {
        case SourceAddress::Kind::Gpsd:
            return gpsdDevice_.empty() ? "gpsd at " + address_.hostPort()
                                       : gpsdDevice_ + " through gpsd at " + address_.hostPort();
        case SourceAddress::Kind::Tcp:
            return "NMEA stream at " + address_.hostPort();
        case SourceAddress::Kind::Serial:
            break;
    }
    return address_.device;
}

std::string NetworkSource::openProblem() const {
    if (openError_ == 0) {
        return {};
    }
    const std::string what =
        address_.kind == SourceAddress::Kind::Gpsd ? "gpsd" : "The NMEA server";
    if (openError_ == EINVAL) {
        return cformat("\"%s\" is not a source the program knows.", address_.device.c_str());
    }
    return cformat("%s at %s does not answer: %s.", what.c_str(), address_.hostPort().c_str(),
                   std::strerror(openError_));
}

}  // namespace wp2
