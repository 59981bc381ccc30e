// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A serial port for link tests that run on simulated time: devices open or
// not as the test says, received bytes are handed to the reader's sink on the
// test's own thread, and what the link writes is recorded.

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "core/gps/serial_port.h"

namespace wp2::test {

class FakeSerialPort final : public SerialPort {
public:
    // Devices that exist; every other name fails to open.
    std::set<std::string> available;
    // Bytes a device sends as soon as its reader starts.
    std::function<std::string(const std::string& device)> greeting;

    std::vector<std::string> opened;  // device of every successful open
    int openAttempts = 0;
    int closes = 0;
    int purges = 0;
    std::string written;
    SerialLineSettings lastSettings;

    bool open(const std::string& device, const SerialLineSettings& settings) override {
        ++openAttempts;
        close();
        if (!available.count(device)) {
            return false;
        }
        device_ = device;
        lastSettings = settings;
        opened.push_back(device);
        isOpen_ = true;
        return true;
    }
    bool startReader(ByteSink sink) override {
        if (!isOpen_) {
            return false;
        }
        sink_ = std::move(sink);
        if (greeting) {
            receive(greeting(device_));
        }
        return true;
    }
    bool isOpen() const override { return isOpen_; }
    ReaderExit readerExit() const override {
        return isOpen_ ? ReaderExit::Running : ReaderExit::InvalidHandle;
    }
    bool write(const void* data, std::size_t size) override {
        if (!isOpen_) {
            return false;
        }
        written.append(static_cast<const char*>(data), size);
        return true;
    }
    void purge() override { ++purges; }
    void close() override {
        if (isOpen_) {
            ++closes;
        }
        isOpen_ = false;
        sink_ = nullptr;
    }

    // The receiver sends bytes (dropped while the port is closed).
    void receive(const std::string& bytes) {
        if (!sink_) {
            return;
        }
        for (char c : bytes) {
            sink_(static_cast<std::uint8_t>(c));
        }
    }
    const std::string& device() const { return device_; }

private:
    bool isOpen_ = false;
    std::string device_;
    ByteSink sink_;
};

}  // namespace wp2::test
