#include "app/application.h"

#include <gtest/gtest.h>

#include "app/splash_window.h"
#include "app_test_support.h"
#include "core/base/clock.h"
#include "core/base/timer_queue.h"
#include "core/gps/gps_link.h"
#include "core/gps/nav_snapshot.h"
#include "core/settings/creg_double.h"
#include "core/settings/creg_int.h"
#include "core/settings/creg_store.h"
#include "core/settings/reg_values.h"
#include "core/waypoints/cpushpins.h"
#include "support/env_override.h"
#include "support/nmea_lines.h"
#include "support/pseudo_terminal.h"

namespace wp2 {
namespace {

struct Wait {
    std::uint32_t ms;
    bool splashShown;
    bool windowMade;
};

class ApplicationTest : public test::AppTest {
protected:
    std::unique_ptr<Application> make(StartOptions options = {}) {
        auto app = std::make_unique<Application>(clock_, timers_, dialogs_, player_, options);
        Application* raw = app.get();
        app->setWait([this, raw](std::uint32_t ms) {
            waits_.push_back(
                {ms, raw->splash() && raw->splash()->isVisible(), raw->mainWindow() != nullptr});
        });
        return app;
    }
    void writePushpins(int n) {
        CPushpins pushpins;
        for (int i = 0; i < n; ++i) {
            pushpins.AddNew()->latitude = 0.01 * i;
        }
        ASSERT_TRUE(pushpins.Save());
    }
    std::vector<std::uint32_t> waitTimes() const {
        std::vector<std::uint32_t> ms;
        for (const Wait& w : waits_) {
            ms.push_back(w.ms);
        }
        return ms;
    }
    void setBluetooth(std::uint32_t value) {
        CRegStore bt;
        bt.Set(RegRoot::LocalMachine, kBluetoothKeyPath);
        ASSERT_TRUE(bt.WriteNumber("BtBrowserEnabled", value));
    }
    bool readBluetooth(std::uint32_t& value) {
        CRegStore bt;
        bt.Set(RegRoot::LocalMachine, kBluetoothKeyPath);
        return bt.ReadNumber("BtBrowserEnabled", value);
    }

    TimerQueue timers_{clock_};
    std::vector<Wait> waits_;
};

TEST_F(ApplicationTest, WithoutDriverTheSetUpRunsEvenWithEmu0) {
    writePushpins(2);
    CRegDouble("LastLat", true, 10.0) = 0.75;
    std::vector<std::string> seenAtSetUp;
    auto app = make();
    Application* raw = app.get();
    dialogs_.onFirstRun = [&](int) {
        // By now the link exists with the stored position and the pushpins are
        // loaded; no splash and no window yet.
        ASSERT_NE(currentLink(), nullptr);
        EXPECT_EQ(currentLink(), raw->link());
        EXPECT_DOUBLE_EQ(currentLink()->state().latitude, 0.75);
        EXPECT_DOUBLE_EQ(currentLink()->state().longitude, 10.0);
        ASSERT_NE(raw->pushpins(), nullptr);
        EXPECT_EQ(raw->pushpins()->GetCount(), 2);
        EXPECT_EQ(raw->splash(), nullptr);
        EXPECT_EQ(raw->mainWindow(), nullptr);
    };
    dialogs_.firstRunMode = 1;
    ASSERT_TRUE(app->startUp());
    EXPECT_EQ(dialogs_.opened, std::vector<std::string>{"firstRun 0"});
    EXPECT_EQ(app->startMode(), 1);
    EXPECT_FALSE(app->driverFound());
    EXPECT_EQ(waitTimes(), (std::vector<std::uint32_t>{500, 500, 2000}));
    // The splash was up during its 2000 ms, before the main window.
    EXPECT_TRUE(waits_[2].splashShown);
    EXPECT_FALSE(waits_[2].windowMade);
    ASSERT_NE(app->mainWindow(), nullptr);
    EXPECT_EQ(app->mainWindow()->windowTitle(), "Wayplot2");
    EXPECT_TRUE(app->mainWindow()->isVisible());
    EXPECT_EQ(app->mainWindow()->screen().mode(), 1);
    EXPECT_EQ(app->splash(), nullptr);
    app->exit();
    EXPECT_EQ(currentLink(), nullptr);
}

TEST_F(ApplicationTest, WithDriverAndEmu0ItStartsLiveWithoutTheSetUp) {
    CRegStore().WriteText("Driver", "3,9600,7,2,1");
    auto app = make();
    ASSERT_TRUE(app->startUp());
    EXPECT_TRUE(dialogs_.opened.empty());
    EXPECT_EQ(app->startMode(), 0);
    EXPECT_EQ(waitTimes(), (std::vector<std::uint32_t>{500, 2000}));
    EXPECT_TRUE(app->driverFound());
    const LineSettings& d = app->link()->lineSettings();
    EXPECT_EQ(d, (LineSettings{3, 9600, 7, 2, 1}));
    EXPECT_EQ(app->mainWindow()->screen().mode(), 0);
}

TEST_F(ApplicationTest, EmuNotZeroRunsTheSetUpEvenWithDriverAndIsKeptUnchanged) {
    CRegStore().WriteText("Driver", "1,4800,8,1,0");
    CRegInt("Emu", true, 0) = 1;
    dialogs_.firstRunMode = 1;
    auto app = make();
    ASSERT_TRUE(app->startUp());
    EXPECT_EQ(dialogs_.opened, std::vector<std::string>{"firstRun 1"});
    EXPECT_EQ(app->startMode(), 1);
    EXPECT_EQ(CRegInt("Emu", false, 0).Get(), 1);
}

TEST_F(ApplicationTest, AStartModeFromTheCommandLineSkipsTheSetUpAndTheSplash) {
    StartOptions options;
    options.forcedMode = 1;
    options.splash = false;
    auto app = make(options);
    ASSERT_TRUE(app->startUp());
    EXPECT_TRUE(dialogs_.opened.empty());
    EXPECT_EQ(app->startMode(), 1);
    EXPECT_EQ(waitTimes(), std::vector<std::uint32_t>{500});
}

TEST_F(ApplicationTest, BluetoothBrowserValueIsZeroWhileRunningAndRestoredAfter) {
    auto app = make();
    ASSERT_TRUE(app->startUp());
    app->exit();
    EXPECT_TRUE(registry_.listValues(RegRoot::LocalMachine, kBluetoothKeyPath).empty());

    setBluetooth(7);
    app.reset();
    app = make();
    ASSERT_TRUE(app->startUp());
    std::uint32_t value = 99;
    ASSERT_TRUE(readBluetooth(value));
    EXPECT_EQ(value, 0u);
    app->exit();
    ASSERT_TRUE(readBluetooth(value));
    EXPECT_EQ(value, 7u);
}

TEST_F(ApplicationTest, AStoredTargetIsRestoredOnlyWhenItNamesAPushpinAndWrittenAtExit) {
    writePushpins(3);
    CRegInt("LastTarg", true, -1) = 3;  // equal to the count
    auto app = make();
    ASSERT_TRUE(app->startUp());
    EXPECT_EQ(app->pushpins()->GetTargetIndex(), -1);
    EXPECT_EQ(app->mainWindow()->screen().snapshot().targetSet, 0);
    app->exit();
    EXPECT_EQ(CRegInt("LastTarg", true, 5).Get(), -1);

    CRegInt("LastTarg", true, -1) = 2;
    app.reset();
    app = make();
    ASSERT_TRUE(app->startUp());
    EXPECT_EQ(app->pushpins()->GetTargetIndex(), 2);
    EXPECT_EQ(app->mainWindow()->screen().snapshot().targetSet, 1);
    app->pushpins()->SetTargetIndex(1);
    app->exit();
    EXPECT_EQ(CRegInt("LastTarg", true, 5).Get(), 1);
    CPushpins reread;  // saved when the dashboard was taken down
    EXPECT_EQ(reread.Load().added, 3);
}

TEST_F(ApplicationTest, LiveModeOpensTheStoredPortAndTheDashboardShowsTheReceiver) {
    test::PseudoTerminal receiver;
    ASSERT_TRUE(receiver.valid());
    test::EnvOverride port("WAYPLOT2_COM1", receiver.slavePath().c_str());
    CRegStore().WriteText("Driver", "1,4800,8,1,0");
    StartOptions options;
    options.splash = false;
    auto app = make(options);
    ASSERT_TRUE(app->startUp());
    EXPECT_TRUE(boxes_.shown.empty());  // no "GPS is not started !"
    EXPECT_TRUE(app->link()->running());
    EXPECT_TRUE(app->ensureLinkOpen(-1));

    // The receiver sends a second of fixes; the link decodes them on its
    // timer and the dashboard copies them on its next 30th frame.
    const std::string epoch = test::fixEpoch(0);
    ASSERT_TRUE(receiver.send(epoch));
    for (int i = 0;
         i < 300 && app->link()->receiveBuffer().count() < static_cast<int>(epoch.size()); ++i) {
        usleep(10000);
    }
    clock_.advanceMs(1000);
    timers_.processPending();
    MainWindow& window = *app->mainWindow();
    while (window.frame() % 30 != 0 || window.frame() == 0) {
        clock_.advanceMs(30);
        window.onTimer();
    }
    clock_.advanceMs(30);
    window.onTimer();
    const NavSnapshot& snapshot = window.screen().snapshot();
    EXPECT_EQ(snapshot.fixLevel, 4);
    EXPECT_NEAR(snapshot.latitude * 57.29577951308232, 48.0 + 7.1 / 60, 1e-6);
    app->exit();
}

TEST_F(ApplicationTest, DriverTextNeedsAllFiveNumbers) {
    DriverSettings d;
    EXPECT_TRUE(DriverSettings::parse("1,4800,8,1,0", d));
    EXPECT_EQ(d.baudRate, 4800);
    d = DriverSettings{};
    d.port = 9;
    EXPECT_FALSE(DriverSettings::parse("2,4800,8", d));
    EXPECT_FALSE(DriverSettings::parse("", d));
    EXPECT_EQ(d.port, 9);
}

}  // namespace
}  // namespace wp2
