// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <numeric>

#include "core/base/clock.h"
#include "core/gps/nav_snapshot.h"
#include "core/nav/angles.h"
#include "core/nav/coordinate_text.h"
#include "core/nav/unit_formatter.h"
#include "core/track/trip_computer.h"
#include "core/waypoints/target_navigation.h"
#include "ui/compass_needle.h"
#include "ui/destination_panel.h"
#include "ui/dial_arrow.h"
#include "ui/number_panel.h"
#include "ui/position_panel.h"
#include "ui/sky_view.h"
#include "ui_test_support.h"

namespace wp2::test {
namespace {

constexpr double kDeg = kDegToRad;
constexpr QRgb kGround = rgb(30, 30, 30);
constexpr QRgb kYellow = rgb(255, 255, 0);
constexpr QRgb kHub = rgb(147, 0, 0);
const double kNaN = std::nan("");

// Runs an animation to its end, one frame at a time.
template <class E>
void finish(E& e, std::uint32_t from, int frames = 200) {
    for (int i = 0; i <= frames; ++i) {
        e.tick(from + static_cast<std::uint32_t>(i));
    }
}

class InstrumentTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        background().fill(kGround);
        frame().fill(kGround);
        units.setSystem(1);
        setenv("TZ", "UTC", 1);
        tzset();
    }
    NavSnapshot snap;
    UnitFormatter units;
    ManualClock clock{1709644050};  // 2024-03-05 13:07:30 UTC
};

TEST_F(InstrumentTest, CompassTurnsTheShortWayAndPointsBlueAlongItsAngle) {
    BoundCompassNeedle needle;  // reads the course every 30 frames
    needle.init(snap, 61, 208, 50, 50);
    snap.course = 260 * kDeg;
    finish(needle, 30);
    EXPECT_NEAR(needle.angle, 350 * kDeg, 1e-9);  // the course plus a quarter turn
    needle.setAngle(kNaN, 1000);                  // a course without a number: no move
    EXPECT_EQ(needle.steps, 0);
    snap.course = -80 * kDeg;
    needle.tick(1020);
    EXPECT_EQ(needle.steps, 10);  // 20 degrees, not 340
    needle.tick(1025);            // halfway: through north, not south
    EXPECT_NEAR(needle.angle, 360 * kDeg, 1e-6);
    for (const auto& [degrees, dx, dy] : {std::array{90, 0, -1}, {180, -1, 0}, {0, 1, 0}}) {
        needle.drawnAngle = degrees * kDeg;
        frame().fill(kGround);
        needle.draw(surfaces_);
        EXPECT_EQ(frame().pixel(61 + dx * 30, 208 + dy * 30), rgb(0, 0, 255)) << degrees;
        EXPECT_EQ(frame().pixel(61 - dx * 30, 208 - dy * 30), rgb(255, 0, 0)) << degrees;
        EXPECT_EQ(frame().pixel(61 + dx * 42, 208 + dy * 42), kGround) << degrees;
    }
    // The fix lost: the needle rests down like the dial arrows; one on a north-up
    // map goes on showing the map's north.
    BoundCompassNeedle onMap;
    onMap.init(snap, 61, 208, 50, 50);
    onMap.followUpDirection([] { return 0.0; });
    snap.fixLevel = 4;
    snap.finishRefresh();
    snap.fixLevel = 2;
    finish(needle, 1050);
    finish(onMap, 1050);
    EXPECT_EQ(std::pair(needle.angle, onMap.angle), std::pair(DialArrow::kParkedAngle, kHalfPi));
}

// The pixel at (dx, dy) from a dial's centre (121, 106).
QRgb at(const Surface& s, int dx, int dy) {
    return s.pixel(121 + dx, 106 + dy);
}

TEST_F(InstrumentTest, SpeedArrowRestsDownAndSweepsThroughUpToRight) {
    for (auto [in, out] : {std::pair{kPi, kThreeHalfPi}, {5.0, 0.0}, {-0.2, 0.0}, {2.0, 2.0}}) {
        EXPECT_DOUBLE_EQ(DialArrow::clampShown(in), out) << in;
    }
    SpeedDialArrow arrow;
    arrow.init(snap, 121, 106, "Speed arrow");
    const int cases[][3] = {{0, 0, 60}, {24, 0, 60}, {100, -3, -50}, {183, 50, 0}, {500, 50, 0}};
    for (const auto& [kmh, dx, dy] : cases) {
        snap.speed = kmh / 3.6;
        finish(arrow, 30);
        frame().fill(kGround);
        arrow.draw(surfaces_);
        EXPECT_EQ(at(frame(), dx, dy), kYellow) << kmh;
        EXPECT_NE(at(frame(), -dx, -dy), kYellow) << kmh;
    }
    snap.speed = kNaN;  // no number: no move
    arrow.tick(240);
    EXPECT_EQ(arrow.steps, 0);
    snap.speed = 10.0;
    snap.fixLevel = 4;
    snap.finishRefresh();
    snap.fixLevel = 2;  // the fix lost: the arrow rests as at 0
    finish(arrow, 270);
    EXPECT_DOUBLE_EQ(arrow.shownAngle, kThreeHalfPi);
}

TEST_F(InstrumentTest, CourseArrowBehindLeftPointsDownAndBehindRightPointsRight) {
    CourseDialArrow arrow;  // moves only with a target
    arrow.init(snap, 121, 106, "Course arrow");
    snap.course = 30 * kDeg;
    snap.targetBearing = snap.course + 135 * kDeg;
    finish(arrow, 30);
    EXPECT_NEAR(arrow.angle, kHalfPi, 1e-9);
    snap.targetSet = 1;
    finish(arrow, 30);
    EXPECT_NEAR(arrow.angle, 315 * kDeg, 1e-6);  // the hub shows the true direction
    frame().fill(kGround);
    arrow.draw(surfaces_);
    EXPECT_EQ(at(frame(), 50, 0), kYellow);
    EXPECT_EQ(at(frame(), -8, -7), kHub);
    snap.targetBearing = snap.course + 225 * kDeg;   // behind on the left: down
    for (std::uint32_t f = 30; f <= 230; f += 10) {  // erasing leaves no trail
        arrow.erase(surfaces_);
        ASSERT_EQ(frame().image(), background().image()) << f;
        finish(arrow, f, 9);
        arrow.draw(surfaces_);
    }
    EXPECT_EQ(at(frame(), 0, 60), kYellow);
    EXPECT_EQ(at(frame(), 7, -8), kHub);
    snap.fixLevel = 4;
    snap.finishRefresh();
    snap.fixLevel = 2;  // the fix lost: from 225 degrees to the rest, straight down
    finish(arrow, 240);
    EXPECT_NEAR(arrow.angle, DialArrow::kParkedAngle, 1e-9);
}

TEST_F(InstrumentTest, SkyViewPlotsTheZenithAtTheCentreAndTheHorizonAt40) {
    BoundSkyView view;
    view.init(snap, "Sats2");
    view.moveTo(130, 157);       // centre (180, 207)
    snap.satellitesInView = 41;  // more than the snapshot holds: it has 40
    snap.satellites[0] = {5, 40, 90 * kDeg, 0};
    snap.satellites[1] = {7, 0, 0, 90 * kDeg};  // on the horizon, east is to the left
    view.tick(30);
    view.draw(surfaces_);
    EXPECT_EQ(frame().pixel(180, 207), placeholderColour(SkyView::kDotWithSignal));
    EXPECT_EQ(frame().pixel(176, 203), kGround);  // the dots' corners are key-coloured
    EXPECT_EQ(frame().pixel(140, 207), placeholderColour(SkyView::kDotWithoutSignal));
    EXPECT_EQ(view.count, 40);
    view.dirty = 0;
    view.tick(60);  // the same sky: not drawn again
    EXPECT_EQ(view.dirty, 0);
    // Other constellations: a filled mark of their own with signal, a hollow one without.
    frame().fill(kGround);
    snap.satellitesInView = 2;
    snap.satellites[0].constellation = Constellation::Glonass;
    snap.satellites[1] = {3, 0, 0, 0, Constellation::Galileo};  // north, on the horizon
    view.tick(90);
    EXPECT_EQ(view.dirty, 1);
    view.draw(surfaces_);
    EXPECT_EQ(frame().pixel(180, 207), rgb(255, 80, 60));
    EXPECT_EQ(frame().pixel(180, 167), kGround);
    EXPECT_EQ(frame().pixel(182, 167), rgb(70, 170, 255));
}

// Placeholder glyphs are 9 x 14 with the key colour in their last column.
class NumberPanelTest : public InstrumentTest {
protected:
    void SetUp() override {
        InstrumentTest::SetUp();
        NumberPanel::releaseSharedGlyphs();
        std::iota(ids.begin(), ids.end(), 425);
        panel.init({3, 116, 43, 156}, ids, 0, "%4.0lf");
    }
    static QRgb glyph(int i) { return placeholderColour(425 + i); }
    // The glyph drawn at slot n of an unscaled run.
    QRgb slot(int n) { return frame().pixel(3 + n * 10 + 2, 116 + 16 + 3); }
    // Columns showing a colour in a row through the glyphs.
    int columnsOf(QRgb c) { return countColour(frame(), {0, 140, 240, 141}, c); }
    void show(double value, const char* format) {
        panel.setNumber(value, format);
        frame().fill(kGround);
        panel.draw(surfaces_);
    }
    NumberPanel::GlyphIds ids;
    NumberPanel panel;
};

TEST_F(NumberPanelTest, DigitsAreGlyphsSpacesDoNotAdvanceAndMinusIsItsOwnGlyph) {
    show(12.5, "%3.1lf");
    EXPECT_EQ((std::array{slot(0), slot(1), slot(2), slot(3)}),
              (std::array{glyph(1), glyph(2), glyph(NumberPanel::kOtherGlyph), glyph(5)}));
    EXPECT_EQ(frame().pixel(3 + 8, 136), kGround);       // key column left alone
    EXPECT_EQ(frame().pixel(3 + 2, 116 + 15), kGround);  // glyphs start 16 down
    panel.erase(surfaces_);
    EXPECT_EQ(frame().image(), background().image());
    panel.dirty = 0;
    panel.setNumber(12.5, "%3.1lf");  // unchanged: not drawn again
    EXPECT_EQ(panel.dirty, 0);
    show(-2, "%5.0lf");  // an altitude of -2: minus, then 2, from the left edge
    EXPECT_EQ(slot(0), glyph(NumberPanel::kMinusGlyph));
    EXPECT_EQ(slot(1), glyph(2));
}

TEST_F(NumberPanelTest, ARunTooWideForItsBoxShrinksToFitWhole) {
    panel.moveTo(208, 116);  // the right read-outs: 32 of their 40 pixels on screen
    show(10.5, "%3.1lf");
    EXPECT_EQ(countColour(frame(), {0, 0, 208, 320}, glyph(1)), 0);
    EXPECT_GT(columnsOf(glyph(5)), 4);  // the last digit as wide as the others
    EXPECT_EQ(columnsOf(glyph(5)), columnsOf(glyph(1)));
    EXPECT_EQ(columnsOf(glyph(0)), columnsOf(glyph(1)));
    panel.moveTo(3, 116);
    show(-2.5e9, "%4.0lf");  // huge values show as one million: seven whole glyphs
    EXPECT_EQ(columnsOf(glyph(0)), 6 * columnsOf(glyph(1)));
    EXPECT_EQ(countColour(frame(), {43, 0, 240, 320}, glyph(0)), 0);
    EXPECT_EQ(countColour(frame(), {0, 146, 240, 320}, glyph(0)), 0);  // on the baseline
}

TEST_F(NumberPanelTest, EachValueKindShowsItsValueAndDashesWhenThereIsNone) {
    std::optional<int> battery = 55;
    TripComputer trip;  // trip A: 200 fixes a second apart, 25 m from each other at 50 knots
    for (int i = 0; i < 200; ++i) {
        TrackPoint p;
        p.latitude = 0.8 + i * 25.0 / 6367500.0;  // the meridian's radius of curvature at 0.8
        p.time.minute = static_cast<std::uint8_t>(i / 60);
        p.time.seconds = i % 60;
        p.speed = 50.0;
        trip.fixSeen(p);
        trip.pointStored(p);
    }
    // Each kind's text and caption ("#": none).
    const auto shown = [&](std::initializer_list<int> kinds) {
        std::string out;
        for (int kind : kinds) {
            BoundNumberPanel p;
            p.init(snap, units, kind, ids, "x");
            p.setBatteryReader([&] { return battery; });
            p.setTripSources(&trip, &clock);
            p.visible = 1;
            p.tick(31);
            EXPECT_EQ(p.dirty, 0);  // read every 30 frames
            p.tick(60);
            out += p.shownText() + "|" + (p.mode == 2 ? p.caption : "#") + ",";
        }
        return out;
    };
    const auto all = {ValueKind::Speed,      ValueKind::Heading,  ValueKind::Bearing,
                      ValueKind::Altitude,   ValueKind::Accuracy, ValueKind::Pdop,
                      ValueKind::Satellites, ValueKind::Battery};
    // No link, then a link without a fix (at a stored last position): the
    // zeros the snapshot starts with are no values.
    EXPECT_EQ(shown(all), "--|,--|,--|,--|,--|,--|,--|,55|,");
    snap.fixLevel = 2;
    EXPECT_EQ(shown(all), "--|,--|,--|,--|,--|,--|,0|,55|,");

    snap.speed = 27.8;
    snap.course = 90 * kDeg;
    snap.targetBearing = 270 * kDeg;
    snap.altitude = 432.4;
    snap.pdop = 2.345;
    snap.satellitesWithSignal = 7;
    snap.fixLevel = 4;
    snap.finishRefresh();
    // A 3D fix, a 2D fix (no altitude measured), then the fix lost: speed,
    // heading and altitude are old; the accuracy is 2.345 x 2.9 + 2.4 metres.
    const std::pair<int, const char*> levels[] = {
        {4, "100|kmh, 90|#,270|#,  432|m,   9|m,2.3|#,7|,55|,"},
        {3, "100|kmh, 90|#,270|#,--|,   9|m,2.3|#,7|,55|,"},
        {2, "--|,--|,270|#,--|,   9|m,2.3|#,7|,55|,"},
        {4, "100|kmh, 90|#,270|#,  432|m,   9|m,2.3|#,7|,55|,"},
    };
    for (auto [level, texts] : levels) {
        snap.fixLevel = level;
        EXPECT_EQ(shown(all), texts) << level;
    }
    // Trip A in the unit system, and the arrival at the average speed (27.8
    // m/s) as clock time, none from an old fix.
    const auto tripKinds = {ValueKind::TripDistance, ValueKind::Odometer,   ValueKind::AverageSpeed,
                            ValueKind::MaxSpeed,     ValueKind::MovingTime, ValueKind::Arrival};
    snap.targetSet = 1;
    snap.targetDistance = 27.8 * 1800;
    EXPECT_EQ(shown(tripKinds), " 5.0|km, 5.0|km,90.0|kmh,92.6|kmh,3|min,13:37|ETA,");
    units.setSystem(0);
    EXPECT_EQ(shown(tripKinds), " 3.1|mi, 3.1|mi,55.9|mph,57.6|mph,3|min,13:37|ETA,");
    snap.fixLevel = 2;
    EXPECT_EQ(shown({ValueKind::Arrival}), "--|ETA,");
    snap.fixLevel = 4;
    units.setSystem(1);
    battery.reset();  // a desktop without a battery
    EXPECT_EQ(shown({ValueKind::Battery}), "--|,");
    snap.latitude = snap.longitude = kNoPosition;  // no bearing from no position
    EXPECT_EQ(shown({ValueKind::Bearing}), "--|,");

    BoundNumberPanel speed;  // the unit label above the digits, inside the box
    speed.init(snap, units, ValueKind::Speed, ids, "Speed");
    // Waiting hidden in its value menu, a read-out is brought up to date only
    // when it is shown.
    const std::string before = speed.shownText();
    speed.tick(60);
    EXPECT_EQ(speed.shownText(), before);
    speed.setVisible(1);
    EXPECT_EQ(speed.shownText() + "|" + speed.caption, "100|kmh");
    speed.moveTo(3, 116);
    speed.draw(surfaces_);
    const auto caption = [](QRgb c) { return c == rgb(200, 200, 150); };
    EXPECT_GT(countPixels(frame(), {3, 116, 43, 134}, caption), 10);
    EXPECT_EQ(countPixels(frame(), frame().bounds(), caption),
              countPixels(frame(), {3, 116, 43, 134}, caption));
}

// Nearly white pixels (text, partly covered at its edges) in a rectangle.
int whiteIn(const Surface& s, const Rect& r) {
    return countPixels(s, r, [](QRgb p) { return qRed(p) > 200 && qBlue(p) > 200; });
}

TEST_F(InstrumentTest, PositionPanelShowsThePositionOrDashesWhenThereIsNone) {
    PositionPanel panel;
    panel.init(477, &snap, &units);
    panel.moveTo(0, 150);
    snap.latitude = 47.2 * kDegToRad;
    snap.longitude = -123.4567 * kDegToRad;  // a long text: it must still fit its line
    snap.altitude = 512;
    panel.tick(30);  // a stored last position: no altitude before the first fix
    const auto texts = [&] {
        return std::array{panel.latitudeText, panel.longitudeText, panel.altitudeText};
    };
    EXPECT_EQ(texts(), (std::array<std::string, 3>{"N 47 12.0000'", "W 123 27.4020'", "--"}));
    snap.fixLevel = 4;
    snap.finishRefresh();
    panel.tick(60);
    EXPECT_EQ(panel.altitudeText, "  512 m");
    const std::pair<int, std::array<std::string, 3>> levels[] = {
        {3, {"N 47 12.0000'", "W 123 27.4020'", "--"}},  // a 2D fix: no altitude
        {2, {"--", "--", "--"}},                         // the fix lost: all old
        {4, {"N 47 12.0000'", "W 123 27.4020'", "  512 m"}},
    };
    for (const auto& [level, want] : levels) {
        snap.fixLevel = level;
        panel.tick(60);
        EXPECT_EQ(texts(), want) << level;
    }
    panel.draw(surfaces_);
    for (int line = 0; line < 3; ++line) {  // the Lt, Ln and Alt lines
        EXPECT_GT(whiteIn(frame(), {8, 172 + 20 * line, 117, 192 + 20 * line}), 20) << line;
    }
    // No fix yet and nothing stored (the "none" value), or a damaged position.
    for (double none : {kNoPosition, std::nan("")}) {
        snap.latitude = snap.longitude = none;
        panel.tick(60);
        EXPECT_EQ(texts(), (std::array<std::string, 3>{"--", "--", "--"}));
    }
}

TEST_F(InstrumentTest, DestinationPanelShowsTheTargetOrNotSelectedAndTheClock) {
    DestinationPanel panel;
    panel.init(&snap, &units, &clock, 470, "Destination");
    panel.moveTo(120, 150);
    panel.tick(30);
    panel.draw(surfaces_);
    EXPECT_EQ(panel.clockText, "13:07");
    EXPECT_GT(whiteIn(frame(), {128, 172, 237, 212}), 20);  // "Not selected"
    EXPECT_EQ(whiteIn(frame(), {166, 212, 239, 244}), 0);   // no distance, no time

    snap.targetSet = 1;
    snap.fixLevel = 4;
    snap.targetDistance = 7260;
    panel.setTarget("Summit cross", 1005);  // not moved yet: no time to go
    EXPECT_EQ(panel.distanceText + "|" + panel.timeToGoText, " 7.3 km|--");
    panel.dirty = 0;
    panel.tick(30);  // the same texts: not drawn again
    EXPECT_EQ(panel.dirty, 0);
    snap.averageSpeed.add(2.0);
    panel.tick(30);
    EXPECT_EQ(panel.distanceText + "|" + panel.timeToGoText, " 7.3 km|01:00");  // 3630 s
    EXPECT_EQ(panel.dirty, 1);
    panel.draw(surfaces_);
    EXPECT_EQ(frame().pixel(223, 158), placeholderColour(1005));  // icon at right - 20
    EXPECT_GT(countColour(frame(), {128, 172, 237, 212}, rgb(255, 220, 120)), 20);
    EXPECT_GT(whiteIn(frame(), {166, 212, 239, 227}), 10);
    snap.fixLevel = 2;  // a stored position without a fix, then no position at all
    for (double latitude : {snap.latitude, kNoPosition}) {
        snap.latitude = latitude;
        panel.tick(60);
        EXPECT_EQ(panel.distanceText + "|" + panel.timeToGoText, "--|--") << latitude;
    }
    // Hours modulo 24 and minutes of whole seconds, saturated at 2^32 - 1 s
    // (49710 days 6:28:15); too slow or no distance: no new text.
    const std::pair<double, const char*> times[] = {
        {3599.9, "00:59"}, {90061.0, "01:01"}, {1e300, "06:28"}, {kNaN, "none"}};
    for (auto [seconds, text] : times) {
        EXPECT_EQ(timeToGoText(seconds, 1.0).value_or("none"), text) << seconds;
    }
    EXPECT_FALSE(timeToGoText(100.0, 0.1));
}

}  // namespace
}  // namespace wp2::test
