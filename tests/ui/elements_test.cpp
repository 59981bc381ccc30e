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
    int update(std::uint32_t) override {
        ++updates;
        return 1;
    }
    void draw() override {}
    void offsetBy(int dx, int dy) override { rect = rect.offset(dx, dy); }
    Rect eraseRect() const override { return rect; }
    void erase() override {}
    int updates = 0;
};

class ElementsTest : public UiTest {
protected:
    SkinScreen screen;
};

TEST_F(ElementsTest, PushButtonShowsThePressedImageUntilTheRelease) {
    auto* button = screen.add(std::make_unique<PushButton>());
    button->init(60, 264, 403, 404);
    button->visible = 1;
    EXPECT_EQ(button->rect, (Rect{60, 264, 120, 320}));
    EXPECT_EQ(button->layer, 20);

    publishFrame(100);
    EXPECT_EQ(button->onPress(10, 270), 0);  // outside
    EXPECT_EQ(button->pressed, 0);
    EXPECT_EQ(button->onPress(61, 265), 1);
    EXPECT_EQ(button->pressed, 1);
    EXPECT_EQ(button->pressFrame, 100u);
    EXPECT_EQ(button->dirty, 1);
    screen.compose();
    EXPECT_EQ(frame().pixel(61, 265), placeholderColour(404));
    EXPECT_EQ(background().pixel(119, 319), placeholderColour(404));

    EXPECT_EQ(button->onRelease(119, 319), 1);  // last pixel inside
    EXPECT_EQ(button->pressed, 0);
    screen.compose();
    EXPECT_EQ(frame().pixel(61, 265), placeholderColour(403));
    EXPECT_EQ(background().pixel(61, 265), placeholderColour(403));
}

TEST_F(ElementsTest, PushButtonReleasedElsewherePopsBackAfter33Frames) {
    auto* button = screen.add(std::make_unique<PushButton>());
    button->init(0, 264, 401, 402);
    button->visible = 1;
    publishFrame(1000);
    button->onPress(5, 270);
    screen.compose();
    EXPECT_EQ(button->onRelease(120, 0), 0);  // released outside: stays pressed
    EXPECT_EQ(button->pressed, 1);
    screen.tickAll(1033);
    EXPECT_EQ(button->pressed, 1);
    EXPECT_EQ(screen.compose(), 0);
    screen.tickAll(1034);
    EXPECT_EQ(button->pressed, 0);
    EXPECT_EQ(screen.compose(), 1);
    EXPECT_EQ(frame().pixel(5, 270), placeholderColour(401));
}

TEST_F(ElementsTest, PushButtonNewBitmapsKeepTheCornerAndTakeTheNewSize) {
    PushButton button;
    button.init(100, 50, 403, 404);
    button.setBitmaps(465, 465);
    EXPECT_EQ(button.rect, (Rect{100, 50, 116, 64}));
    // A bitmap that cannot be loaded draws nothing.
    button.setBitmaps(9999, 9999);
    frame().fill(rgb(1, 1, 1));
    button.draw();
    EXPECT_EQ(frame().pixel(100, 50), rgb(1, 1, 1));
}

TEST_F(ElementsTest, StateLampPicksItsImageByState) {
    int state = 1;
    auto* lamp = screen.add(std::make_unique<StateLamp>());
    lamp->init([&] { return state; }, 66, 128, 453, 454, 456, 455);
    lamp->visible = 1;
    EXPECT_EQ(lamp->rect, (Rect{66, 128, 85, 145}));
    const std::pair<int, int> expected[] = {{1, 453}, {2, 454}, {3, 456}, {4, 455},
                                            {5, 455}, {0, 453}, {9, 453}};
    std::uint32_t frameNo = 30;
    for (auto [s, bitmap] : expected) {
        state = s;
        screen.tickAll(frameNo);
        frameNo += 30;
        ASSERT_EQ(screen.compose(), 1);
        EXPECT_EQ(frame().pixel(70, 130), placeholderColour(bitmap)) << "state " << s;
        EXPECT_EQ(background().pixel(70, 130), placeholderColour(bitmap)) << "state " << s;
    }
    // Between multiples of 30 the source is not read.
    state = 2;
    screen.tickAll(frameNo + 1);
    EXPECT_EQ(screen.compose(), 0);
}

TEST_F(ElementsTest, BitmapPanelTakesItsSizeFromItsBitmapAndKeepsItAsBackground) {
    auto* panel = screen.add(std::make_unique<BitmapPanel>());
    panel->initBitmap(471, "Sky View");
    EXPECT_EQ(panel->rect, (Rect{0, 0, 120, 114}));
    panel->moveTo(120, 150);
    panel->setVisible(1);
    EXPECT_EQ(screen.compose(), 1);
    EXPECT_EQ(frame().pixel(120, 150), placeholderColour(471));
    EXPECT_EQ(background().pixel(239, 263), placeholderColour(471));
    EXPECT_EQ(frame().pixel(119, 150), rgb(0, 0, 0));
}

TEST_F(ElementsTest, PlainPanelWithGridDrawsLinesEvery55Pixels) {
    auto* panel = screen.add(std::make_unique<BitmapPanel>());
    panel->initPlain(240, 264, rgb(230, 230, 230), "Track Panel");
    panel->grid = 1;
    panel->setVisible(1);
    screen.compose();
    const QRgb grid = rgb(50, 0, 180);
    const QRgb fill = rgb(230, 230, 230);
    EXPECT_EQ(frame().pixel(40, 10), grid);   // first horizontal line
    EXPECT_EQ(frame().pixel(40, 65), grid);   // second
    EXPECT_EQ(frame().pixel(40, 230), grid);  // last: 230 <= 264 - 14
    EXPECT_EQ(frame().pixel(10, 100), grid);  // vertical lines
    EXPECT_EQ(frame().pixel(230, 100), grid);
    EXPECT_EQ(frame().pixel(40, 40), fill);
    EXPECT_EQ(frame().pixel(5, 10), fill);    // lines start 10 in
    EXPECT_EQ(frame().pixel(10, 249), grid);  // towards 14 above the bottom,
    EXPECT_EQ(frame().pixel(10, 250), fill);  // the end point left out
    EXPECT_EQ(frame().pixel(40, 255), fill);
    EXPECT_EQ(background().pixel(40, 65), grid);
}

TEST_F(ElementsTest, MovingAPanelMovesItsChildren) {
    BitmapPanel panel;
    panel.initBitmap(467, "Compass");
    Probe child({11, 8, 111, 108});
    panel.addChild(&child);
    panel.moveTo(120, 150);
    EXPECT_EQ(panel.rect, (Rect{120, 150, 240, 264}));
    EXPECT_EQ(child.rect, (Rect{131, 158, 231, 258}));
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
    EXPECT_EQ(shown.visible, 0);
    EXPECT_EQ(hidden.visible, 0);
    // Hiding the hidden panel again must not forget what was shown.
    panel.setVisible(0);
    panel.setVisible(1);
    EXPECT_EQ(shown.visible, 1);
    EXPECT_EQ(hidden.visible, 0);
    EXPECT_EQ(panel.dirty, 1);
    EXPECT_EQ(shown.dirty, 1);
    EXPECT_GE(shown.updates, 2);  // showing re-reads the source

    // showWithChildren shows every child from then on, even when it hides
    // the panel (and with it the children) at once.
    panel.showWithChildren(0);
    EXPECT_EQ(panel.visible, 0);
    EXPECT_EQ(shown.visible, 0);
    EXPECT_EQ(hidden.visible, 0);
    panel.setVisible(1);
    EXPECT_EQ(hidden.visible, 1);

    // A panel that was never shown hides the children it is given.
    BitmapPanel fresh;
    Probe child({0, 0, 1, 1});
    fresh.addChild(&child);
    fresh.showWithChildren(0);
    EXPECT_EQ(child.visible, 0);
    fresh.setVisible(1);
    EXPECT_EQ(child.visible, 1);

    panel.hideChildrenKeepState();
    EXPECT_EQ(panel.visible, 1);
    EXPECT_EQ(shown.visible, 0);
    EXPECT_EQ(panel.childShown(), (std::vector<int>{1, 1}));
}

TEST_F(ElementsTest, ShowingAnElementReadsItsSourceOnlyWhenItWasHidden) {
    Probe p({0, 0, 1, 1});
    p.setVisible(1);
    p.dirty = 0;
    p.setVisible(1);
    EXPECT_EQ(p.updates, 1);
    EXPECT_EQ(p.dirty, 0);
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
        panels[0]->setVisible(1);
        panels[1]->setVisible(0);
        panels[2]->setVisible(0);
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

TEST_F(SelectorTest, TheFirstShownPanelUnderTheButtonIsCurrent) {
    EXPECT_EQ(selector->current, panels[0]);
    EXPECT_EQ(selector->layer, 100);
    EXPECT_EQ(selector->sprite, 1);
}

TEST_F(SelectorTest, ListOpensRightOrLeftOfTheButton) {
    EXPECT_EQ(selector->listRect(), (Rect{20, 155, 115, 155 + 69}));
    selector->opensLeft = 1;
    EXPECT_EQ(selector->listRect(), (Rect{-95, 155, 0, 155 + 69}));
}

TEST_F(SelectorTest, ChoosingAnItemShowsItInPlaceOfTheCurrentOne) {
    EXPECT_EQ(selector->onRelease(100, 100), 0);  // closed and missed
    EXPECT_EQ(selector->onRelease(10, 160), 1);
    EXPECT_EQ(selector->open, 1);
    EXPECT_EQ(selector->result, MenuResult::Opened);
    EXPECT_EQ(selector->eraseArea, selector->listRect());
    screen.compose();
    // The open list: the current item highlighted with its square, others plain.
    EXPECT_EQ(frame().pixel(105, 155 + 10), rgb(198, 196, 196));
    EXPECT_EQ(frame().pixel(25, 155 + 10), rgb(0, 0, 0));
    EXPECT_EQ(frame().pixel(105, 155 + 23 + 10), rgb(153, 153, 153));
    EXPECT_EQ(frame().pixel(60, 155 + 23), rgb(189, 189, 189));
    EXPECT_EQ(frame().pixel(60, 155 + 45), rgb(39, 39, 39));
    EXPECT_EQ(frame().pixel(20, 155 + 10), placeholderColour(472));  // side edge
    EXPECT_EQ(frame().pixel(5, 155), placeholderColour(PanelSelector::kButtonOpen));

    // Choose the third item.
    EXPECT_EQ(selector->onRelease(30, 155 + 2 * 23 + 5), 1);
    EXPECT_EQ(selector->result, MenuResult::Chosen);
    EXPECT_EQ(selector->current, panels[2]);
    EXPECT_EQ(selector->selected, -1);
    EXPECT_EQ(selector->open, 0);
    EXPECT_EQ(panels[0]->visible, 0);
    EXPECT_EQ(panels[2]->visible, 1);
    EXPECT_EQ(panels[2]->rect, (Rect{0, 150, 120, 264}));
    EXPECT_EQ(screen.compose(), 1);
    EXPECT_EQ(frame().pixel(60, 200), placeholderColour(469));
    EXPECT_EQ(frame().pixel(5, 155), placeholderColour(PanelSelector::kButtonClosed));
    EXPECT_TRUE(selector->eraseArea.isEmpty());
}

TEST_F(SelectorTest, ATouchOutsideTheOpenListClosesItWithoutChoice) {
    selector->onRelease(10, 160);
    screen.compose();
    EXPECT_EQ(selector->onRelease(200, 300), 1);
    EXPECT_EQ(selector->result, MenuResult::Dismissed);
    EXPECT_EQ(selector->current, panels[0]);
    EXPECT_EQ(screen.compose(), 1);
    // The list area, one pixel larger, comes back from the background.
    EXPECT_EQ(frame().pixel(60, 165), placeholderColour(467));
    EXPECT_EQ(frame().pixel(114, 223), placeholderColour(467));
}

TEST_F(SelectorTest, SwitchingToTheCurrentElementChangesNothing) {
    selector->switchTo(panels[0]);
    EXPECT_EQ(panels[0]->visible, 1);
    selector->current = nullptr;
    selector->switchTo(panels[1]);  // nothing shown: it goes to the area's corner
    EXPECT_EQ(panels[1]->rect.left, 0);
    EXPECT_EQ(panels[1]->rect.top, 150);
}

TEST_F(ElementsTest, PopupMenuChoosesAnItemOrCloses) {
    auto* menu = screen.add(std::make_unique<PopupMenu>());
    menu->init(144, 148, 96);
    menu->addItem("GPS", 3);
    menu->addItem("Sound", 1);
    menu->addItem("WayPoints", 2);
    menu->addItem("Misc.", 4);
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
