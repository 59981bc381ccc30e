#include "ui/skin_screen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"
#include "ui_test_support.h"

namespace wp2 {
namespace {

using test::UiTest;
using Log = std::vector<std::string>;

// A rectangle of one colour that logs what is done to it. Static blocks draw
// into both surfaces, sprite blocks into the frame only.
class Block : public SkinElement {
public:
    Block(Rect r, QRgb c, int onLayer, bool isSprite, Log* log, std::string tag)
        : colour(c), drawn(r), log_(log), tag_(std::move(tag)) {
        rect = r;
        layer = onLayer;
        sprite = isSprite ? 1 : 0;
        visible = 1;
    }
    void draw() override {
        ++draws;
        drawingSurfaces().frame.fillRect(rect.inflated(-inset, -inset), colour);
        if (!sprite) {
            drawingSurfaces().background.fillRect(rect, colour);
        }
        drawn = rect;
        record("draw");
    }
    Rect eraseRect() const override { return drawn; }
    void erase() override {
        drawingSurfaces().frame.copyFrom(drawingSurfaces().background, drawn);
        record("erase");
    }
    void moveTo(int x, int y) override {
        rect = rect.offset(x - rect.left, y - rect.top);
        dirty = erasePending = 1;
    }
    int onPress(int x, int y) override { return record("press"), rect.contains(x, y) ? 1 : 0; }
    int onRelease(int x, int y) override { return record("release"), rect.contains(x, y) ? 1 : 0; }
    void dragTo(int x, int y) override {
        record("drag " + std::to_string(x) + "," + std::to_string(y));
    }
    void setKeepArea(const Rect& a) override {
        keepArea = a;
        record("keep");
    }

    QRgb colour;
    Rect drawn, keepArea;
    int inset = 0;  // draws only the rectangle shrunk by this much
    int draws = 0;

private:
    void record(const std::string& what) { log_->push_back(tag_ + " " + what); }
    Log* log_;
    std::string tag_;
};

// A screen whose actions and quit are recorded instead of run.
class RecordingScreen : public SkinScreen {
public:
    std::vector<int> actions;
    int quits = 0;
    mutable std::vector<int> failedLookups;

protected:
    bool runAction(SkinElement& e) override {
        if (e.id == 7) {
            actions.push_back(e.id);
        }
        return e.id == 7;
    }
    void quit() override { ++quits; }
    void lookupFailed(int id) const override { failedLookups.push_back(id); }
};

constexpr QRgb kGrey = rgb(128, 128, 128);
constexpr QRgb kRed = rgb(255, 0, 0);
constexpr QRgb kBlue = rgb(0, 0, 255);
constexpr QRgb kGreen = rgb(0, 255, 0);

class SkinScreenTest : public UiTest {
protected:
    Block* block(Rect r, QRgb c, int layer, bool isSprite, const std::string& tag = "") {
        return screen.add(std::make_unique<Block>(r, c, layer, isSprite, &log, tag));
    }
    // Composes, returning what was done.
    Log composed(int expectedResult = 1) {
        log.clear();
        EXPECT_EQ(screen.compose(), expectedResult);
        return log;
    }
    RecordingScreen screen;
    Log log;
};

TEST_F(SkinScreenTest, AddNumbersElementsAndByIdFindsTheFirstMatchOrSaysSo) {
    EXPECT_EQ(screen.compose(), 0);  // an empty list draws nothing
    Block* a = block({0, 0, 10, 10}, kRed, 10, false);
    Block* b = block({0, 0, 10, 10}, kRed, 10, false);
    Block* c = block({0, 0, 10, 10}, kRed, 10, false);
    a->id = 5;
    b->id = c->id = 6;
    EXPECT_EQ(c->listIndex, 2);
    EXPECT_EQ(a->screen(), &screen);
    EXPECT_EQ(screen.byId(6), b);
    test::RecordingMessageBoxes boxes;
    EXPECT_EQ(screen.byId(99), nullptr);
    EXPECT_TRUE(boxes.shown.empty());  // silent without report
    EXPECT_EQ(screen.byId(99, 1), nullptr);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "By Id failed\n99");
    EXPECT_EQ(screen.failedLookups, std::vector<int>{99});
}

TEST_F(SkinScreenTest, ACleanScreenComposesNothingAndHiddenElementsNeverCount) {
    Block* panel = block({0, 0, 240, 320}, kGrey, 10, false, "panel");
    Block* sprite = block({10, 10, 20, 20}, kRed, 50, true, "sprite");
    sprite->visible = 0;
    screen.markAllDirty();
    EXPECT_EQ(sprite->dirty, 0);
    sprite->visible = 1;
    sprite->dirty = 1;
    EXPECT_EQ(composed(), (Log{"panel draw", "sprite draw"}));
    const QImage before = frame().image().copy();
    EXPECT_EQ(composed(0), Log{});
    EXPECT_EQ(frame().image(), before);
    sprite->visible = 0;
    sprite->dirty = 1;
    EXPECT_EQ(composed(0), Log{});
    (void)panel;
}

TEST_F(SkinScreenTest, AMovingSpriteRestoresItsOldPlaceAndRedrawsAnOverlappingSprite) {
    block({0, 0, 240, 320}, kGrey, 10, false, "panel");
    block({25, 25, 45, 45}, kBlue, 50, true, "under");
    Block* mover = block({10, 10, 30, 30}, kRed, 50, true, "mover");
    screen.markAllDirty();
    composed();
    EXPECT_EQ(frame().pixel(27, 27), kRed);  // the mover is drawn last
    mover->moveTo(100, 100);
    // The static picture is not redrawn.
    EXPECT_EQ(composed(), (Log{"mover erase", "under draw", "mover draw"}));
    EXPECT_EQ(frame().pixel(12, 12), kGrey);  // old place restored from the background
    EXPECT_EQ(frame().pixel(27, 27), kBlue);
    EXPECT_EQ(frame().pixel(105, 105), kRed);
    EXPECT_EQ(background().pixel(105, 105), kGrey);  // sprites never reach the background
    EXPECT_EQ(mover->erasePending, 0);
    EXPECT_EQ(composed(0), Log{});
}

TEST_F(SkinScreenTest, ADirtyElementMakesWhatOverlapsItOnHigherLayersDirtyInTurn) {
    // a overlaps b only, b overlaps c only; far overlaps nothing.
    Block* a = block({0, 0, 20, 20}, kGrey, 10, false, "a");
    block({15, 15, 40, 40}, kGreen, 20, false, "b");
    block({150, 150, 160, 160}, kBlue, 20, false, "far");
    Block* c = block({35, 35, 60, 60}, kRed, 50, true, "c");
    screen.markAllDirty();
    composed();
    a->dirty = 1;
    EXPECT_EQ(composed(), (Log{"a draw", "b draw", "c draw"}));  // layer by layer
    EXPECT_EQ(frame().pixel(17, 17), kGreen);
    EXPECT_EQ(frame().pixel(37, 37), kRed);
    // A higher element changing does not drag lower ones along.
    c->dirty = 1;
    EXPECT_EQ(composed(), Log{"c draw"});
}

TEST_F(SkinScreenTest, DrawAllPaintsEveryVisibleElementInLayerOrder) {
    Block* top = block({0, 0, 10, 10}, kRed, 100, true, "top");
    Block* panel = block({0, 0, 50, 50}, kGrey, 10, false, "panel");
    block({0, 0, 50, 50}, kBlue, 20, false, "hidden")->visible = 0;
    top->erasePending = 1;
    screen.drawAll();
    EXPECT_EQ(log, (Log{"panel draw", "top draw"}));
    EXPECT_EQ(top->erasePending + panel->dirty, 0);
    EXPECT_EQ(frame().pixel(5, 5), kRed);
    EXPECT_EQ(frame().pixel(20, 20), kGrey);
}

TEST_F(SkinScreenTest, TouchesReachTheHigherLayerFirstAndAtMostOneActionPerLayer) {
    block({0, 0, 100, 100}, kGrey, 20, false, "low");
    block({0, 0, 100, 100}, kGrey, 100, true, "high");
    block({0, 0, 100, 100}, kGrey, 50, true, "middle")->visible = 0;
    screen.press(10, 10);
    screen.release(10, 10);
    EXPECT_EQ(log, (Log{"high press", "low press", "high release", "low release"}));

    RecordingScreen other;
    log.clear();
    auto add = [&](int layer, const char* tag, int id) {
        auto* b = other.add(
            std::make_unique<Block>(Rect{0, 0, 100, 100}, kGrey, layer, layer == 100, &log, tag));
        b->id = id;
        return b;
    };
    Block* first = add(20, "first", 7);
    add(20, "second", 7);
    add(10, "low", 7);
    add(100, "selector", 7)->group = ElementGroup::PanelSelector;  // acts by itself
    other.release(50, 50);
    EXPECT_EQ(log, (Log{"selector release", "first release", "low release"}));
    EXPECT_EQ(other.actions, (std::vector<int>{7, 7}));
    // A hit without an action lets the scan go on.
    log.clear();
    other.actions.clear();
    first->id = 8;
    other.release(50, 50);
    EXPECT_EQ(log.size(), 4u);
    EXPECT_EQ(other.actions, (std::vector<int>{7, 7}));
}

TEST_F(SkinScreenTest, PressOnTheQuitButtonQuits) {
    block({0, 0, 20, 20}, kGrey, 20, false, "quit")->id = ElementId::QuitButton;
    block({0, 0, 20, 20}, kGrey, 20, false, "after");
    screen.press(50, 50);  // a miss does nothing
    EXPECT_EQ(screen.quits, 0);
    log.clear();
    screen.press(5, 5);
    EXPECT_EQ(screen.quits, 1);
    EXPECT_EQ(log, Log{"quit press"});
}

class MapModeTest : public SkinScreenTest {
protected:
    void SetUp() override {
        SkinScreenTest::SetUp();
        block({0, 0, 240, 264}, kGrey, 10, false, "panel");
        readout = block({100, 100, 140, 140}, kBlue, 50, true, "readout");
        map = block({0, 0, 240, 264}, kGreen, 50, true, "map");
        compass = block({7, 7, 67, 67}, kRed, 50, true, "compass");
        map->id = ElementId::TrackView;
        compass->id = ElementId::TrackCompass;
        screen.mapMode = 1;
    }
    Block *readout = nullptr, *map = nullptr, *compass = nullptr;
};

TEST_F(MapModeTest, TheMapIsPaintedOverTheReadoutsAndTheCompassComesFromTheScratchSurface) {
    const Log first = {"panel draw", "map keep", "map erase", "map draw", "compass draw"};
    screen.drawAll();
    EXPECT_EQ(log, first);
    EXPECT_EQ(frame().pixel(120, 120), kGreen);
    screen.markAllDirty();
    EXPECT_EQ(composed(), first);
    EXPECT_EQ(map->keepArea, compass->eraseRect());
    EXPECT_EQ(readout->draws, 0);  // sprites other than the map wait while it is shown
    EXPECT_EQ(compass->dirty + compass->erasePending + map->dirty + map->erasePending, 0);

    // Only the compass changed: its area comes back from the scratch surface.
    scratch().fill(rgb(1, 2, 3));
    compass->colour = rgb(9, 9, 9);
    compass->inset = 20;
    compass->dirty = compass->erasePending = 1;
    EXPECT_EQ(composed(), Log{"compass draw"});
    EXPECT_EQ(frame().pixel(10, 10), rgb(1, 2, 3));
    EXPECT_EQ(frame().pixel(30, 30), rgb(9, 9, 9));
    EXPECT_EQ(frame().pixel(70, 70), kGreen);  // the map around it is untouched
    EXPECT_EQ(compass->erasePending, 0);
    // Nothing of the map changed: only the static pass may draw.
    readout->dirty = 1;
    EXPECT_EQ(composed(0), Log{});
}

TEST_F(MapModeTest, MoveDragsTheShownMapOnlyInMapMode) {
    screen.mapMode = 0;
    screen.move(30, 40);
    EXPECT_TRUE(log.empty());
    screen.mapMode = 1;
    screen.move(30, 40);
    EXPECT_EQ(log, Log{"map drag 30,40"});
    map->visible = 0;
    screen.move(31, 41);
    EXPECT_EQ(log.size(), 1u);
}

}  // namespace
}  // namespace wp2
