// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-tool map: describes a base map (an MBTiles file, a tile folder or a
// tile server) and draws it into an image file exactly as the track map shows
// it for a centre and zoom step.

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "core/base/cformat.h"
#include "core/maps/tile_source.h"
#include "core/nav/angles.h"
#include "core/nav/geodesy.h"
#include "platform/qt/map_sources.h"
#include "tools/json_writer.h"
#include "tools/link_session.h"
#include "tools/tool_command.h"
#include "ui/base_map.h"
#include "ui/map_scale.h"

namespace wp2::tool {

namespace {

// The track map's size, its panel grey and the length of its scale bar.
constexpr int kDefaultWidth = 240;
constexpr int kDefaultHeight = 264;
constexpr int kMaxImageSide = 16384;
const QColor kPanelGrey(230, 230, 230);
constexpr double kScaleBarPixels = 55.0;
// How long one round of waiting for tiles may last before the drawing is
// taken as it is.
constexpr std::chrono::seconds kTileWait(30);

const char* sourceKind(const std::string& location) {
    return mapSourceKind(location) == MapSourceKind::Folder ? "tile folder" : "MBTiles";
}

void printInfo(const std::string& location, const MapInfo& info) {
    const char* kind = sourceKind(location);
    const GeoBounds& b = info.bounds;
    std::printf("source: %s\n", kind);
    std::printf("name: %s\n", info.name.c_str());
    std::printf("format: %s\n", info.format.empty() ? "(not declared)" : info.format.c_str());
    std::fputs(
        cformat("bounds: %.6f, %.6f, %.6f, %.6f\n", b.west, b.south, b.east, b.north).c_str(),
        stdout);
    std::printf("zoom: %d-%d\n", info.minZoom, info.maxZoom);
    if (info.tileCount) {
        std::printf("tiles: %lld\n", static_cast<long long>(*info.tileCount));
    }
    if (info.sizeBytes) {
        std::printf("size: %llu bytes\n", static_cast<unsigned long long>(*info.sizeBytes));
    }
}

// The same as one JSON object: bounds in degrees, size in bytes; what the
// source does not say is null.
std::string infoJson(const std::string& location, const MapInfo& info) {
    const GeoBounds& b = info.bounds;
    JsonObject json;
    json.add("source", sourceKind(location)).add("name", info.name);
    json.addJson("format", info.format.empty() ? "null" : jsonString(info.format));
    json.add("west", b.west).add("south", b.south).add("east", b.east).add("north", b.north);
    json.add("min_zoom", info.minZoom).add("max_zoom", info.maxZoom);
    json.addJson("tiles", info.tileCount ? std::to_string(*info.tileCount) : "null");
    json.addJson("size", info.sizeBytes ? std::to_string(*info.sizeBytes) : "null");
    return json.text() + "\n";
}

}  // namespace

int runMapInfo(const Invocation& call) {
    const std::string& location = call.arguments[0];
    const bool asJson = call.has("--json");
    if (mapSourceKind(location) == MapSourceKind::Server) {
        const std::string text =
            asJson
                ? JsonObject().add("source", "tile server").add("template", location).text() + "\n"
                : "source: tile server\ntemplate: " + location + "\n";
        std::fputs(text.c_str(), stdout);
        return kExitOk;
    }
    OpenedSource opened = openLocalMapSource(location);
    if (!opened.source) {
        std::fprintf(stderr, "wayplot2-tool: %s\n", opened.error.c_str());
        return kExitFailure;
    }
    MapInfo info = opened.source->info();
    measureMapSource(location, info);
    if (asJson) {
        std::fputs(infoJson(location, info).c_str(), stdout);
    } else {
        printInfo(location, info);
    }
    return kExitOk;
}

namespace {

struct RenderRequest {
    std::string source;
    std::string out;
    double latitude = 0;  // degrees
    double longitude = 0;
    long step = -1;
    int width = kDefaultWidth;
    int height = kDefaultHeight;
    double rotate = 0;  // degrees clockwise
    int unitCode = UnitCode::Metric;
};

// "A,B" as two decimal numbers.
bool parsePair(const std::string& text, char separator, double& a, double& b) {
    const std::size_t at = text.find(separator);
    if (at == std::string::npos) {
        return false;
    }
    const std::optional<double> first = wp2::parseNumber(std::string_view(text).substr(0, at));
    const std::optional<double> second = wp2::parseNumber(std::string_view(text).substr(at + 1));
    if (!first || !second) {
        return false;
    }
    a = *first;
    b = *second;
    return true;
}

bool parseSize(const std::string& text, int& width, int& height) {
    const std::size_t at = text.find('x');
    long w = 0;
    long h = 0;
    if (at == std::string::npos || !parseNumber(text.substr(0, at), 1, kMaxImageSide, w) ||
        !parseNumber(text.substr(at + 1), 1, kMaxImageSide, h)) {
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

std::optional<int> parseUnits(const std::string& text) {
    if (text == "metric") {
        return UnitCode::Metric;
    }
    if (text == "us") {
        return UnitCode::US;
    }
    if (text == "nautical") {
        return UnitCode::Nautical;
    }
    return std::nullopt;
}

// Reads the options of render; a message on standard error when one is wrong.
bool parseRender(const Invocation& call, RenderRequest& r) {
    for (const auto& [a, v] : call.options) {
        bool ok = true;
        if (a == "--centre") {
            ok = parsePair(v, ',', r.latitude, r.longitude) && std::fabs(r.latitude) <= 90 &&
                 std::fabs(r.longitude) <= 180;
        } else if (a == "--zoom") {
            ok = parseNumber(v, 0, kMapScaleSteps - 1, r.step);
        } else if (a == "--size") {
            ok = parseSize(v, r.width, r.height);
        } else if (a == "--rotate") {
            const std::optional<double> deg = wp2::parseNumber(v);
            ok = deg && std::fabs(*deg) <= 360;
            r.rotate = deg.value_or(0);
        } else if (a == "--units") {
            r.unitCode = parseUnits(v).value_or(UnitCode::Metric);
        }
        if (!ok) {
            std::fprintf(stderr, "wayplot2-tool: %s: bad value '%s'\n", a.c_str(), v.c_str());
            return false;
        }
    }
    r.source = call.arguments[0];
    r.out = call.arguments[1];
    return true;
}

// The track map's view of the base map for the request.
BaseMapView viewFor(const RenderRequest& r) {
    const double latitude = r.latitude * kDegToRad;
    const double longitude = r.longitude * kDegToRad;
    const LocalScale scale = wgs84().localScale(LatLonAlt{latitude, longitude, 0.0});
    const double metres = scaleTableForUnit(r.unitCode)[static_cast<std::size_t>(r.step)];
    // Kept as floats, as the track map keeps its heading.
    const double heading = r.rotate * kDegToRad;
    return makeBaseMapView(latitude, longitude, scale.metresPerDegLon, kScaleBarPixels / metres,
                           Point{r.width / 2, r.height / 2}, static_cast<float>(std::sin(heading)),
                           static_cast<float>(std::cos(heading)));
}

bool drawOnce(QImage& image, const BaseMapView& view, TileCache& tiles) {
    image.fill(kPanelGrey);
    QPainter painter(&image);
    return drawBaseMap(painter, image.rect(), view, tiles);
}

}  // namespace

int runMapRender(const Invocation& call) {
    RenderRequest r;
    if (!parseRender(call, r)) {
        return usageError(call);
    }
    // Qt's network access (a tile server) needs an application object.
    static int argc = 1;
    static char name[] = "wayplot2-tool";
    static char* argv[] = {name, nullptr};
    std::optional<QCoreApplication> app;
    if (!QCoreApplication::instance()) {
        app.emplace(argc, argv);
    }
    OpenedSource opened = openMapSource(r.source);
    if (!opened.source) {
        std::fprintf(stderr, "wayplot2-tool: %s\n", opened.error.c_str());
        return kExitFailure;
    }
    TileCache tiles(std::move(opened.source));
    const BaseMapView view = viewFor(r);
    QImage image(r.width, r.height, QImage::Format_RGB32);
    // Draw, let the asked-for tiles arrive and draw again, until every tile
    // is drawn at its zoom or a round brings nothing new; the last drawing
    // then holds everything that arrived.
    for (;;) {
        const std::uint64_t before = tiles.generation();
        if (drawOnce(image, view, tiles)) {
            break;
        }
        tiles.waitIdle(kTileWait);
        if (tiles.generation() == before) {
            break;
        }
    }
    if (!tiles.firstProblem().empty()) {
        std::fprintf(stderr, "wayplot2-tool: %s\n", tiles.firstProblem().c_str());
    }
    if (!image.save(QString::fromStdString(r.out))) {
        std::fprintf(stderr,
                     "wayplot2-tool: cannot write %s (no such folder, or not an image "
                     "format known by its extension)\n",
                     r.out.c_str());
        return kExitFailure;
    }
    const int zoom = tileZoomFor(view.pixelsPerWorld, tiles.info().minZoom, tiles.info().maxZoom);
    std::printf("%s: %dx%d pixels, tiles of zoom %d\n", r.out.c_str(), r.width, r.height, zoom);
    return kExitOk;
}

}  // namespace wp2::tool
