// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A read-out drawn with digit glyph bitmaps: a number printed with a format,
// or a text with a small caption (the unit label) above it. The twelve glyphs
// (digits 0 to 9, one for any other character, the minus sign) are shared by
// all panels. A run wider than the part of the text rectangle on the surface
// is drawn with smaller glyphs, so that no character is cut off.

#include <QFont>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "ui/fonts.h"
#include "ui/skin_element.h"
#include "ui/surface.h"
#include "ui/transparent_bitmap.h"

namespace wp2 {

class Clock;
class NavSnapshot;
class TripComputer;
class UnitFormatter;

class NumberPanel : public SkinElement {
public:
    static constexpr int kGlyphCount = 12;
    static constexpr int kOtherGlyph = 10;
    static constexpr int kMinusGlyph = 11;
    using GlyphIds = std::array<int, kGlyphCount>;

    NumberPanel();

    // The first panel initialised loads the shared glyphs from glyphIds.
    void init(const Rect& textRect, const GlyphIds& glyphIds, double value,
              const std::string& format);
    // Shows value printed with format (a printf format taking one double).
    void setNumber(double value, const std::string& format);
    // Shows text in glyphs with the caption above it.
    void setText(const std::string& text, const std::string& caption);

    void draw(DrawingSurfaces& surfaces) override;
    void offsetBy(int dx, int dy) override;
    void moveTo(int x, int y) override;
    Rect paintRect() const override { return textRect; }
    Rect frameRect() const override { return textRect; }
    Rect eraseRect() const override { return textRect; }
    void erase(DrawingSurfaces& surfaces) override;

    // The text the glyph run shows now.
    std::string shownText() const;
    // Glyph index (0 to 11) for a character.
    static int glyphIndex(char c);
    // Forgets the shared glyphs; the next init loads them again.
    static void releaseSharedGlyphs();

    static constexpr double kMaxMagnitude = 1000000;

    double value = 0;
    std::string format;
    Rect textRect;
    int mode = 1;
    std::string text;
    std::string caption;
    QFont captionFont;

private:
    FontFit captionFit_;
    Surface::TextMemo captionMemo_;
};

}  // namespace wp2

namespace wp2 {

// What a bound read-out shows.
namespace ValueKind {
inline constexpr int Speed = 1;
inline constexpr int Heading = 2;
inline constexpr int Bearing = 3;
inline constexpr int Altitude = 5;
inline constexpr int Accuracy = 6;
inline constexpr int Pdop = 7;
inline constexpr int Satellites = 8;
inline constexpr int Battery = 9;
inline constexpr int TripDistance = 10;  // Trip A
inline constexpr int Odometer = 11;
inline constexpr int AverageSpeed = 12;  // Trip A's average moving speed
inline constexpr int MaxSpeed = 13;      // Trip A's highest speed
inline constexpr int MovingTime = 14;    // Trip A's
inline constexpr int Arrival = 15;       // clock time of arrival at the target
inline constexpr int CrossTrack = 16;    // from the leg to the route's current point
}  // namespace ValueKind

// A read-out that takes its value from the snapshot every 30 frames.
class BoundNumberPanel : public NumberPanel {
public:
    // The battery charge in percent; none when the machine has no battery.
    using BatteryReader = std::function<std::optional<int>()>;

    // The text rectangle starts at (0, 0, 40, 40) until the panel is placed.
    void init(const NavSnapshot& source, const UnitFormatter& units, int valueKind,
              const GlyphIds& glyphIds, const std::string& panelName);
    int tick(std::uint32_t frame) override;
    int update(std::uint32_t frame) override;

    // Where the battery charge comes from; without a reader the battery
    // read-out shows dashes.
    void setBatteryReader(BatteryReader reader) { battery_ = std::move(reader); }
    // Where the trip read-outs and the arrival time come from; without them
    // those read-outs show dashes.
    void setTripSources(const TripComputer* trip, const Clock* clock) {
        trip_ = trip;
        clock_ = clock;
    }

    int kind = 0;

private:
    // The trip computer's read-outs; false for another kind.
    bool showTrip();

    const NavSnapshot* source_ = nullptr;
    const TripComputer* trip_ = nullptr;
    const Clock* clock_ = nullptr;
    const UnitFormatter* units_ = nullptr;
    BatteryReader battery_;
};

}  // namespace wp2
