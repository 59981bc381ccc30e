// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "core/gps/nav_snapshot.h"
#include "ui/bitmap_panel.h"
#include "ui/fonts.h"
#include "ui/panel_selector.h"
#include "ui/push_button.h"
#include "ui/skin_screen.h"
#include "ui/state_lamp.h"
#include "ui/surface.h"
#include "ui_test_support.h"

namespace wp2::test {
namespace {

using Log = std::vector<std::string>;

TEST_F(UiTest, BlockCopiesAreClippedAtEveryEdgeAndTheClipRectangle) {
    QImage src(4, 4, QImage::Format_RGB32);
    for (int i = 0; i < 16; ++i) {
        src.setPixel(i % 4, i / 4, rgb(i % 4 * 10, i / 4 * 10, 1));
    }
    frame().blit(-2, -1, src);  // the lower-right 2 x 3, from (2, 1) on
    frame().setClip({238, 318, 240, 320});
    frame().blit(237, 317, src);  // 2 x 2 from (1, 1): clip and edges at once
    frame().clearClip();
    EXPECT_EQ(frame().pixel(0, 0), rgb(20, 10, 1));
    EXPECT_EQ(frame().pixel(238, 318), rgb(10, 10, 1));
}

TEST_F(UiTest, TextDrawnAgainIsCopiedOnlyOverTheSamePixelsAndForTheSameText) {
    Surface::TextMemo memo;
    const Rect r{10, 10, 60, 28};
    const QFont font = dashboardFont(Typeface::Arial, 16, true);
    const QRgb grey = rgb(128, 128, 128), blue = rgb(0, 0, 255), yellow = rgb(255, 255, 0);
    const Rect bottom{r.left, r.bottom - 2, r.right, r.bottom}, middle{33, 14, 37, 20};
    // Each step: what is under the text, a patch of another colour in it (the
    // tops of a read-out's digits, or a map line under a filled label), then
    // the text; drawn afresh on a copy and again through the memo, which is
    // copied or not.
    const std::tuple<QRgb, Rect, QString, QRgb, int, std::optional<QRgb>, bool> steps[] = {
        {grey, {}, "kmh", yellow, 0, {}, false},      // the first drawing
        {grey, bottom, "kmh", yellow, 0, {}, true},   // the same pixels under its ink
        {blue, {}, "kmh", yellow, 0, {}, false},      // other pixels under it
        {blue, {}, "mph", yellow, 0, {}, false},      // another text, with a descender
        {blue, bottom, "mph", yellow, 0, {}, false},  // ... that reaches the bottom rows
        {blue, bottom, "mph", grey, 0, {}, false},    // another colour
        {blue, {}, "60 ft", yellow, TextFlag::Centre, grey, false},      // centred on a background
        {blue, middle, "60 ft", yellow, TextFlag::Centre, grey, true},   // a change it covers
        {grey, middle, "60 ft", yellow, TextFlag::Centre, grey, false},  // one beside it
        {grey, middle, "60 ft", yellow, TextFlag::Centre, blue, false},  // another background
    };
    for (const auto& [under, patch, text, colour, flags, background, copied] : steps) {
        const std::string what = text.toStdString() + (copied ? " copied" : " drawn");
        frame().fillRect(r, under);
        frame().fillRect(patch, rgb(255, 0, 255));
        Surface expected = frame(), inkOnly = frame();
        expected.text(r, text, font, colour, flags, background);
        const qint64 last = memo.drawn.cacheKey();
        frame().textAgain(memo, r, text, font, colour, flags, background);
        EXPECT_EQ(frame().image(), expected.image()) << what;
        EXPECT_EQ(memo.drawn.cacheKey() == last, copied) << what;
        // Nothing the text changed lies outside what the memo compares.
        inkOnly.blit(memo.ink.left, memo.ink.top, expected.image(), memo.ink);
        EXPECT_EQ(inkOnly.image(), expected.image()) << what;
    }
    // A caption's fit is measured again for another caption or width.
    FontFit fit;
    EXPECT_EQ(fit.fit(font, "kmh", 60), font);
    EXPECT_LT(fit.fit(font, "kmh kmh kmh", 30).pixelSize(), font.pixelSize());
}

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
    void draw(DrawingSurfaces& surfaces) override {
        surfaces.frame.fillRect(rect.inflated(-inset, -inset), colour);
        if (!sprite) {
            surfaces.background.fillRect(rect, colour);
        }
        drawn = rect;
        record("draw");
    }
    Rect eraseRect() const override { return drawn; }
    void erase(DrawingSurfaces& surfaces) override {
        surfaces.frame.copyFrom(surfaces.background, drawn);
        record("erase");
    }
    int onPress(int x, int y) override { return record("press"), rect.contains(x, y) ? 1 : 0; }
    int onRelease(int x, int y) override { return record("release"), rect.contains(x, y) ? 1 : 0; }
    void dragTo(int x, int y) override { record("drag " + std::to_string(x + y)); }
    void setKeepArea(const Rect& a) override { keepArea = a, record("keep"); }

    QRgb colour;
    Rect drawn, keepArea;
    int inset = 0;  // draws only the rectangle shrunk by this much

private:
    void record(const std::string& what) { log_->push_back(tag_ + " " + what); }
    Log* log_;
    std::string tag_;
};

// A screen whose actions (id 7 only) and quit are recorded instead of run.
class RecordingScreen : public SkinScreen {
public:
    using SkinScreen::SkinScreen;
    int actions = 0;
    int quits = 0;

protected:
    bool runAction(SkinElement& e) override { return actions += e.id == 7, e.id == 7; }
    void quit() override { ++quits; }
};

constexpr QRgb kGrey = rgb(128, 128, 128), kRed = rgb(255, 0, 0), kBlue = rgb(0, 0, 255),
               kGreen = rgb(0, 255, 0);

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
    // Rows of x, y and the colour expected there.
    template <std::size_t N>
    void expectPixels(const QRgb (&cases)[N][3]) {
        for (const auto& [x, y, colour] : cases) {
            EXPECT_EQ(frame().pixel(static_cast<int>(x), static_cast<int>(y)), colour)
                << x << "," << y;
        }
    }
    RecordingScreen screen{surfaces_, boxes_};
    Log log;
};

TEST_F(SkinScreenTest, AMovingSpriteRestoresItsOldPlaceAndRedrawsAnOverlappingSprite) {
    EXPECT_EQ(composed(0), Log{});  // an empty screen draws nothing
    block({0, 0, 240, 320}, kGrey, 10, false, "panel");
    block({25, 25, 45, 45}, kBlue, 50, true, "under");
    Block* mover = block({10, 10, 30, 30}, kRed, 50, true, "mover");
    block({60, 60, 70, 70}, kRed, 50, true, "hidden")->visible = 0;
    screen.markAllDirty();
    EXPECT_EQ(composed(), (Log{"panel draw", "under draw", "mover draw"}));
    EXPECT_EQ(frame().pixel(27, 27), kRed);  // the mover is drawn last
    mover->rect = {100, 100, 120, 120};
    mover->dirty = mover->erasePending = 1;
    EXPECT_EQ(composed(), (Log{"mover erase", "under draw", "mover draw"}));
    // The old place restored from the background, the sprite under it redrawn.
    expectPixels({{12, 12, kGrey}, {27, 27, kBlue}, {105, 105, kRed}});
    EXPECT_EQ(background().pixel(105, 105), kGrey);  // sprites never reach the background
    EXPECT_EQ(composed(0), Log{});                   // all clean: nothing drawn
}

TEST_F(SkinScreenTest, ADirtyElementDragsAlongWhatOverlapsItOnHigherLayersOnly) {
    // a overlaps b and its neighbour on its own layer, b overlaps c.
    Block* a = block({0, 0, 20, 20}, kGrey, 10, false, "a");
    block({10, 10, 30, 30}, kBlue, 10, false, "same layer");
    block({15, 15, 40, 40}, kGreen, 20, false, "b");
    block({150, 150, 160, 160}, kBlue, 20, false, "far");
    Block* c = block({35, 35, 60, 60}, kRed, 50, true, "c");
    screen.markAllDirty();
    composed();
    a->dirty = 1;
    EXPECT_EQ(composed(), (Log{"a draw", "b draw", "c draw"}));  // layer by layer
    EXPECT_EQ(frame().pixel(17, 17), kGreen);
    c->dirty = 1;
    EXPECT_EQ(composed(), Log{"c draw"});
}

TEST_F(SkinScreenTest, TouchesReachTheHigherLayerFirstAndAtMostOneActionPerLayer) {
    Block* first = block({0, 0, 100, 100}, kGrey, 20, false, "first");
    block({0, 0, 100, 100}, kGrey, 20, false, "second");
    block({0, 0, 100, 100}, kGrey, 10, false, "low");
    block({0, 0, 100, 100}, kGrey, 100, true, "selector")->group = ElementGroup::PanelSelector;
    block({0, 0, 100, 100}, kGrey, 50, true, "hidden")->visible = 0;
    for (const auto& e : screen.elements()) {
        e->id = 7;  // an id with an action; the selector acts by itself
    }
    screen.release(50, 50);
    EXPECT_EQ(log, (Log{"selector release", "first release", "low release"}));
    first->id = 8;  // a hit without an action lets the scan go on
    screen.release(50, 50);
    EXPECT_EQ(log.size(), 3u + 4u);
    EXPECT_EQ(screen.actions, 4);

    block({0, 0, 20, 20}, kGrey, 100, false, "quit")->id = ElementId::QuitButton;
    screen.press(150, 150);
    EXPECT_EQ(screen.quits, 0);
    log.clear();
    screen.press(5, 5);
    EXPECT_EQ(screen.quits, 1);
    EXPECT_EQ(log,
              (Log{"selector press", "quit press", "first press", "second press", "low press"}));
}

TEST_F(SkinScreenTest, InMapModeTheMapCoversTheReadoutsAndTheCompassComesFromScratch) {
    block({0, 0, 240, 264}, kGrey, 10, false, "panel");
    Block* readout = block({100, 100, 140, 140}, kBlue, 50, true, "readout");
    Block* map = block({0, 0, 240, 264}, kGreen, 50, true, "map");
    Block* compass = block({7, 7, 67, 67}, kRed, 50, true, "compass");
    map->id = ElementId::TrackView;
    compass->id = ElementId::TrackCompass;
    screen.mapMode = 1;
    screen.markAllDirty();
    EXPECT_EQ(composed(), (Log{"panel draw", "map keep", "map erase", "map draw", "compass draw"}));
    EXPECT_EQ(map->keepArea, compass->eraseRect());
    EXPECT_EQ(std::tuple(compass->erasePending, map->dirty, readout->dirty),
              std::tuple(0, 0, 1));  // the read-out waits

    // Only the compass changed: its area comes back from the scratch surface.
    scratch().fill(rgb(1, 2, 3));
    compass->colour = rgb(9, 9, 9);
    compass->inset = 20;
    compass->dirty = compass->erasePending = 1;
    EXPECT_EQ(composed(), Log{"compass draw"});
    expectPixels({{10, 10, rgb(1, 2, 3)}, {30, 30, rgb(9, 9, 9)}, {70, 70, kGreen}});
    screen.move(30, 40);  // dragging reaches the map in map mode only
    screen.mapMode = 0;
    screen.move(2, 2);
    EXPECT_EQ(log, (Log{"compass draw", "map drag 70"}));
}

// An element that counts how often it re-read its source.
class Probe : public SkinElement {
public:
    int update(std::uint32_t) override { return ++updates, 1; }
    void draw(DrawingSurfaces&) override {}
    void offsetBy(int dx, int dy) override { rect = rect.offset(dx, dy); }
    int updates = 0;
};

TEST_F(SkinScreenTest, ButtonsPopBackAfter33FramesAndTheLampShowsTheFixLevel) {
    auto* button = screen.add(std::make_unique<PushButton>());
    button->init(60, 264, 403, 404);
    publishFrame(1000);
    NavSnapshot snap;
    auto* lamp = screen.add(std::make_unique<StateLamp>());
    initReceiverLamp(*lamp, snap, 66, 128);
    button->visible = lamp->visible = 1;
    EXPECT_EQ(button->onPress(10, 270) + button->onPress(119, 319) + button->onRelease(0, 0), 1);
    screen.compose();  // released outside: pressed until more than 33 frames later
    EXPECT_EQ(background().pixel(60, 264), placeholderColour(404));
    screen.tickAll(1033);
    EXPECT_EQ(button->pressed, 1);
    screen.tickAll(1034);
    screen.compose();
    EXPECT_EQ(frame().pixel(119, 319), placeholderColour(403));
    const int levels[][2] = {{1, 453}, {2, 454}, {3, 456}, {4, 455}, {5, 455}, {9, 453}};
    for (const auto& [level, bitmap] : levels) {  // read every 30 frames
        snap.fixLevel = level;
        screen.tickAll(static_cast<std::uint32_t>(30 * level));
        ASSERT_EQ(screen.compose(), 1) << level;
        EXPECT_EQ(frame().pixel(84, 144), placeholderColour(bitmap)) << level;
    }
    screen.tickAll(300);  // the same level again: nothing to draw
    EXPECT_EQ(screen.compose(), 0);
}

TEST_F(SkinScreenTest, PanelsMoveTheirChildrenAndKeepAHiddenChildHidden) {
    BitmapPanel panel;
    panel.initBitmap(471, "Sky View");
    Probe shown, hidden;
    panel.addChild(&shown);
    panel.addChild(&hidden);
    panel.moveTo(120, 150);
    panel.setVisible(1);
    panel.draw(surfaces_);
    EXPECT_EQ(shown.rect, (Rect{120, 150, 120, 150}));
    EXPECT_EQ(countColour(frame(), {119, 150, 240, 151}, placeholderColour(471)), 120);
    EXPECT_EQ(background().pixel(239, 263), placeholderColour(471));
    hidden.setVisible(0);
    panel.setVisible(0);
    panel.setVisible(0);  // hiding again must not forget what was shown
    panel.setVisible(1);
    EXPECT_EQ(shown.visible - hidden.visible, 1);
    EXPECT_EQ(shown.updates, 2);  // showing re-reads the source, only when hidden
    shown.setVisible(1);
    panel.showWithChildren(0);  // every child shown from then on
    panel.setVisible(1);
    panel.hideChildrenKeepState();
    EXPECT_EQ(std::tuple(panel.visible, shown.visible, hidden.visible), std::tuple(1, 0, 0));
    EXPECT_EQ(panel.childShown(), (std::vector<int>{1, 1}));
    EXPECT_EQ(shown.updates, 3);
}

TEST_F(SkinScreenTest, ASelectorShowsTheChosenItemInPlaceOfTheCurrentOne) {
    auto* selector = screen.add(std::make_unique<SwitchingPanelSelector>());
    std::vector<BitmapPanel*> panels;
    for (int i = 0; i < 3; ++i) {
        panels.push_back(screen.add(std::make_unique<BitmapPanel>()));
        panels[i]->initBitmap(467 + i, "Panel");
        panels[i]->setVisible(i == 0);
        selector->addItem("Panel", panels[i]);
    }
    panels[0]->moveTo(0, 150);
    selector->init({5, 155, 25, 175}, "Menu L");
    selector->setArea({0, 150, 120, 264}, 95);
    selector->visible = 1;
    selector->chooseInitialCurrent(screen);
    EXPECT_EQ(selector->onRelease(100, 100), 0);
    // Open: the current item with its square, the others plain. Closed: erased.
    const QRgb list[][3] = {{20, 165, placeholderColour(472)},  {25, 165, rgb(0, 0, 0)},
                            {105, 165, rgb(198, 196, 196)},     {114, 165, placeholderColour(472)},
                            {115, 165, placeholderColour(467)}, {105, 188, rgb(153, 153, 153)},
                            {60, 223, rgb(39, 39, 39)},         {60, 224, placeholderColour(467)},
                            {5, 155, placeholderColour(437)}};
    const QRgb closed[][3] = {{60, 165, placeholderColour(467)},
                              {114, 223, placeholderColour(467)},
                              {5, 155, placeholderColour(438)}};
    EXPECT_EQ(selector->onRelease(10, 160), 1);  // opens
    screen.compose();
    expectPixels(list);
    EXPECT_EQ(selector->onRelease(200, 300), 1);  // a touch outside: closed, no choice
    screen.compose();
    expectPixels(closed);
    EXPECT_EQ(selector->onRelease(10, 160) + selector->onRelease(30, 155 + 2 * 23 + 5), 2);
    EXPECT_EQ(selector->current, panels[2]);  // the third item, in place of the first
    EXPECT_EQ(panels[0]->visible + panels[2]->visible, 1);
    screen.compose();
    EXPECT_EQ(frame().pixel(60, 200), placeholderColour(469));
    selector->opensLeft = 1;  // the list then ends 5 pixels left of the button
    EXPECT_EQ(selector->listRect(), (Rect{-95, 155, 0, 155 + 69}));
}

}  // namespace
}  // namespace wp2::test
