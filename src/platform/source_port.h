// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The port the program reads its receiver through. The device text chooses
// the source: a gpsd:// or tcp:// URL is read over the network, anything else
// is a serial device. A serial device that the local gpsd serves is never
// opened directly (which would take the receiver away from gpsd and from every
// program that reads it there): it is read through gpsd instead. gpsd neither
// locks its devices nor opens them exclusively, so it has to be asked.

#include <string>
#include <utility>

#include "core/gps/serial_port.h"
#include "platform/network_source.h"
#include "platform/posix_serial_port.h"

namespace wp2 {

class SourcePort final : public SerialPort {
public:
    // How long the local gpsd may take to list its devices.
    static constexpr int kGpsdCheckMs = 500;

    // Port failures are traced to diagnostics, which must outlive the port.
    explicit SourcePort(Diagnostics& diagnostics) : serial_(diagnostics), network_(diagnostics) {}

    bool open(const std::string& device, const SerialLineSettings& settings) override;
    bool startReader(ByteSink sink) override { return active_->startReader(std::move(sink)); }
    void collect() override { active_->collect(); }
    bool isOpen() const override { return active_->isOpen(); }
    ReaderExit readerExit() const override { return active_->readerExit(); }
    bool write(const void* data, std::size_t size) override { return active_->write(data, size); }
    void purge() override { active_->purge(); }
    void close() override { active_->close(); }
    bool takesCommands() const override { return active_->takesCommands(); }
    std::string describe() const override { return active_->describe(); }
    int openError() const override { return active_->openError(); }
    std::string openProblem() const override { return active_->openProblem(); }

private:
    PosixSerialPort serial_;
    NetworkSource network_;
    SerialPort* active_ = &serial_;
};

// The path under which the gpsd at `gpsd` ("host:port") serves `device`: the
// same path, or the one of the device a link such as /dev/gps0 or
// /dev/serial/by-id/... leads to. "" when it serves no such device or no
// gpsd answers.
std::string gpsdDevicePath(const std::string& gpsd, const std::string& device, int timeoutMs);

}  // namespace wp2
