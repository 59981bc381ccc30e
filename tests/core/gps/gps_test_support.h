// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers for the receiver tests: NMEA lines with their checksum and a decoder
// whose track log neither loads nor saves the autosave file.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/base/clock.h"
#include "core/gps/gps_link.h"
#include "support/nmea_lines.h"
#include "support/test_support.h"

namespace wp2::test {

// "$" + body + "*" + the two-digit checksum of body, without the line end.
inline std::string nmeaSentence(const std::string& body) {
    std::string line = nmeaLine(body);
    return line.substr(0, line.size() - 2);
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
    void apply(const std::string& body) { decoder.applySentence(nmeaSentence(body)); }
    std::uint32_t flags() const { return decoder.state().flags; }
    GpsState& state() { return decoder.state(); }

    TempDir root{true};
    ManualClock clock{kStart};
    GpsDecoder decoder{clock, quietTrackLog()};
};

}  // namespace wp2::test
