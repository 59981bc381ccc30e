// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/waypoints/pushpin_gpx.h"

#include <new>

#include "core/base/atomic_file.h"
#include "core/base/cformat.h"
#include "core/base/utf.h"
#include "core/gpx/gpx_writer.h"
#include "core/gpx/track_gpx.h"
#include "core/nav/angles.h"
#include "core/waypoints/pushpin_icon_names.h"

namespace wp2 {

namespace {

// At most kGpxPushpinTextLimit UTF-16 units, as the pushpin file counts them,
// and never half of a character.
std::string limitedText(const std::string& utf8) {
    return wellFormedUtf8(utf8, kGpxPushpinTextLimit);
}

class PushpinCollector final : public GpxHandler {
public:
    explicit PushpinCollector(Pushpins& pushpins) : pushpins_(pushpins) {}

    std::string point(GpxKind kind, const GpxPoint& w) override {
        if (kind != GpxKind::Waypoint) {
            return {};
        }
        Pushpin* p = pushpins_.addNew();
        if (!p) {
            throw std::bad_alloc();
        }
        p->latitude = w.latitude * kDegToRad;
        p->longitude = w.longitude * kDegToRad;
        if (w.elevation) {
            p->altitude = *w.elevation;
            p->state |= TrackPointState::ThreeD;
        }
        if (w.time) {
            if (const auto t = toGpsDateTime(*w.time)) {
                p->time = *t;
            }
        }
        ++waypoints_;
        // Named as GPSBabel names a waypoint without a name, so that a file
        // shows the same names here as there.
        const std::string& name = !w.name.empty()      ? w.name
                                  : !w.comment.empty() ? w.comment
                                                       : w.description;
        p->name = name.empty() ? cformat("WPT%03d", waypoints_) : limitedText(name);
        p->note = limitedText(w.description.empty() ? w.comment : w.description);
        // Files tend to use few symbols, over and over.
        if (w.symbol != symbol_) {
            symbol_ = w.symbol;
            icon_ = symbol_.empty() ? kDefaultPushpinIcon : pushpinIconForSymbol(symbol_);
        }
        p->icon = icon_;
        // What the pushpin file's reader would refuse never joins the collection.
        std::string why = impossiblePushpin(*p, ValueRange::Imported);
        if (!why.empty()) {
            pushpins_.remove(p);
            --waypoints_;
        }
        return why;
    }

private:
    Pushpins& pushpins_;
    int waypoints_ = 0;  // read so far
    std::string symbol_;
    int icon_ = kDefaultPushpinIcon;
};

bool hasAltitude(const Pushpin& p) {
    return (p.state & TrackPointState::ThreeD) ||
           (!(p.state & TrackPointState::FromPosition) && p.altitude != 0.0);
}

}  // namespace

GpxReadResult readGpx(Pushpins& pushpins, const std::string& path) {
    PushpinCollector collector(pushpins);
    return readGpxFile(path, collector);
}

Result<> exportGpx(const Pushpins& pushpins, const std::string& path) {
    return replaceFileAtomically(path, [&pushpins](std::FILE* file) {
        GpxWriter writer(fileSink(file));
        writer.begin();
        GpxPoint w;  // its texts' memory serves every pushpin
        for (const Pushpin& p : pushpins.oldestFirst()) {
            if (!writer.ok()) {
                break;
            }
            w.latitude = gpxDegrees(p.latitude);
            w.longitude = gpxDegrees(p.longitude);
            w.elevation.reset();
            if (hasAltitude(p)) {
                w.elevation = p.altitude;
            }
            w.time = fromGpsDateTime(p.time);
            w.name = p.name;
            w.description = p.note;
            w.symbol = pushpinIconName(p.icon);
            writer.waypoint(w);
        }
        return writer.finish();
    });
}

}  // namespace wp2
