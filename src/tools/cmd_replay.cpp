// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-tool replay LOG OUT.atk: runs a recorded NMEA log through the live
// decoding path, saves the recorded track and prints the decoding statistics;
// with --route also each point of a route reached, with --trip the trip
// computer fed by the recording (OUT.atk then optional).

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/base/cformat.h"
#include "core/base/diagnostics.h"
#include "core/track/trip_computer.h"
#include "messages/failed_save.h"
#include "messages/message_box.h"
#include "tools/log_replay.h"
#include "tools/route_replay.h"
#include "tools/std_streams.h"
#include "tools/talkers_option.h"
#include "tools/tool_command.h"

namespace wp2::tool {

namespace {

// "trip: distance_m=... moving_s=... stopped_s=... avg_moving_mps=... max_mps=...".
std::string tripLine(const TripMeter& m) {
    return cformat(
        "trip: distance_m=%.1f moving_s=%.1f stopped_s=%.1f avg_moving_mps=%.3f "
        "max_mps=%.3f\n",
        m.distance, m.movingTime, m.stoppedTime, m.averageMovingSpeed(), m.maxSpeed);
}

// Saves the replayed track as target; false, and a message naming the file
// as given, when that failed.
bool saveTrack(TrackLog& track, const std::string& target, const std::string& given) {
    std::error_code ec;
    std::filesystem::path out = std::filesystem::absolute(target, ec);
    track.currentFileName = ec ? target : out.string();
    if (const Result<bool> saved = track.save(); !saved) {
        Diagnostics diagnostics;  // the tool's exit status tells the failure
        StderrMessageBoxes boxes;
        reportFailedSave(boxes, diagnostics, "The track", saved.error().what, saved.error().reason);
        std::fprintf(stderr, "wayplot2-tool: cannot write %s\n", given.c_str());
        return false;
    }
    return true;
}

}  // namespace

// OUT.atk "-" writes the track to standard output (never to a terminal) and
// the statistics to standard error. Without --trip, OUT.atk is required.
int runReplay(const Invocation& call) {
    const bool withTrip = call.has("--trip");
    if (call.arguments.size() < 2 && !withTrip) {
        return usageError(call);
    }
    const std::string& log = call.arguments[0];
    const std::optional<std::string> given =
        call.arguments.size() > 1 ? std::optional(call.arguments[1]) : std::nullopt;
    const bool toStdout = given && isStandardStream(*given);
    if (toStdout && refuseTerminalOutput("a track file")) {
        return kExitFailure;
    }
    std::optional<TemporaryFolder> temporary;
    if (toStdout) {
        temporary.emplace();
    }
    const std::string target = toStdout ? temporary->file("replay.atk") : given.value_or("");
    if (given && target.empty()) {
        return kExitFailure;
    }
    LogReplay replay;
    replay.decoder().setTalkers(talkersOf(call));
    std::unique_ptr<RouteReplay> route;
    if (call.has("--route") && !(route = RouteReplay::fromGpx(call.value("--route")))) {
        return kExitFailure;
    }
    replay.decoder().setFixObserver(route.get());
    TripComputer trip;
    TrackLog& track = *replay.decoder().trackLog();
    track.setTripComputer(&trip);
    if (!replay.run(log)) {
        return kExitFailure;
    }
    if (given && !saveTrack(track, target, *given)) {
        return kExitFailure;
    }
    if (toStdout && !copyToStandardOutput(target)) {
        return kExitFailure;
    }
    const std::string report =
        replay.decoder().statisticsReport() + (withTrip ? tripLine(trip.meter(Trip::A)) : "");
    return writeTerminalText(report, toStdout ? stderr : stdout) ? kExitOk : kExitFailure;
}

}  // namespace wp2::tool
