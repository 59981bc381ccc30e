// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A port read through one file descriptor by a reader thread that waits in
// poll() for the descriptor or for a wake-up. A second descriptor (an eventfd)
// wakes the reader when the port is closed, so the reader always ends on its
// own and is joined before the descriptor is released. A reader that meets an
// error releases the descriptor itself, so that the device or server is free
// again at once (a receiver plugged in again finds its device name unused).
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

// Milliseconds of the steady clock, for the ports' time limits.
std::int64_t steadyMs();

class PolledPort : public SerialPort {
public:
    // How long the reader lets a burst of received data gather.
    static constexpr int kBurstGatherMs = 5;

    PolledPort() = default;
    PolledPort(const PolledPort&) = delete;
    PolledPort& operator=(const PolledPort&) = delete;

    bool startReader(ByteSink sink) final;
    bool isOpen() const final;
    ReaderExit readerExit() const final { return readerExit_.load(); }
    // Stops the reader and releases the descriptor. Derived classes call it
    // from their destructors: the reader runs their steps until it is joined.
    void close() final;

protected:
    // What the reader does when its wait ended: revents of the descriptor, 0
    // when waitMs() passed. Running to wait again; any other value ends the
    // reader with that reason, after the step traced what went wrong.
    virtual ReaderExit onReady(const ByteSink& sink, int fd, short revents) = 0;
    // The events the reader waits for, and for how long (-1: no limit).
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

    // Guards fd_ between the reader and the caller; held while the caller
    // uses the descriptor (a write), so the reader cannot release it meanwhile.
    mutable std::mutex fdMutex_;
    int fd_ = -1;

private:
    void readerLoop(ByteSink sink);
    bool gatherBurst();
    void releaseDescriptor();

    int wakeFd_ = -1;
    std::thread reader_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<ReaderExit> readerExit_{ReaderExit::Running};
};

}  // namespace wp2
