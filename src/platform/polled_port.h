// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A port read through one file descriptor. Received data waits in the
// system's buffer until the link collects it at its refresh (collect(), on
// the link's thread), so a receiver's sentences never wake the program on
// their own. A reader thread waits in poll() only for what cannot wait: a
// hang-up or an error of the line, the steps of a connection being made, or
// a wake-up. A second descriptor (an eventfd) wakes the reader when the port
// is closed, so the reader always ends on its own and is joined before the
// descriptor is released. A reader that meets an error (or a collect that
// does) releases the descriptor, so that the device or server is free again
// at once (a receiver plugged in again finds its device name unused).
//
// The serial port and the network sources differ only in how a descriptor is
// opened, read and released; they supply those steps.

#include <poll.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

#include "core/gps/serial_port.h"

namespace wp2 {

class Diagnostics;

// Milliseconds of the steady clock, for the ports' time limits.
std::int64_t steadyMs();

class PolledPort : public SerialPort {
public:
    // Port failures are traced to diagnostics, which must outlive the port.
    explicit PolledPort(Diagnostics& diagnostics) : diagnostics_(diagnostics) {}
    PolledPort(const PolledPort&) = delete;
    PolledPort& operator=(const PolledPort&) = delete;

    bool startReader(ByteSink sink) final;
    void collect() final;
    bool isOpen() const final;
    ReaderExit readerExit() const final { return readerExit_.load(); }
    // Stops the reader and releases the descriptor. Derived classes call it
    // from their destructors: the reader runs their steps until it is joined.
    void close() final;

protected:
    // Takes in what the descriptor offers (revents of a poll(); 0 when waitMs()
    // passed). Running to go on; any other value ends the reader with that
    // reason, after the step traced what went wrong. Never runs on two
    // threads at once.
    virtual ReaderExit onReady(const ByteSink& sink, int fd, short revents) = 0;
    // The events the port waits for, and for how long (-1: no limit). POLLIN
    // means it takes data now: collect() reads it, the reader only watches
    // for the other end hanging up.
    virtual short waitEvents() const { return POLLIN; }
    virtual int waitMs() const { return -1; }
    // Gives the descriptor up (closes it).
    virtual void release(int fd) = 0;
    // Runs on the caller's thread just before the reader starts.
    virtual void beforeReader() {}

    // Takes the descriptor of a successful open; the port is open from now on.
    void adopt(int fd);
    // The reader moves to another descriptor (the old one is closed already),
    // -1 for none.
    void replaceDescriptor(int fd);
    bool stopRequested() const { return stopRequested_; }

    Diagnostics& diagnostics_;

    // Guards fd_ between the reader and the caller; held while the caller
    // uses the descriptor (a write), so the reader cannot release it meanwhile.
    mutable std::mutex fdMutex_;
    int fd_ = -1;

private:
    void readerLoop();
    // From collect(): the reader looks at collectedExit_ (a reason to end,
    // after which it releases the descriptor) and at what the port waits for.
    void wakeReader();
    void releaseDescriptor();

    // Serialises onReady() between the reader and collect(); taken before
    // fdMutex_ wherever both are held.
    std::mutex readMutex_;
    ByteSink sink_;
    std::atomic<ReaderExit> collectedExit_{ReaderExit::Running};
    int wakeFd_ = -1;
    std::thread reader_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<ReaderExit> readerExit_{ReaderExit::Running};
};

}  // namespace wp2
