// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The trip computer: two resettable trip meters (A and B) and a total
// odometer, fed by the recording filter of a track log.
//
// Distance is the ground distance between consecutive points the filter
// stores, so fixes it drops (a parked receiver) add nothing. Time runs from
// fix to fix over every dated fix offered while recording (not paused) that
// holds possible values, stored or not: a step counts as moving when the
// speed at its end (a GGA half without velocity keeps the last one) is at
// least kMovingSpeed, else as stopped. A step longer than kFixGap seconds (or
// backwards) is a gap: neither moving nor stopped time, and no distance is
// counted from the point stored before it to the first one after it; the
// same holds after the fix is lost and after a restart.

#include <array>
#include <optional>

#include "core/base/services.h"
#include "core/nav/geodesy.h"
#include "core/track/gps_date_time.h"
#include "core/track/track_point.h"

namespace wp2 {

// One trip meter. Distances in metres, times in seconds, speeds in m/s.
struct TripMeter {
    double distance = 0.0;
    double movingTime = 0.0;
    double stoppedTime = 0.0;
    double maxSpeed = 0.0;

    // Distance over moving time; 0 before any moving time.
    double averageMovingSpeed() const { return movingTime > 0.0 ? distance / movingTime : 0.0; }
    bool operator==(const TripMeter&) const = default;
};

enum class Trip { A = 0, B = 1 };

// Settings value names: the odometer, then the four values of each meter
// prefixed with "TripA" or "TripB" (8-byte doubles, as DoubleSetting keeps them).
inline constexpr const char* kOdometerValue = "Odometer";

class TripComputer {
public:
    // A fix offered to the recording filter while recording, with possible
    // values, whether stored, merged or dropped (parked, straight); undated
    // fixes are passed over. Advances the clock of both meters.
    void fixSeen(const TrackPoint& fix);
    // A point the filter stored: adds the distance from the last stored one.
    void pointStored(const TrackPoint& point);
    // The fix was lost: the next fix starts after a gap.
    void signalLost();

    void reset(Trip trip);
    const TripMeter& meter(Trip trip) const { return meters_[static_cast<std::size_t>(trip)]; }
    double odometer() const { return odometer_; }

    // The meters and the odometer in the settings store; a restart counts as a gap.
    void load(const SettingsServices& settings);
    void save(const SettingsServices& settings) const;

private:
    std::array<TripMeter, 2> meters_{};
    double odometer_ = 0.0;
    std::optional<GpsDateTime> lastFix_;
    std::optional<LatLonAlt> lastStored_;  // where the next distance counts from
    double speed_ = 0.0;                   // m/s, the last speed a fix gave
};

}  // namespace wp2
