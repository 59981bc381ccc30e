// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/route_guidance.h"

#include "core/routes/routes.h"

namespace wp2 {

namespace {

bool samePlace(const LatLonAlt& a, const LatLonAlt& b) {
    return a.latitude == b.latitude && a.longitude == b.longitude;
}

}  // namespace

RouteGuidance::RouteGuidance(const SettingsServices& settings, Routes& routes)
    : services_(settings), routes_(routes), store_(settings.registry) {}

RouteGuidance::~RouteGuidance() = default;

RouteSettings& RouteGuidance::settings() {
    if (!settings_) {
        settings_ = std::make_unique<RouteSettings>(services_, store_);
        settings_->load();
    }
    return *settings_;
}

void RouteGuidance::resume() {
    if (!store_.readText(kActiveRouteSetting) && !store_.readNumber(kArrivalAlarmSetting)) {
        return;  // never used: nothing is written
    }
    if (const std::optional<ActiveRoute> active = settings().activeRoute()) {
        const int index = routes_.indexOf(active->name);
        if (index < 0 || !start(index, active->point)) {
            settings().setActiveRoute(std::nullopt);
        }
    }
}

bool RouteGuidance::start(int route, int start) {
    if (route < 0 || route >= routes_.count() || routes_.all()[route].points.empty()) {
        return false;
    }
    navigator_.emplace(routes_.all()[route], settings().arrivalRadius(), start);
    offCourse_.emplace(settings().offCourseDistance());
    remember();
    return true;
}

void RouteGuidance::stop() {
    if (navigator_) {
        navigator_.reset();
        offCourse_.reset();
        settings().setActiveRoute(std::nullopt);
    }
}

RouteStep RouteGuidance::next() {
    if (!navigator_) {
        return {};
    }
    const RouteStep step = navigator_->next();
    remember();
    return step;
}

bool RouteGuidance::previous() {
    if (!navigator_ || !navigator_->previous()) {
        return false;
    }
    remember();
    return true;
}

void RouteGuidance::settingsChanged() {
    arrival_.reset();
    arrivalTarget_.reset();
    if (navigator_ && !navigator_->finished()) {
        navigator_.emplace(Route(navigator_->route()), settings().arrivalRadius(),
                           navigator_->current());
        offCourse_.emplace(settings().offCourseDistance());
    }
}

void RouteGuidance::remember() {
    settings().setActiveRoute(ActiveRoute{navigator_->route().name, navigator_->current()});
}

GuidanceEvents RouteGuidance::update(const LatLonAlt& position,
                                     const std::optional<LatLonAlt>& singleTarget) {
    GuidanceEvents events;
    // The alarm looks at the target as it was before this fix: the point the
    // route advances from is the one arrived at.
    std::optional<LatLonAlt> target = singleTarget;
    if (navigator_) {
        const RoutePoint* point = navigator_->currentPoint();
        target = point ? std::optional(point->position()) : std::nullopt;
    }
    if (settings_ && settings_->arrivalAlarm() && target) {
        if (!arrival_) {
            arrival_.emplace(*target, settings_->arrivalRadius());
        } else if (!arrivalTarget_ || !samePlace(*arrivalTarget_, *target)) {
            arrival_->setTarget(*target);
        }
        arrivalTarget_ = target;
        events.arrivalAlarm = arrival_->update(position);
    }
    if (!navigator_) {
        return events;
    }
    const std::optional<double> crossTrack = navigator_->crossTrack(position);
    events.offCourseAlarm =
        offCourse_->update(crossTrack) && settings_ && settings_->offCourseAlarm();
    events.step = navigator_->update(position);
    if (events.step.kind != RouteStep::None) {
        events.reached = navigator_->route().points[events.step.point].name;
        remember();
    }
    return events;
}

}  // namespace wp2
