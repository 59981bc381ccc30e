// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/waypoints/target_navigation.h"

#include <cmath>
#include <ctime>

#include "core/base/cformat.h"
#include "core/nav/angles.h"

namespace wp2 {

TargetNavigation::TargetNavigation(Pushpins& pushpins, NavSnapshot& snapshot,
                                   IntSetting& lastTarget)
    : pushpins_(pushpins), snapshot_(snapshot), lastTarget_(lastTarget) {}

void TargetNavigation::addPanel(TargetDisplay* panel) {
    if (panel) {
        panels_.push_back(panel);
    }
}

void TargetNavigation::restoreTarget() {
    pushpins_.setTargetIndex(lastTarget_.get());
}

void TargetNavigation::applyTarget() {
    const Pushpin* target = pushpins_.at(pushpins_.targetIndex());
    if (target) {
        snapshot_.setTarget(*target);
    }
    for (TargetDisplay* panel : panels_) {
        if (target) {
            panel->showTarget(target->name, target->icon);
        } else {
            panel->showNoTarget();
        }
    }
}

void TargetNavigation::afterPushpinList() {
    if (!pushpins_.at(pushpins_.targetIndex())) {
        snapshot_.targetSet = 0;
    }
    applyTarget();
}

void TargetNavigation::chooseTarget(const std::function<void(Pushpins&)>& runPointSelection) {
    if (runPointSelection) {
        runPointSelection(pushpins_);
    }
    applyTarget();
    storeTarget();
}

Result<> TargetNavigation::pushpinAddedFromDashboard() {
    pushpins_.shiftTarget(1);
    Result<> saved = pushpins_.save();
    storeTarget();
    return saved;
}

void TargetNavigation::storeTarget() {
    lastTarget_ = pushpins_.targetIndex();
}

namespace {

// Whole seconds to go as an unsigned 32-bit count (beyond that it stays at the
// largest); nothing at an average speed of 0.1 m/s or less.
std::optional<std::uint32_t> secondsToGo(double distance, double averageSpeed) {
    if (!(averageSpeed > NavSnapshot::kAverageSpeed) || !(distance >= 0.0)) {
        return std::nullopt;
    }
    const double seconds = std::floor(distance / averageSpeed);
    return seconds >= 4294967295.0 ? 4294967295u : static_cast<std::uint32_t>(seconds);
}

}  // namespace

std::optional<std::string> timeToGoText(double distance, double averageSpeed) {
    const std::optional<std::uint32_t> toGo = secondsToGo(distance, averageSpeed);
    if (!toGo) {
        return std::nullopt;
    }
    const std::uint32_t t = *toGo;
    const unsigned hours = t / 3600 - 24 * (t / 86400);
    const unsigned minutes = t / 60 - 60 * (t / 3600);
    return cformat("%02d:%02d", static_cast<int>(hours), static_cast<int>(minutes));
}

std::optional<std::string> timeToGoText(const NavSnapshot& snapshot) {
    return timeToGoText(snapshot.targetDistance, snapshot.averageSpeed.mean());
}

std::optional<std::string> arrivalTimeText(const NavSnapshot& snapshot, std::time_t now) {
    const std::optional<std::uint32_t> toGo =
        secondsToGo(snapshot.targetDistance, snapshot.averageSpeed.mean());
    if (!toGo) {
        return std::nullopt;
    }
    const std::time_t arrival = now + static_cast<std::time_t>(*toGo);
    std::tm local{};
    localtime_r(&arrival, &local);
    return cformat("%02d:%02d", local.tm_hour, local.tm_min);
}

double targetArrowAngle(double course, double targetBearing) {
    return course - targetBearing + kHalfPi;
}

double targetArrowAngle(const NavSnapshot& snapshot) {
    return targetArrowAngle(snapshot.course, snapshot.targetBearing);
}

}  // namespace wp2
