#include "core/gpx/track_gpx.h"

#include <filesystem>

#include "core/base/atomic_file.h"
#include "core/base/cformat.h"
#include "core/base/message_box.h"
#include "core/base/paths.h"
#include "core/nav/angles.h"
#include "core/track/file_chooser.h"
#include "core/track/track_log.h"

namespace wp2 {

namespace {

using namespace TrackPointState;

constexpr const char* kCaption = "Wayplot2";

bool has(std::uint32_t bits, std::uint32_t flag) {
    return (bits & flag) != 0;
}

double toDegrees(double radians) {
    return radians * kRadToDeg;
}
double toRadians(double degrees) {
    return degrees * kDegToRad;
}
double toMps(double knots) {
    return knots * kKnotsToMps;
}
double toKnots(double mps) {
    return mps / kKnotsToMps;
}

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return ext;
}

// Gathers the track and route points of a file as track points.
class TrackCollector final : public GpxHandler {
public:
    explicit TrackCollector(std::vector<TrackPoint>& points) : points_(points) {}

    void pieceStart(GpxKind) override { startNext_ = true; }

    void point(GpxKind kind, const GpxPoint& p) override {
        if (kind == GpxKind::Waypoint) {
            return;
        }
        TrackPoint t = trackPointFromGpx(p);
        if (startNext_ || points_.empty()) {
            if (!points_.empty()) {
                points_.back().state |= SegmentEnd;
            }
            t.state |= SegmentStart;
            startNext_ = false;
        }
        points_.push_back(t);
    }

    void finish() {
        if (!points_.empty()) {
            points_.back().state |= SegmentEnd;
        }
    }

private:
    std::vector<TrackPoint>& points_;
    bool startNext_ = true;
};

}  // namespace

double gpxDegrees(double radians) {
    return reversibleConversion(radians, toDegrees, toRadians);
}

std::vector<std::pair<int, int>> trackPieces(const TrackPoint* points, int count) {
    std::vector<std::pair<int, int>> pieces;
    int first = 0;
    for (int i = 1; i < count; ++i) {
        if (has(points[i - 1].state, SegmentEnd) || has(points[i].state, SegmentStart)) {
            pieces.emplace_back(first, i);
            first = i;
        }
    }
    if (count > 0) {
        pieces.emplace_back(first, count);
    }
    return pieces;
}

GpxPoint gpxFromTrackPoint(const TrackPoint& t) {
    GpxPoint p;
    p.latitude = gpxDegrees(t.latitude);
    p.longitude = gpxDegrees(t.longitude);
    p.elevation = t.altitude;
    if (!has(t.state, NoDate)) {
        p.time = fromGpsDateTime(t.time);
    }
    // Points made from GGA or from a bare position carry no speed or course.
    if (!has(t.state, NoVelocity) && !has(t.state, FromPosition)) {
        p.speed = reversibleConversion(t.speed, toMps, toKnots);
        p.course = t.course;
    }
    if (has(t.state, ThreeD)) {
        p.fix = "3d";
    }
    if (t.satellites > 0) {
        p.satellites = t.satellites;
    }
    if (t.dop > 0.0) {
        (has(t.state, FromGga) ? p.hdop : p.pdop) = t.dop;
    }
    return p;
}

TrackPoint trackPointFromGpx(const GpxPoint& p) {
    TrackPoint t;
    t.latitude = toRadians(p.latitude);
    t.longitude = toRadians(p.longitude);
    t.altitude = p.elevation.value_or(0.0);
    const auto time = p.time ? toGpsDateTime(*p.time) : std::nullopt;
    if (time) {
        t.time = *time;
    } else {
        t.state |= NoDate;
    }
    if (p.speed && *p.speed >= 0.0) {
        t.speed = toKnots(*p.speed);
        t.course = p.course.value_or(0.0);
    } else {
        t.state |= NoVelocity;
    }
    if (p.fix == "3d") {
        t.state |= ThreeD;
    }
    if (p.satellites) {
        t.satellites = static_cast<std::uint8_t>(*p.satellites);
        t.state |= *p.satellites >= 5   ? Sats5Plus
                   : *p.satellites == 4 ? Sats4
                   : *p.satellites == 3 ? Sats3
                                        : 0u;
    }
    if (p.pdop) {
        t.dop = *p.pdop;
    } else if (p.hdop) {
        t.dop = *p.hdop;
        t.state |= FromGga;
    }
    return t;
}

bool writeTrackGpx(const TrackPoint* points, int count, std::string_view trackName,
                   const GpxWriter::Sink& sink) {
    GpxWriter writer(sink);
    writer.begin();
    if (count > 0) {
        writer.beginTrack(trackName);
        for (const auto& [first, last] : trackPieces(points, count)) {
            writer.beginSegment();
            for (int i = first; i < last && writer.ok(); ++i) {
                writer.trackPoint(gpxFromTrackPoint(points[i]));
            }
            writer.endSegment();
        }
        writer.endTrack();
    }
    return writer.finish();
}

bool exportTrackGpx(const TrackPoint* points, int count, const std::string& path,
                    std::string* error) {
    const std::string name = std::filesystem::path(path).stem().string();
    return replaceFileAtomically(
        path, [&](std::FILE* file) { return writeTrackGpx(points, count, name, fileSink(file)); },
        error);
}

GpxReadResult readTrackGpx(const std::string& path, std::vector<TrackPoint>& points,
                           const GpxReadLimits& limits) {
    TrackCollector collector(points);
    GpxReadResult result = readGpxFile(path, collector, limits);
    collector.finish();
    return result;
}

bool loadTrackAskingFile(TrackLog& log) {
    FileDialogRequest request{kTrackFileFilterWithGpx, kTrackFileExtension, log.currentFileName};
    const auto chosen = fileChooser().openFile(request);
    if (!chosen) {
        return false;
    }
    log.currentFileName = *chosen;
    if (lowerExtension(*chosen) != ".gpx") {
        return log.load(false);
    }
    std::vector<TrackPoint> points;
    const GpxReadResult r = readTrackGpx(Paths::map(*chosen), points);
    const int read = static_cast<int>(points.size());
    if (!r.ok || r.refused > 0 || read == 0) {
        std::string text = cformat("%s:\n", chosen->c_str());
        if (!r.ok) {
            text += r.errorText() + "\n";
        }
        if (r.refused > 0) {
            text += cformat("%d points refused (first at line %d: %s)\n", r.refused,
                            r.firstRefusedLine, r.firstRefusedReason.c_str());
        }
        text += read > 0 ? cformat("%d track points loaded.", read)
                         : std::string("No track points read; the track is unchanged.");
        showMessage(text, kCaption, MessageIcon::Exclamation);
    }
    if (read == 0) {
        return false;
    }
    return log.replaceTrack(std::move(points));
}

bool saveTrackAskingFile(TrackLog& log) {
    FileDialogRequest request{kTrackFileFilterWithGpx, kTrackFileExtension, log.currentFileName};
    request.askBeforeCreating = true;
    const auto choice = fileChooser().saveFileChoice(request);
    if (!choice) {
        return false;
    }
    log.currentFileName = choice->path;
    if (choice->filterIndex != 2 && lowerExtension(choice->path) != ".gpx") {
        return log.save(false);
    }
    std::string error;
    const std::string path = Paths::map(choice->path);
    if (!exportTrackGpx(log.count() > 0 ? &log.at(0) : nullptr, log.count(), path, &error)) {
        showMessage(cformat("The file %s could not be written: %s", path.c_str(), error.c_str()),
                    kCaption, MessageIcon::Exclamation);
        return false;
    }
    return true;
}

}  // namespace wp2
