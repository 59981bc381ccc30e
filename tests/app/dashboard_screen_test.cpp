// SPDX-License-Identifier: GPL-3.0-or-later
// The dashboard: its panels and the stored choices of them, the Options menu,
// night, map mode, the target, tick duties and the base map.

#include "app/dashboard_screen.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <tuple>

#include "app/screen_choices.h"
#include "app_test_support.h"
#include "core/gps/nav_snapshot.h"
#include "core/settings/double_setting.h"
#include "core/settings/settings_store.h"
#include "ui/base_map.h"
#include "ui/bitmap_source.h"
#include "ui/dashboard_ids.h"
#include "ui/destination_panel.h"
#include "ui/panel_selector.h"
#include "ui/popup_menu.h"
#include "ui/push_button.h"
#include "ui/surface.h"
#include "ui/track_view.h"
#include "ui/ui_test_support.h"

namespace wp2 {
namespace {

namespace Id = DashboardId;

class DashboardTest : public test::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        dialogs_.host = &host_;
    }
    void TearDown() override {
        screen_.reset();
        setCurrentPalette(Palette::Day);
        AppTest::TearDown();
    }

    void build(int mode = ScreenMode::Skipped) {
        screen_.reset();
        DashboardServices s = services([this](int) { return ++linkStarts_, linkOpens_; });
        s.mapSource = mapSource_;
        screen_ = std::make_unique<DashboardScreen>(host_, s, surfaces_);
        screen_->buildScreen(mode);
        screen_->compose();
    }
    void tap(int x, int y) { test::tap(*screen_, x, y); }
    void menuItem(int item) { test::menuItem(*screen_, item); }
    std::optional<std::string> mapSource_;  // --map-source
    // The ids shown (1) or hidden (0), in the order given.
    std::vector<int> shown(std::initializer_list<int> ids) {
        std::vector<int> visible;
        for (int id : ids) {
            visible.push_back(screen_->byId(id)->visible);
        }
        return visible;
    }
    Point topLeft(int id) {
        const Rect r = screen_->byId(id)->frameRect();
        return {r.left, r.top};
    }

    DrawingSurfaces surfaces_;
    test::RecordingHost host_;
    int linkStarts_ = 0;
    bool linkOpens_ = true;
    std::unique_ptr<DashboardScreen> screen_;
};

TEST_F(DashboardTest, FirstStartShowsTheDefaultPanelsAndStoredChoicesSwitchThem) {
    build();
    EXPECT_EQ(shown({Id::CourseDial, Id::DestinationLeft, Id::SkyViewRight, Id::SpeedReadout,
                     Id::HeadingReadout, Id::SpeedDial, Id::CompassRight, Id::PositionLeft,
                     Id::TrackPanel, Id::PdopReadout}),
              (std::vector<int>{1, 1, 1, 1, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(topLeft(Id::SkyViewRight), (Point{120, 150}));
    EXPECT_EQ(screen_->selector(Id::MenuLeft).current, screen_->byId(Id::DestinationLeft));
    screen_->quit();
    EXPECT_EQ(test::storedText(registry_, "IOpt"), test::kFirstChoices);

    // A stored choice moves the chosen element into the shown one's place;
    // ids that name nothing are skipped.
    ASSERT_TRUE(store_.writeLongText("IOpt", "104,39,102,31,101,22,105,29,999,1"));
    build();
    EXPECT_EQ(shown({Id::SatellitesReadout, Id::PositionLeft, Id::CompassRight, Id::SpeedDial,
                     Id::HeadingReadout, Id::DestinationLeft, Id::CourseDial}),
              (std::vector<int>{1, 1, 1, 1, 0, 0, 0}));
    EXPECT_EQ(topLeft(Id::SatellitesReadout), (Point{208, 116}));
    EXPECT_EQ(topLeft(Id::PositionLeft), (Point{0, 150}));
    EXPECT_TRUE(screen_->elements()[4]->visible);   // the right compass's needle
    EXPECT_TRUE(screen_->elements()[20]->visible);  // the speed dial's arrow
}

TEST_F(DashboardTest, OptionsMenuItemsOpenTheirDialogsWhileTheScreenIsSuspended) {
    build();
    EXPECT_EQ(shared_.units.code(), UnitFormatter::kUs);  // the stored system, at start
    for (int item = 0; item < 4; ++item) {
        menuItem(item);
    }
    EXPECT_EQ(shared_.units.code(), UnitFormatter::kUs);  // Misc. cancelled
    dialogs_.miscOk = true;
    menuItem(3);
    EXPECT_EQ(shared_.units.code(), UnitFormatter::kNautical);
    EXPECT_EQ(dialogs_.opened,
              (std::vector<std::string>{"gps", "sound", "pushpins", "misc", "misc"}));
    EXPECT_EQ(dialogs_.timerWasRunning, std::vector<bool>(5, false));
    EXPECT_TRUE(host_.timerRunning);
    EXPECT_EQ(host_.count("hide") + host_.count("show"), 10);
    EXPECT_EQ(screen_->optionsMenu().open, 0);
}

// The meters come from the settings at start; each reset item zeroes its own
// meter at once in the settings, the other and the odometer stay.
TEST_F(DashboardTest, ResetTripItemsZeroTheirMeterAndStoreIt) {
    for (const char* name : {"TripADistance", "TripBDistance", "Odometer"}) {
        DoubleSetting(shared_.settings(), name, true, 0.0) = 1234.5;
    }
    build();
    const auto stored = [s = shared_.settings()] {
        return std::array{test::loadedSetting<DoubleSetting>(s, "TripADistance", -1.0),
                          test::loadedSetting<DoubleSetting>(s, "TripBDistance", -1.0),
                          test::loadedSetting<DoubleSetting>(s, "Odometer", -1.0)};
    };
    menuItem(4);
    EXPECT_EQ(stored(), (std::array{0.0, 1234.5, 1234.5}));
    menuItem(5);
    EXPECT_EQ(stored(), (std::array{0.0, 0.0, 1234.5}));
    EXPECT_TRUE(dialogs_.opened.empty());
}

TEST_F(DashboardTest, NightFromTheOptionsMenuDarkensTheWholeScreenAndIsKeptWithAuto) {
    build();
    EXPECT_GT(test::dayPixels(surfaces_.frame.image()), 10000);
    menuItem(6);
    EXPECT_EQ(currentPalette(), Palette::Night);
    EXPECT_EQ(test::dayPixels(surfaces_.frame.image()), 0);  // skin, text and marks alike
    EXPECT_EQ(screen_->optionsMenu().open, 0);
    tap(200, 290);
    EXPECT_EQ(screen_->optionsMenu().open, 1);
    EXPECT_EQ(test::dayPixels(surfaces_.frame.image()), 0);  // the menu's bands too
    tap(60, 60);
    build();  // the next start
    EXPECT_EQ(currentPalette(), Palette::Night);
    EXPECT_EQ(startingPalette(registry_, std::nullopt, nullptr, 0),
              Palette::Night);  // the splash's
    EXPECT_EQ(test::dayPixels(surfaces_.frame.image()), 0);
    menuItem(6);
    EXPECT_EQ(currentPalette(), Palette::Day);
    EXPECT_GT(test::dayPixels(surfaces_.frame.image()), 10000);
    EXPECT_EQ(store_.readNumber(kNightModeValue).value_or(9), 0u);
    // Auto without any position keeps what is shown, and is what the next start reads.
    menuItem(7);
    EXPECT_EQ(currentPalette(), Palette::Day);
    NightMode stored(registry_);
    stored.load();
    EXPECT_EQ(stored.choice(), NightMode::Choice::Auto);
    EXPECT_EQ(dialogs_.opened, std::vector<std::string>{});
}

TEST_F(DashboardTest, MapModeHidesThePanelsZoomsWithinItsStepsAndBringsBackWhatItHid) {
    test::installEmulationFile();  // a track for the track options
    build(ScreenMode::Emulation);
    screen_->snapshot().latitude = 0.8;
    tap(30, 290);                                                // TBtn1
    EXPECT_DOUBLE_EQ(screen_->trackView().originLatitude, 0.8);  // centred on the position
    const std::initializer_list<int> panels = {Id::CourseDial,  Id::DestinationLeft, Id::MenuTop,
                                               Id::OptionsMenu, Id::TrackPanel,      Id::LowPanel,
                                               Id::QuitButton,  Id::SpeedReadout};
    EXPECT_EQ(shown(panels), (std::vector<int>{0, 0, 0, 0, 1, 1, 1, 1}));
    EXPECT_EQ(screen_->pushButton(Id::MarkButton).normalBitmapId, 461);
    TrackView& map = screen_->trackView();
    EXPECT_EQ(map.scaleIndex, 5);  // "TSOpt" absent: the default step
    for (const auto& [x, last] : {std::pair{90, 0}, std::pair{150, 24}}) {  // in, out
        for (int i = 0; i < 30; ++i) {
            tap(x, 290);
        }
        EXPECT_EQ(map.scaleIndex, last);
    }
    tap(200, 290);  // TBtn4: the track options, not the menu
    EXPECT_EQ(dialogs_.opened, std::vector<std::string>{"trackOptions"});
    EXPECT_EQ(screen_->optionsMenu().open, 0);
    tap(30, 290);
    EXPECT_EQ(shown(panels), (std::vector<int>{1, 1, 1, 1, 0, 1, 1, 1}));
    EXPECT_TRUE(screen_->elements()[16]->visible);  // the course arrow with its dial
    EXPECT_EQ(screen_->pushButton(Id::MarkButton).normalBitmapId, 403);
}

TEST_F(DashboardTest, TheTargetReachesTheSnapshotAndThePanelsAndFollowsNewPushpins) {
    for (int i = 0; i < 3; ++i) {
        Pushpin* p = pushpins_.addNew();
        p->latitude = 0.1 * (i + 1);
        p->name = "P" + std::to_string(i);
    }
    pushpins_.at(0)->icon = 3;
    pushpins_.setTargetIndex(0);
    build();
    for (int id : {Id::DestinationLeft, Id::DestinationRight}) {
        auto& panel = static_cast<DestinationPanel&>(*screen_->byId(id));
        EXPECT_EQ(panel.targetName, "P2");
        EXPECT_EQ(panel.iconBitmapId, pushpinIconBitmapId(3));
    }
    dialogs_.onPushpins = [](Pushpins& p) { p.setTargetIndex(1); };
    tap(150, 290);  // TBtn3
    EXPECT_DOUBLE_EQ(screen_->snapshot().targetPoint.latitude, pushpins_.at(1)->latitude);
    EXPECT_EQ(test::loadedSetting<IntSetting>(shared_.settings(), "LastTarg", -1), 1);

    // A new pushpin comes first: the target is the same waypoint one place
    // on, and the file is written at once.
    screen_->snapshot().latitude = 0.5;
    dialogs_.onNewPoint = [](Pushpins& p, const TrackPoint& fix) {
        p.addNew()->latitude = fix.latitude;
        return true;
    };
    tap(90, 290);  // TBtn2
    EXPECT_EQ(test::loadedSetting<IntSetting>(shared_.settings(), "LastTarg", -1), 2);
    Pushpins reread;
    ASSERT_EQ(reread.load().added, 4);
    EXPECT_DOUBLE_EQ(reread.at(0)->latitude, 0.5);
    dialogs_.onPushpins = [](Pushpins& p) { p.setTargetIndex(-1); };
    menuItem(2);  // the list closing without a target ends the navigation
    EXPECT_EQ(screen_->snapshot().targetSet, 0);
    EXPECT_EQ(static_cast<DestinationPanel&>(*screen_->byId(Id::DestinationLeft)).hasTarget, 0);
}

TEST_F(DashboardTest, TickDutiesFollowTheirFrameMultiples) {
    build(ScreenMode::Live);
    EXPECT_EQ(linkStarts_, 1);  // the dashboard opened the link
    // The frames that reopened the link (+1000) or came to the front.
    std::vector<std::uint32_t> duties;
    for (std::uint32_t frame = 1; frame <= 200; ++frame) {
        const int starts = linkStarts_;
        const int fronts = host_.count("front");
        screen_->tick(frame);
        if (linkStarts_ > starts) {
            duties.push_back(1000 + frame);
        }
        if (host_.count("front") > fronts) {
            duties.push_back(frame);
        }
    }
    EXPECT_EQ(duties, (std::vector<std::uint32_t>{90, 1099, 180, 1198}));

    build(ScreenMode::Emulation);  // no emulation file: said
    linkOpens_ = false;
    build(ScreenMode::Live);
    test::installEmulationFile();
    test::writeFile(Paths::map(EmulationSource::kDefaultFile), "1,2,3,4,5*9,0,0\n");
    build(ScreenMode::Emulation);  // a line short of satellites: said at the first refresh
    ASSERT_EQ(boxes_.shown.size(), 3u);
    EXPECT_EQ(boxes_.shown[0].text, "Cannot open the emulation data.");
    EXPECT_EQ(boxes_.shown[1].text, "The GPS receiver could not be started.");
    EXPECT_EQ(std::tuple(boxes_.shown[2].text, boxes_.shown[2].caption),
              std::tuple(std::string("Bad format"), std::string("Wayplot2")));
}

TEST_F(DashboardTest, TheBaseMapComesFromTheSettingOrTheRunAndOneThatCannotBeReadIsReported) {
    const std::string junk = root_.file("junk.mbtiles");
    test::writeFile(junk, "not a map");
    const std::string folder = root_.file("tiles");
    std::filesystem::create_directories(folder + "/0/0");
    ASSERT_TRUE(store_.writeLongText(kBaseMapValue, junk));
    test::installEmulationFile();  // a track for the track options
    build(ScreenMode::Emulation);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_NE(boxes_.shown[0].text.find("cannot be shown"), std::string::npos);
    EXPECT_NE(boxes_.shown[0].text.find("not an SQLite database"), std::string::npos);
    EXPECT_EQ(screen_->trackView().baseMap(), nullptr);

    // The track options' choice is shown at once and kept.
    dialogs_.chosenBaseMap = folder;
    tap(30, 290);
    tap(200, 290);
    ASSERT_NE(screen_->baseMap(), nullptr);
    EXPECT_EQ(screen_->trackView().baseMap(), screen_->baseMap());
    EXPECT_EQ(test::storedText(registry_, kBaseMapValue), folder);
    EXPECT_EQ(screen_->baseMap()->memoryLimit(), TileCache::kDefaultMemoryBytes);

    // A source for this run only wins over the setting and leaves it alone;
    // an empty one shows none.
    ASSERT_TRUE(store_.writeLongText(kBaseMapValue, junk));
    for (const std::string& run : {folder, std::string()}) {
        mapSource_ = run;
        build(ScreenMode::Emulation);
        EXPECT_EQ(screen_->baseMapSource(), run);
        EXPECT_EQ(screen_->baseMap() != nullptr, !run.empty());
    }
    // The memory cache's size in MB is a setting, within 4 MB to 1 GB.
    mapSource_ = folder;
    for (const auto& [megabytes, limit] : {std::pair{1u, 4u}, {100u, 100u}, {5000u, 1024u}}) {
        ASSERT_TRUE(store_.writeNumber(kBaseMapCacheValue, megabytes));
        build(ScreenMode::Emulation);
        EXPECT_EQ(screen_->baseMap()->memoryLimit(), std::size_t{limit} << 20) << megabytes;
    }
    EXPECT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(test::storedText(registry_, kBaseMapValue), junk);
}

using Choices = std::vector<ScreenChoice>;

TEST(ScreenChoices, ReadsAtMostTenNumbersOfTheFirstHundredCharactersInCompletePairs) {
    const std::pair<std::string, Choices> cases[] = {
        {"105,29,999,1", {{105, 29}, {999, 1}}},
        {"105,29,102", {{105, 29}}},  // an odd last number is dropped
        {"1,2,3,4,5,6,7,8,9,10,11,12", {{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}}},
        // The 100-character cut falls just before the "12" that follows 98 zeros.
        {"7," + std::string(98, '0') + "12,3", {{7, 0}}},
        // Pieces read like atoi, empty ones skipped, overflow clamped.
        {" 105,,abc,12x,-4", {{105, 0}, {12, -4}}},
        {"99999999999999,1", {{2147483647, 1}}},
    };
    for (const auto& [text, choices] : cases) {
        EXPECT_EQ(ScreenChoices::parse(text), choices) << text;
    }
}

}  // namespace
}  // namespace wp2
