// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/log_replay.h"

#include <cstdio>

#include "core/gps/nmea_replay.h"
#include "core/settings/settings_store.h"
#include "core/track/track_log.h"
#include "tools/std_streams.h"

namespace wp2::tool {

namespace {

constexpr std::uint64_t kProgressThreshold = 10u * 1024u * 1024u;

// A track log with the default recording filter and thresholds that neither
// loads nor saves the autosave file and starts empty.
std::unique_ptr<TrackLog> replayTrackLog(Registry& registry) {
    SettingsStore store(registry);
    (void)store.writeNumber("TrackState",
                            TrackState::Default & ~(TrackState::AutoLoad | TrackState::AutoSave));
    (void)store.writeNumber("TrackPDOPThreshold", 0);
    (void)store.writeNumber("TrackStraightThreshold", 4000);
    (void)store.writeNumber("TrackParkingThreshold", 1500);
    (void)store.writeNumber("TrackWidth", 2000);
    auto log = std::make_unique<TrackLog>();
    log->clear();
    log->options = TrackState::Default & ~(TrackState::AutoLoad | TrackState::AutoSave);
    log->straightThreshold = 40.0;
    log->parkingThreshold = 15.0;
    log->width = 20.0;
    return log;
}

}  // namespace

LogReplay::LogReplay() {
    decoder_ = std::make_unique<GpsDecoder>(clock_, replayTrackLog(settings_));
}

LogReplay::~LogReplay() {
    decoder_.reset();
}

bool LogReplay::run(const std::string& logPath) {
    NmeaReplay replay(*decoder_);
    int shownTenths = 0;
    auto progress = [&](std::uint64_t done, std::uint64_t total) {
        if (total <= kProgressThreshold) {
            return;
        }
        int tenths = static_cast<int>(done * 10 / total);
        if (tenths > shownTenths) {
            shownTenths = tenths;
            std::fprintf(stderr, "wayplot2-tool: %s: %d%%\n", logPath.c_str(), tenths * 10);
        }
    };
    std::string error;
    const bool read = isStandardStream(logPath) ? replay.replayStream(stdin, 0, error)
                                                : replay.replayFile(logPath, error, progress);
    if (!read) {
        const std::string name = isStandardStream(logPath) ? "standard input" : logPath;
        std::fprintf(stderr, "wayplot2-tool: cannot read %s: %s\n", name.c_str(), error.c_str());
        return false;
    }
    return true;
}

}  // namespace wp2::tool
