#include "platform/network_source.h"

#include <netdb.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>
#include <utility>

#include "core/base/cformat.h"
#include "core/gps/comm_error.h"

namespace wp2 {

namespace {

constexpr std::size_t kReadChunk = 1024;

std::int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

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

int connectTcp(const std::string& host, int port, int timeoutMs) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list) != 0) {
        errno = EHOSTUNREACH;
        return -1;
    }
    const std::int64_t deadline = nowMs() + timeoutMs;
    int result = -1;
    int error = ECONNREFUSED;
    for (addrinfo* ai = list; ai && result < 0; ai = ai->ai_next) {
        int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                          ai->ai_protocol);
        if (fd < 0) {
            error = errno;
            continue;
        }
        if (::connect(fd, ai->ai_addr, ai->ai_addrlen) == 0) {
            result = fd;
            break;
        }
        error = errno;
        if (error == EINPROGRESS) {
            pollfd p{fd, POLLOUT, 0};
            const std::int64_t left = deadline - nowMs();
            if (left > 0 && ::poll(&p, 1, static_cast<int>(left)) == 1) {
                socklen_t size = sizeof error;
                ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
            } else {
                error = ETIMEDOUT;
            }
            if (error == 0) {
                result = fd;
                break;
            }
        }
        ::close(fd);
    }
    ::freeaddrinfo(list);
    if (result < 0) {
        errno = error;
    }
    return result;
}

std::string gpsdWatchRequest(const std::string& device) {
    std::string request = R"(?WATCH={"enable":true,"nmea":true)";
    if (!device.empty()) {
        request += R"(,"device":")" + jsonEscaped(device) + "\"";
    }
    return request + "};\n";
}

bool askGpsdDevices(const SourceAddress& address, int timeoutMs, std::vector<std::string>& paths) {
    const std::int64_t deadline = nowMs() + timeoutMs;
    const int fd = connectTcp(address.host, address.port, timeoutMs);
    if (fd < 0) {
        return false;
    }
    bool answered = false;
    std::string text;
    if (sendAll(fd, "?DEVICES;\n")) {
        for (std::int64_t left; !answered && (left = deadline - nowMs()) > 0;) {
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
        reportCommError("Invalid Comms Port Opening.", EINVAL);
        return false;
    }
    return connectTo(address);
}

bool NetworkSource::connectTo(const SourceAddress& address, const std::string& gpsdDevice) {
    close();
    address_ = address;
    gpsdDevice_ = gpsdDevice;
    openError_ = 0;
    int fd = connectTcp(address.host, address.port, kConnectTimeoutMs);
    if (fd >= 0 && address.kind == SourceAddress::Kind::Gpsd &&
        !sendAll(fd, gpsdWatchRequest(gpsdDevice))) {
        const int saved = errno;
        ::close(fd);
        fd = -1;
        errno = saved;
    }
    if (fd < 0) {
        openError_ = errno;
        reportCommError("Invalid Comms Port Opening.");
        return false;
    }
    std::lock_guard<std::mutex> lock(fdMutex_);
    fd_ = fd;
    readerExit_ = ReaderExit::Running;
    atLineStart_ = true;
    skippingLine_ = false;
    return true;
}

bool NetworkSource::startReader(ByteSink sink) {
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
    try {
        reader_ = std::thread(&NetworkSource::readerLoop, this, std::move(sink), fd_);
    } catch (const std::system_error& e) {
        reportCommError("Creating Thread.", e.code().value());
        ::close(wakeFd_);
        wakeFd_ = -1;
        return false;
    }
    return true;
}

void NetworkSource::readerLoop(ByteSink sink, int fd) {
    char chunk[kReadChunk];
    while (!stopRequested_) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            endReader(ReaderExit::LineError, errno);
            return;
        }
        if (stopRequested_ || (fds[1].revents & POLLIN)) {
            break;
        }
        if (!(fds[0].revents & (POLLIN | POLLHUP | POLLERR))) {
            continue;
        }
        ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n > 0) {
            pass(sink, chunk, static_cast<std::size_t>(n));
        } else if (n == 0) {  // the server closed the connection
            endReader(ReaderExit::LineError, ECONNRESET);
            return;
        } else if (errno != EAGAIN && errno != EINTR) {
            reportCommError("Reading comms port. Loop terminated.");
            endReader(ReaderExit::ReadError, errno);
            return;
        }
    }
    readerExit_ = ReaderExit::InvalidHandle;
}

void NetworkSource::pass(const ByteSink& sink, const char* bytes, std::size_t n) {
    const bool gpsd = address_.kind == SourceAddress::Kind::Gpsd;
    for (std::size_t i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (gpsd && atLineStart_) {
            skippingLine_ = c == '{';  // gpsd's own reports are JSON objects
        }
        atLineStart_ = c == '\n';
        if (!skippingLine_) {
            sink(static_cast<std::uint8_t>(c));
        }
    }
}

void NetworkSource::endReader(ReaderExit why, int code) {
    if (why == ReaderExit::LineError) {
        reportCommError("Waiting comm events. Loop terminated.", code);
    }
    releaseSocket();
    readerExit_ = why;
}

void NetworkSource::releaseSocket() {
    std::lock_guard<std::mutex> lock(fdMutex_);
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool NetworkSource::isOpen() const {
    std::lock_guard<std::mutex> lock(fdMutex_);
    return fd_ >= 0;
}

bool NetworkSource::write(const void*, std::size_t) {
    reportCommError("Writing comms port.", EPERM);
    return false;
}

void NetworkSource::close() {
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
    releaseSocket();
    stopRequested_ = false;
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
