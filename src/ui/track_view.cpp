// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/track_view.h"

#include <QRegion>
#include <QString>
#include <algorithm>
#include <cmath>

#include "core/gps/nav_snapshot.h"
#include "core/nav/coordinate_text.h"
#include "core/nav/geodesy.h"
#include "core/nav/unit_formatter.h"
#include "core/track/track_log.h"
#include "core/waypoints/pushpins.h"
#include "ui/base_map.h"
#include "ui/bitmap_source.h"
#include "ui/fonts.h"
#include "ui/night_palette.h"
#include "ui/surface.h"

namespace wp2 {

namespace {
constexpr QRgb kTrackColour = rgb(255, 0, 0);
constexpr QRgb kHalo = rgb(255, 255, 255);
constexpr QRgb kPanelGrey = rgb(230, 230, 230);
constexpr QRgb kBarColour = rgb(20, 52, 255);
constexpr QRgb kBlack = rgb(0, 0, 0);
constexpr QRgb kMarkerKey = rgb(255, 255, 255);
constexpr int kDragReach = 20;   // a press this close to the centre starts a drag
constexpr int kDragMargin = 10;  // the dragged centre stays this far inside the map
constexpr int kIconHalf = 8;
// At night the map is dark with light labels; map tiles are multiplied by this
// warm colour, which takes out their blue and most of their brightness.
constexpr QRgb kNightGround = rgb(14, 14, 14);
constexpr QRgb kNightLabel = rgb(230, 230, 230);
constexpr QRgb kNightHalo = rgb(0, 0, 0);
constexpr QRgb kNightTileFilter = rgb(150, 64, 0);

QRgb labelColour() {
    return darkAtNight(kBlack, kNightLabel);
}
QRgb labelBackground() {
    return darkAtNight(kPanelGrey, kNightGround);
}
QRgb halo() {
    return darkAtNight(kHalo, kNightHalo);
}
}  // namespace

TrackView::TrackView(const SettingsServices& settings)
    : scaleSetting_(settings, "TSOpt", false, 5),
      options_(settings, "TrackOpt2", true, kOptionDrag) {}

void TrackView::load() {
    scaleSetting_.load();
    options_.load();
    // A stored step outside the table is taken as the nearest valid one.
    scaleIndex = std::clamp<int>(scaleSetting_.get(), 0, kMaxScaleIndex);
}

Result<> TrackView::save() {
    scaleSetting_ = scaleIndex;
    return scaleSetting_.save();
}

void TrackView::init(const TrackLog* trackLog, const Pushpins* pushpins, const UnitFormatter& units,
                     const Ellipsoid& projection, int markerBitmapId, const std::string& viewName) {
    trackLog_ = trackLog;
    pushpins_ = pushpins;
    units_ = &units;
    ellipsoid_ = &projection;
    name = viewName;
    rect = Rect{0, 0, 240, 264};
    centre = savedCentre = Point{120, 132};
    marker_.load(markerBitmapId, kMarkerKey);
    labelFont = dashboardFont(Typeface::Tahoma, 14, false);
    const int options = options_.get();
    drag = (options & kOptionDrag) ? 1 : 0;
    rotate = (options & kOptionRotate) ? 1 : 0;
}

void TrackView::setSource(const NavSnapshot* snapshot, StoredPosition storedPosition) {
    snapshot_ = snapshot;
    storedPosition_ = std::move(storedPosition);
}

void TrackView::setBaseMap(TileCache* tiles) {
    baseMap_ = tiles;
    markChanged();
}

bool TrackView::animating() const {
    return baseMap_ && (baseMap_->loading() || baseMap_->generation() != drawnGeneration_);
}

bool TrackView::showArrivedTiles() {
    if (!baseMap_ || baseMap_->generation() == drawnGeneration_) {
        return false;
    }
    markChanged();
    return true;
}

void TrackView::centreOn(double latitude, double longitude) {
    originLatitude = latitude;
    originLongitude = longitude;
    if (!drag) {
        centre = Point{rect.left + rect.width() / 2, rect.top + rect.height() / 2};
    }
}

void TrackView::zoomIn() {
    if (scaleIndex > 0) {
        --scaleIndex;
    }
    markChanged();
}

void TrackView::zoomOut() {
    if (scaleIndex < kMaxScaleIndex) {
        ++scaleIndex;
    }
    markChanged();
}

void TrackView::applyOptions(bool dragMap, bool rotateMap) {
    drag = dragMap ? 1 : 0;
    rotate = rotateMap ? 1 : 0;
    options_ = (dragMap ? kOptionDrag : 0) + (rotateMap ? kOptionRotate : 0);
    markChanged();
}

int TrackView::tick(std::uint32_t frame) {
    if (frame % 30 == 0) {
        update(frame);
    } else {
        showArrivedTiles();
    }
    return 0;
}

bool TrackView::hasFix() const {
    return snapshot_ && (snapshot_->status & NavSnapshot::kFixStatus);
}

double TrackView::upDirection() const {
    return rotate && hasFix() ? snapshot_->course : 0.0;
}

int TrackView::update(std::uint32_t) {
    heading = 0;
    if (hasFix()) {
        centreOn(snapshot_->latitude, snapshot_->longitude);
        heading = snapshot_->course;
    } else {
        double lat = 0;
        double lon = 0;
        if (storedPosition_ && storedPosition_(lat, lon)) {
            centreOn(lat, lon);
        }
    }
    sinHeading = static_cast<float>(std::sin(heading));
    cosHeading = static_cast<float>(std::cos(heading));
    markChanged();
    return 1;
}

const MapScaleTable& TrackView::scaleTableFor(int unitCode) const {
    return scaleTableForUnit(unitCode);
}

void TrackView::setUpProjection() {
    const LocalScale scale =
        ellipsoid_ ? ellipsoid_->localScale(LatLonAlt{originLatitude, originLongitude, 0.0})
                   : LocalScale{};
    const MapScaleTable& table = scaleTableFor(units_ ? units_->code() : UnitFormatter::kMetric);
    const double pixelsPerMetre = barLength / table[static_cast<std::size_t>(scaleIndex)];
    if (baseMap_) {
        const bool turned = rotate != 0;
        baseMapView_ =
            makeBaseMapView(originLatitude, originLongitude, scale.metresPerDegLon, pixelsPerMetre,
                            centre, turned ? sinHeading : 0.0f, turned ? cosHeading : 1.0f);
        projection_.setUpMercator(baseMapView_);
        return;
    }
    projection_.setUp(originLatitude, originLongitude, scale, pixelsPerMetre, centre, rotate != 0,
                      sinHeading, cosHeading);
}

std::optional<Point> TrackView::project(double latitude, double longitude) const {
    if (!isPosition(latitude, longitude)) {
        return std::nullopt;
    }
    return projection_.project(latitude, longitude);
}

void TrackView::draw(DrawingSurfaces& surfaces) {
    Surface& frame = surfaces.frame;
    setUpProjection();
    // The map never paints outside its rectangle: the erase restores only that.
    frame.setClip(rect);
    drawBaseMap(frame);
    drawScaleBar(frame);
    drawTrack(frame);
    drawPushpins(frame);
    marker_.drawTransparent(frame, centre.x - marker_.width() / 2, centre.y - marker_.height() / 2);
    frame.clearClip();
    if (!keepArea.isEmpty()) {
        surfaces.scratch.copyFrom(frame, keepArea, 0, 0);
    }
}

void TrackView::drawScaleBar(Surface& frame) {
    const MapScaleTable& table = scaleTableFor(units_ ? units_->code() : UnitFormatter::kMetric);
    const double metres = table[static_cast<std::size_t>(scaleIndex)];
    const std::string text = units_ ? units_->formatDistanceWithUnit(metres) : std::string();
    frame.textAgain(scaleMemo_,
                    {rect.left + 10, rect.bottom - 50, rect.left + 70, rect.bottom - 30},
                    QString::fromStdString(text), labelFont, labelColour(), TextFlag::Centre,
                    labelBackground());
    const Point bracket[4] = {{10, 225}, {10, 230}, {65, 230}, {65, 225}};
    frame.polyline(bracket, 4, kBarColour, 2);
}

void TrackView::drawBaseMap(Surface& frame) {
    if (!baseMap_) {
        return;
    }
    drawnGeneration_ = baseMap_->generation();
    const QRect area(rect.left, rect.top, rect.width(), rect.height());
    frame.paint([&](QPainter& painter) {
        QRegion shown(area);
        for (const Rect& r : baseMapHoles_) {
            shown -= QRegion(r.left, r.top, r.width(), r.height());
        }
        painter.setClipRegion(shown, Qt::IntersectClip);
        baseMapComplete_ = wp2::drawBaseMap(painter, area, baseMapView_, *baseMap_);
        if (currentPalette() == Palette::Night) {
            painter.setCompositionMode(QPainter::CompositionMode_Multiply);
            painter.fillRect(area, QColor::fromRgb(kNightTileFilter));
        }
    });
}

void TrackView::drawTrack(Surface& frame) {
    if (!trackLog_) {
        return;
    }
    // On a base map the runs are kept and drawn twice, a wide white edge
    // under all of them first, so that the line stands out on roads and
    // fields alike.
    std::vector<std::vector<Point>> kept;
    TrackRuns runs(rect, [&](const Point* points, int count) {
        if (baseMap_) {
            kept.emplace_back(points, points + count);
        } else {
            frame.polyline(points, count, kTrackColour);
        }
    });
    // Newest to oldest.
    for (int i = trackLog_->count() - 1; i >= 0; --i) {
        const TrackPoint& p = trackLog_->at(i);
        if (const std::optional<Point> screen = project(p.latitude, p.longitude)) {
            runs.add(*screen);
        } else {
            runs.gap();
        }
    }
    runs.finish();
    for (const bool edge : {true, false}) {
        for (const std::vector<Point>& run : kept) {
            frame.polyline(run.data(), static_cast<int>(run.size()), edge ? halo() : kTrackColour,
                           edge ? 4 : 2);
        }
    }
}

void TrackView::drawPushpins(Surface& frame) {
    if (!pushpins_) {
        return;
    }
    const Rect shown = rect.inflated(-4, -10);
    for (const Pushpin& pin : *pushpins_) {
        const std::optional<Point> at = project(pin.latitude, pin.longitude);
        if (!at || !shown.contains(*at)) {
            continue;
        }
        const Point p = *at;
        frame.blit(p.x - kIconHalf, p.y - kIconHalf, loadBitmap(pushpinIconBitmapId(pin.icon)));
        const Rect label{p.x + 10, p.y - 7, p.x + 30, p.y + 7};
        const QString name = QString::fromStdString(pin.name);
        if (baseMap_) {
            frame.haloText(label, name, labelFont, labelColour(), halo(), TextFlag::NoClip);
        } else {
            frame.text(label, name, labelFont, labelColour(), TextFlag::NoClip, labelBackground());
        }
    }
}

void TrackView::erase(DrawingSurfaces& surfaces) {
    surfaces.frame.copyFrom(surfaces.background, rect);
}

int TrackView::onPress(int x, int y) {
    if (!drag) {
        return 0;
    }
    if (std::abs(x - centre.x) <= kDragReach && std::abs(y - centre.y) <= kDragReach) {
        dragging = 1;
        dragStart = Point{x, y};
        return 1;
    }
    return 0;
}

void TrackView::moveDragged(int x, int y) {
    const Point candidate{savedCentre.x + (x - dragStart.x), savedCentre.y + (y - dragStart.y)};
    if (rect.inflated(-kDragMargin, -kDragMargin).contains(candidate)) {
        centre = candidate;
    }
    markChanged();
}

void TrackView::dragTo(int x, int y) {
    if (drag && dragging && (x != dragStart.x || y != dragStart.y)) {
        moveDragged(x, y);
    }
}

int TrackView::onRelease(int x, int y) {
    if (!dragging) {
        return 1;
    }
    moveDragged(x, y);
    savedCentre = centre;
    dragStart = Point{x, y};
    dragging = 0;
    return 0;
}

}  // namespace wp2
