// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/track/trip_computer.h"

#include <algorithm>
#include <string>
#include <utility>

#include "core/nav/angles.h"
#include "core/settings/double_setting.h"
#include "core/track/track_filter.h"

namespace wp2 {

namespace {

bool has(std::uint32_t bits, std::uint32_t flag) {
    return (bits & flag) != 0;
}

// The stored values of one meter, in the order of its fields.
struct MeterField {
    const char* suffix;
    double TripMeter::*value;
};
constexpr MeterField kMeterFields[] = {
    {"Distance", &TripMeter::distance},
    {"Moving", &TripMeter::movingTime},
    {"Stopped", &TripMeter::stoppedTime},
    {"MaxSpeed", &TripMeter::maxSpeed},
};
constexpr const char* kMeterPrefixes[] = {"TripA", "TripB"};

// Reads one stored value (writing `value` as the default when absent).
double loaded(const SettingsServices& settings, const std::string& name, double value) {
    DoubleSetting setting(settings, name, true, value);
    setting.load();
    return setting.get();
}

void stored(const SettingsServices& settings, const std::string& name, double value) {
    DoubleSetting setting(settings, name, true, value);
    setting.load();
    setting = value;
}

// Only a receiver's dated fixes count. A point made from a bare position (the
// emulation's demonstration drive) has no time, and would otherwise add its
// distance to the user's meters at no time at all.
bool timed(const TrackPoint& p) {
    return !has(p.state, TrackPointState::NoDate) && !has(p.state, TrackPointState::FromPosition);
}

}  // namespace

void TripComputer::fixSeen(const TrackPoint& fix) {
    if (!timed(fix)) {
        return;
    }
    if (!has(fix.state, TrackPointState::NoVelocity)) {
        speed_ = fix.speed * kKnotsToMps;
        for (TripMeter& m : meters_) {
            m.maxSpeed = std::max(m.maxSpeed, speed_);
        }
    }
    const std::optional<GpsDateTime> previous = std::exchange(lastFix_, fix.time);
    if (!previous) {
        return;
    }
    const double step = fixTimeDifference(*previous, fix.time);
    if (step < 0.0 || step > kFixGap) {
        lastStored_.reset();
        return;
    }
    for (TripMeter& m : meters_) {
        (speed_ >= kMovingSpeed ? m.movingTime : m.stoppedTime) += step;
    }
}

void TripComputer::pointStored(const TrackPoint& point) {
    if (!timed(point)) {
        return;
    }
    if (lastStored_) {
        const double d = wgs84().groundChordDistance(*lastStored_, point.position());
        odometer_ += d;
        for (TripMeter& m : meters_) {
            m.distance += d;
        }
    }
    lastStored_ = point.position();
}

void TripComputer::signalLost() {
    lastFix_.reset();
    lastStored_.reset();
}

void TripComputer::reset(Trip trip) {
    meters_[static_cast<std::size_t>(trip)] = TripMeter{};
}

void TripComputer::load(const SettingsServices& settings) {
    odometer_ = loaded(settings, kOdometerValue, odometer_);
    for (std::size_t i = 0; i < meters_.size(); ++i) {
        for (const MeterField& f : kMeterFields) {
            meters_[i].*f.value =
                loaded(settings, std::string(kMeterPrefixes[i]) + f.suffix, meters_[i].*f.value);
        }
    }
    signalLost();
}

void TripComputer::save(const SettingsServices& settings) const {
    stored(settings, kOdometerValue, odometer_);
    for (std::size_t i = 0; i < meters_.size(); ++i) {
        for (const MeterField& f : kMeterFields) {
            stored(settings, std::string(kMeterPrefixes[i]) + f.suffix, meters_[i].*f.value);
        }
    }
}

}  // namespace wp2
