#pragma once
// Helpers for the receiver-link tests: NMEA lines with their checksum, and a
// link whose track log neither loads nor saves the autosave file.

#include <cstdio>
#include <memory>
#include <string>

#include "core/base/clock.h"
#include "core/gps/gps_link.h"
#include "core/track/track_log.h"
#include "support/test_support.h"

namespace wp2::test {

inline std::u16string u16(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

// "$" + body + "*" + the two-digit checksum of body.
inline std::string nmea(const std::string& body) {
    unsigned sum = 0;
    for (unsigned char c : body) {
        sum ^= c;
    }
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X", sum);
    return "$" + body + tail;
}

inline std::u16string nmea16(const std::string& body) {
    return u16(nmea(body));
}

// A track log with the default filter and no automatic load or save.
inline std::unique_ptr<TrackLog> quietTrackLog() {
    auto log = std::make_unique<TrackLog>();
    log->options = TrackState::Default & ~(TrackState::AutoLoad | TrackState::AutoSave);
    log->clear();
    return log;
}

// A link on a hand-moved clock, with every file of the program in a temporary folder.
struct TestLink {
    static constexpr std::time_t kStart = 1700000000;

    TempDir root{true};
    ManualClock clock{kStart};
    GpsLink link{clock, quietTrackLog()};

    void apply(const std::string& body) { link.applySentence(nmea16(body)); }
    std::uint32_t flags() const { return link.state().flags; }
};

}  // namespace wp2::test
