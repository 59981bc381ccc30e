#include "ui/number_panel.h"

#include <QString>
#include <cmath>

#include "core/base/cformat.h"
#include "core/gps/nav_snapshot.h"
#include "core/nav/angles.h"
#include "core/nav/unit_formatter.h"
#include "platform/battery_status.h"
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
    mode = 1;
    value = v;
    format = fmt.substr(0, kMaxFormatLength);
    markChanged();
}

void NumberPanel::setText(const std::string& t, const std::string& c) {
    mode = 2;
    text = t;
    caption = c;
    markChanged();
}

int NumberPanel::glyphIndex(char c) {
    return c >= '0' && c <= '9' ? c - '0' : 10;
}

std::string NumberPanel::shownText() const {
    if (mode != 1) {
        return text;
    }
    const double shown = std::fabs(value) > kMaxMagnitude ? kMaxMagnitude : value;
    return cformat(format.c_str(), shown);
}

void NumberPanel::draw() {
    Surface& frame = drawingSurfaces().frame;
    // Glyphs that would run past the text rectangle are cut off there: the
    // erase restores only that rectangle.
    frame.setClip(textRect);
    const std::string shown = shownText();
    int x = textRect.left;
    const int y = textRect.top + kGlyphTopOffset;
    for (char c : shown) {
        if (c == ' ') {
            continue;
        }
        const TransparentBitmap& glyph =
            sharedGlyphs().glyphs[static_cast<std::size_t>(glyphIndex(c))];
        glyph.drawTransparent(frame, x, y);
        x += glyph.width() + 1;
    }
    frame.clearClip();
    if (mode == 2) {
        const Rect captionRect{textRect.left, textRect.top, textRect.right,
                               textRect.top + kCaptionHeight};
        frame.text(captionRect, QString::fromStdString(caption), captionFont, kCaptionColour);
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

void NumberPanel::erase() {
    DrawingSurfaces& s = drawingSurfaces();
    s.frame.copyFrom(s.background, textRect);
}

}  // namespace wp2

namespace wp2 {

namespace {
int systemBattery() {
    return batteryPercent();
}
}  // namespace

void BoundNumberPanel::init(const NavSnapshot& source, const UnitFormatter& units, int valueKind,
                            const GlyphIds& glyphIds, const std::string& panelName) {
    source_ = &source;
    units_ = &units;
    kind = valueKind;
    name = panelName;
    battery_ = systemBattery;
    NumberPanel::init(Rect{0, 0, 40, 40}, glyphIds, 0, "%4.0lf");
}

int BoundNumberPanel::tick(std::uint32_t frame) {
    if (frame % 30 == 0) {
        update(frame);
    }
    return 0;
}

int BoundNumberPanel::update(std::uint32_t) {
    if (!source_ || !units_) {
        return 0;
    }
    const NavSnapshot& s = *source_;
    auto showText = [this](const FormattedValue& v) { setText(v.text, v.label); };
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
        case ValueKind::Battery:
            setText(cformat("%d", battery_ ? battery_() : 0), "");
            break;
        default:
            return 0;
    }
    return 1;
}

}  // namespace wp2
