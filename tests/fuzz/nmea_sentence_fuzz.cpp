// SPDX-License-Identifier: GPL-3.0-or-later
// One NMEA line through the receiver's decoder: checksum test and applySentence
// on the raw text, then the same bytes through the receive buffer and a
// refresh. The first byte chooses any-talker or GPS-talker-only decoding; the
// rest are the line.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "core/base/clock.h"
#include "core/gps/gps_decoder.h"
#include "core/settings/memory_registry.h"
#include "core/settings/settings_store.h"
#include "core/track/track_log.h"

namespace {

wp2::GpsDecoder& decoder() {
    static wp2::MemoryRegistry settings;
    static wp2::ManualClock clock(1700000000);
    static std::unique_ptr<wp2::GpsDecoder> decoder = [] {
        wp2::SettingsStore store(settings);
        (void)store.writeNumber("TrackState", wp2::TrackState::ParkingFilter |
                                                  wp2::TrackState::StraightFilter |
                                                  wp2::TrackState::SplitOnGap);
        (void)store.writeNumber("TrackStraightThreshold", 4000);
        (void)store.writeNumber("TrackParkingThreshold", 1500);
        auto track = std::make_unique<wp2::TrackLog>();
        (void)track->start(settings);  // the options above
        return std::make_unique<wp2::GpsDecoder>(clock, std::move(track));
    }();
    return *decoder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    wp2::GpsDecoder& l = decoder();
    const auto talkers = data[0] & 1 ? wp2::Talkers::GpsOnly : wp2::Talkers::Any;
    if (l.talkers() != talkers) {
        l.setTalkers(talkers);
    }
    ++data;
    --size;
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    l.checkLine(line);
    l.applySentence(line);
    l.receiveBuffer().append(data, size);
    l.decodePending();
    (void)l.statisticsReport();
    (void)l.statusReport();
    // Keep memory bounded over long runs.
    if (l.trackLog()->count() > 5000) {
        l.trackLog()->clear();
    }
    return 0;
}
