// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-tool replay [--route ROUTE.gpx] LOG OUT.atk: runs a recorded NMEA log through the live
// decoding path, saves the recorded track and prints the decoding statistics.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "messages/failed_save.h"
#include "tools/log_replay.h"
#include "tools/route_replay.h"
#include "tools/std_streams.h"
#include "tools/talkers_option.h"
#include "tools/tool_command.h"

namespace wp2::tool {

// OUT.atk "-" writes the track to standard output (never to a terminal) and
// the statistics to standard error.
int runReplay(const Invocation& call) {
    const std::string& log = call.arguments[0];
    const bool toStdout = isStandardStream(call.arguments[1]);
    if (toStdout && refuseTerminalOutput("a track file")) {
        return kExitFailure;
    }
    std::optional<TemporaryFolder> temporary;
    if (toStdout) {
        temporary.emplace();
    }
    const std::string target = toStdout ? temporary->file("replay.atk") : call.arguments[1];
    if (target.empty()) {
        return kExitFailure;
    }
    LogReplay replay;
    replay.decoder().setTalkers(talkersOf(call));
    std::unique_ptr<RouteReplay> route;
    if (call.has("--route") && !(route = RouteReplay::fromGpx(call.value("--route")))) {
        return kExitFailure;
    }
    replay.decoder().setFixObserver(route.get());
    if (!replay.run(log)) {
        return kExitFailure;
    }
    TrackLog& track = *replay.decoder().trackLog();
    std::error_code ec;
    std::filesystem::path out = std::filesystem::absolute(target, ec);
    track.currentFileName = ec ? target : out.string();
    if (const Result<bool> saved = track.save(false); !saved) {
        reportFailedSave("The track", saved.error().what, saved.error().reason);
        std::fprintf(stderr, "wayplot2-tool: cannot write %s\n", call.arguments[1].c_str());
        return kExitFailure;
    }
    if (toStdout && !copyToStandardOutput(target)) {
        return kExitFailure;
    }
    const std::string report = replay.decoder().statisticsReport();
    return writeTerminalText(report, toStdout ? stderr : stdout) ? kExitOk : kExitFailure;
}

}  // namespace wp2::tool
