// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The track map: the recorded track as a red line, the pushpins with their
// icons and names, the position marker and a scale bar, around the current
// position in 25 zoom steps, north-up or heading-up, and draggable; with a
// base map set, all of it over the map's tiles.

#include <QFont>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/settings/int_setting.h"
#include "ui/map_projection.h"
#include "ui/map_scale.h"
#include "ui/skin_element.h"
#include "ui/surface.h"
#include "ui/track_runs.h"
#include "ui/transparent_bitmap.h"

namespace wp2 {

class Pushpins;
class Ellipsoid;
class TileCache;
class NavSnapshot;
class Surface;
class TrackLog;
class UnitFormatter;

class TrackView : public SpriteElement {
public:
    static constexpr int kMarkerBitmap = 151;
    static constexpr int kMaxScaleIndex = kMapScaleSteps - 1;
    // Bits of the "TrackOpt2" setting.
    static constexpr int kOptionDrag = 0x1;
    static constexpr int kOptionRotate = 0x2;

    // The stored last position (radians); false when none is stored.
    using StoredPosition = std::function<bool(double& latitude, double& longitude)>;

    // Holds the default step and options until load().
    explicit TrackView(const SettingsServices& settings);

    // Reads the scale step ("TSOpt") and the options ("TrackOpt2"); before
    // init(), which takes the options.
    void load();
    // Writes the scale step to "TSOpt".
    Result<> save();

    void init(const TrackLog* trackLog, const Pushpins* pushpins, const UnitFormatter& units,
              const Ellipsoid& projection, int markerBitmapId, const std::string& viewName);
    // The snapshot the map follows, and where the last position is stored.
    void setSource(const NavSnapshot* snapshot, StoredPosition storedPosition);

    // The base map drawn under the track (none: the plain panel). Not owned.
    void setBaseMap(TileCache* tiles);
    TileCache* baseMap() const { return baseMap_; }
    // Parts of the map the base map leaves alone: buttons that lie on it.
    void setBaseMapHoles(std::vector<Rect> holes) { baseMapHoles_ = std::move(holes); }
    // Whether the last draw had every tile of the base map it needed.
    bool baseMapComplete() const { return baseMapComplete_; }
    // Marks the map for redrawing when tiles arrived since it was drawn;
    // true when it did.
    bool showArrivedTiles();

    void centreOn(double latitude, double longitude);
    void zoomIn();
    void zoomOut();
    // The track options dialog's result: the flags and "TrackOpt2" follow it.
    void applyOptions(bool dragMap, bool rotateMap);
    // The current "TrackOpt2" value.
    int trackOptions() const { return options_.get(); }
    // The direction that points up on the map (radians clockwise from north):
    // the course while the map turns with a fix, else north.
    double upDirection() const;

    int onPress(int x, int y) override;
    int onRelease(int x, int y) override;
    int tick(std::uint32_t frame) override;
    // While base map tiles are being read or wait to be shown.
    bool animating() const override;
    int update(std::uint32_t frame) override;
    void draw(DrawingSurfaces& surfaces) override;
    void dragTo(int x, int y) override;
    Rect eraseRect() const override { return rect; }
    void erase(DrawingSurfaces& surfaces) override;
    void setKeepArea(const Rect& area) override { keepArea = area; }

    // The scale table in use for a unit code of the formatter.
    const MapScaleTable& scaleTableFor(int unitCode) const;
    // Screen position of a point with the projection of the last draw; none
    // for what is no position (the "none" value, damaged numbers).
    std::optional<Point> project(double latitude, double longitude) const;

    double originLatitude = 0;
    double originLongitude = 0;
    int scaleIndex = 5;
    double barLength = 55.0;
    float sinHeading = 0;
    float cosHeading = 1;
    double heading = 0;
    Point savedCentre{120, 132};
    int rotate = 1;
    int drag = 1;
    Point centre{120, 132};
    Rect keepArea;
    int dragging = 0;
    Point dragStart;
    QFont labelFont;

private:
    bool hasFix() const;
    void setUpProjection();
    void drawScaleBar(Surface& frame);
    void drawBaseMap(Surface& frame);
    void drawTrack(Surface& frame);
    void drawPushpins(Surface& frame);
    void moveDragged(int x, int y);

    Surface::TextMemo scaleMemo_;
    const TrackLog* trackLog_ = nullptr;
    const Pushpins* pushpins_ = nullptr;
    const UnitFormatter* units_ = nullptr;
    const Ellipsoid* ellipsoid_ = nullptr;
    const NavSnapshot* snapshot_ = nullptr;
    StoredPosition storedPosition_;
    TransparentBitmap marker_;
    MapProjection projection_;
    TileCache* baseMap_ = nullptr;
    // The tile cache's generation at the last draw: a newer one has tiles to show.
    std::uint64_t drawnGeneration_ = 0;
    bool baseMapComplete_ = true;
    BaseMapView baseMapView_;
    std::vector<Rect> baseMapHoles_;
    IntSetting scaleSetting_;
    IntSetting options_;
};

}  // namespace wp2
