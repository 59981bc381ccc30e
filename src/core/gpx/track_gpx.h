// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tracks in GPX: a recorded track as one <trk> with a <trkseg> per piece,
// and GPX tracks and routes read back as track points.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/base/result.h"
#include "core/gpx/gpx_reader.h"
#include "core/gpx/gpx_writer.h"
#include "core/track/track_point.h"

namespace wp2 {

class FileChooser;
class TrackLog;

inline constexpr const char* kTrackFileFilterWithGpx =
    "Track (*.atk)|*.atk|GPX 1.1 (*.gpx)|*.gpx||";

// The continuous pieces of a track as [first, last) index pairs. A piece
// ends after a point marked SegmentEnd and before one marked SegmentStart,
// the marks the recording sets where the fix was lost or a time gap split it.
std::vector<std::pair<int, int>> trackPieces(const TrackPoint* points, int count);

// Radians as the degrees GPX holds, chosen so that they read back as the
// same radians.
double gpxDegrees(double radians);

// A track point's GPX form and back. Undated points (NoDate, or a date that
// is not a real one) get no time; read times outside 2001-2099 leave the
// point undated, since a two-digit year cannot hold them.
GpxPoint gpxFromTrackPoint(const TrackPoint& point);
TrackPoint trackPointFromGpx(const GpxPoint& point);

// Writes the whole document. False when the sink refused bytes.
bool writeTrackGpx(const TrackPoint* points, int count, std::string_view trackName,
                   const GpxWriter::Sink& sink);

// Writes PATH atomically (the previous file stays whole when anything
// fails); *error gets the reason.
bool exportTrackGpx(const TrackPoint* points, int count, const std::string& path,
                    std::string* error = nullptr);

// Every track and route point of the file in order, each track segment and
// route a piece of its own (first point SegmentStart, last SegmentEnd).
// Waypoints are not track points and are left out. A point that would hold
// a value outside ValueRange::Imported (a speed of 1e308 m/s, infinite in
// knots) is refused and counted in the result.
GpxReadResult readTrackGpx(const std::string& path, std::vector<TrackPoint>& points,
                           const GpxReadLimits& limits = {});

// A GPX file's track and route points converted into a track file as they
// are read (the memory used does not grow with the track), the file replaced
// atomically and only when points were read.
struct GpxTrackImport {
    GpxReadResult read;  // how the reading went
    int points = 0;      // written to the track file
    int dated = 0;
    int pieces = 0;
    bool saved = false;
    std::string error;  // why the track file was not written
};
GpxTrackImport importGpxTrack(const std::string& gpxPath, const std::string& trackPath);

// What the track options dialog's Load or Save did, for the dialog to tell.
struct TrackFileOutcome {
    bool done = false;  // the track was loaded or saved
    // For the user (with the exclamation icon), "" for nothing: a GPX file
    // not read whole, a damaged track file, a GPX file not written.
    std::string notice;
    // A track file that could not be saved: its path and the reason.
    std::optional<Failure> failedSave;
};

// The track options dialog's Load and Save: the file dialog (files) offers
// the track file and GPX. The track is replaced only when points were read. Not done
// when cancelled or nothing was loaded or saved.
TrackFileOutcome loadTrackAskingFile(TrackLog& log, FileChooser& files);
TrackFileOutcome saveTrackAskingFile(TrackLog& log, FileChooser& files);

}  // namespace wp2
