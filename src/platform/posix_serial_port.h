// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The serial port on POSIX systems: a termios character device opened
// exclusively, in raw mode, with a reader thread that waits in poll() for data,
// hang-up or error (polled_port.h).

#include <termios.h>

#include <string>

#include "platform/polled_port.h"

namespace wp2 {

// Turns tio into a raw, flow-control-free line with the given framing and
// speed. False (errno EINVAL) for a speed or byte size the system lacks.
bool makeRawTermios(const SerialLineSettings& settings, termios& tio);

class PosixSerialPort final : public PolledPort {
public:
    explicit PosixSerialPort(Diagnostics& diagnostics) : PolledPort(diagnostics) {}
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    bool open(const std::string& device, const SerialLineSettings& settings) override;
    bool write(const void* data, std::size_t size) override;
    void purge() override;
    std::string describe() const override { return device_; }
    int openError() const override { return openError_; }
    std::string openProblem() const override;

private:
    bool fail(const char* trace, int fd);
    bool applyLineSettings(int fd, const SerialLineSettings& settings);
    ReaderExit onReady(const ByteSink& sink, int fd, short revents) override;
    // Reads everything available; false when a read failed.
    bool drain(const ByteSink& sink, int fd);
    void release(int fd) override;
    // A new reader starts from empty queues. Purged before the reader starts
    // rather than on its thread, so that nothing sent after startReader() is lost.
    void beforeReader() override { purge(); }

    std::string device_;
    int openError_ = 0;
};

// What the user is told when device cannot be opened for the error number:
// for a device the user has no rights to, the group it belongs to and how
// to get in (or to use gpsd); empty for 0.
std::string serialOpenProblem(const std::string& device, int error);

}  // namespace wp2
