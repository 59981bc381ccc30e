// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/number_panel.h"

#include <QString>
#include <cmath>
#include <vector>

#include "core/base/cformat.h"
#include "core/base/clock.h"
#include "core/gps/nav_snapshot.h"
#include "core/nav/angles.h"
#include "core/nav/coordinate_text.h"
#include "core/nav/unit_formatter.h"
#include "core/track/trip_computer.h"
#include "core/waypoints/target_navigation.h"
#include "ui/fonts.h"
#include "ui/surface.h"

namespace wp2 {

namespace {

constexpr QRgb kGlyphKey = rgb(120, 0, 120);
constexpr QRgb kCaptionColour = rgb(200, 200, 150);
constexpr int kGlyphTopOffset = 16;
constexpr int kCaptionHeight = 18;
constexpr std::size_t kMaxFormatLength = 200;

struct SharedGlyphs {
    bool loaded = false;
    std::array<TransparentBitmap, NumberPanel::kGlyphCount> glyphs;
};

SharedGlyphs& sharedGlyphs() {
    static SharedGlyphs shared;
    return shared;
}

}  // namespace

NumberPanel::NumberPanel() {
    layer = 50;
    group = ElementGroup::NumberPanel;
    sprite = 1;
}

void NumberPanel::init(const Rect& r, const GlyphIds& glyphIds, double v, const std::string& fmt) {
    rect = textRect = r;
    group = ElementGroup::NumberPanel;
    value = v;
    format = fmt.substr(0, kMaxFormatLength);
    captionFont = dashboardFont(Typeface::Arial, 16, true);
    SharedGlyphs& shared = sharedGlyphs();
    if (!shared.loaded) {
        for (int i = 0; i < kGlyphCount; ++i) {
            shared.glyphs[static_cast<std::size_t>(i)].load(glyphIds[static_cast<std::size_t>(i)],
                                                            kGlyphKey);
        }
        shared.loaded = true;
    }
}

void NumberPanel::releaseSharedGlyphs() {
    sharedGlyphs() = SharedGlyphs{};
}

void NumberPanel::setNumber(double v, const std::string& fmt) {
    // An unchanged read-out is not drawn again.
    if (mode == 1 && value == v && format == fmt.substr(0, kMaxFormatLength)) {
        return;
    }
    mode = 1;
    value = v;
    format = fmt.substr(0, kMaxFormatLength);
    markChanged();
}

void NumberPanel::setText(const std::string& t, const std::string& c) {
    if (mode == 2 && text == t && caption == c) {
        return;
    }
    mode = 2;
    text = t;
    caption = c;
    markChanged();
}

int NumberPanel::glyphIndex(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    return c == '-' ? kMinusGlyph : kOtherGlyph;
}

std::string NumberPanel::shownText() const {
    if (mode != 1) {
        return text;
    }
    const double shown = std::fabs(value) > kMaxMagnitude ? kMaxMagnitude : value;
    return cformat(format.c_str(), shown);
}

namespace {

// Draws the glyphs of a text from the left of box, spaces left out (they do
// not advance). A run wider than the box is drawn with every glyph shrunk by
// the same factor, bottoms on the usual baseline, so that it fits whole.
void drawGlyphRun(Surface& surface, const Rect& box, int top, const std::string& text) {
    std::vector<const TransparentBitmap*> run;
    int inkWidth = 0;
    for (char c : text) {
        if (c != ' ') {
            run.push_back(
                &sharedGlyphs().glyphs[static_cast<std::size_t>(NumberPanel::glyphIndex(c))]);
            inkWidth += run.back()->width();
        }
    }
    if (run.empty() || inkWidth == 0) {
        return;
    }
    const int gaps = static_cast<int>(run.size()) - 1;
    int x = box.left;
    if (inkWidth + gaps <= box.width()) {
        for (const TransparentBitmap* glyph : run) {
            glyph->drawTransparent(surface, x, top);
            x += glyph->width() + 1;
        }
        return;
    }
    const double scale = static_cast<double>(box.width() - gaps) / inkWidth;
    if (scale <= 0) {
        return;
    }
    for (const TransparentBitmap* glyph : run) {
        const int w = std::max(1, static_cast<int>(glyph->width() * scale));
        const int h = std::max(1, static_cast<int>(std::lround(glyph->height() * scale)));
        const QImage small =
            glyph->image().scaled(w, h, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        surface.blitKeyed(x, top + glyph->height() - h, small, {0, 0, w, h}, glyph->keyColour());
        x += w + 1;
    }
}

}  // namespace

void NumberPanel::draw(DrawingSurfaces& surfaces) {
    Surface& frame = surfaces.frame;
    // Only the part of the text rectangle that lies on the surface can show
    // anything; glyphs never run past it (the erase restores only that).
    const Rect box = textRect.intersected(frame.bounds());
    frame.setClip(box);
    drawGlyphRun(frame, box, textRect.top + kGlyphTopOffset, shownText());
    frame.clearClip();
    if (mode == 2 && !box.isEmpty()) {
        const Rect captionRect{box.left, box.top, box.right, box.top + kCaptionHeight};
        const QString shown = QString::fromStdString(caption);
        frame.textAgain(captionMemo_, captionRect, shown,
                        captionFit_.fit(captionFont, shown, captionRect.width()), kCaptionColour);
    }
    rect = textRect;
}

void NumberPanel::offsetBy(int dx, int dy) {
    textRect = textRect.offset(dx, dy);
    rect = textRect;
    markChanged();
}

void NumberPanel::moveTo(int x, int y) {
    offsetBy(x - textRect.left, y - textRect.top);
}

void NumberPanel::erase(DrawingSurfaces& surfaces) {
    surfaces.frame.copyFrom(surfaces.background, textRect);
}

}  // namespace wp2

namespace wp2 {

void BoundNumberPanel::init(const NavSnapshot& source, const UnitFormatter& units, int valueKind,
                            const GlyphIds& glyphIds, const std::string& panelName) {
    source_ = &source;
    units_ = &units;
    kind = valueKind;
    name = panelName;
    NumberPanel::init(Rect{0, 0, 40, 40}, glyphIds, 0, "%4.0lf");
}

int BoundNumberPanel::tick(std::uint32_t frame) {
    // The read-outs waiting hidden in the value menus format nothing (nor read
    // the battery): showing one brings it up to date.
    if (visible && frame % 30 == 0) {
        update(frame);
    }
    return 0;
}

int BoundNumberPanel::update(std::uint32_t) {
    if (!source_ || !units_) {
        return 0;
    }
    if (showTrip()) {
        return 1;
    }
    const NavSnapshot& s = *source_;
    auto showText = [this](const FormattedValue& v) { setText(v.text, v.label); };
    // Before the first fix the values of a fix are zeros that nothing measured;
    // the bearing needs a position besides; the satellite count a receiver.
    // Speed, heading and altitude are old once the fix is lost, and a 2D fix
    // measures no altitude.
    const bool known =
        kind == ValueKind::Battery      ? true
        : kind == ValueKind::Satellites ? s.fixLevel >= 2 || s.hasFixValues()
        : kind == ValueKind::CrossTrack ? s.hasFixValues() && s.crossTrack.has_value()
        : kind == ValueKind::Bearing    ? s.hasFixValues() && isPosition(s.latitude, s.longitude)
        : kind == ValueKind::Speed || kind == ValueKind::Heading ? s.fixIsCurrent()
        : kind == ValueKind::Altitude                            ? s.fixLevel == NavSnapshot::k3DFix
                                                                 : s.hasFixValues();
    if (!known) {
        setText(kNoValueText, "");
        return 1;
    }
    switch (kind) {
        case ValueKind::Speed:
            showText(units_->formatSpeed(s.speed));
            break;
        case ValueKind::Heading:
            setNumber(s.course * kRadToDeg, "%3.0lf");
            break;
        case ValueKind::Bearing:
            setNumber(s.targetBearing * kRadToDeg, "%3.0lf");
            break;
        case ValueKind::Altitude:
            showText(units_->formatAltitude(s.altitude));
            break;
        case ValueKind::Accuracy:
            showText(units_->formatDistance(s.accuracy()));
            break;
        case ValueKind::Pdop:
            setNumber(s.pdop, "%3.1lf");
            break;
        case ValueKind::Satellites:
            setText(cformat("%d", s.satellitesWithSignal), "");
            break;
        case ValueKind::Battery: {
            const std::optional<int> percent = battery_ ? battery_() : std::nullopt;
            setText(percent ? cformat("%d", *percent) : kNoValueText, "");
            break;
        }
        case ValueKind::CrossTrack: {
            // The side is part of the label: "m R" right of the leg, "m L" left.
            const FormattedValue v = units_->formatDistance(std::fabs(*s.crossTrack));
            setText(v.text, v.label + (*s.crossTrack < 0.0 ? " L" : " R"));
            break;
        }
        default:
            return 0;
    }
    return 1;
}

bool BoundNumberPanel::showTrip() {
    if (kind < ValueKind::TripDistance || kind > ValueKind::Arrival) {
        return false;
    }
    if (!trip_ || !units_) {
        setText(kNoValueText, "");
        return true;
    }
    auto showText = [this](const FormattedValue& v) { setText(v.text, v.label); };
    const TripMeter& a = trip_->meter(Trip::A);
    switch (kind) {
        case ValueKind::TripDistance:
            showText(units_->formatDistance(a.distance));
            break;
        case ValueKind::Odometer:
            showText(units_->formatDistance(trip_->odometer()));
            break;
        case ValueKind::AverageSpeed:
            showText(units_->formatSpeed(a.averageMovingSpeed()));
            break;
        case ValueKind::MaxSpeed:
            showText(units_->formatSpeed(a.maxSpeed));
            break;
        case ValueKind::MovingTime:
            // Minutes up to 99, then hours with a tenth: the glyphs have no colon.
            if (a.movingTime < 100.0 * 60.0) {
                setText(cformat("%.0f", std::floor(a.movingTime / 60.0)), "min");
            } else {
                setText(cformat("%.1f", a.movingTime / 3600.0), "h");
            }
            break;
        default: {
            const std::optional<std::string> eta =
                source_ && clock_ && source_->targetSet == 1 && source_->fixIsCurrent()
                    ? arrivalTimeText(*source_, clock_->now())
                    : std::nullopt;
            setText(eta.value_or(kNoValueText), "ETA");
            break;
        }
    }
    return true;
}

}  // namespace wp2
