// SPDX-License-Identifier: GPL-3.0-or-later
// The application: its command-line options, the start-up with its splash
// window and first-run set-up, and the exit.

#include "app/application.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "app/app_options.h"
#include "app/qt_dialogs.h"
#include "app/splash_window.h"
#include "app_test_support.h"
#include "core/base/timer_queue.h"
#include "core/gps/gps_link.h"
#include "core/gps/gps_scan.h"
#include "core/settings/double_setting.h"
#include "core/settings/reg_values.h"
#include "core/track/track_log.h"
#include "ui/track_view.h"

namespace wp2 {
namespace {

class ApplicationTest : public test::AppTest {
protected:
    std::unique_ptr<Application> make(StartOptions options = {}) {
        auto app =
            std::make_unique<Application>(shared_.ui, clock_, timers_, dialogs_, player_, options);
        Application* raw = app.get();
        app->setWait([this, raw](std::uint32_t ms) {
            waits_.push_back(ms);
            splashDuringWait_.push_back(raw->splash() && raw->splash()->isVisible() &&
                                        !raw->mainWindow());
        });
        return app;
    }
    TimerQueue timers_{clock_};
    std::vector<std::uint32_t> waits_;
    std::vector<bool> splashDuringWait_;
};

TEST_F(ApplicationTest, TheSetUpRunsWithoutDriverOrWithEmuAndTheLinkReadsTheDriver) {
    // The "Driver" value (none: no value), "Emu", and whether the set-up runs.
    const std::tuple<const char*, int, bool> cases[] = {
        {nullptr, 0, true}, {"1,4800,8,1,0", 1, true}, {"3,9600,7,2,1", 0, false}};
    for (const auto& [driver, emu, setUp] : cases) {
        SCOPED_TRACE(driver ? driver : "no Driver");
        (void)registry_.deleteValue(RegRoot::LocalMachine, kSettingsKeyPath, "Driver");
        if (driver) {
            ASSERT_TRUE(SettingsStore(registry_).writeText("Driver", driver));
        }
        IntSetting(shared_.settings(), "Emu", true, 0) = emu;
        DoubleSetting(shared_.settings(), "LastLat", true, 10.0) = 0.75;
        dialogs_.opened.clear();
        waits_.clear();
        splashDuringWait_.clear();
        auto app = make();
        dialogs_.onFirstRun = [&] {
            // The link with the stored position is there; no splash, no window yet.
            EXPECT_EQ(shared_.link.link, app->link());
            EXPECT_DOUBLE_EQ(app->link()->state().latitude, 0.75);
            EXPECT_DOUBLE_EQ(app->link()->state().longitude, 10.0);
            EXPECT_EQ(app->splash(), nullptr);
            EXPECT_EQ(app->mainWindow(), nullptr);
            return 1;
        };
        ASSERT_TRUE(app->startUp());
        EXPECT_EQ(dialogs_.opened.size(), setUp ? 1u : 0u);
        EXPECT_EQ(app->startMode(), setUp ? 1 : 0);
        EXPECT_EQ(app->mainWindow()->screen().mode(), app->startMode());
        EXPECT_EQ(waits_, setUp ? (std::vector<std::uint32_t>{500, 500, 2000})
                                : (std::vector<std::uint32_t>{500, 2000}));
        EXPECT_TRUE(splashDuringWait_.back());  // the splash, before the main window
        EXPECT_EQ(app->splash(), nullptr);
        EXPECT_TRUE(app->mainWindow()->isVisible());
        EXPECT_EQ(test::loadedSetting<IntSetting>(shared_.settings(), "Emu", 0), emu);
        if (driver && !setUp) {
            EXPECT_EQ(app->link()->lineSettings(), (LineSettings{3, 9600, 7, 2, 1}));
        }
        app->exit();
        EXPECT_EQ(shared_.link.link, nullptr);
    }
    GpsLink link(clock_, shared_.settings());
    link.setPortNumber(9);
    EXPECT_FALSE(applyDriverText(link, "2,4800,8"));  // all five numbers or nothing
    EXPECT_EQ(link.portNumber(), 9);
}

TEST_F(ApplicationTest, BluetoothBrowserValueIsZeroWhileRunningAndRestoredAfter) {
    SettingsStore bt(registry_);
    bt.set(RegRoot::LocalMachine, kBluetoothKeyPath);
    for (bool present : {false, true}) {  // absent: neither changed nor made
        if (present) {
            ASSERT_TRUE(bt.writeNumber("BtBrowserEnabled", 7));
        }
        auto app = make();
        ASSERT_TRUE(app->startUp());
        EXPECT_EQ(bt.readNumber("BtBrowserEnabled").value_or(99) == 0, present);
        app->exit();
        EXPECT_EQ(bt.readNumber("BtBrowserEnabled").value_or(99) == 7, present);
    }
}

// The link's track log reads the autosave file at start-up, is the one the
// dashboard shows, and writes it at exit; so does the map its scale step.
TEST_F(ApplicationTest, TheLinksTrackAndTheMapsScaleAreLoadedAtStartUpAndSavedAtExit) {
    ASSERT_TRUE(SettingsStore(registry_).writeNumber(kTrackStateValue,
                                                     TrackState::AutoLoad | TrackState::AutoSave));
    IntSetting(shared_.settings(), "TSOpt", true, 5) = 7;
    const std::string autosave = Paths::map(kLinkAutosavePath);
    TrackLog written;
    ASSERT_TRUE(written.replaceTrack(std::vector<TrackPoint>(3)));
    written.currentFileName = autosave;
    ASSERT_TRUE(written.save().value_or(false));
    auto app = make();
    ASSERT_TRUE(app->startUp());
    EXPECT_EQ(app->link()->decoder().trackLog()->count(), 3);
    // The dashboard follows the application's link and shows its track.
    EXPECT_EQ(trackLog(app->mainWindow()->screen().snapshot()), app->link()->decoder().trackLog());
    app->mainWindow()->screen().trackView().zoomOut();  // from the stored step
    std::filesystem::remove(autosave);
    app->exit();
    EXPECT_TRUE(test::fileExists(autosave));
    EXPECT_EQ(test::loadedSetting<IntSetting>(shared_.settings(), "TSOpt", 5), 8);
}

// The program's dialogs give the dashboard the stored unit system at start.
TEST_F(ApplicationTest, TheDashboardStartsInTheStoredUnitSystem) {
    IntSetting(shared_.settings(), "UnitSystem", true, 0) = UnitFormatter::kNautical;
    QtDialogs(player_, shared_.ui).prepareMiscOptions(shared_.units);
    EXPECT_EQ(shared_.units.code(), UnitFormatter::kNautical);
}

TEST(SplashWindow, DrawsItsWholeTextInTheLowerStripWhichFollowsALargerClientArea) {
    EXPECT_EQ(SplashWindow::textRect(180, 240), (Rect{10, 218, 130, 235}));
    EXPECT_EQ(SplashWindow::textRect(200, 300), (Rect{10, 218, 150, 295}));
    test::ensureApplication();
    SplashWindow splash;
    // Black text pixels inside (10, 218, 130, 235) only, and none in its last
    // columns: a text too wide for its font is cut off there.
    const QImage& picture = splash.picture();
    int inside = 0, right = 0;
    for (int y = 200; y < 240; ++y) {
        for (int x = 0; x < 180; ++x) {
            if (picture.pixel(x, y) == rgb(0, 0, 0)) {
                const bool inRect = x >= 10 && x < 130 && y >= 218 && y < 235;
                EXPECT_TRUE(inRect) << x << "," << y;
                inside += inRect ? 1 : 0;
                right = std::max(right, x);
            }
        }
    }
    EXPECT_GT(inside, 40);
    EXPECT_LT(right, 127);
    EXPECT_EQ(SplashWindow(2).size(), QSize(360, 480));
}

TEST(AppOptions, ReadsEveryOptionAndRefusesWhatItCannotUse) {
    const AppOptions o = parseAppOptions({"--scale", "3", "--fullscreen", "--emulate", "--root",
                                          "/x", "--screenshot", "a.png", "--frames", "300", "--map",
                                          "--map-source", "m.mbtiles"})
                             .options;
    EXPECT_TRUE(o.scale == 3 && o.fullscreen && o.emulate && o.map && o.frames == 300);
    EXPECT_TRUE(o.root == "/x" && o.screenshot == "a.png");
    EXPECT_EQ(o.mapSource, "m.mbtiles");
    EXPECT_EQ(parseAppOptions({"--map-source", ""}).options.mapSource, "");  // none this run
    EXPECT_EQ(parseAppOptions({}).options.mapSource, std::nullopt);          // the setting's
    EXPECT_EQ(parseAppOptions({}).options.scale, 0);  // chosen from the screen
    const std::vector<std::string> wrong[] = {
        {"--scale", "0"},  {"--scale", "9"},
        {"--scale", "2x"}, {"--frames", "-1", "--screenshot", "a"},
        {"--root"},        {"--frames", "10"},  // without --screenshot
        {"--map"},         {"--bogus"},
        {"--map-source"}};
    for (const auto& args : wrong) {
        EXPECT_NE(parseAppOptions(args).error, "") << args[0];
    }
}

TEST(AppOptions, ComfortableScaleUsesAboutFourFifthsOfTheScreenHeight) {
    const int heights[] = {0, 320, 768, 1080, 1440, 2160, 100000};
    const int scales[] = {1, 1, 1, 2, 3, 5, AppOptions::kMaxScale};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(comfortableScale(heights[i]), scales[i]) << heights[i];
    }
}

}  // namespace
}  // namespace wp2
