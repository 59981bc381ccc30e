// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-tool track: converts recorded tracks (.atk) to GPX 1.1 and GPX
// tracks and routes to track files, and describes a track of either kind.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/base/diagnostics.h"
#include "core/gpx/track_gpx.h"
#include "core/gpx/track_summary.h"
#include "core/nav/unit_formatter.h"
#include "core/nav/unit_system_setting.h"
#include "core/settings/reg_number.h"
#include "core/settings/reg_values.h"
#include "core/track/track_file.h"
#include "messages/message_box.h"
#include "platform/file_registry.h"
#include "tools/json_writer.h"
#include "tools/std_streams.h"
#include "tools/tool_command.h"

namespace wp2::tool {

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

}  // namespace

// OUT.gpx "-" writes the GPX to standard output, named after the track file.
int runTrackExport(const Invocation& call) {
    const std::string& in = call.arguments[0];
    const std::string& out = call.arguments[1];
    std::vector<TrackPoint> points;
    if (!readAtk(in, points)) {
        return kExitFailure;
    }
    std::optional<TemporaryFolder> temporary;
    if (isStandardStream(out)) {
        temporary.emplace();
    }
    const std::string target =
        temporary ? temporary->file(std::filesystem::path(in).stem().string() + ".gpx") : out;
    std::string error;
    const int count = static_cast<int>(points.size());
    if (target.empty() || !exportTrackGpx(points.data(), count, target, &error)) {
        std::fprintf(stderr, "wayplot2-tool: cannot write %s: %s\n", out.c_str(), error.c_str());
        return kExitFailure;
    }
    if (temporary) {
        return copyToStandardOutput(target) ? kExitOk : kExitFailure;
    }
    std::printf("%d points in %zu pieces written to %s\n", count,
                trackPieces(points.data(), count).size(), out.c_str());
    return kExitOk;
}

// IN.gpx "-" reads standard input; OUT.atk "-" writes the track file to
// standard output (never to a terminal) and the report to standard error.
int runTrackImport(const Invocation& call) {
    const std::string& in = call.arguments[0];
    const std::string& out = call.arguments[1];
    if (isStandardStream(out) && refuseTerminalOutput("a track file")) {
        return kExitFailure;
    }
    std::optional<TemporaryFolder> temporary;
    if (isStandardStream(in) || isStandardStream(out)) {
        temporary.emplace();
    }
    const std::string source = isStandardStream(in) ? temporary->file("standard-input.gpx") : in;
    const std::string target = isStandardStream(out) ? temporary->file("track.atk") : out;
    if (source.empty() || target.empty() || (isStandardStream(in) && !copyStandardInput(source))) {
        return kExitFailure;
    }
    const GpxTrackImport r = importGpxTrack(source, target);
    const bool whole = reportGpxRead(in, r.read);
    if (!r.saved) {
        if (r.points == 0) {
            std::fprintf(stderr, "wayplot2-tool: no track points read; %s not written\n",
                         out.c_str());
        } else {
            std::fprintf(stderr, "wayplot2-tool: cannot write %s: %s\n", out.c_str(),
                         r.error.c_str());
        }
        return kExitFailure;
    }
    if (isStandardStream(out) && !copyToStandardOutput(target)) {
        return kExitFailure;
    }
    std::fprintf(isStandardStream(out) ? stderr : stdout,
                 "%d points (%d dated) in %d pieces written to %s\n", r.points, r.dated, r.pieces,
                 out.c_str());
    return whole ? kExitOk : kExitFailure;
}

namespace {

// The unit system stored in the settings (U.S. when none is stored).
UnitFormatter storedUnits() {
    UnitFormatter units;
    units.setSystem(0);
    Diagnostics diagnostics;  // nothing is traced here
    StderrMessageBoxes boxes;
    FileRegistry reg(diagnostics, boxes);
    const Result<RegValue> v =
        reg.queryValue(RegRoot::LocalMachine, kSettingsKeyPath, kUnitSystemValueName);
    if (v && v->type == RegType::Dword && v->data.size() == 4) {
        units.setSystem(static_cast<std::int32_t>(dwordFromBytes(v->data)));
    }
    return units;
}

// The summary in SI units: metres, seconds, metres per second, degrees;
// null for what the track does not have.
std::string trackJson(const TrackSummary& s) {
    JsonObject json;
    json.add("points", s.points).add("dated_points", s.datedPoints).add("pieces", s.pieces);
    json.add("length", s.length);
    const std::optional<double> span = s.span();
    json.addJson("start", span ? jsonString(formatIsoTime(*s.start)) : "null");
    json.addJson("end", span ? jsonString(formatIsoTime(*s.end)) : "null");
    json.add("duration", span).add("moving_time", span ? std::optional(s.movingSeconds) : span);
    json.add("highest_speed", s.highestSpeed);
    const auto bound = [&](double v) { return s.points > 0 ? std::optional(v) : std::nullopt; };
    json.add("south", bound(s.south)).add("west", bound(s.west));
    json.add("north", bound(s.north)).add("east", bound(s.east));
    return json.text();
}

}  // namespace

int runTrackInfo(const Invocation& call) {
    const std::string& path = call.arguments[0];
    std::vector<TrackPoint> points;
    bool whole = true;
    const bool read =
        lowerExtension(path) == ".gpx" ? readGpx(path, points, whole) : readAtk(path, points);
    if (!read) {
        return kExitFailure;
    }
    const TrackSummary summary = summarizeTrack(points);
    const std::string text =
        call.has("--json") ? trackJson(summary) + "\n" : describeTrack(summary, storedUnits());
    std::fputs(text.c_str(), stdout);
    return whole ? kExitOk : kExitFailure;
}

}  // namespace wp2::tool
