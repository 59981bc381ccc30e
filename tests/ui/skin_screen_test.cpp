#include "ui/skin_screen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"
#include "ui_test_support.h"

namespace wp2 {
namespace {

using test::UiTest;

// A rectangle of one colour. Static blocks draw into both surfaces, sprite
// blocks into the frame only and erase from the background.
class Block : public SkinElement {
public:
    Block(Rect r, QRgb c, int onLayer, bool isSprite, std::vector<std::string>* log = nullptr,
          std::string tag = "")
        : colour(c), log_(log), tag_(std::move(tag)) {
        rect = r;
        drawn = r;
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
        ++erases;
        drawingSurfaces().frame.copyFrom(drawingSurfaces().background, drawn);
        record("erase");
    }
    void moveTo(int x, int y) override {
        rect = rect.offset(x - rect.left, y - rect.top);
        dirty = erasePending = 1;
    }
    int onPress(int x, int y) override {
        record("press");
        return rect.contains(x, y) ? 1 : 0;
    }
    int onRelease(int x, int y) override {
        record("release");
        return rect.contains(x, y) ? 1 : 0;
    }
    void dragTo(int x, int y) override {
        record("drag " + std::to_string(x) + "," + std::to_string(y));
    }
    void setKeepArea(const Rect& a) override {
        keepArea = a;
        record("keep");
    }

    QRgb colour;
    Rect drawn;
    Rect keepArea;
    int inset = 0;  // draws only the rectangle shrunk by this much
    int draws = 0;
    int erases = 0;

private:
    void record(const std::string& what) {
        if (log_) {
            log_->push_back(tag_ + " " + what);
        }
    }
    std::vector<std::string>* log_;
    std::string tag_;
};

// A screen whose actions and quit are recorded instead of run.
class RecordingScreen : public SkinScreen {
public:
    std::vector<int> actions;
    std::vector<int> actionIds = {7};
    int quits = 0;
    mutable std::vector<int> failedLookups;

protected:
    bool runAction(SkinElement& e) override {
        for (int id : actionIds) {
            if (id == e.id) {
                actions.push_back(e.id);
                return true;
            }
        }
        return false;
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
    RecordingScreen screen;
    std::vector<std::string> log;
};

TEST_F(SkinScreenTest, AddNumbersElementsAndByIdFindsTheFirstMatch) {
    EXPECT_EQ(screen.compose(), 0);  // an empty list draws nothing
    Block* a = block({0, 0, 10, 10}, kRed, 10, false);
    Block* b = block({0, 0, 10, 10}, kRed, 10, false);
    Block* c = block({0, 0, 10, 10}, kRed, 10, false);
    a->id = 5;
    b->id = 6;
    c->id = 6;
    EXPECT_EQ(a->listIndex, 0);
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

TEST_F(SkinScreenTest, ACleanScreenComposesNothing) {
    Block* panel = block({0, 0, 240, 320}, kGrey, 10, false);
    Block* sprite = block({10, 10, 20, 20}, kRed, 50, true);
    panel->dirty = sprite->dirty = 1;
    EXPECT_EQ(screen.compose(), 1);
    EXPECT_EQ(panel->draws, 1);
    EXPECT_EQ(sprite->draws, 1);
    const QImage before = frame().image().copy();
    EXPECT_EQ(screen.compose(), 0);
    EXPECT_EQ(panel->draws, 1);
    EXPECT_EQ(frame().image(), before);

    // Hidden elements do not count, even when dirty.
    sprite->visible = 0;
    sprite->dirty = 1;
    EXPECT_EQ(screen.compose(), 0);
    EXPECT_EQ(sprite->draws, 1);
}

TEST_F(SkinScreenTest, AMovingSpriteRestoresItsOldPlaceAndRedrawsAnOverlappingSprite) {
    Block* panel = block({0, 0, 240, 320}, kGrey, 10, false, "panel");
    Block* under = block({25, 25, 45, 45}, kBlue, 50, true, "under");
    Block* mover = block({10, 10, 30, 30}, kRed, 50, true, "mover");
    screen.markAllDirty();
    ASSERT_EQ(screen.compose(), 1);
    EXPECT_EQ(frame().pixel(27, 27), kRed);  // the mover is drawn last

    log.clear();
    mover->moveTo(100, 100);
    ASSERT_EQ(screen.compose(), 1);
    EXPECT_EQ(frame().pixel(12, 12), kGrey);   // old place restored from the background
    EXPECT_EQ(frame().pixel(27, 27), kBlue);   // the overlapped sprite shows again
    EXPECT_EQ(frame().pixel(105, 105), kRed);  // new place
    EXPECT_EQ(panel->draws, 1);                // the static picture is not redrawn
    EXPECT_EQ(under->draws, 2);
    EXPECT_EQ(background().pixel(105, 105), kGrey);  // sprites never reach the background
    const std::vector<std::string> expected = {"mover erase", "under draw", "mover draw"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(mover->erasePending, 0);
    EXPECT_EQ(screen.compose(), 0);
}

TEST_F(SkinScreenTest, AStaticElementMakesTheHigherLayerAboveItDirty) {
    Block* panel = block({0, 0, 100, 100}, kGrey, 10, false, "panel");
    Block* button = block({10, 10, 30, 30}, kGreen, 20, false, "button");
    Block* far = block({150, 150, 160, 160}, kBlue, 20, false, "far");
    Block* top = block({20, 20, 60, 60}, kRed, 100, false, "top");
    screen.markAllDirty();
    screen.compose();
    log.clear();

    panel->dirty = 1;
    ASSERT_EQ(screen.compose(), 1);
    // Layer by layer: the panel first, then what lies over it.
    const std::vector<std::string> expected = {"panel draw", "button draw", "top draw"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(far->draws, 1);
    EXPECT_EQ(frame().pixel(15, 15), kGreen);
    EXPECT_EQ(frame().pixel(25, 25), kRed);
    EXPECT_EQ(frame().pixel(70, 70), kGrey);
    EXPECT_EQ(button->dirty, 0);
    EXPECT_EQ(top->dirty, 0);

    // A higher element changing does not drag lower ones along.
    log.clear();
    top->dirty = 1;
    screen.compose();
    EXPECT_EQ(log, std::vector<std::string>{"top draw"});
}

TEST_F(SkinScreenTest, OverlapPropagationRepeatsUntilNothingChanges) {
    // a (10) overlaps b (20) only; b overlaps c (50) only.
    Block* a = block({0, 0, 20, 20}, kGrey, 10, false, "a");
    Block* b = block({15, 15, 40, 40}, kGreen, 20, false, "b");
    Block* c = block({35, 35, 60, 60}, kRed, 50, true, "c");
    screen.markAllDirty();
    screen.compose();
    log.clear();
    a->dirty = 1;
    screen.compose();
    const std::vector<std::string> expected = {"a draw", "b draw", "c draw"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(c->draws, 2);
    (void)b;
}

TEST_F(SkinScreenTest, DrawAllPaintsEveryVisibleElementInLayerOrder) {
    Block* top = block({0, 0, 10, 10}, kRed, 100, true, "top");
    Block* panel = block({0, 0, 50, 50}, kGrey, 10, false, "panel");
    Block* hidden = block({0, 0, 50, 50}, kBlue, 20, false, "hidden");
    hidden->visible = 0;
    top->erasePending = 1;
    screen.drawAll();
    const std::vector<std::string> expected = {"panel draw", "top draw"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(top->erasePending, 0);
    EXPECT_EQ(frame().pixel(5, 5), kRed);
    EXPECT_EQ(frame().pixel(20, 20), kGrey);
    EXPECT_EQ(panel->dirty, 0);
}

TEST_F(SkinScreenTest, DrawAllInMapModePaintsTheMapOverTheReadouts) {
    block({0, 0, 240, 264}, kGrey, 10, false, "panel");
    Block* readout = block({100, 100, 140, 140}, kBlue, 50, true, "readout");
    Block* map = block({0, 0, 240, 264}, kGreen, 50, true, "map");
    Block* compass = block({7, 7, 67, 67}, kRed, 50, true, "compass");
    map->id = ElementId::TrackView;
    compass->id = ElementId::TrackCompass;
    screen.mapMode = 1;
    screen.drawAll();
    const std::vector<std::string> expected = {"panel draw", "map keep", "map erase", "map draw",
                                               "compass draw"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(readout->draws, 0);
    EXPECT_EQ(frame().pixel(120, 120), kGreen);
}

TEST_F(SkinScreenTest, MarkAllDirtySkipsHiddenElements) {
    Block* shown = block({0, 0, 10, 10}, kRed, 10, false);
    Block* hidden = block({0, 0, 10, 10}, kRed, 10, false);
    hidden->visible = 0;
    screen.markAllDirty();
    EXPECT_EQ(shown->dirty, 1);
    EXPECT_EQ(hidden->dirty, 0);
}

TEST_F(SkinScreenTest, TouchesReachTheHigherLayerFirst) {
    block({0, 0, 100, 100}, kGrey, 20, false, "low");
    block({0, 0, 100, 100}, kGrey, 100, true, "high");
    block({0, 0, 100, 100}, kGrey, 50, true, "middle")->visible = 0;
    screen.press(10, 10);
    screen.release(10, 10);
    const std::vector<std::string> expected = {"high press", "low press", "high release",
                                               "low release"};
    EXPECT_EQ(log, expected);
}

TEST_F(SkinScreenTest, AReleaseRunsAtMostOneActionPerLayer) {
    Block* first = block({0, 0, 100, 100}, kGrey, 20, false, "first");
    Block* second = block({0, 0, 100, 100}, kGrey, 20, false, "second");
    Block* low = block({0, 0, 100, 100}, kGrey, 10, false, "low");
    Block* selector = block({0, 0, 100, 100}, kGrey, 100, true, "selector");
    first->id = 7;
    second->id = 7;
    low->id = 7;
    selector->id = 7;
    selector->group = ElementGroup::PanelSelector;  // selectors act by themselves
    screen.release(50, 50);
    // The selector is asked but runs no action; the first hit on layer 20 ends
    // that layer; layer 10 still gets its own action.
    const std::vector<std::string> expected = {"selector release", "first release", "low release"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(screen.actions, (std::vector<int>{7, 7}));

    // A hit without an action lets the scan go on.
    log.clear();
    screen.actions.clear();
    first->id = 8;
    screen.release(50, 50);
    EXPECT_EQ(log.size(), 4u);
    EXPECT_EQ(screen.actions, (std::vector<int>{7, 7}));
}

TEST_F(SkinScreenTest, PressOnTheQuitButtonQuits) {
    Block* quit = block({0, 0, 20, 20}, kGrey, 20, false, "quit");
    block({0, 0, 20, 20}, kGrey, 20, false, "after");
    quit->id = ElementId::QuitButton;
    screen.press(50, 50);  // a miss does nothing
    EXPECT_EQ(screen.quits, 0);
    log.clear();
    screen.press(5, 5);
    EXPECT_EQ(screen.quits, 1);
    EXPECT_EQ(log, std::vector<std::string>{"quit press"});
}

TEST_F(SkinScreenTest, MoveDragsTheMapOnlyInMapMode) {
    Block* map = block({0, 0, 240, 264}, kGrey, 50, true, "map");
    map->id = ElementId::TrackView;
    screen.move(30, 40);
    EXPECT_TRUE(log.empty());
    screen.mapMode = 1;
    screen.move(30, 40);
    EXPECT_EQ(log, std::vector<std::string>{"map drag 30,40"});
    map->visible = 0;
    screen.move(31, 41);
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(SkinScreenTest, MapModeRestoresTheCompassFromTheScratchSurface) {
    Block* panel = block({0, 0, 240, 264}, kGrey, 10, false, "panel");
    Block* readout = block({100, 100, 140, 140}, kBlue, 50, true, "readout");
    Block* map = block({0, 0, 240, 264}, kGreen, 50, true, "map");
    Block* compass = block({7, 7, 67, 67}, kRed, 50, true, "compass");
    map->id = ElementId::TrackView;
    compass->id = ElementId::TrackCompass;
    screen.mapMode = 1;
    screen.markAllDirty();
    ASSERT_EQ(screen.compose(), 1);
    const std::vector<std::string> first = {"panel draw", "map keep", "map erase", "map draw",
                                            "compass draw"};
    EXPECT_EQ(log, first);
    EXPECT_EQ(map->keepArea, compass->eraseRect());
    EXPECT_EQ(readout->draws, 0);  // sprites other than the map wait while it is shown
    EXPECT_EQ(compass->dirty + compass->erasePending + map->dirty + map->erasePending, 0);

    // Only the compass changed: its area comes back from the scratch surface.
    scratch().fill(rgb(1, 2, 3));
    compass->colour = rgb(9, 9, 9);
    compass->inset = 20;
    compass->dirty = compass->erasePending = 1;
    log.clear();
    ASSERT_EQ(screen.compose(), 1);
    EXPECT_EQ(log, std::vector<std::string>{"compass draw"});
    EXPECT_EQ(frame().pixel(10, 10), rgb(1, 2, 3));
    EXPECT_EQ(frame().pixel(30, 30), rgb(9, 9, 9));
    EXPECT_EQ(frame().pixel(70, 70), kGreen);  // the map around it is untouched
    EXPECT_EQ(compass->erasePending, 0);

    // Nothing of the map changed: only the static pass may draw.
    log.clear();
    readout->dirty = 1;
    EXPECT_EQ(screen.compose(), 0);
    EXPECT_TRUE(log.empty());
    (void)panel;
}

}  // namespace
}  // namespace wp2
