// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix_serial_port.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "core/base/cformat.h"
#include "core/gps/comm_error.h"

namespace wp2 {

namespace {

// Write time-outs: a constant part plus a part per byte.
constexpr int kWriteConstantMs = 1000;
constexpr int kWritePerByteMs = 10;
constexpr std::size_t kReadChunk = 256;

struct BaudEntry {
    int rate;
    speed_t code;
};

constexpr BaudEntry kBaudRates[] = {
    {110, B110},     {300, B300},     {600, B600},       {1200, B1200},
    {2400, B2400},   {4800, B4800},   {9600, B9600},     {19200, B19200},
    {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400},
};

bool baudCode(int rate, speed_t& code) {
    for (const BaudEntry& entry : kBaudRates) {
        if (entry.rate == rate) {
            code = entry.code;
            return true;
        }
    }
    return false;
}

bool sizeFlag(int dataBits, tcflag_t& flag) {
    switch (dataBits) {
        case 5:
            flag = CS5;
            return true;
        case 6:
            flag = CS6;
            return true;
        case 7:
            flag = CS7;
            return true;
        case 8:
            flag = CS8;
            return true;
        default:
            return false;
    }
}

// Gives the device up. The exclusive mode is a property of the terminal, not
// of our descriptor: a terminal that outlives this close (the slave of a
// pseudo-terminal whose master stays open) would otherwise refuse everybody
// else, us included. Keeps errno as the failing call left it, for the trace text.
void closeDevice(int fd) {
    int saved = errno;
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);
    errno = saved;
}

// True when the terminal is already in exclusive mode (errno EBUSY then).
bool heldExclusively(int fd) {
#ifdef TIOCGEXCL
    int exclusive = 0;
    if (::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0) {
        errno = EBUSY;
        return true;
    }
#else
    (void)fd;
#endif
    return false;
}

}  // namespace

PosixSerialPort::~PosixSerialPort() {
    close();
}

bool PosixSerialPort::open(const std::string& device, const SerialLineSettings& settings) {
    close();
    device_ = device;
    openError_ = 0;
    int fd = -1;
    if (device.empty()) {
        errno = ENOENT;  // the port number names no device
    } else {
        fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    }
    if (fd < 0) {
        return fail("Invalid Comms Port Opening.", -1);
    }
    // Not shared: refuse a device another program holds, by the advisory lock
    // terminal programs take or by the terminal's exclusive mode (which the
    // superuser's open passes), and keep others out while we hold it.
    // Devices that are not terminals refuse the exclusive mode; the state
    // query below reports those.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || heldExclusively(fd)) {
        reportCommError(diagnostics_, "Invalid Comms Port Opening.");
        openError_ = EBUSY;  // the lock's EWOULDBLOCK says the same
        ::close(fd);         // plain close: the exclusive mode belongs to the holder
        return false;
    }
    ::ioctl(fd, TIOCEXCL);
    // A read returns at once with whatever is buffered.
    int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) {
        return fail("Setting comm. timeouts.", fd);
    }
    if (!applyLineSettings(fd, settings)) {
        return fail(nullptr, fd);
    }
    adopt(fd);
    return true;
}

bool PosixSerialPort::fail(const char* trace, int fd) {
    if (trace) {
        reportCommError(diagnostics_, trace);
    }
    openError_ = errno;
    if (fd >= 0) {
        closeDevice(fd);
    }
    return false;
}

std::string PosixSerialPort::openProblem() const {
    return serialOpenProblem(device_, openError_);
}

std::string serialOpenProblem(const std::string& device, int error) {
    const char* name = device.c_str();
    switch (error) {
        case 0:
            return {};
        case EACCES:
        case EPERM: {
            struct stat st {};
            const group* g = ::stat(name, &st) == 0 ? ::getgrgid(st.st_gid) : nullptr;
            const passwd* user = ::getpwuid(::geteuid());
            const std::string groupName = g ? g->gr_name : "dialout";
            return cformat(
                "You have no rights to open %s: it belongs to the group \"%s\".\n"
                "Join that group (sudo adduser %s %s), then log out and in again;\n"
                "or let gpsd read the receiver and choose gpsd as the port.",
                name, groupName.c_str(), user ? user->pw_name : "$USER", groupName.c_str());
        }
        case EBUSY:
            return cformat("%s is in use by another program.", name);
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return device.empty() ? std::string("No device is set for this port.")
                                  : cformat("%s does not exist: is the receiver plugged in?", name);
        case ENOTTY:
            return cformat("%s is not a serial device.", name);
        default:
            return cformat("%s cannot be opened: %s.", name, std::strerror(error));
    }
}

bool makeRawTermios(const SerialLineSettings& settings, termios& tio) {
    speed_t speed = 0;
    tcflag_t size = 0;
    if (!baudCode(settings.baudRate, speed) || !sizeFlag(settings.dataBits, size)) {
        errno = EINVAL;
        return false;
    }
    ::cfmakeraw(&tio);
    // No flow control of any kind; modem lines do not gate reading.
    tio.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS | CSIZE | PARENB | PARODD | CSTOPB);
    tio.c_cflag |= size | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (settings.parity == 1) {
        tio.c_cflag |= PARENB | PARODD;
    } else if (settings.parity == 2) {
        tio.c_cflag |= PARENB;
    }
    if (settings.stopBits != 1) {
        tio.c_cflag |= CSTOPB;
    }
    return ::cfsetispeed(&tio, speed) == 0 && ::cfsetospeed(&tio, speed) == 0;
}

bool PosixSerialPort::applyLineSettings(int fd, const SerialLineSettings& settings) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        reportCommError(diagnostics_, "Getting Comms. State.");
        return false;
    }
    bool ok = makeRawTermios(settings, tio) && ::tcsetattr(fd, TCSANOW, &tio) == 0;
    if (ok) {
        // DTR and RTS are held low. Devices without modem lines (a
        // pseudo-terminal) refuse the request; that is not an error.
        int lines = TIOCM_DTR | TIOCM_RTS;
        if (::ioctl(fd, TIOCMBIC, &lines) != 0 && errno != ENOTTY && errno != EINVAL) {
            ok = false;
        }
    }
    if (!ok) {
        int code = errno;
        std::string values = cformat("%d,%d,%d,%d", settings.baudRate, settings.dataBits,
                                     settings.parity, settings.stopBits);
        reportCommError(diagnostics_, "Setting Comms. State.", code);
        reportCommError(diagnostics_, values.substr(0, 100), code);
        return false;
    }
    return true;
}

ReaderExit PosixSerialPort::onReady(const ByteSink& sink, int fd, short revents) {
    if (revents & (POLLERR | POLLHUP | POLLNVAL)) {
        reportCommError(diagnostics_, "Waiting comm events. Loop terminated.",
                        (revents & POLLNVAL) ? EBADF : EIO);
        return ReaderExit::LineError;
    }
    if ((revents & POLLIN) && !drain(sink, fd)) {
        reportCommError(diagnostics_, "Reading comms port. Loop terminated.");
        return ReaderExit::ReadError;
    }
    return ReaderExit::Running;
}

bool PosixSerialPort::drain(const ByteSink& sink, int fd) {
    std::uint8_t chunk[kReadChunk];
    while (!stopRequested()) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n > 0) {
            for (ssize_t i = 0; i < n; ++i) {
                sink(chunk[i]);
            }
            continue;
        }
        if (n == 0 || errno == EAGAIN || errno == EWOULDBLOCK) {
            return true;
        }
        if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

void PosixSerialPort::release(int fd) {
    ::tcflush(fd, TCIOFLUSH);
    closeDevice(fd);
}

bool PosixSerialPort::write(const void* data, std::size_t size) {
    std::lock_guard<std::mutex> lock(fdMutex_);
    if (fd_ < 0) {
        reportCommError(diagnostics_, "Writing comms port.", EBADF);
        return false;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::int64_t deadline =
        steadyMs() + kWriteConstantMs + kWritePerByteMs * static_cast<std::int64_t>(size);
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::write(fd_, bytes + done, size - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            reportCommError(diagnostics_, "Writing comms port.");
            return false;
        }
        std::int64_t left = deadline - steadyMs();
        pollfd pfd{fd_, POLLOUT, 0};
        if (left <= 0 || ::poll(&pfd, 1, static_cast<int>(left)) == 0) {
            reportCommError(diagnostics_, "Writing comms port.", ETIMEDOUT);
            return false;
        }
    }
    return true;
}

void PosixSerialPort::purge() {
    std::lock_guard<std::mutex> lock(fdMutex_);
    if (fd_ >= 0) {
        ::tcflush(fd_, TCIOFLUSH);
    }
}

}  // namespace wp2
