#pragma once
// The serial port on POSIX systems: a termios character device opened
// exclusively, in raw mode, with a reader thread that waits in poll() for data,
// hang-up or error. A second descriptor (an eventfd) wakes the reader when the
// port is closed, so the reader always ends on its own and is joined.

#include <termios.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "core/gps/serial_port.h"

namespace wp2 {

// Turns tio into a raw, flow-control-free line with the given framing and
// speed. False (errno EINVAL) for a speed or byte size the system lacks.
bool makeRawTermios(const SerialLineSettings& settings, termios& tio);

class PosixSerialPort final : public SerialPort {
public:
    PosixSerialPort() = default;
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    bool open(const std::string& device, const SerialLineSettings& settings) override;
    bool startReader(ByteSink sink) override;
    bool isOpen() const override;
    ReaderExit readerExit() const override { return readerExit_.load(); }
    bool write(const void* data, std::size_t size) override;
    void purge() override;
    void close() override;
    std::string describe() const override { return device_; }
    int openError() const override { return openError_; }
    std::string openProblem() const override;

private:
    bool fail(const char* trace, int fd);
    bool applyLineSettings(int fd, const SerialLineSettings& settings);
    void readerLoop(ByteSink sink, int fd);
    // Reads everything available; false when a read failed.
    bool drain(const ByteSink& sink, int fd);
    void endReader(ReaderExit why);
    void releaseDevice();

    mutable std::mutex fdMutex_;  // guards fd_ between the reader and the caller
    int fd_ = -1;
    int wakeFd_ = -1;
    std::thread reader_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<ReaderExit> readerExit_{ReaderExit::Running};
    std::string device_;
    int openError_ = 0;
};

// What the user is told when device cannot be opened for the error number:
// for a device the user has no rights to, the group it belongs to and how
// to get in (or to use gpsd); empty for 0.
std::string serialOpenProblem(const std::string& device, int error);

}  // namespace wp2
