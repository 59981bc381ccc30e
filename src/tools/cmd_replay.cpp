// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-tool replay LOG OUT.atk: runs a recorded NMEA log through the live
// decoding path, saves the recorded track and prints the decoding statistics;
// with --trip also the trip computer fed by the recording (OUT.atk optional).

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/base/cformat.h"
#include "core/track/trip_computer.h"
#include "messages/failed_save.h"
#include "tools/log_replay.h"
#include "tools/talkers_option.h"
#include "tools/tool_command.h"

namespace wp2::tool {

namespace {

int runReplay(const std::vector<std::string>& args);

}  // namespace

extern const Command kReplayCommand{"replay", "replay [--talkers any|gp] [--trip] LOG [OUT.atk]",
                                    runReplay};

namespace {

// "trip: distance_m=... moving_s=... stopped_s=... avg_moving_mps=... max_mps=...".
std::string tripLine(const TripMeter& m) {
    return cformat(
        "trip: distance_m=%.1f moving_s=%.1f stopped_s=%.1f avg_moving_mps=%.3f "
        "max_mps=%.3f\n",
        m.distance, m.movingTime, m.stoppedTime, m.averageMovingSpeed(), m.maxSpeed);
}

int runReplay(const std::vector<std::string>& options) {
    std::vector<std::string> args = options;
    Talkers talkers = Talkers::Any;
    const auto tripFlag = std::find(args.begin(), args.end(), "--trip");
    const bool withTrip = tripFlag != args.end();
    if (withTrip) {
        args.erase(tripFlag);
    }
    const std::size_t fewest = withTrip ? 1 : 2;
    if (!takeTalkersOption(args, talkers) || args.size() < fewest || args.size() > 2) {
        return usageError(kReplayCommand);
    }
    TripComputer trip;
    LogReplay replay;
    replay.decoder().setTalkers(talkers);
    TrackLog& track = *replay.decoder().trackLog();
    track.setTripComputer(&trip);
    if (!replay.run(args[0])) {
        return kExitFailure;
    }
    if (args.size() == 2) {
        std::error_code ec;
        std::filesystem::path out = std::filesystem::absolute(args[1], ec);
        track.currentFileName = ec ? args[1] : out.string();
        if (const Result<bool> saved = track.save(false); !saved) {
            reportFailedSave("The track", saved.error().what, saved.error().reason);
            std::fprintf(stderr, "wayplot2-tool: cannot write %s\n", args[1].c_str());
            return kExitFailure;
        }
    }
    const std::string tripText = withTrip ? tripLine(trip.meter(Trip::A)) : "";
    return writeTerminalText(replay.decoder().statisticsReport() + tripText) ? kExitOk
                                                                             : kExitFailure;
}

}  // namespace

}  // namespace wp2::tool
