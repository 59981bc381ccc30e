#include <gtest/gtest.h>

#include "ui/bitmap_panel.h"
#include "ui/panel_selector.h"
#include "ui/popup_menu.h"
#include "ui/push_button.h"
#include "ui/skin_screen.h"
#include "ui/state_lamp.h"
#include "ui_test_support.h"

namespace wp2 {
namespace {

using test::placeholderColour;
using test::UiTest;

// A sprite that counts how often it re-read its source.
class Probe : public SpriteElement {
public:
    explicit Probe(Rect r) { rect = r; }
    int update(std::uint32_t) override { return ++updates, 1; }
    void draw() override {}
    void offsetBy(int dx, int dy) override { rect = rect.offset(dx, dy); }
    Rect eraseRect() const override { return rect; }
    void erase() override {}
    int updates = 0;
};

struct PixelCase {
    int x, y;
    QRgb colour;
};

class ElementsTest : public UiTest {
protected:
    void expectPixels(std::initializer_list<PixelCase> cases) {
        for (const PixelCase& c : cases) {
            EXPECT_EQ(frame().pixel(c.x, c.y), c.colour) << c.x << "," << c.y;
        }
    }
    SkinScreen screen;
};

TEST_F(ElementsTest, PushButtonPressedUntilReleasedInsideOrPoppedBackAfter33Frames) {
    auto* button = screen.add(std::make_unique<PushButton>());
    button->init(60, 264, 403, 404);
    button->visible = 1;
    EXPECT_EQ(button->rect, (Rect{60, 264, 120, 320}));
    publishFrame(100);
    EXPECT_EQ(button->onPress(10, 270), 0);  // outside
    EXPECT_EQ(button->pressed, 0);
    EXPECT_EQ(button->onPress(61, 265), 1);
    EXPECT_EQ(button->pressFrame, 100u);
    screen.compose();
    EXPECT_EQ(frame().pixel(61, 265), placeholderColour(404));
    EXPECT_EQ(background().pixel(119, 319), placeholderColour(404));
    EXPECT_EQ(button->onRelease(119, 319), 1);  // last pixel inside
    EXPECT_EQ(button->pressed, 0);
    screen.compose();
    EXPECT_EQ(frame().pixel(61, 265), placeholderColour(403));

    publishFrame(1000);
    button->onPress(61, 270);
    screen.compose();
    EXPECT_EQ(button->onRelease(0, 0), 0);  // released outside: stays pressed
    screen.tickAll(1033);
    EXPECT_EQ(button->pressed, 1);
    EXPECT_EQ(screen.compose(), 0);
    screen.tickAll(1034);
    EXPECT_EQ(button->pressed, 0);
    EXPECT_EQ(screen.compose(), 1);
    EXPECT_EQ(frame().pixel(61, 270), placeholderColour(403));

    // New bitmaps keep the corner and take their size; a missing one draws nothing.
    button->setBitmaps(465, 465);
    EXPECT_EQ(button->rect, (Rect{60, 264, 76, 278}));
    button->setBitmaps(9999, 9999);
    frame().fill(rgb(1, 1, 1));
    button->draw();
    EXPECT_EQ(frame().pixel(60, 264), rgb(1, 1, 1));
}

TEST_F(ElementsTest, StateLampPicksItsImageByStateEvery30Frames) {
    int state = 1;
    auto* lamp = screen.add(std::make_unique<StateLamp>());
    lamp->init([&] { return state; }, 66, 128, 453, 454, 456, 455);
    lamp->visible = 1;
    const std::pair<int, int> expected[] = {{1, 453}, {2, 454}, {3, 456}, {4, 455},
                                            {5, 455}, {0, 453}, {9, 453}};
    std::uint32_t frameNo = 30;
    for (auto [s, bitmap] : expected) {
        SCOPED_TRACE(s);
        state = s;
        screen.tickAll(frameNo);
        frameNo += 30;
        ASSERT_EQ(screen.compose(), 1);
        EXPECT_EQ(frame().pixel(84, 144), placeholderColour(bitmap));
        EXPECT_EQ(background().pixel(70, 130), placeholderColour(bitmap));
    }
    state = 2;
    screen.tickAll(frameNo + 1);
    EXPECT_EQ(screen.compose(), 0);
}

TEST_F(ElementsTest, BitmapPanelTakesItsBitmapsSizeAndMovesItsChildren) {
    auto* panel = screen.add(std::make_unique<BitmapPanel>());
    panel->initBitmap(471, "Sky View");
    Probe child({11, 8, 111, 108});
    panel->addChild(&child);
    panel->moveTo(120, 150);
    EXPECT_EQ(panel->rect, (Rect{120, 150, 240, 264}));
    EXPECT_EQ(child.rect, (Rect{131, 158, 231, 258}));
    panel->setVisible(1);
    EXPECT_EQ(screen.compose(), 1);
    expectPixels({{120, 150, placeholderColour(471)}, {119, 150, rgb(0, 0, 0)}});
    EXPECT_EQ(background().pixel(239, 263), placeholderColour(471));
}

TEST_F(ElementsTest, PlainPanelWithGridDrawsLinesEvery55Pixels) {
    auto* panel = screen.add(std::make_unique<BitmapPanel>());
    panel->initPlain(240, 264, rgb(230, 230, 230), "Track Panel");
    panel->grid = 1;
    panel->setVisible(1);
    screen.compose();
    const QRgb grid = rgb(50, 0, 180), fill = rgb(230, 230, 230);
    // Lines from 10 in to (not including) 14 above the bottom.
    expectPixels({{40, 10, grid},
                  {40, 65, grid},
                  {40, 230, grid},
                  {10, 100, grid},
                  {230, 100, grid},
                  {40, 40, fill},
                  {5, 10, fill},
                  {10, 249, grid},
                  {10, 250, fill},
                  {40, 255, fill}});
    EXPECT_EQ(background().pixel(40, 65), grid);
}

TEST_F(ElementsTest, HidingAndShowingAPanelKeepsAHiddenChildHidden) {
    BitmapPanel panel;
    panel.initBitmap(471, "Sky View");
    Probe shown({0, 0, 10, 10});
    Probe hidden({0, 0, 10, 10});
    panel.addChild(&shown);
    panel.addChild(&hidden);
    panel.setVisible(1);
    EXPECT_EQ(shown.visible, 1);
    hidden.setVisible(0);
    panel.setVisible(0);
    EXPECT_EQ(shown.visible + hidden.visible, 0);
    panel.setVisible(0);  // hiding again must not forget what was shown
    panel.setVisible(1);
    EXPECT_EQ(shown.visible, 1);
    EXPECT_EQ(hidden.visible, 0);
    EXPECT_EQ(panel.dirty + shown.dirty, 2);
    const int reads = shown.updates;
    EXPECT_GE(reads, 2);  // showing re-reads the source, but only when it was hidden
    shown.dirty = 0;
    shown.setVisible(1);
    EXPECT_EQ(shown.updates, reads);
    EXPECT_EQ(shown.dirty, 0);

    // showWithChildren shows every child from then on, even when it hides the panel at once.
    panel.showWithChildren(0);
    EXPECT_EQ(panel.visible + shown.visible + hidden.visible, 0);
    panel.setVisible(1);
    EXPECT_EQ(hidden.visible, 1);
    panel.hideChildrenKeepState();
    EXPECT_EQ(panel.visible, 1);
    EXPECT_EQ(shown.visible, 0);
    EXPECT_EQ(panel.childShown(), (std::vector<int>{1, 1}));

    // A panel that was never shown hides the children it is given.
    BitmapPanel fresh;
    Probe child({0, 0, 1, 1});
    fresh.addChild(&child);
    fresh.showWithChildren(0);
    EXPECT_EQ(child.visible, 0);
    fresh.setVisible(1);
    EXPECT_EQ(child.visible, 1);
}

class SelectorTest : public ElementsTest {
protected:
    void SetUp() override {
        ElementsTest::SetUp();
        for (int i = 0; i < 3; ++i) {
            auto* panel = screen.add(std::make_unique<BitmapPanel>());
            panel->initBitmap(467 + i, "Panel " + std::to_string(i));
            panels.push_back(panel);
        }
        panels[0]->moveTo(0, 150);
        for (int i = 0; i < 3; ++i) {
            panels[i]->setVisible(i == 0);
        }
        selector = screen.add(std::make_unique<SwitchingPanelSelector>());
        selector->init({5, 155, 25, 175}, "Menu L");
        selector->setArea({0, 150, 120, 264}, 95);
        for (auto* p : panels) {
            selector->addItem(p->name, p);
        }
        selector->visible = 1;
        selector->chooseInitialCurrent(screen);
    }
    std::vector<BitmapPanel*> panels;
    SwitchingPanelSelector* selector = nullptr;
};

TEST_F(SelectorTest, ChoosingAnItemShowsItInPlaceOfTheCurrentOne) {
    EXPECT_EQ(selector->current, panels[0]);  // the first shown panel under the button
    EXPECT_EQ(selector->listRect(), (Rect{20, 155, 115, 155 + 69}));
    EXPECT_EQ(selector->onRelease(100, 100), 0);  // closed and missed
    EXPECT_EQ(selector->onRelease(10, 160), 1);
    EXPECT_EQ(selector->result, MenuResult::Opened);
    EXPECT_EQ(selector->eraseArea, selector->listRect());
    screen.compose();
    // The current item highlighted with its square, the others plain, then the edges.
    expectPixels({{105, 165, rgb(198, 196, 196)},
                  {25, 165, rgb(0, 0, 0)},
                  {105, 188, rgb(153, 153, 153)},
                  {60, 178, rgb(189, 189, 189)},
                  {60, 200, rgb(39, 39, 39)},
                  {20, 165, placeholderColour(472)},
                  {5, 155, placeholderColour(PanelSelector::kButtonOpen)}});

    EXPECT_EQ(selector->onRelease(30, 155 + 2 * 23 + 5), 1);  // the third item
    EXPECT_EQ(selector->result, MenuResult::Chosen);
    EXPECT_EQ(selector->current, panels[2]);
    EXPECT_EQ(selector->open, 0);
    EXPECT_EQ(panels[0]->visible, 0);
    EXPECT_EQ(panels[2]->visible, 1);
    EXPECT_EQ(panels[2]->rect, (Rect{0, 150, 120, 264}));
    EXPECT_EQ(screen.compose(), 1);
    expectPixels({{60, 200, placeholderColour(469)},
                  {5, 155, placeholderColour(PanelSelector::kButtonClosed)}});
    EXPECT_TRUE(selector->eraseArea.isEmpty());
    selector->switchTo(panels[2]);
    EXPECT_EQ(panels[2]->visible, 1);

    selector->opensLeft = 1;
    EXPECT_EQ(selector->listRect(), (Rect{-95, 155, 0, 155 + 69}));
    selector->current = nullptr;
    selector->switchTo(panels[1]);  // nothing shown: it goes to the area's corner
    EXPECT_EQ(panels[1]->rect, (Rect{0, 150, 120, 264}));
}

TEST_F(SelectorTest, ATouchOutsideTheOpenListClosesItWithoutChoice) {
    selector->onRelease(10, 160);
    screen.compose();
    EXPECT_EQ(selector->onRelease(200, 300), 1);
    EXPECT_EQ(selector->result, MenuResult::Dismissed);
    EXPECT_EQ(selector->current, panels[0]);
    EXPECT_EQ(screen.compose(), 1);
    // The list area, one pixel larger, comes back from the background.
    expectPixels({{60, 165, placeholderColour(467)}, {114, 223, placeholderColour(467)}});
}

TEST_F(ElementsTest, PopupMenuChoosesAnItemOrCloses) {
    auto* menu = screen.add(std::make_unique<PopupMenu>());
    menu->init(144, 148, 96);
    for (auto [text, code] : {std::pair{"GPS", 3}, {"Sound", 1}, {"WayPoints", 2}, {"Misc.", 4}}) {
        menu->addItem(text, code);
    }
    menu->visible = 1;
    EXPECT_EQ(menu->rect, (Rect{144, 148, 240, 148 + 92}));
    EXPECT_TRUE(menu->paintRect().isEmpty());
    EXPECT_EQ(menu->onRelease(150, 150), 0);  // closed: nothing
    EXPECT_EQ(menu->onPress(150, 150), 0);

    frame().fill(rgb(5, 5, 5));
    background().fill(rgb(5, 5, 5));
    menu->openMenu();
    EXPECT_EQ(menu->result, MenuResult::Opened);
    EXPECT_EQ(menu->paintRect(), menu->rect);
    EXPECT_EQ(screen.compose(), 1);
    EXPECT_EQ(frame().pixel(234, 148 + 23 + 10), rgb(198, 196, 196));
    EXPECT_EQ(menu->onRelease(200, 148 + 23 * 2 + 1), 1);
    EXPECT_EQ(menu->result, MenuResult::Chosen);
    EXPECT_EQ(menu->chosenCode(), 2);
    EXPECT_EQ(screen.compose(), 1);
    EXPECT_EQ(frame().pixel(234, 148 + 23 + 10), rgb(5, 5, 5));  // erased
    menu->reset();
    EXPECT_EQ(menu->chosenCode(), 0);
    menu->openMenu();
    EXPECT_EQ(menu->onRelease(10, 10), 1);
    EXPECT_EQ(menu->result, MenuResult::Dismissed);
    EXPECT_EQ(menu->open, 0);
}

}  // namespace
}  // namespace wp2
