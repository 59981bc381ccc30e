#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>

#include "core/base/clock.h"
#include "core/gps/nav_snapshot.h"
#include "core/nav/angles.h"
#include "core/nav/coordinate_text.h"
#include "core/nav/unit_formatter.h"
#include "ui/destination_panel.h"
#include "ui/position_panel.h"
#include "ui_test_support.h"

namespace wp2 {
namespace {

using test::placeholderColour;
using test::UiTest;

constexpr double kDeg = kDegToRad;

// How many pixels in a rectangle are of colour `c`, or nearly white (text,
// partly covered at its edges) when no colour is given.
int countColour(const Surface& s, const Rect& r, std::optional<QRgb> c = std::nullopt) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            const QRgb p = s.pixel(x, y);
            n += c ? p == *c : qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) > 200;
        }
    }
    return n;
}

class TextPanelTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        setenv("TZ", "UTC", 1);
        tzset();
        units.setSystem(1);
    }
    NavSnapshot snap;
    UnitFormatter units;
    // 2024-03-05 13:07:30 UTC.
    ManualClock clock{1709644050};
};

TEST_F(TextPanelTest, PositionPanelShowsLatitudeLongitudeAndAltitude) {
    PositionPanel panel;
    panel.init(477, &snap, &units);
    EXPECT_EQ(panel.name, "Position");
    EXPECT_EQ(panel.rect, (Rect{0, 0, 120, 114}));
    panel.moveTo(0, 150);
    snap.latitude = 47.2 * kDeg;
    snap.longitude = -123.4567 * kDeg;  // a long text: it must still fit its line
    snap.altitude = 512;
    panel.tick(29);
    EXPECT_TRUE(panel.latitudeText.empty());
    panel.tick(30);
    EXPECT_EQ(panel.latitudeText, formatLatitude(snap.latitude));
    EXPECT_EQ(panel.longitudeText, formatLongitude(snap.longitude));
    EXPECT_EQ(panel.altitudeText, "  512 m");
    panel.draw();
    EXPECT_GT(countColour(frame(), {25, 153, 125, 173}), 20);  // "Position"
    EXPECT_GT(countColour(frame(), {8, 172, 117, 192}), 20);   // latitude
    EXPECT_GT(countColour(frame(), {8, 192, 117, 212}), 20);   // longitude
    EXPECT_GT(countColour(frame(), {8, 212, 117, 232}), 20);   // altitude
    EXPECT_EQ(countColour(frame(), {0, 232, 120, 264}), 0);    // nothing below
    EXPECT_EQ(frame().pixel(119, 263), placeholderColour(477));
    EXPECT_EQ(frame().image().copy(0, 150, 120, 114), background().image().copy(0, 150, 120, 114));
}

TEST_F(TextPanelTest, WithoutATargetTheDestinationPanelShowsNotSelectedAndTheClock) {
    DestinationPanel panel;
    panel.init(&snap, &units, &clock, 469, "Destination");
    panel.moveTo(0, 150);
    panel.tick(30);
    EXPECT_EQ(panel.clockText, "13:07");
    EXPECT_TRUE(panel.distanceText.empty());
    panel.draw();
    EXPECT_GT(countColour(frame(), {8, 172, 117, 212}), 20);   // "Not selected"
    EXPECT_GT(countColour(frame(), {76, 244, 117, 259}), 10);  // clock
    EXPECT_EQ(countColour(frame(), {46, 212, 119, 244}), 0);   // no distance, no time
    EXPECT_EQ(background().pixel(0, 150), frame().pixel(0, 150));
}

TEST_F(TextPanelTest, WithATargetItShowsNameIconDistanceAndTimeToGo) {
    DestinationPanel panel;
    panel.init(&snap, &units, &clock, 470, "Destination");
    panel.moveTo(120, 150);
    snap.targetSet = 1;
    snap.targetDistance = 7260;
    snap.averageSpeed.add(2.0);
    panel.setTarget("Summit cross", 1005);
    EXPECT_EQ(panel.hasTarget, 1);
    EXPECT_EQ(panel.distanceText, " 7.3 km");  // updated at once
    EXPECT_EQ(panel.timeToGoText, "01:00");    // 3630 s
    panel.draw();
    EXPECT_EQ(frame().pixel(220 + 3, 155 + 3), placeholderColour(1005));  // icon at right - 20
    EXPECT_GT(countColour(frame(), {128, 172, 237, 212}, rgb(255, 220, 120)), 20);
    EXPECT_GT(countColour(frame(), {166, 212, 239, 227}, rgb(255, 255, 255)), 10);
    EXPECT_GT(countColour(frame(), {196, 228, 237, 243}, rgb(255, 255, 255)), 10);

    panel.clearTarget();
    EXPECT_EQ(panel.hasTarget, 0);
}

TEST_F(TextPanelTest, TimeToGoWrapsAtADayAndNeedsMovement) {
    EXPECT_EQ(DestinationPanel::formatTimeToGo(59), "00:00");
    EXPECT_EQ(DestinationPanel::formatTimeToGo(3599.9), "00:59");
    EXPECT_EQ(DestinationPanel::formatTimeToGo(25 * 3600 + 120), "01:02");
    EXPECT_EQ(DestinationPanel::formatTimeToGo(1e300), "00:00");
    EXPECT_EQ(DestinationPanel::formatTimeToGo(std::nan("")), "00:00");

    DestinationPanel panel;
    panel.init(&snap, &units, &clock, 469, "Destination");
    snap.targetSet = 1;
    snap.targetDistance = 500;
    panel.setTarget("Hut", 0);
    EXPECT_EQ(panel.distanceText, " 500 m");
    EXPECT_TRUE(panel.timeToGoText.empty());  // standing still: no time to go
}

}  // namespace
}  // namespace wp2
