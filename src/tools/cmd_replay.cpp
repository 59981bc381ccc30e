// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-tool replay LOG OUT.atk: runs a recorded NMEA log through the live
// decoding path, saves the recorded track and prints the decoding statistics.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "messages/failed_save.h"
#include "tools/log_replay.h"
#include "tools/route_replay.h"
#include "tools/talkers_option.h"
#include "tools/tool_command.h"

namespace wp2::tool {

namespace {

int runReplay(const std::vector<std::string>& args);

}  // namespace

extern const Command kReplayCommand{
    "replay", "replay [--talkers any|gp] [--route ROUTE.gpx] LOG OUT.atk", runReplay};

namespace {

int runReplay(const std::vector<std::string>& options) {
    std::vector<std::string> args = options;
    Talkers talkers = Talkers::Any;
    std::optional<std::string> routeGpx;
    if (!takeTalkersOption(args, talkers) || !takeRouteOption(args, routeGpx) || args.size() != 2) {
        return usageError(kReplayCommand);
    }
    LogReplay replay;
    replay.decoder().setTalkers(talkers);
    std::unique_ptr<RouteReplay> route;
    if (routeGpx && !(route = RouteReplay::fromGpx(*routeGpx))) {
        return kExitFailure;
    }
    replay.decoder().setFixObserver(route.get());
    if (!replay.run(args[0])) {
        return kExitFailure;
    }
    TrackLog& track = *replay.decoder().trackLog();
    std::error_code ec;
    std::filesystem::path out = std::filesystem::absolute(args[1], ec);
    track.currentFileName = ec ? args[1] : out.string();
    if (const Result<bool> saved = track.save(false); !saved) {
        reportFailedSave("The track", saved.error().what, saved.error().reason);
        std::fprintf(stderr, "wayplot2-tool: cannot write %s\n", args[1].c_str());
        return kExitFailure;
    }
    return writeTerminalText(replay.decoder().statisticsReport()) ? kExitOk : kExitFailure;
}

}  // namespace

}  // namespace wp2::tool
