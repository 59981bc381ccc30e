// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/routes/route_navigator.h"

#include <cmath>

#include "core/nav/angles.h"

namespace wp2 {

namespace {

struct Vec {
    double east = 0.0;
    double north = 0.0;
};

// East and north metres from `origin` in the plane laid on the earth there.
class LocalPlane {
public:
    explicit LocalPlane(const LatLonAlt& origin)
        : origin_(origin), scale_(wgs84().localScale(origin)) {}
    Vec at(const LatLonAlt& p) const {
        const double dLon = std::remainder(p.longitude - origin_.longitude, 2.0 * kPi);
        return {dLon * kRadToDeg * scale_.metresPerDegLon,
                (p.latitude - origin_.latitude) * kRadToDeg * scale_.metresPerDegLat};
    }

private:
    LatLonAlt origin_;
    LocalScale scale_;
};

double length(const Vec& v) {
    return std::hypot(v.east, v.north);
}

}  // namespace

RouteNavigator::RouteNavigator(Route route, double arrivalRadius, int start)
    : route_(std::move(route)), radius_(arrivalRadius) {
    current_ = start >= 0 && start < pointCount() ? start : 0;
}

const RoutePoint* RouteNavigator::currentPoint() const {
    return finished() ? nullptr : &route_.points[static_cast<std::size_t>(current_)];
}

std::string RouteNavigator::progressText() const {
    const int n = pointCount();
    return routeProgressText(finished() ? n - 1 : current_, n);
}

std::optional<double> RouteNavigator::beyond(const LatLonAlt& position) const {
    if (current_ + 1 >= pointCount()) {
        return std::nullopt;
    }
    const LatLonAlt here = route_.points[static_cast<std::size_t>(current_)].position();
    const LocalPlane plane(here);
    const Vec leg = plane.at(route_.points[static_cast<std::size_t>(current_) + 1].position());
    const double legLength = length(leg);
    if (legLength <= 0.0) {
        return std::nullopt;
    }
    const Vec p = plane.at(position);
    return (p.east * leg.east + p.north * leg.north) / legLength;
}

RouteStep RouteNavigator::update(const LatLonAlt& position) {
    if (finished()) {
        return {};
    }
    const double distance = *distanceToPoint(position);
    const std::optional<double> past = beyond(position);
    const bool crossed = past && lastBeyond_ && *lastBeyond_ <= 0.0 && *past > 0.0;
    lastBeyond_ = past;
    if (distance <= radius_ || (crossed && distance <= kPassedRadii * radius_)) {
        return next();
    }
    return {};
}

RouteStep RouteNavigator::next() {
    if (finished()) {
        return {};
    }
    const int reached = current_++;
    lastBeyond_.reset();
    return {finished() ? RouteStep::Finished : RouteStep::Advanced, reached};
}

bool RouteNavigator::previous() {
    if (current_ == 0 || pointCount() == 0) {
        return false;
    }
    --current_;
    lastBeyond_.reset();
    return true;
}

std::optional<double> RouteNavigator::distanceToPoint(const LatLonAlt& position) const {
    const RoutePoint* p = currentPoint();
    if (!p) {
        return std::nullopt;
    }
    return wgs84().groundChordDistance(position, p->position());
}

std::optional<double> RouteNavigator::distanceToEnd(const LatLonAlt& position) const {
    const std::optional<double> d = distanceToPoint(position);
    if (!d) {
        return std::nullopt;
    }
    return *d + routeLength(route_, current_);
}

std::optional<double> RouteNavigator::crossTrack(const LatLonAlt& position) const {
    if (finished() || current_ == 0) {
        return std::nullopt;
    }
    const LocalPlane plane(route_.points[static_cast<std::size_t>(current_)].position());
    const Vec from = plane.at(route_.points[static_cast<std::size_t>(current_) - 1].position());
    const Vec p = plane.at(position);
    // The leg runs from `from` to the origin.
    const Vec leg{-from.east, -from.north};
    const double legLength = length(leg);
    if (legLength <= 0.0) {
        return std::nullopt;
    }
    const Vec rel{p.east - from.east, p.north - from.north};
    // The cross product is positive for a position left of the leg.
    return -(leg.east * rel.north - leg.north * rel.east) / legLength;
}

}  // namespace wp2
