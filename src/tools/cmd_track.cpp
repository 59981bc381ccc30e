// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-tool track: converts recorded tracks (.atk) to GPX 1.1 and GPX
// tracks and routes to track files, and describes a track of either kind.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/gpx/track_gpx.h"
#include "core/gpx/track_summary.h"
#include "core/nav/unit_formatter.h"
#include "core/nav/unit_system_setting.h"
#include "core/settings/reg_number.h"
#include "core/settings/reg_values.h"
#include "core/track/track_file.h"
#include "platform/file_registry.h"
#include "tools/tool_command.h"

namespace wp2::tool {

extern const Command kTrackCommand;

namespace {

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return ext;
}

// Why a file cannot be used: the system's reason when it cannot be opened.
std::string unreadableReason(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        return std::strerror(errno);
    }
    std::fclose(f);
    return "not a track file (damaged or of another kind)";
}

bool readAtk(const std::string& path, std::vector<TrackPoint>& points) {
    auto image = TrackFile::read(path);
    if (!image) {
        std::fprintf(stderr, "wayplot2-tool: cannot read %s: %s\n", path.c_str(),
                     unreadableReason(path).c_str());
        return false;
    }
    image->points.resize(static_cast<std::size_t>(image->count));
    points = std::move(image->points);
    return true;
}

// Says what went wrong in reading a GPX file; true when every point was taken.
bool reportGpxRead(const std::string& path, const GpxReadResult& r) {
    if (!r.ok) {
        std::fprintf(stderr, "wayplot2-tool: %s: %s\n", path.c_str(), r.errorText().c_str());
    }
    if (r.refused > 0) {
        std::fprintf(stderr, "wayplot2-tool: %s: %d points refused, the first at line %d: %s\n",
                     path.c_str(), r.refused, r.firstRefusedLine, r.firstRefusedReason.c_str());
    }
    return r.ok && r.refused == 0;
}

// Reads a GPX track; false (after saying why) when nothing could be read.
// `whole` tells whether every point was taken.
bool readGpx(const std::string& path, std::vector<TrackPoint>& points, bool& whole) {
    const GpxReadResult r = readTrackGpx(path, points);
    whole = reportGpxRead(path, r);
    return r.ok || !points.empty();
}

int exportTrack(const std::vector<std::string>& args) {
    if (args.size() != 3) {
        return usageError(kTrackCommand);
    }
    std::vector<TrackPoint> points;
    if (!readAtk(args[1], points)) {
        return kExitFailure;
    }
    std::string error;
    const int count = static_cast<int>(points.size());
    if (!exportTrackGpx(points.data(), count, args[2], &error)) {
        std::fprintf(stderr, "wayplot2-tool: cannot write %s: %s\n", args[2].c_str(),
                     error.c_str());
        return kExitFailure;
    }
    std::printf("%d points in %zu pieces written to %s\n", count,
                trackPieces(points.data(), count).size(), args[2].c_str());
    return kExitOk;
}

int importTrack(const std::vector<std::string>& args) {
    if (args.size() != 3) {
        return usageError(kTrackCommand);
    }
    const GpxTrackImport r = importGpxTrack(args[1], args[2]);
    const bool whole = reportGpxRead(args[1], r.read);
    if (!r.saved) {
        if (r.points == 0) {
            std::fprintf(stderr, "wayplot2-tool: no track points read; %s not written\n",
                         args[2].c_str());
        } else {
            std::fprintf(stderr, "wayplot2-tool: cannot write %s: %s\n", args[2].c_str(),
                         r.error.c_str());
        }
        return kExitFailure;
    }
    std::printf("%d points (%d dated) in %d pieces written to %s\n", r.points, r.dated, r.pieces,
                args[2].c_str());
    return whole ? kExitOk : kExitFailure;
}

// The unit system stored in the settings (U.S. when none is stored).
UnitFormatter storedUnits() {
    UnitFormatter units;
    units.setSystem(0);
    FileRegistry reg;
    const Result<RegValue> v =
        reg.queryValue(RegRoot::LocalMachine, kSettingsKeyPath, kUnitSystemValueName);
    if (v && v->type == RegType::Dword && v->data.size() == 4) {
        units.setSystem(static_cast<std::int32_t>(dwordFromBytes(v->data)));
    }
    return units;
}

int trackInfo(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        return usageError(kTrackCommand);
    }
    std::vector<TrackPoint> points;
    bool whole = true;
    const bool read = lowerExtension(args[1]) == ".gpx" ? readGpx(args[1], points, whole)
                                                        : readAtk(args[1], points);
    if (!read) {
        return kExitFailure;
    }
    std::fputs(describeTrack(summarizeTrack(points), storedUnits()).c_str(), stdout);
    return whole ? kExitOk : kExitFailure;
}

int runTrack(const std::vector<std::string>& args) {
    if (args.empty()) {
        return usageError(kTrackCommand);
    }
    if (args[0] == "export") {
        return exportTrack(args);
    }
    if (args[0] == "import") {
        return importTrack(args);
    }
    if (args[0] == "info") {
        return trackInfo(args);
    }
    return usageError(kTrackCommand);
}

}  // namespace

extern const Command kTrackCommand = {"track",
                                      "track export IN.atk OUT.gpx\n"
                                      "       track import IN.gpx OUT.atk\n"
                                      "       track info FILE.{atk,gpx}",
                                      runTrack};

}  // namespace wp2::tool
