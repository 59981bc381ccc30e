#pragma once
// Receiver sentences over the network: from the GPS service gpsd, or from a
// plain NMEA stream on a TCP port (a phone sharing its GPS, a marine
// multiplexer). Both behave like a serial port that takes no commands: a
// reader thread hands every byte to the link's sink, and a connection that
// ends ends the reader as a hang-up does, so the link's silence rules close
// and reopen it until the server is back.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/gps/serial_port.h"
#include "core/gps/source_url.h"

namespace wp2 {

class NetworkSource final : public SerialPort {
public:
    static constexpr int kConnectTimeoutMs = 2000;

    NetworkSource() = default;
    ~NetworkSource() override;
    NetworkSource(const NetworkSource&) = delete;
    NetworkSource& operator=(const NetworkSource&) = delete;

    // Connects to a gpsd:// or tcp:// source. A gpsd is asked to pass on the
    // NMEA sentences of every receiver it serves, or of `gpsdDevice` alone
    // when one is given; its own (JSON) lines are skipped.
    bool connectTo(const SourceAddress& address, const std::string& gpsdDevice = {});

    // The device text is a gpsd:// or tcp:// URL; the line settings do not apply.
    bool open(const std::string& device, const SerialLineSettings& settings) override;
    bool startReader(ByteSink sink) override;
    bool isOpen() const override;
    ReaderExit readerExit() const override { return readerExit_.load(); }
    // Nothing is ever sent to the receiver through a network source.
    bool write(const void* data, std::size_t size) override;
    void purge() override {}
    void close() override;
    bool takesCommands() const override { return false; }
    std::string describe() const override;
    int openError() const override { return openError_; }
    std::string openProblem() const override;

private:
    void readerLoop(ByteSink sink, int fd);
    void pass(const ByteSink& sink, const char* bytes, std::size_t n);
    void endReader(ReaderExit why, int code);
    void releaseSocket();

    SourceAddress address_;
    std::string gpsdDevice_;
    int openError_ = 0;
    mutable std::mutex fdMutex_;
    int fd_ = -1;
    int wakeFd_ = -1;
    std::thread reader_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<ReaderExit> readerExit_{ReaderExit::Running};
    // gpsd's lines: whether the line being passed on is one of its own.
    bool atLineStart_ = true;
    bool skippingLine_ = false;
};

// Connects a TCP socket to host:port within timeoutMs. The descriptor, or -1
// with errno set.
int connectTcp(const std::string& host, int port, int timeoutMs);

// Asks the gpsd at `address` for the devices it serves ("?DEVICES;"). False
// when no gpsd answered within timeoutMs.
bool askGpsdDevices(const SourceAddress& address, int timeoutMs, std::vector<std::string>& paths);

// The "?WATCH" request for NMEA sentences, of one device when it is given.
std::string gpsdWatchRequest(const std::string& device);

}  // namespace wp2
