// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gpx/track_gpx.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "core/base/atomic_file.h"
#include "core/base/cformat.h"
#include "core/base/paths.h"
#include "core/nav/angles.h"
#include "core/track/file_chooser.h"
#include "core/track/track_file.h"
#include "core/track/track_log.h"

namespace wp2 {

namespace {

using namespace TrackPointState;

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

// Turns the track and route points of a file into track points, each track
// segment and route a piece of its own: the first point of a piece is marked
// SegmentStart and the last SegmentEnd, which is known only when the next
// piece begins, so each point is handed on one point late.
class TrackPieces : public GpxHandler {
public:
    void pieceStart(GpxKind) override { startNext_ = true; }

    std::string point(GpxKind kind, const GpxPoint& p) override {
        if (kind == GpxKind::Waypoint) {
            return {};
        }
        TrackPoint t = trackPointFromGpx(p);
        // What the track file's reader would refuse never reaches the track.
        if (std::string why = impossibleValue(t, ValueRange::Imported); !why.empty()) {
            return why;
        }
        if (startNext_ || !held_) {
            if (held_) {
                held_->state |= SegmentEnd;
            }
            t.state |= SegmentStart;
            startNext_ = false;
            ++pieces;
        }
        if (held_) {
            take(*held_);
        }
        held_ = t;
        return {};
    }

    // Hands on the last point.
    void finish() {
        if (held_) {
            held_->state |= SegmentEnd;
            take(*held_);
            held_.reset();
        }
    }

    int pieces = 0;

protected:
    virtual void take(const TrackPoint& point) = 0;

private:
    std::optional<TrackPoint> held_;
    bool startNext_ = true;
};

class TrackCollector final : public TrackPieces {
public:
    explicit TrackCollector(std::vector<TrackPoint>& points) : points_(points) {}

private:
    void take(const TrackPoint& point) override { points_.push_back(point); }

    std::vector<TrackPoint>& points_;
};

// Writes the points as track file records, in blocks, after room for the
// header, which is written last.
class TrackFileWriter final : public TrackPieces {
public:
    explicit TrackFileWriter(std::FILE* file)
        : file_(file), block_(kBlockRecords * kTrackRecordSize) {
        const std::array<std::uint8_t, kTrackHeaderSize> room{};
        ok_ = std::fwrite(room.data(), 1, room.size(), file_) == room.size();
    }

    // Writes what is left and the header; false when anything failed.
    bool close() {
        finish();
        if (!flush()) {
            return false;
        }
        const std::int32_t capacity = (count / kTrackGrowth + 1) * kTrackGrowth;
        const auto header = TrackFile::encodeHeader(capacity, dated, lastDated, 0, count);
        return std::fseek(file_, 0, SEEK_SET) == 0 &&
               std::fwrite(header.data(), 1, header.size(), file_) == header.size();
    }

    std::int32_t count = 0, dated = 0, lastDated = -1;

private:
    static constexpr std::size_t kBlockRecords = 1024;

    void take(const TrackPoint& point) override {
        if (!(point.state & NoDate)) {
            ++dated;
            lastDated = count;
        }
        TrackFile::encodeRecord(point, &block_[used_ * kTrackRecordSize]);
        ++count;
        if (++used_ == kBlockRecords) {
            flush();
        }
    }

    bool flush() {
        const std::size_t bytes = used_ * kTrackRecordSize;
        ok_ = ok_ && std::fwrite(block_.data(), 1, bytes, file_) == bytes;
        used_ = 0;
        return ok_;
    }

    std::FILE* file_;
    std::vector<std::uint8_t> block_;
    std::size_t used_ = 0;
    bool ok_ = false;
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
    const Result<> written = replaceFileAtomically(
        path, [&](std::FILE* file) { return writeTrackGpx(points, count, name, fileSink(file)); });
    if (!written && error) {
        *error = written.error().reason;
    }
    return written.has_value();
}

GpxReadResult readTrackGpx(const std::string& path, std::vector<TrackPoint>& points,
                           const GpxReadLimits& limits) {
    TrackCollector collector(points);
    GpxReadResult result = readGpxFile(path, collector, limits);
    collector.finish();
    return result;
}

GpxTrackImport importGpxTrack(const std::string& gpxPath, const std::string& trackPath) {
    GpxTrackImport result;
    const Result<> replaced = replaceFileAtomically(trackPath, [&](std::FILE* file) {
        TrackFileWriter writer(file);
        result.read = readGpxFile(gpxPath, writer);
        const bool written = writer.close();
        result.points = writer.count;
        result.dated = writer.dated;
        result.pieces = writer.pieces;
        return written && writer.count > 0;
    });
    result.saved = replaced.has_value();
    if (!result.saved) {
        result.error = result.points == 0 ? "no track points read" : replaced.error().reason;
    }
    return result;
}

TrackFileOutcome loadTrackAskingFile(TrackLog& log, FileChooser& files) {
    TrackFileOutcome outcome;
    FileDialogRequest request{kTrackFileFilterWithGpx, kTrackFileExtension, log.currentFileName};
    const auto chosen = files.openFile(request);
    if (!chosen) {
        return outcome;
    }
    log.currentFileName = *chosen;
    if (lowerExtension(*chosen) != ".gpx") {
        const Result<bool> loaded = log.load();
        if (!loaded) {
            outcome.notice = trackNotLoadedText(loaded.error());
        }
        outcome.done = loaded.value_or(false);
        return outcome;
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
        outcome.notice = text;
    }
    outcome.done = read > 0 && log.replaceTrack(std::move(points));
    return outcome;
}

TrackFileOutcome saveTrackAskingFile(TrackLog& log, FileChooser& files) {
    TrackFileOutcome outcome;
    FileDialogRequest request{kTrackFileFilterWithGpx, kTrackFileExtension, log.currentFileName};
    request.askBeforeCreating = true;
    const auto choice = files.saveFileChoice(request);
    if (!choice) {
        return outcome;
    }
    log.currentFileName = choice->path;
    if (choice->filterIndex != 2 && lowerExtension(choice->path) != ".gpx") {
        const Result<bool> saved = log.save();
        if (!saved) {
            outcome.failedSave = saved.error();
        }
        outcome.done = saved.value_or(false);
        return outcome;
    }
    std::string error;
    const std::string path = Paths::map(choice->path);
    outcome.done =
        exportTrackGpx(log.count() > 0 ? &log.at(0) : nullptr, log.count(), path, &error);
    if (!outcome.done) {
        outcome.notice =
            cformat("The file %s could not be written: %s", path.c_str(), error.c_str());
    }
    return outcome;
}

}  // namespace wp2
