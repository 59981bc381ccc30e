// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Receiver sentences over the network: from the GPS service gpsd, or from a
// plain NMEA stream on a TCP port (a phone sharing its GPS, a marine
// multiplexer). Both behave like a serial port that takes no commands: a
// reader thread hands every byte to the link's sink, and a connection that
// ends ends the reader as a hang-up does, so the link's silence rules close
// and reopen it until the server is back.
//
// A network stream has no line rate to bound what arrives: a server may send
// as fast as the connection carries. The source takes in at most
// kMaxBytesPerSecond (more than the fastest serial receiver sends, and more
// than the receive buffer holds between two refreshes) and leaves the rest
// waiting on the connection, so that the server is slowed down to that rate
// instead of costing a core.
//
// Opening never waits for a server that does not answer: open() fails at once
// only when the name is unknown or the answer is already there (nobody listens
// on this machine); otherwise the reader thread completes the connection
// within kConnectTimeoutMs and, when it fails, ends as a hang-up does.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "core/gps/source_url.h"
#include "platform/polled_port.h"
#include "platform/tcp_connect.h"

namespace wp2 {

class NetworkSource final : public PolledPort {
public:
    static constexpr int kConnectTimeoutMs = 2000;
    static constexpr std::int64_t kMaxBytesPerSecond = 64 * 1024;

    explicit NetworkSource(Diagnostics& diagnostics) : PolledPort(diagnostics) {}
    ~NetworkSource() override;
    NetworkSource(const NetworkSource&) = delete;
    NetworkSource& operator=(const NetworkSource&) = delete;

    // Connects to a gpsd:// or tcp:// source. A gpsd is asked to pass on the
    // NMEA sentences of every receiver it serves, or of `gpsdDevice` alone
    // when one is given (the path as gpsd names it: it knows no other). Its
    // own (JSON) lines are skipped; an error it reports ("No such device as
    // ...") is traced.
    bool connectTo(const SourceAddress& address, const std::string& gpsdDevice = {});

    // The device text is a gpsd:// or tcp:// URL; the line settings do not apply.
    bool open(const std::string& device, const SerialLineSettings& settings) override;
    // Nothing is ever sent to the receiver through a network source.
    bool write(const void* data, std::size_t size) override;
    void purge() override {}
    bool takesCommands() const override { return false; }
    std::string describe() const override;
    int openError() const override { return openError_; }
    std::string openProblem() const override;

private:
    ReaderExit onReady(const ByteSink& sink, int fd, short revents) override;
    short waitEvents() const override;
    int waitMs() const override;
    void release(int fd) override;
    // On the reader: moves the connection on from socket fd; false when it
    // failed (openError_ set, traced).
    bool proceed(int fd, short revents);
    bool fail(int code);
    // Asks a gpsd for its sentences; true for a plain NMEA stream.
    bool sendWatch(int fd);
    void pass(const ByteSink& sink, const char* bytes, std::size_t n);
    // Traces the error a skipped gpsd line reports, if it is one.
    void traceGpsdError();
    // The bytes that may be taken in now: what the rate allows since the last
    // refill, up to a second's worth.
    void refill();

    SourceAddress address_;
    std::string gpsdDevice_;
    std::atomic<int> openError_{0};
    TcpConnect connect_;
    bool connecting_ = false;  // the socket is still connecting
    std::int64_t allowance_ = 0;
    std::int64_t refilledMs_ = 0;
    // gpsd's lines: whether the line being passed on is one of its own.
    bool atLineStart_ = true;
    bool skippingLine_ = false;
    std::string gpsdLine_;  // the start of the line being skipped
};

// Asks the gpsd at `address` for the devices it serves ("?DEVICES;"): their
// paths as gpsd names them. False when no gpsd answered within timeoutMs.
bool askGpsdDevices(const SourceAddress& address, int timeoutMs, std::vector<std::string>& paths);

// The "?WATCH" request for NMEA sentences, of one device when it is given.
std::string gpsdWatchRequest(const std::string& device);

}  // namespace wp2
