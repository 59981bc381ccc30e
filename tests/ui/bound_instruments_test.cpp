#include <gtest/gtest.h>

#include <cmath>

#include "core/gps/nav_snapshot.h"
#include "core/nav/angles.h"
#include "core/nav/unit_formatter.h"
#include "ui/compass_needle.h"
#include "ui/dial_arrow.h"
#include "ui/number_panel.h"
#include "ui/rotation.h"
#include "ui/sky_view.h"
#include "ui/state_lamp.h"
#include "ui_test_support.h"

namespace wp2 {
namespace {

using test::placeholderColour;
using test::UiTest;

constexpr double kDeg = kDegToRad;

class BoundTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        units.setSystem(1);  // metric
    }
    // Ticks frames first..last (inclusive).
    template <class E>
    void run(E& e, std::uint32_t first, std::uint32_t last) {
        for (std::uint32_t f = first; f <= last; ++f) {
            e.tick(f);
        }
    }
    NavSnapshot snap;
    UnitFormatter units;
};

TEST_F(BoundTest, CompassAndDialArrowsReadTheSnapshotEvery30Frames) {
    BoundCompassNeedle needle;
    needle.init(snap, 61, 208, 50, 50);
    snap.course = 90 * kDeg;  // travelling east: north is to the left
    run(needle, 1, 29);
    EXPECT_EQ(needle.steps, 0);
    run(needle, 30, 200);
    EXPECT_NEAR(needle.angle, 180 * kDeg, 1e-9);

    SpeedDialArrow speed;
    speed.init(snap, 121, 106, "Speed arrow");
    snap.speed = 100 / 3.6;
    run(speed, 30, 100);
    EXPECT_NEAR(speed.shownAngle, 1.634, 1e-9);
    snap.speed = 0;
    run(speed, 120, 200);
    EXPECT_NEAR(speed.shownAngle, kThreeHalfPi, 1e-12);
    EXPECT_NEAR(speed.angle, 3.485, 1e-9);

    // The course arrow moves only with a target.
    CourseDialArrow course;
    course.init(snap, 121, 106, "Course arrow");
    snap.course = 0;
    snap.targetBearing = 90 * kDeg;
    run(course, 1, 100);
    EXPECT_NEAR(course.angle, 90 * kDeg, 1e-9);
    snap.targetSet = 1;
    run(course, 101, 200);
    EXPECT_NEAR(course.angle, 0, 1e-9);  // target to the right: arrow right
}

TEST_F(BoundTest, SkyViewCopiesTheSatellitesInView) {
    BoundSkyView view;
    view.init(snap, "Sats2");
    snap.satellitesInView = 2;
    snap.satellites[0] = {3, 45, 90 * kDeg, 0};
    snap.satellites[1] = {9, 0, 0, 180 * kDeg};
    view.tick(29);
    EXPECT_EQ(view.count, 0);
    view.tick(30);
    ASSERT_EQ(view.count, 2);
    EXPECT_EQ(view.satellites[1].prn, 9);
    EXPECT_EQ(view.dirty + view.erasePending, 2);
    snap.satellitesInView = 41;  // more than the snapshot holds
    view.tick(60);
    EXPECT_EQ(view.count, 40);
    snap.satellitesInView = -1;
    view.tick(90);
    EXPECT_EQ(view.count, 0);
}

TEST_F(BoundTest, ReceiverLampShowsTheFixLevel) {
    StateLamp lamp;
    initReceiverLamp(lamp, snap, 66, 128);
    const std::pair<int, int> expected[] = {{1, 453}, {2, 454}, {3, 456}, {4, 455}};
    for (auto [level, bitmap] : expected) {
        snap.fixLevel = level;
        lamp.tick(30);
        lamp.draw();
        EXPECT_EQ(frame().pixel(70, 130), placeholderColour(bitmap)) << level;
    }
}

class ReadoutTest : public BoundTest {
protected:
    void SetUp() override {
        BoundTest::SetUp();
        NumberPanel::releaseSharedGlyphs();
    }
    void TearDown() override {
        NumberPanel::releaseSharedGlyphs();
        BoundTest::TearDown();
    }
    // The panel's text and caption after the first update.
    std::pair<std::string, std::string> shown(int kind) {
        BoundNumberPanel panel;
        NumberPanel::GlyphIds ids;
        for (int i = 0; i < NumberPanel::kGlyphCount; ++i) {
            ids[static_cast<std::size_t>(i)] = 425 + i;
        }
        panel.init(snap, units, kind, ids, "x");
        panel.setBatteryReader([] { return 55; });
        EXPECT_EQ(panel.textRect, (Rect{0, 0, 40, 40}));
        panel.tick(31);
        EXPECT_EQ(panel.dirty, 0);
        panel.tick(60);
        EXPECT_EQ(panel.dirty + panel.erasePending, 2);
        return {panel.shownText(), panel.mode == 2 ? panel.caption : "<number>"};
    }
};

TEST_F(ReadoutTest, EachValueKindShowsItsValue) {
    snap.speed = 27.8;
    snap.course = 90 * kDeg;
    snap.targetBearing = 270 * kDeg;
    snap.altitude = 432.4;
    snap.pdop = 2.345;
    snap.satellitesWithSignal = 7;
    using P = std::pair<std::string, std::string>;
    EXPECT_EQ(shown(ValueKind::Speed), (P{"100", "kmh"}));
    EXPECT_EQ(shown(ValueKind::Heading), (P{" 90", "<number>"}));
    EXPECT_EQ(shown(ValueKind::Bearing), (P{"270", "<number>"}));
    EXPECT_EQ(shown(ValueKind::Altitude), (P{"  432", "m"}));
    EXPECT_EQ(shown(ValueKind::Accuracy), (P{"   9", "m"}));  // 2.345 x 2.9 + 2.4
    EXPECT_EQ(shown(ValueKind::Pdop), (P{"2.3", "<number>"}));
    EXPECT_EQ(shown(ValueKind::Satellites), (P{"7", ""}));
    EXPECT_EQ(shown(ValueKind::Battery), (P{"55", ""}));
    snap.pdop = 0.5;  // no accuracy below a PDOP of 1
    EXPECT_EQ(shown(ValueKind::Accuracy), (P{"   0", "m"}));
    units.setSystem(0);
    EXPECT_EQ(shown(ValueKind::Speed).second, "mph");
}

}  // namespace
}  // namespace wp2
