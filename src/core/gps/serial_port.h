// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The receiver's serial port as the link sees it. The platform layer supplies
// the real device (termios on POSIX); tests may supply their own.
//
// A port is opened with its line settings, then a reader thread is started
// that hands every received byte to a sink. Stopping is cooperative: close()
// wakes the reader, waits for it to end and only then releases the device, so
// the reader is never cut off in the middle of handing over a byte.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace wp2 {

// The line settings the port is opened with.
struct SerialLineSettings {
    int baudRate = 4800;
    int dataBits = 8;  // 7 or 8 (5 and 6 where the device has them)
    int stopBits = 1;  // 1 gives one stop bit, any other value two
    int parity = 0;    // 1 odd, 2 even, any other value none

    bool operator==(const SerialLineSettings&) const = default;
};

// The link's line settings: the port number and the framing.
struct LineSettings {
    int port = 1;
    int baudRate = 4800;
    std::uint8_t dataBits = 8;
    std::uint8_t stopBits = 1;
    std::uint16_t parity = 0;

    SerialLineSettings framing() const { return {baudRate, dataBits, stopBits, parity}; }
    bool operator==(const LineSettings&) const = default;
};

// Why the reader thread ended.
enum class ReaderExit : int {
    Running = 0,        // still running (or never started)
    LineError = 1,      // the line reported an error or hang-up
    ReadError = 2,      // a read failed
    InvalidHandle = 3,  // the port was closed (or never open)
};

// Receives each byte read from the port, on the reader thread, one at a time.
using ByteSink = std::function<void(std::uint8_t)>;

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens the device for exclusive reading and writing and applies the line
    // settings. False (with a trace text) when the device is missing, held by
    // another program, not a serial device or refuses the settings.
    virtual bool open(const std::string& device, const SerialLineSettings& settings) = 0;
    // Starts the reader thread; false (with a trace text) when the port is not
    // open or no thread could be created.
    virtual bool startReader(ByteSink sink) = 0;
    // Hands what has arrived since the last call to the reader's sink, on the
    // caller's thread (the link calls it at each refresh). Ports whose reader
    // hands bytes over as they come have nothing to do.
    virtual void collect() {}
    // True from a successful open() until close(). A reader that ends on a
    // line or read error releases the device itself; the port then no longer
    // counts as open.
    virtual bool isOpen() const = 0;
    virtual ReaderExit readerExit() const = 0;
    // Writes all bytes within 1000 ms plus 10 ms per byte; false on failure.
    virtual bool write(const void* data, std::size_t size) = 0;
    // Discards whatever waits in the input and output queues.
    virtual void purge() = 0;
    // Stops the reader (waking and joining it), purges and closes the device.
    // Safe to call when nothing is open.
    virtual void close() = 0;

    // False for sources that only pass a receiver's output on (a GPS service or
    // a network stream): nothing, the warm-start sentence included, is sent to them.
    virtual bool takesCommands() const { return true; }
    // What the port reads, for the user: the device opened, or how it is reached.
    virtual std::string describe() const { return {}; }

    // Why the last open() failed: the system's error number (EBUSY for a
    // device another program holds, EACCES without the rights to it), 0 when
    // it did not fail.
    virtual int openError() const { return 0; }
    // The same for the user, with what to do about it; empty when there is
    // nothing to say beyond "cannot open".
    virtual std::string openProblem() const { return {}; }
};

}  // namespace wp2
