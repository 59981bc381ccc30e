#include <gtest/gtest.h>

#include <cmath>

#include "core/nav/angles.h"
#include "ui/compass_needle.h"
#include "ui/dial_arrow.h"
#include "ui/number_panel.h"
#include "ui/rotation.h"
#include "ui/skin_screen.h"
#include "ui/sky_view.h"
#include "ui_test_support.h"

namespace wp2 {
namespace {

using test::glyphColour;
using test::placeholderColour;
using test::UiTest;

constexpr double kDeg = kDegToRad;
constexpr QRgb kBlue = rgb(0, 0, 255);
constexpr QRgb kRed = rgb(255, 0, 0);
constexpr QRgb kYellow = rgb(255, 255, 0);
constexpr QRgb kHub = rgb(147, 0, 0);

// Runs an animation to its end, one frame at a time.
template <class E>
void finish(E& e, std::uint32_t from, int frames = 200) {
    for (int i = 0; i <= frames; ++i) {
        e.tick(from + static_cast<std::uint32_t>(i));
    }
}

TEST(Rotation, PositiveAnglesTurnAnticlockwiseAndAnglesNormaliseIntoOneTurn) {
    EXPECT_EQ(rotateAbout(50, 50, 50, 40, kHalfPi), (Point{40, 50}));
    EXPECT_EQ(rotateAbout(50, 50, 50, 40, -kHalfPi), (Point{60, 50}));
    EXPECT_EQ(rotateAbout(50, 50, 50, 40, kPi), (Point{50, 60}));
    for (auto [in, out] : {std::pair{-0.5, kDialTwoPi - 0.5},
                           {7.0, 7.0 - kDialTwoPi},
                           {-7.0, 2 * kDialTwoPi - 7.0},
                           {3.0, 3.0}}) {
        EXPECT_NEAR(normaliseDialAngle(in), out, 1e-12) << in;
    }
}

class CompassTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        needle.init(61, 208, 50, 50);
        background().fill(rgb(200, 200, 200));
        frame().fill(rgb(200, 200, 200));
    }
    CompassNeedle needle;
};

TEST_F(CompassTest, TurnsTheShortWayAtAboutAQuarterTurnIn36Frames) {
    needle.setAngle(0, 0);
    EXPECT_EQ(needle.steps, 36);
    needle.setAngle(350 * kDeg, 0);
    finish(needle, 0);
    needle.setAngle(10 * kDeg, 1000);
    EXPECT_NEAR(needle.toAngle, 370 * kDeg, 1e-6);
    EXPECT_EQ(needle.steps, 10);  // (20 deg x 2/pi + 0.1) x 33
    needle.tick(1005);            // halfway: through north, not south
    EXPECT_NEAR(needle.angle, 360 * kDeg, 1e-6);
    EXPECT_EQ(needle.dirty + needle.erasePending, 2);
    needle.tick(1011);
    EXPECT_EQ(needle.steps, 0);
    EXPECT_NEAR(needle.drawnAngle, 10 * kDeg, 1e-9);
    needle.setAngle(340 * kDeg, 1020);  // back, decreasing through zero
    EXPECT_EQ(needle.increasing, 0);
    EXPECT_NEAR(needle.toAngle, -20 * kDeg, 1e-6);

    finish(needle, 1020);
    needle.dirty = 0;
    needle.setAngle(needle.angle + 0.0005, 1500);  // too small to move
    needle.tick(1501);
    EXPECT_EQ(needle.dirty, 0);
}

TEST_F(CompassTest, BlueTipPointsAlongTheAngleRedOppositeAndErasingRestores) {
    struct Case {
        double angle;
        int dx, dy;  // unit direction of the blue tip on screen
    } cases[] = {{90 * kDeg, 0, -1}, {180 * kDeg, -1, 0}, {0, 1, 0}, {270 * kDeg, 0, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        needle.drawnAngle = c.angle;
        frame().fill(rgb(200, 200, 200));
        needle.draw();
        EXPECT_EQ(frame().pixel(61 + c.dx * 30, 208 + c.dy * 30), kBlue);
        EXPECT_EQ(frame().pixel(61 - c.dx * 30, 208 - c.dy * 30), kRed);
        EXPECT_EQ(frame().pixel(61 + c.dx * 42, 208 + c.dy * 42), rgb(200, 200, 200));
    }
    EXPECT_EQ(background().pixel(61, 190), rgb(200, 200, 200));  // sprites: frame only
    frame().fill(rgb(1, 1, 1));
    needle.erase();
    EXPECT_EQ(frame().pixel(11, 158), rgb(200, 200, 200));
    EXPECT_EQ(frame().pixel(110, 257), rgb(200, 200, 200));
    EXPECT_EQ(frame().pixel(111, 258), rgb(1, 1, 1));
    needle.moveTo(181, 208);
    EXPECT_EQ(needle.rect, (Rect{131, 158, 231, 258}));
    EXPECT_EQ(needle.cx, 181);
}

class DialTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        arrow.init(121, 106, "Speed arrow");
        background().fill(rgb(30, 30, 30));
        frame().fill(rgb(30, 30, 30));
    }
    void showAngle(double a) {
        arrow.setTarget(a);
        finish(arrow, 0);
        frame().fill(rgb(30, 30, 30));
        arrow.draw();
    }
    QRgb at(int dx, int dy) { return frame().pixel(121 + dx, 106 + dy); }
    DialArrow arrow;
};

TEST_F(DialTest, AreaTurningSpeedAndTheClampToTheUpperHalf) {
    EXPECT_EQ(arrow.rect, (Rect{41, 26, 201, 131}));
    DialArrow high;
    high.init(121, 40, "x");
    EXPECT_EQ(high.rect.top, 0);
    arrow.setTarget(kHalfPi + kPi);  // half a turn
    EXPECT_EQ(arrow.steps, 2 + 25);
    for (auto [in, out] : {std::pair{kPi, kThreeHalfPi},
                           {4.0, kThreeHalfPi},
                           {kThreeHalfPi, kThreeHalfPi},
                           {5.0, 0.0},
                           {-0.2, 0.0},
                           {2.0, 2.0}}) {
        EXPECT_DOUBLE_EQ(DialArrow::clampShown(in), out) << in;
    }
}

TEST_F(DialTest, SpeedArrowRestsDownAndSweepsThroughUpToRight) {
    EXPECT_NEAR(DialArrow::speedAngle(0), 3.485, 1e-12);
    EXPECT_NEAR(DialArrow::speedAngle(100 / 3.6), 1.634, 1e-9);
    EXPECT_NEAR(DialArrow::speedAngle(183 / 3.6), 0.0072, 1e-9);
    EXPECT_NEAR(DialArrow::speedAngle(500), DialArrow::speedAngle(200 / 3.6), 1e-12);  // capped
    EXPECT_GT(DialArrow::speedAngle(24 / 3.6), kPi);  // still resting
    EXPECT_LT(DialArrow::speedAngle(25 / 3.6), kPi);  // pointing left
    EXPECT_NEAR(DialArrow::speedAngle(19.99 / 3.6), 3.485 - 0.0129 * 19.99, 1e-9);
    EXPECT_NEAR(DialArrow::speedAngle(20 / 3.6), 3.624 - 0.0199 * 20, 1e-9);

    showAngle(DialArrow::speedAngle(0));
    EXPECT_NEAR(arrow.shownAngle, kThreeHalfPi, 1e-12);
    EXPECT_EQ(at(0, 60), kYellow);
    EXPECT_NE(at(0, -60), kYellow);
    showAngle(DialArrow::speedAngle(100 / 3.6));
    EXPECT_EQ(at(-3, -50), kYellow);  // 93.6 degrees: up, a little left
    EXPECT_NE(at(0, 60), kYellow);
    EXPECT_NE(at(50, 0), kYellow);
    showAngle(DialArrow::speedAngle(183 / 3.6));
    EXPECT_EQ(at(50, 0), kYellow);
    EXPECT_NE(at(-3, -50), kYellow);
}

TEST_F(DialTest, CourseArrowBehindLeftPointsDownAndBehindRightPointsRight) {
    const double course = 30 * kDeg;
    showAngle(DialArrow::courseAngle(course, course - 135 * kDeg + 2 * kPi));
    EXPECT_NEAR(arrow.angle, 225 * kDeg, 1e-6);  // the hub shows the true direction
    EXPECT_NEAR(arrow.shownAngle, kThreeHalfPi, 1e-12);
    EXPECT_EQ(at(0, 60), kYellow);
    EXPECT_EQ(at(7, -8), kHub);  // hub tail towards the upper right
    showAngle(DialArrow::courseAngle(course, course + 135 * kDeg));
    EXPECT_NEAR(arrow.angle, 315 * kDeg, 1e-6);
    EXPECT_DOUBLE_EQ(arrow.shownAngle, 0.0);
    EXPECT_EQ(at(50, 0), kYellow);
    EXPECT_EQ(at(-8, -7), kHub);
    showAngle(DialArrow::courseAngle(course, course));  // ahead: up
    EXPECT_EQ(at(0, -50), kYellow);
    showAngle(DialArrow::courseAngle(course, course + 45 * kDeg));
    EXPECT_EQ(at(35, -35), kYellow);
}

TEST_F(DialTest, PaintAreaFollowsTheTipAndErasingLeavesNoTrail) {
    showAngle(kHalfPi);
    EXPECT_EQ(arrow.paintArea, (Rect{101, 106 - 74 - 20, 141, 126}));
    EXPECT_EQ(arrow.paintRect(), arrow.paintArea.inflated(20, 20));
    for (int deg = 0; deg < 360; deg += 7) {
        arrow.erase();
        ASSERT_EQ(frame().image(), background().image()) << deg << " degrees";
        arrow.setTarget(deg * kDeg);
        finish(arrow, 0);
        arrow.draw();
    }
}

TEST_F(UiTest, SkyViewPlotsTheZenithAtTheCentreAndTheHorizonAt40) {
    EXPECT_EQ(SkyView::plotPosition(60, 57, 90 * kDeg, 0), (Point{60, 57}));
    EXPECT_EQ(SkyView::plotPosition(60, 57, 0, 0), (Point{60, 17}));
    EXPECT_EQ(SkyView::plotPosition(60, 57, 0, 90 * kDeg), (Point{20, 57}));
    EXPECT_EQ(SkyView::plotPosition(60, 57, 0, 180 * kDeg), (Point{60, 97}));
    EXPECT_EQ(SkyView::plotPosition(60, 57, 60 * kDeg, 270 * kDeg), (Point{80, 57}));

    SkyView view;
    view.init("Sats1");
    EXPECT_EQ(view.rect, (Rect{10, 7, 110, 107}));
    view.moveTo(130, 157);
    frame().fill(rgb(7, 7, 7));
    view.setSatellites({{5, 40, 90 * kDeg, 0}, {7, 0, 0, 0}});
    EXPECT_EQ(view.dirty + view.erasePending, 2);
    view.draw();
    // Centre of the moved view: (180, 207); the dots' corners are key-coloured.
    EXPECT_EQ(frame().pixel(180, 207), placeholderColour(SkyView::kDotWithSignal));
    EXPECT_EQ(frame().pixel(176, 203), rgb(7, 7, 7));
    EXPECT_EQ(frame().pixel(180, 167), placeholderColour(SkyView::kDotWithoutSignal));
    EXPECT_EQ(frame().pixel(176, 163), rgb(7, 7, 7));
    EXPECT_EQ(frame().pixel(180, 180), rgb(7, 7, 7));
    // Other constellations: a filled mark of their own with signal, a hollow one without.
    frame().fill(rgb(7, 7, 7));
    view.setSatellites(
        {{65, 30, 90 * kDeg, 0, Constellation::Glonass}, {3, 0, 0, 0, Constellation::Galileo}});
    view.draw();
    EXPECT_EQ(frame().pixel(180, 207), rgb(255, 80, 60));
    EXPECT_EQ(frame().pixel(180, 167), rgb(7, 7, 7));
    EXPECT_EQ(frame().pixel(182, 167), rgb(70, 170, 255));
    view.setSatellites(std::vector<SkySatellite>(60));
    EXPECT_EQ(view.count, SkyView::kMaxSatellites);
}

class NumberPanelTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        NumberPanel::releaseSharedGlyphs();
        frame().fill(rgb(3, 3, 3));
        background().fill(rgb(3, 3, 3));
        NumberPanel::GlyphIds ids;
        for (int i = 0; i < NumberPanel::kGlyphCount; ++i) {
            ids[static_cast<std::size_t>(i)] = 425 + i;
        }
        panel.init({3, 116, 43, 156}, ids, 0, "%4.0lf");
    }
    void TearDown() override {
        NumberPanel::releaseSharedGlyphs();
        UiTest::TearDown();
    }
    // The glyph drawn at slot `n` of the run (placeholder glyphs are 9 wide).
    QRgb slot(int n) { return frame().pixel(3 + n * 10 + 2, 116 + 16 + 3); }
    void show(double value, const char* format) {
        panel.setNumber(value, format);
        frame().fill(rgb(3, 3, 3));
        panel.draw();
    }
    NumberPanel panel;
};

TEST_F(NumberPanelTest, DigitsAreDrawnAsGlyphsAndSpacesDoNotAdvance) {
    show(12.5, "%3.1lf");
    EXPECT_EQ(panel.shownText(), "12.5");
    EXPECT_EQ(slot(0), glyphColour(1));
    EXPECT_EQ(slot(1), glyphColour(2));
    EXPECT_EQ(slot(2), glyphColour(10));
    EXPECT_EQ(slot(3), glyphColour(5));
    EXPECT_EQ(frame().pixel(3 + 8, 116 + 20), rgb(3, 3, 3));  // key column left alone
    EXPECT_EQ(frame().pixel(3 + 2, 116 + 15), rgb(3, 3, 3));  // glyphs start 16 down
    panel.erase();
    EXPECT_EQ(frame().image(), background().image());

    show(5, "%4.0lf");
    EXPECT_EQ(panel.shownText(), "   5");
    EXPECT_EQ(slot(0), glyphColour(5));
    EXPECT_EQ(slot(1), rgb(3, 3, 3));

    show(-2.5e9, "%4.0lf");  // huge values show as one million, cut at the rectangle
    EXPECT_EQ(panel.shownText(), "1000000");
    EXPECT_EQ(slot(3), glyphColour(0));
    EXPECT_EQ(frame().pixel(45, 135), rgb(3, 3, 3));
    panel.moveTo(208, 116);
    EXPECT_EQ(panel.textRect, (Rect{208, 116, 248, 156}));
    EXPECT_EQ(panel.rect, panel.textRect);
}

TEST_F(NumberPanelTest, TextModeDrawsTheCaptionAboveTheGlyphs) {
    panel.setText("88", "km/h");
    EXPECT_EQ(panel.mode, 2);
    panel.draw();
    EXPECT_EQ(slot(0), glyphColour(8));
    int captionPixels = 0;
    for (int y = 0; y < 320; ++y) {
        for (int x = 0; x < 240; ++x) {
            if (frame().pixel(x, y) == rgb(200, 200, 150)) {
                ASSERT_TRUE((Rect{3, 116, 43, 134}).contains(x, y)) << x << "," << y;
                ++captionPixels;
            }
        }
    }
    EXPECT_GT(captionPixels, 10);
}

}  // namespace
}  // namespace wp2
