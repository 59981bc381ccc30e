// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dashboard's copy of the receiver state, refilled every 30 frames; every
// instrument reads it instead of GpsState. The navigation values towards the
// target are kept here as well.

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "core/gps/running_average.h"
#include "core/gps/sky_satellites.h"
#include "core/nav/geodesy.h"
#include "core/track/track_filter.h"
#include "core/track/track_point.h"

namespace wp2 {

class GpsLink;
class TrackLog;

struct SkySatellite {
    int prn = 0;
    int snr = 0;
    double elevation = 0.0;  // radians
    double azimuth = 0.0;    // radians
    Constellation constellation = Constellation::Gps;

    friend bool operator==(const SkySatellite&, const SkySatellite&) = default;
};

class NavSnapshot {
public:
    // Live refresh from the link's state (the link's own refresh runs first).
    void refreshFromLink(const GpsLink& link);
    // The common tail of every refresh, live or emulated: the target distance
    // and bearing, and the average speed.
    void finishRefresh();
    // Copies the point into targetPoint and marks the target as set.
    void setTarget(const GeoPoint& point);
    // The target distance and bearing from the position (part of every
    // refresh; again after a new target between refreshes).
    void refreshTarget();

    // 0 when pdop is below 1.0, else pdop x 2.9 + 2.4 metres.
    double accuracy() const { return pdop < 1.0 ? 0.0 : pdop * 2.9 + 2.4; }
    // True once a fix (or the emulation) has given speed, course, altitude and
    // PDOP; they are held after the fix is lost. Until then the zeros they
    // start with are no values and the dashboard shows none.
    bool hasFixValues() const { return fixSeen_ || fixLevel >= 3; }
    // True while the receiver has a fix (the receiver lamp is yellow or
    // green); the link drops the fix when none came for more than
    // GpsLink::kFixTimeout (3 s), and the values of a fix are then old.
    bool fixIsCurrent() const { return fixLevel >= k2DFix; }
    // A fix was had and is lost: the held values are old.
    bool fixIsOld() const { return hasFixValues() && !fixIsCurrent(); }

    std::FILE* emulationFile = nullptr;  // open emulation file; none in live mode
    double latitude = 0.0;               // radians
    double longitude = 0.0;              // radians
    double altitude = 0.0;               // metres
    double speed = 0.0;                  // metres per second
    double course = 0.0;                 // radians; held while slower than 0.3 m/s
    double targetBearing = 0.0;          // radians
    double targetDistance = 0.0;         // metres
    double pdop = 0.0;
    int fixLevel = 1;  // 1 no link, 2 link open without fix, 3 2D fix, 4 3D fix or emulation
    std::uint32_t status = 0;  // GpsState flags, + 0x100 with a fix
    const Ellipsoid* ellipsoid = nullptr;
    TrackLog* emulationTrack = nullptr;  // the emulation's own log; none in live mode
    GpsLink* link = nullptr;             // the receiver link the snapshot follows, if any
    std::array<SkySatellite, SkySatellites::kMax> satellites{};
    int satellitesWithSignal = 0;
    int satellitesInView = 0;
    GeoPoint targetPoint;
    int targetSet = 0;
    // Off the leg of the route being followed: metres right (+) or left (-)
    // of the line from the previous point to the current one; none when no
    // route is followed or the current point has no leg.
    std::optional<double> crossTrack;
    RunningAverage averageSpeed{30};  // speeds above 0.1 m/s

    static constexpr double kCourseSpeed = kMovingSpeed;  // m/s below which course and bearing hold
    static constexpr double kAverageSpeed = 0.1;          // m/s above which speeds are averaged
    static constexpr std::uint32_t kFixStatus = 0x100;
    static constexpr int k2DFix = 3;  // fixLevel of a 2D fix
    static constexpr int k3DFix = 4;  // fixLevel of a 3D fix (or the emulation)

private:
    bool fixSeen_ = false;
};

}  // namespace wp2
