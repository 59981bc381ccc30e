// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "app/splash_window.h"
#include "app_test_support.h"
#include "core/base/timer_queue.h"
#include "core/gps/gps_link.h"
#include "core/settings/double_setting.h"
#include "core/settings/reg_values.h"
#include "core/track/track_log.h"

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
    DriverSettings d;
    d.port = 9;
    EXPECT_FALSE(DriverSettings::parse("2,4800,8", d));  // all five numbers or nothing
    EXPECT_EQ(d.port, 9);
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
// dashboard shows, and writes it at exit.
TEST_F(ApplicationTest, TheLinksTrackIsLoadedAtStartUpAndSavedAtExit) {
    ASSERT_TRUE(SettingsStore(registry_).writeNumber(kTrackStateValue,
                                                     TrackState::AutoLoad | TrackState::AutoSave));
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
    std::filesystem::remove(autosave);
    app->exit();
    EXPECT_TRUE(test::fileExists(autosave));
}

}  // namespace
}  // namespace wp2
