#pragma once
// Helpers for the receiver tests: NMEA lines with their checksum, a decoder
// whose track log neither loads nor saves the autosave file, and a link on
// simulated time with a fake serial port.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "core/base/clock.h"
#include "core/base/timer_queue.h"
#include "core/gps/gps_link.h"
#include "core/settings/memory_registry.h"
#include "support/fake_serial_port.h"
#include "support/nmea_lines.h"
#include "support/test_support.h"

namespace wp2::test {

inline std::u16string u16(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

// "$" + body + "*" + the two-digit checksum of body, without the line end.
inline std::u16string nmea16(const std::string& body) {
    std::string line = nmeaLine(body);
    return u16(line.substr(0, line.size() - 2));
}

inline void appendText(ReceiveBuffer& buffer, const std::string& text) {
    buffer.append(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

// A track log with the default filter and no automatic load or save.
inline std::unique_ptr<TrackLog> quietTrackLog() {
    auto log = std::make_unique<TrackLog>();
    log->options = TrackState::Default & ~(TrackState::AutoLoad | TrackState::AutoSave);
    log->clear();
    return log;
}

// A decoder on a hand-moved clock, with every file of the program in a temporary folder.
struct TestDecoder {
    static constexpr std::time_t kStart = 1700000000;

    explicit TestDecoder(Talkers talkers = Talkers::Any) { decoder.setTalkers(talkers); }
    void apply(const std::string& body) { decoder.applySentence(nmea16(body)); }
    std::uint32_t flags() const { return decoder.state().flags; }
    GpsState& state() { return decoder.state(); }

    TempDir root{true};
    ManualClock clock{kStart};
    GpsDecoder decoder{clock, quietTrackLog()};
};

// A link on simulated time with a fake port and its own settings; port n maps
// to device `prefix` + n.
class FakePortLinkTest : public ::testing::Test {
protected:
    explicit FakePortLinkTest(const std::string& prefix) {
        previousRegistry_ = setRegistry(&registry_);
        auto fake = std::make_unique<FakeSerialPort>();
        port = fake.get();
        link = std::make_unique<GpsLink>(clock);
        link->setSerialPort(std::move(fake));
        link->setTimers(&timers);
        PortMap map{PortMap::StoredText{}};
        for (int n = 1; n <= 9; ++n) {
            map.setDevice(n, prefix + std::to_string(n));
        }
        link->setPortMap(map);
    }
    ~FakePortLinkTest() override {
        link.reset();
        setRegistry(previousRegistry_);
    }

    TempDir root{true};  // the track log's autosave file lands here
    MemoryRegistry registry_;
    Registry* previousRegistry_ = nullptr;
    RecordingMessageBoxes boxes;
    ManualClock clock{1200000000};
    TimerQueue timers{clock};
    FakeSerialPort* port = nullptr;
    std::unique_ptr<GpsLink> link;
};

}  // namespace wp2::test
