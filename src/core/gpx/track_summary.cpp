// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gpx/track_summary.h"

#include <algorithm>
#include <cmath>

#include "core/base/cformat.h"
#include "core/gpx/track_gpx.h"
#include "core/nav/angles.h"
#include "core/nav/geodesy.h"

namespace wp2 {

namespace {

std::optional<double> secondsOf(const TrackPoint& p) {
    if (p.state & TrackPointState::NoDate) {
        return std::nullopt;
    }
    const auto t = fromGpsDateTime(p.time);
    if (!t) {
        return std::nullopt;
    }
    return static_cast<double>(t->seconds) + t->fraction;
}

std::string trimmed(std::string text) {
    text.erase(0, text.find_first_not_of(' '));
    return text;
}

std::string duration(double seconds) {
    const long long s = std::llround(seconds);
    return cformat("%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
}

}  // namespace

TrackSummary summarizeTrack(const std::vector<TrackPoint>& points) {
    TrackSummary s;
    s.points = static_cast<int>(points.size());
    const auto pieces = trackPieces(points.data(), s.points);
    s.pieces = static_cast<int>(pieces.size());
    std::optional<double> firstTime, lastTime;
    // Speeds the receiver measured are better than those between two fixes,
    // which every position jump inflates: the latter count only without the former.
    std::optional<double> recordedSpeed;
    for (const auto& [first, last] : pieces) {
        std::optional<double> previousTime;
        const TrackPoint* previous = nullptr;
        for (int i = first; i < last; ++i) {
            const TrackPoint& p = points[static_cast<std::size_t>(i)];
            const double lat = p.latitude * kRadToDeg;
            const double lon = p.longitude * kRadToDeg;
            if (i == 0 && first == 0) {
                s.south = s.north = lat;
                s.west = s.east = lon;
            }
            s.south = std::min(s.south, lat);
            s.north = std::max(s.north, lat);
            s.west = std::min(s.west, lon);
            s.east = std::max(s.east, lon);
            if (!(p.state & (TrackPointState::NoVelocity | TrackPointState::FromPosition))) {
                recordedSpeed = std::max(recordedSpeed.value_or(0.0), p.speed * kKnotsToMps);
            }
            const auto time = secondsOf(p);
            double step = 0.0;
            if (previous) {
                step = approxDistance(previous->latitude, previous->longitude, 0.0, p.latitude,
                                      p.longitude, 0.0);
                s.length += step;
            }
            if (time) {
                ++s.datedPoints;
                if (!firstTime || *time < *firstTime) {
                    firstTime = time;
                    s.start = fromGpsDateTime(p.time);
                }
                if (!lastTime || *time > *lastTime) {
                    lastTime = time;
                    s.end = fromGpsDateTime(p.time);
                }
                if (previousTime && previous && *time > *previousTime) {
                    const double dt = *time - *previousTime;
                    const double speed = step / dt;
                    if (speed >= kMovingSpeed) {
                        s.movingSeconds += dt;
                    }
                    if (dt >= 1.0) {
                        s.highestSpeed = std::max(s.highestSpeed, speed);
                    }
                }
            }
            // Speeds between points need two dated neighbours.
            previousTime = time;
            previous = &p;
        }
    }
    if (recordedSpeed) {
        s.highestSpeed = *recordedSpeed;
    }
    return s;
}

std::string describeTrack(const TrackSummary& s, const UnitFormatter& units) {
    std::string out =
        cformat("points: %d (%d dated)\npieces: %d\n", s.points, s.datedPoints, s.pieces);
    out += "length: " + trimmed(units.formatDistanceWithUnit(s.length)) + "\n";
    if (s.start && s.end) {
        out += "time span: " + formatIsoTime(*s.start) + " to " + formatIsoTime(*s.end) + " (" +
               duration(*s.span()) + ")\n";
        out += "moving time: " + duration(s.movingSeconds) + "\n";
    } else {
        out += "time span: none (no dated points)\nmoving time: none\n";
    }
    const FormattedValue speed = units.formatSpeed(s.highestSpeed);
    out += "highest speed: " + trimmed(speed.text) + " " + speed.label + "\n";
    if (s.points > 0) {
        out += cformat("bounding box: %.6f,%.6f to %.6f,%.6f (south,west to north,east)\n", s.south,
                       s.west, s.north, s.east);
    }
    return out;
}

}  // namespace wp2
