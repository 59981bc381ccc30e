// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/destination_panel.h"

#include <QFontMetrics>
#include <QString>
#include <array>
#include <cmath>
#include <ctime>

#include "core/base/cformat.h"
#include "core/base/clock.h"
#include "core/gps/nav_snapshot.h"
#include "core/nav/coordinate_text.h"
#include "core/nav/unit_formatter.h"
#include "core/routes/route_navigator.h"
#include "core/waypoints/target_navigation.h"
#include "ui/bitmap_source.h"
#include "ui/fonts.h"
#include "ui/frame_counter.h"
#include "ui/surface.h"

namespace wp2 {

namespace {
constexpr QRgb kWhite = rgb(255, 255, 255);
constexpr QRgb kNameColour = rgb(255, 220, 120);
}  // namespace

void DestinationPanel::init(const NavSnapshot* source, const UnitFormatter* units,
                            const Clock* clock, int id, const std::string& panelName) {
    initBitmap(id, panelName);
    source_ = source;
    units_ = units;
    clock_ = clock;
    nameFont = dashboardFont(Typeface::Tahoma, 16, true);
    textFont = dashboardFont(Typeface::Tahoma, 16, false);
    timeToGoText = kNoValueText;  // until the first speed worth one
}

void DestinationPanel::setTarget(const std::string& name, int iconId) {
    hasTarget = 1;
    targetName = name;
    iconBitmapId = iconId;
    update(currentFrame());
}

void DestinationPanel::clearTarget() {
    hasTarget = 0;
    update(currentFrame());
}

void DestinationPanel::setRoute(const RouteNavigator* route) {
    route_ = route;
    update(currentFrame());
}

void DestinationPanel::showNote(const std::string& text, std::uint32_t frames) {
    note = text;
    noteUntil = currentFrame() + frames;
    update(currentFrame());
}

int DestinationPanel::tick(std::uint32_t frame) {
    if (!note.empty() && frame >= noteUntil) {
        note.clear();
        update(frame);
    } else if (frame % 30 == 0 && refreshTexts()) {
        // Drawn again only when a text changed: standing still, that is once
        // a minute, for the clock.
        dirty = 1;
        erasePending = 1;
    }
    return 0;
}

int DestinationPanel::update(std::uint32_t) {
    refreshTexts();
    dirty = 1;
    erasePending = 1;
    return 1;
}

bool DestinationPanel::refreshTexts() {
    const auto shown = [this] {
        return std::array{distanceText, timeToGoText, routeText, clockText};
    };
    const auto before = shown();
    if (source_ && units_ && source_->targetSet == 1 && hasTarget) {
        if (!isPosition(source_->latitude, source_->longitude) || !source_->hasFixValues()) {
            // No fix yet: there is no distance to the target, nor a time to go.
            distanceText = timeToGoText = kNoValueText;
        } else {
            distanceText = units_->formatDistanceWithUnit(source_->targetDistance);
            // Too slow for a time to go: the previous one stays.
            if (auto text = wp2::timeToGoText(*source_)) {
                timeToGoText = *text;
            }
        }
    }
    routeText.clear();
    if (route_ && !route_->finished() && source_ && units_) {
        routeText = route_->progressText();
        const std::optional<double> end =
            route_->distanceToEnd({source_->latitude, source_->longitude, 0.0});
        if (!end || !isPosition(source_->latitude, source_->longitude) ||
            !source_->hasFixValues()) {
            routeText += std::string("  ") + kNoValueText;
        } else {
            const std::string distance = units_->formatDistanceWithUnit(*end);
            routeText +=
                "  " + distance.substr(std::min(distance.find_first_not_of(' '), distance.size()));
            if (auto text = wp2::timeToGoText(*end, source_->averageSpeed.mean())) {
                routeText += "  " + *text;
            }
        }
    }
    if (clock_) {
        const std::time_t now = clock_->now();
        std::tm local{};
        localtime_r(&now, &local);
        clockText = cformat("%02d:%02d", local.tm_hour, local.tm_min);
    }
    return shown() != before;
}

void DestinationPanel::drawFitted(Surface& frame, const Rect& r, const std::string& text) {
    const QString s = QString::fromStdString(text);
    frame.text(r, s, fittingFont(Typeface::Tahoma, 16, false, s, r.width()), kWhite);
}

void DestinationPanel::draw(DrawingSurfaces& surfaces) {
    drawPanel(surfaces);
    Surface& frame = surfaces.frame;
    const int l = rect.left;
    const int t = rect.top;
    const int r = rect.right;
    const Rect nameRect{l + 8, t + 22, r - 3, t + 62};
    if (!note.empty()) {
        frame.text(nameRect, QString::fromStdString(note), nameFont, kWhite, TextFlag::WordBreak);
    }
    if (hasTarget) {
        if (iconBitmapId != 0) {
            frame.blit(r - 20, t + 5, loadBitmap(iconBitmapId));
        }
        if (note.empty() && routeText.empty()) {
            frame.text(nameRect, QString::fromStdString(targetName), nameFont, kNameColour,
                       TextFlag::WordBreak);
        } else if (note.empty()) {
            // One line of name, the route's line under it; a name too long
            // even in the smallest size ends in an ellipsis rather than at the
            // panel's edge.
            const Rect oneLine{l + 8, t + 22, r - 3, t + 45};
            const QString name = QString::fromStdString(targetName);
            const QFont font = fittingFont(Typeface::Tahoma, 16, true, name, oneLine.width());
            frame.text(oneLine,
                       QFontMetrics(font).elidedText(name, Qt::ElideRight, oneLine.width()), font,
                       kNameColour);
            drawFitted(frame, {l + 8, t + 45, r - 3, t + 61}, routeText);
        }
        drawFitted(frame, {l + 46, t + 62, r - 1, t + 77}, distanceText);
        drawFitted(frame, {l + 76, t + 78, l + 117, t + 93}, timeToGoText);
    } else if (note.empty()) {
        frame.text(nameRect, QStringLiteral("Not selected"), nameFont, kWhite);
    }
    drawFitted(frame, {l + 76, t + 94, l + 117, t + 109}, clockText);
    keepAsBackground(surfaces);
}

}  // namespace wp2
