#include "app/dashboard_screen.h"

#include <gtest/gtest.h>

#include "app_test_support.h"
#include "core/base/clock.h"
#include "core/base/paths.h"
#include "core/gps/emulation_source.h"
#include "core/gps/nav_snapshot.h"
#include "core/nav/unit_formatter.h"
#include "core/settings/creg_int.h"
#include "core/settings/creg_store.h"
#include "core/waypoints/cpushpins.h"
#include "ui/bitmap_panel.h"
#include "ui/bitmap_source.h"
#include "ui/dashboard_ids.h"
#include "ui/destination_panel.h"
#include "ui/panel_selector.h"
#include "ui/popup_menu.h"
#include "ui/push_button.h"
#include "ui/surface.h"
#include "ui/track_view.h"

namespace wp2 {
namespace {

namespace Id = DashboardId;
using test::RecordingDialogs;
using test::RecordingHost;

std::string storedChoices() {
    std::string text;
    CRegStore().ReadLongText("IOpt", text);
    return text;
}

class DashboardTest : public test::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        publishSurfaces(&surfaces_);
        dialogs_.host = &host_;
    }
    void TearDown() override {
        screen_.reset();
        publishSurfaces(nullptr);
        AppTest::TearDown();
    }

    // Without a link or an emulation file unless the test asks for one.
    DashboardScreen& build(int mode = ScreenMode::Skipped) {
        screen_.reset();
        screen_ = std::make_unique<DashboardScreen>(host_, services([this](int port) {
                                                        linkStarts_.push_back(port);
                                                        return linkStarts;
                                                    }));
        screen_->buildScreen(mode);
        screen_->compose();
        return *screen_;
    }
    void tap(int x, int y) {
        screen_->press(x, y);
        screen_->release(x, y);
        screen_->compose();
    }
    SkinElement& byId(int id) {
        SkinElement* e = screen_->byId(id);
        EXPECT_NE(e, nullptr) << id;
        return *e;
    }
    bool shown(int id) { return byId(id).visible != 0; }
    Point topLeft(int id) {
        const Rect r = byId(id).frameRect();
        return {r.left, r.top};
    }
    void addPushpins(int n) {
        for (int i = 0; i < n; ++i) {
            CPushpin* p = pushpins_.AddNew();
            p->latitude = 0.1 * (i + 1);
            p->longitude = 0.2;
            p->name = u"P" + std::u16string(1, static_cast<char16_t>(u'0' + i));
        }
    }

    DrawingSurfaces surfaces_;
    RecordingHost host_;
    std::vector<int> linkStarts_;
    bool linkStarts = true;
    std::unique_ptr<DashboardScreen> screen_;
};

TEST_F(DashboardTest, BuildsTheFortyOneElementsInTheirOrderWithIdsLayersAndStartVisibility) {
    struct Row {
        const char* name;
        int id;
        int layer;
        int group;
        int visible;
    };
    const Row rows[] = {
        {"Options menu", 23, 100, 50, 1},
        {"Compass", 21, 10, 10, 0},
        {"Compas Arrow L", 500, 50, 0, 0},
        {"Compass", 22, 10, 10, 0},
        {"Compas Arrow R", 600, 50, 0, 0},
        {"Low panel", 19, 10, 10, 1},
        {"TBtn1", 11, 20, 0, 1},
        {"TBtn2", 12, 20, 0, 1},
        {"TBtn3", 13, 20, 0, 1},
        {"TBtn4", 14, 20, 0, 1},
        {"Sky View", 26, 10, 10, 0},
        {"Sats1", 0, 50, 0, 0},
        {"Sky View", 27, 10, 10, 1},
        {"Sats2", 0, 50, 0, 1},
        {"Container 1", 0, 10, 10, 1},
        {"Course", 30, 10, 10, 1},
        {"Course arrow", 0, 50, 0, 1},
        {"Antena lamp", 0, 20, 0, 1},
        {"Quit button", 20, 20, 0, 1},
        {"Speed", 29, 10, 10, 0},
        {"Speed arrow", 0, 50, 0, 0},
        {"Speed", 35, 50, 60, 1},
        {"Heading", 37, 50, 60, 1},
        {"Bearing", 33, 50, 60, 0},
        {"Alt", 34, 50, 60, 0},
        {"Accuracy", 36, 50, 60, 0},
        {"PDOP", 38, 50, 60, 0},
        {"Nsat", 39, 50, 60, 0},
        {"Battery", 40, 50, 60, 0},
        {"Val menu 1", 103, 100, 40, 1},
        {"Val menu 2", 104, 100, 40, 1},
        {"Destination", 24, 10, 10, 1},
        {"Destination", 25, 10, 10, 0},
        {"Position", 31, 10, 10, 0},
        {"Position", 32, 10, 10, 0},
        {"Track Panel", 28, 10, 10, 0},
        {"Track compas", 202, 50, 0, 0},
        {"Track", 201, 50, 0, 0},
        {"Menu 1", 105, 100, 30, 1},
        {"Menu L", 102, 100, 30, 1},
        {"Menu R", 101, 90, 30, 1},
    };
    build();
    const auto& elements = screen_->elements();
    ASSERT_EQ(elements.size(), std::size(rows));
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const SkinElement& e = *elements[i];
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(e.name, rows[i].name);
        EXPECT_EQ(e.id, rows[i].id);
        EXPECT_EQ(e.layer, rows[i].layer);
        EXPECT_EQ(e.group, rows[i].group);
        EXPECT_EQ(e.visible, rows[i].visible);
        EXPECT_EQ(e.listIndex, static_cast<int>(i));
    }
}

TEST_F(DashboardTest, FirstStartShowsCourseDialDestinationLeftSkyViewRightSpeedAndHeading) {
    build();
    EXPECT_EQ(storedChoices(), "");
    EXPECT_TRUE(shown(Id::CourseDial));
    EXPECT_FALSE(shown(Id::SpeedDial));
    EXPECT_TRUE(shown(Id::DestinationLeft));
    EXPECT_EQ(topLeft(Id::DestinationLeft), (Point{0, 150}));
    EXPECT_TRUE(shown(Id::SkyViewRight));
    EXPECT_EQ(topLeft(Id::SkyViewRight), (Point{120, 150}));
    EXPECT_TRUE(shown(Id::SpeedReadout));
    EXPECT_EQ(topLeft(Id::SpeedReadout), (Point{3, 116}));
    EXPECT_TRUE(shown(Id::HeadingReadout));
    EXPECT_EQ(topLeft(Id::HeadingReadout), (Point{208, 116}));
    for (int hidden : {Id::CompassLeft, Id::CompassRight, Id::SkyViewLeft, Id::DestinationRight,
                       Id::PositionLeft, Id::PositionRight, Id::TrackPanel, Id::BearingReadout,
                       Id::PdopReadout}) {
        EXPECT_FALSE(shown(hidden)) << hidden;
    }
    // The selectors found what their areas show.
    EXPECT_EQ(screen_->selector(Id::MenuTop).current, &byId(Id::CourseDial));
    EXPECT_EQ(screen_->selector(Id::MenuLeft).current, &byId(Id::DestinationLeft));
    EXPECT_EQ(screen_->selector(Id::MenuRight).current, &byId(Id::SkyViewRight));

    screen_->quit();
    EXPECT_EQ(storedChoices(), "105,30,102,24,101,27,103,35,104,37");
}

TEST_F(DashboardTest, AFullRepaintBeforeTheFirstComposedFrameKeepsTheReadouts) {
    screen_ = std::make_unique<DashboardScreen>(host_, services());
    screen_->buildScreen(ScreenMode::Skipped);
    screen_->drawAll();  // the window's first paint
    const QImage painted = surfaces_.frame.image().copy();
    screen_->byId(Id::QuitButton)->dirty = 1;  // anything drawn next
    screen_->compose();
    const QImage composed = surfaces_.frame.image();
    for (const Rect& r : {Rect{3, 116, 43, 156}, Rect{208, 116, 240, 156}}) {
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                ASSERT_EQ(composed.pixel(x, y), painted.pixel(x, y)) << x << "," << y;
            }
        }
    }
}

TEST_F(DashboardTest, ChoosingSpeedInMenu1SwapsTheDialAndSurvivesARestart) {
    build();
    SkinElement& courseArrow = *screen_->elements()[16];
    SkinElement& speedArrow = *screen_->elements()[20];
    ASSERT_EQ(courseArrow.name, "Course arrow");
    ASSERT_TRUE(courseArrow.visible);

    tap(10, 10);  // opens the list of "Menu 1"
    EXPECT_EQ(screen_->selector(Id::MenuTop).open, 1);
    tap(40, 5 + 23 + 10);  // its second item, "Speed"
    EXPECT_FALSE(shown(Id::CourseDial));
    EXPECT_FALSE(courseArrow.visible);
    EXPECT_TRUE(shown(Id::SpeedDial));
    EXPECT_TRUE(speedArrow.visible);
    EXPECT_EQ(topLeft(Id::SpeedDial), (Point{0, 0}));
    EXPECT_EQ(screen_->selector(Id::MenuTop).current, &byId(Id::SpeedDial));

    screen_->quit();
    EXPECT_EQ(storedChoices(), "105,29,102,24,101,27,103,35,104,37");
    build();
    EXPECT_TRUE(shown(Id::SpeedDial));
    EXPECT_TRUE(screen_->elements()[20]->visible);
    EXPECT_FALSE(shown(Id::CourseDial));
}

TEST_F(DashboardTest, StoredChoicesSwitchOnlyTheSelectorsAndElementsThatExist) {
    CRegStore().WriteLongText("IOpt", "105,29,999,1");
    build();
    EXPECT_TRUE(shown(Id::SpeedDial));
    EXPECT_FALSE(shown(Id::CourseDial));
    EXPECT_TRUE(shown(Id::DestinationLeft));
    EXPECT_TRUE(shown(Id::SkyViewRight));
    EXPECT_TRUE(shown(Id::SpeedReadout));

    // A value-menu choice moves the chosen read-out into the shown one's place.
    CRegStore().WriteLongText("IOpt", "104,39,102,31,101,22");
    build();
    EXPECT_TRUE(shown(Id::SatellitesReadout));
    EXPECT_FALSE(shown(Id::HeadingReadout));
    EXPECT_EQ(topLeft(Id::SatellitesReadout), (Point{208, 116}));
    EXPECT_TRUE(shown(Id::PositionLeft));
    EXPECT_EQ(topLeft(Id::PositionLeft), (Point{0, 150}));
    EXPECT_TRUE(shown(Id::CompassRight));
    EXPECT_TRUE(screen_->elements()[4]->visible);  // its needle comes with it

    // Garbage leaves the start-up choices.
    CRegStore().WriteLongText("IOpt", "nonsense,,,");
    build();
    EXPECT_TRUE(shown(Id::CourseDial));
    EXPECT_TRUE(shown(Id::DestinationLeft));
}

TEST_F(DashboardTest, ASelectorShowingAnElementWithoutIdIsReportedAndLeftOutWhenSaving) {
    // Element id 0 names the first element without an id, the left sky view's plot.
    CRegStore().WriteLongText("IOpt", "102,0");
    build();
    screen_->quit();
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, "Ss failed m=102 \nSats1 \n11 ");
    EXPECT_EQ(storedChoices(), "105,30,101,27,103,35,104,37");
}

TEST_F(DashboardTest, OptionsMenuOpensOnTBtn4AndClosesOnItWithoutReopening) {
    build();
    PopupMenu& menu = screen_->optionsMenu();
    tap(200, 290);
    EXPECT_EQ(menu.open, 1);
    tap(200, 290);
    EXPECT_EQ(menu.open, 0);
    EXPECT_EQ(menu.result, MenuResult::Dismissed);
    tap(200, 290);
    EXPECT_EQ(menu.open, 1);
    EXPECT_TRUE(dialogs_.opened.empty());
}

TEST_F(DashboardTest, OptionsMenuItemsOpenTheirDialogsWhileTheScreenIsSuspended) {
    build();
    const int itemY[] = {148 + 10, 148 + 23 + 10, 148 + 46 + 10, 148 + 69 + 10};
    for (int y : itemY) {
        tap(200, 290);
        tap(190, y);
        EXPECT_EQ(screen_->optionsMenu().open, 0);
        EXPECT_EQ(screen_->optionsMenu().selected, -1);
    }
    EXPECT_EQ(dialogs_.opened, (std::vector<std::string>{"gps", "sound", "pushpins", "misc"}));
    EXPECT_EQ(dialogs_.timerWasRunning, std::vector<bool>(4, false));
    EXPECT_TRUE(host_.timerRunning);
    EXPECT_TRUE(host_.shown);
    EXPECT_EQ(host_.count("hide"), 4);
    EXPECT_EQ(host_.count("show"), 4);
}

TEST_F(DashboardTest, MiscOptionsAppliesTheUnitSystemOnlyOnOk) {
    dialogs_.preparedUnitSystem = 0;
    build();
    EXPECT_EQ(unitFormatter().code(), UnitFormatter::kUs);  // the stored system, applied at start
    unitFormatter().setSystem(1);
    dialogs_.miscUnitSystem = 2;
    dialogs_.miscOk = false;
    tap(200, 290);
    tap(190, 148 + 69 + 10);
    EXPECT_EQ(unitFormatter().code(), UnitFormatter::kMetric);
    dialogs_.miscOk = true;
    tap(200, 290);
    tap(190, 148 + 69 + 10);
    EXPECT_EQ(unitFormatter().code(), UnitFormatter::kNautical);
    unitFormatter().setSystem(1);
}

TEST_F(DashboardTest, MapModeHidesThePanelsAndBringsBackExactlyWhatItHid) {
    build();
    screen_->snapshot().latitude = 0.8;
    screen_->snapshot().longitude = 0.2;
    tap(30, 290);  // TBtn1
    EXPECT_EQ(screen_->mapMode, 1);
    EXPECT_DOUBLE_EQ(screen_->trackView().originLatitude, 0.8);  // centred on the position
    EXPECT_DOUBLE_EQ(screen_->trackView().originLongitude, 0.2);
    EXPECT_TRUE(shown(Id::TrackPanel));
    EXPECT_TRUE(shown(Id::TrackView));
    EXPECT_TRUE(shown(Id::TrackCompass));
    for (int id : {Id::CourseDial, Id::DestinationLeft, Id::SkyViewRight, Id::MenuTop, Id::MenuLeft,
                   Id::MenuRight, Id::OptionsMenu}) {
        EXPECT_FALSE(shown(id)) << id;
    }
    // The button strip, the lamp, the Quit button and the read-outs stay.
    for (int id : {Id::LowPanel, Id::MapButton, Id::MenuButton, Id::QuitButton, Id::SpeedReadout,
                   Id::ValueMenuLeft}) {
        EXPECT_TRUE(shown(id)) << id;
    }
    EXPECT_TRUE(screen_->elements()[17]->visible);  // "Antena lamp"
    EXPECT_EQ(screen_->pushButton(Id::MarkButton).normalBitmapId, 461);
    EXPECT_EQ(screen_->pushButton(Id::TargetButton).normalBitmapId, 463);

    tap(30, 290);
    EXPECT_EQ(screen_->mapMode, 0);
    EXPECT_FALSE(shown(Id::TrackPanel));
    EXPECT_FALSE(shown(Id::TrackView));
    for (int id : {Id::CourseDial, Id::DestinationLeft, Id::SkyViewRight, Id::MenuTop, Id::MenuLeft,
                   Id::MenuRight, Id::OptionsMenu}) {
        EXPECT_TRUE(shown(id)) << id;
    }
    EXPECT_TRUE(screen_->elements()[16]->visible);  // the course arrow with its dial
    EXPECT_FALSE(shown(Id::CompassLeft));
    EXPECT_EQ(screen_->pushButton(Id::MarkButton).normalBitmapId, 403);
    EXPECT_EQ(screen_->pushButton(Id::TargetButton).normalBitmapId, 405);
}

TEST_F(DashboardTest, MapModeZoomButtonsStopAtTheFirstAndLastScaleStep) {
    build();
    tap(30, 290);
    TrackView& map = screen_->trackView();
    ASSERT_EQ(map.scaleIndex, 5);  // "TSOpt" absent: the default step
    for (int i = 0; i < 30; ++i) {
        tap(90, 290);  // "TBtn2": zoom in
    }
    EXPECT_EQ(map.scaleIndex, 0);
    for (int i = 0; i < 30; ++i) {
        tap(150, 290);  // "TBtn3": zoom out
    }
    EXPECT_EQ(map.scaleIndex, 24);
    EXPECT_TRUE(dialogs_.opened.empty());  // no pushpin and no target dialog in map mode
}

TEST_F(DashboardTest, TBtn4InMapModeOpensTheTrackOptionsNotTheMenu) {
    test::installEmulationFile();
    build(ScreenMode::Emulation);
    tap(30, 290);
    tap(200, 290);
    EXPECT_EQ(dialogs_.opened, std::vector<std::string>{"trackOptions"});
    EXPECT_EQ(screen_->optionsMenu().open, 0);
}

TEST_F(DashboardTest, QuitSavesTheChoicesHidesTheWindowAndEndsTheLoop) {
    build();
    screen_->press(225, 10);  // the Quit button acts on the press
    EXPECT_EQ(storedChoices(), "105,30,102,24,101,27,103,35,104,37");
    EXPECT_FALSE(host_.timerRunning);
    EXPECT_FALSE(host_.shown);
    EXPECT_EQ(host_.count("inputPanelDown"), 1);
    EXPECT_EQ(host_.exitCode, 0);
}

TEST_F(DashboardTest, AQuitWhileADialogIsUpLeavesTheWindowDownAfterIt) {
    build();
    dialogs_.onSelectPoint = [this](CPushpins&) { screen_->quit(); };  // SIGTERM meanwhile
    tap(150, 290);
    EXPECT_EQ(host_.exitCode, 0);
    EXPECT_FALSE(host_.timerRunning);
    EXPECT_FALSE(host_.shown);
}

TEST_F(DashboardTest, ChoosingATargetHandsItToTheSnapshotAndStoresIt) {
    addPushpins(3);
    build();
    EXPECT_EQ(screen_->snapshot().targetSet, 0);
    dialogs_.onSelectPoint = [](CPushpins& p) { p.SetTargetIndex(1); };
    tap(150, 290);  // TBtn3
    EXPECT_EQ(dialogs_.opened, std::vector<std::string>{"selectPoint"});
    EXPECT_EQ(dialogs_.timerWasRunning, std::vector<bool>{false});
    EXPECT_EQ(screen_->snapshot().targetSet, 1);
    EXPECT_DOUBLE_EQ(screen_->snapshot().targetPoint.latitude, pushpins_.GetAt(1)->latitude);
    EXPECT_EQ(CRegInt("LastTarg", true, -1).Get(), 1);
}

TEST_F(DashboardTest, StartingWithATargetHandsItToTheSnapshotAndBothDestinationPanels) {
    addPushpins(2);
    pushpins_.GetAt(0)->icon = 3;
    pushpins_.SetTargetIndex(0);
    build();
    EXPECT_EQ(screen_->snapshot().targetSet, 1);
    EXPECT_DOUBLE_EQ(screen_->snapshot().targetPoint.latitude, pushpins_.GetAt(0)->latitude);
    for (int id : {Id::DestinationLeft, Id::DestinationRight}) {
        auto& panel = static_cast<DestinationPanel&>(byId(id));
        EXPECT_EQ(panel.hasTarget, 1);
        EXPECT_EQ(panel.targetName, "P1");
        EXPECT_EQ(panel.iconBitmapId, pushpinIconBitmapId(3));
    }
    // The list closing without a target ends the navigation.
    dialogs_.onPushpinList = [](CPushpins& p) { p.SetTargetIndex(-1); };
    tap(200, 290);
    tap(190, 148 + 46 + 10);
    EXPECT_EQ(screen_->snapshot().targetSet, 0);
    EXPECT_EQ(static_cast<DestinationPanel&>(byId(Id::DestinationLeft)).hasTarget, 0);
}

TEST_F(DashboardTest, ANewPushpinAtThePositionShiftsTheTargetAndIsSavedAtOnce) {
    addPushpins(2);
    pushpins_.SetTargetIndex(0);
    build();
    screen_->snapshot().latitude = 0.5;
    screen_->snapshot().longitude = 0.25;
    dialogs_.onNewPoint = [](CPushpins& p, const TrackPoint& fix) {
        CPushpin* added = p.AddNew();
        added->latitude = fix.latitude;
        added->longitude = fix.longitude;
        return true;
    };
    tap(90, 290);  // TBtn2
    EXPECT_EQ(pushpins_.GetCount(), 3);
    EXPECT_EQ(pushpins_.GetTargetIndex(), 1);  // the same waypoint as before
    EXPECT_EQ(CRegInt("LastTarg", true, -1).Get(), 1);
    CPushpins reread;
    reread.Load();
    ASSERT_EQ(reread.GetCount(), 3);
    EXPECT_DOUBLE_EQ(reread.GetAt(0)->latitude, 0.5);

    // Cancelled: nothing changes and nothing is written.
    dialogs_.onNewPoint = [](CPushpins&, const TrackPoint&) { return false; };
    tap(90, 290);
    EXPECT_EQ(pushpins_.GetCount(), 3);
    EXPECT_EQ(pushpins_.GetTargetIndex(), 1);
}

TEST_F(DashboardTest, TickDutiesFollowTheirFrameMultiples) {
    build(ScreenMode::Live);
    ASSERT_EQ(linkStarts_, std::vector<int>{-1});  // the dashboard opened the link
    linkStarts_.clear();
    std::vector<std::uint32_t> reopened, inFront;
    for (std::uint32_t frame = 1; frame <= 200; ++frame) {
        const std::size_t starts = linkStarts_.size();
        const int fronts = host_.count("front");
        screen_->tick(frame);
        if (linkStarts_.size() > starts) {
            reopened.push_back(frame);
        }
        if (host_.count("front") > fronts) {
            inFront.push_back(frame);
        }
    }
    EXPECT_EQ(reopened, (std::vector<std::uint32_t>{99, 198}));
    EXPECT_EQ(inFront, (std::vector<std::uint32_t>{90, 180}));
    EXPECT_EQ(linkStarts_, (std::vector<int>{-1, -1}));

    build(ScreenMode::Emulation);
    linkStarts_.clear();
    for (std::uint32_t frame = 1; frame <= 200; ++frame) {
        screen_->tick(frame);
    }
    EXPECT_TRUE(linkStarts_.empty());
}

TEST_F(DashboardTest, EmulationModeReplaysTheBundledDriveIntoTheSnapshot) {
    test::installEmulationFile();
    build(ScreenMode::Emulation);
    ASSERT_NE(screen_->emulation(), nullptr);
    ASSERT_TRUE(screen_->emulation()->isOpen());
    EXPECT_TRUE(boxes_.shown.empty());
    NavSnapshot& snapshot = screen_->snapshot();
    EXPECT_EQ(snapshot.fixLevel, 4);  // refreshed once while the screen was built
    std::vector<double> latitudes{snapshot.latitude};
    for (std::uint32_t frame = 1; frame <= 90; ++frame) {
        screen_->tick(frame);
        if (frame % 30 == 0) {
            latitudes.push_back(snapshot.latitude);
        }
    }
    ASSERT_EQ(latitudes.size(), 4u);
    for (std::size_t i = 1; i < latitudes.size(); ++i) {
        EXPECT_NE(latitudes[i], latitudes[i - 1]) << "refresh " << i;
    }
    EXPECT_GT(snapshot.satellitesWithSignal, 0);
    // A refresh every 30 frames, not every tick: frames 91 to 119 change nothing.
    const double at90 = snapshot.latitude;
    for (std::uint32_t frame = 91; frame < 120; ++frame) {
        screen_->tick(frame);
    }
    EXPECT_EQ(snapshot.latitude, at90);
}

TEST_F(DashboardTest, ASourceThatCannotStartIsReportedOnceAndTheDashboardRuns) {
    build(ScreenMode::Emulation);  // no emulation file
    screen_->tick(30);
    linkStarts = false;
    build(ScreenMode::Live);
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[0].text, "Can not open emulation data");
    EXPECT_EQ(boxes_.shown[1].text, "GPS is not started !");
    EXPECT_EQ(screen_->elements().size(), 41u);
}

TEST_F(DashboardTest, TheTickPlaysTheEventSoundsUnlessSilenced) {
    test::installEmulationFile();
    store_.WriteText("SndGpsOn", "on.wav");
    build(ScreenMode::Emulation);
    screen_->tick(1);  // from no receiver to the emulation's 3D fix: the receiver came on
    ASSERT_EQ(player_.played.size(), 1u);
    EXPECT_NE(player_.played[0].find("on.wav"), std::string::npos);

    player_.played.clear();
    CRegInt("SndSilent", true, 0) = 1;
    build(ScreenMode::Emulation);
    screen_->tick(1);
    EXPECT_TRUE(player_.played.empty());
}

TEST_F(DashboardTest, DestroyingTheScreenSavesThePushpins) {
    addPushpins(2);
    build();
    screen_.reset();
    CPushpins reread;
    reread.Load();
    EXPECT_EQ(reread.GetCount(), 2);
}

}  // namespace
}  // namespace wp2
