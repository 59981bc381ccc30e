// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared set-up for the program's tests: a widget application on the
// offscreen platform, an in-memory registry, a temporary data root, and
// recording stand-ins for the window host and the dialogs.

#include <gtest/gtest.h>

#include <QApplication>
#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/app_dialogs.h"
#include "app/dashboard_screen.h"
#include "app/screen_host.h"
#include "core/base/clock.h"
#include "core/base/paths.h"
#include "core/gps/emulation_source.h"
#include "core/nav/unit_formatter.h"
#include "core/settings/int_setting.h"
#include "core/settings/settings_store.h"
#include "core/sound/recording_sound_player.h"
#include "core/waypoints/pushpins.h"
#include "support/test_services.h"
#include "support/test_support.h"
#include "ui/fonts.h"

namespace wp2::test {

inline void ensureApplication() {
    if (!QApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char* argv[] = {const_cast<char*>("wp2-app-test"), nullptr};
        (new QApplication(argc, argv))->setQuitOnLastWindowClosed(false);
    }
    registerDashboardFonts();
}

// "IOpt" of a first start: Menu 1 on the course dial, the left menu on the
// destination, the right one on the sky view, the read-outs speed and heading.
inline constexpr const char* kFirstChoices = "105,30,102,24,101,27,103,35,104,37";

// A long text setting as stored ("" when there is none).
inline std::string storedText(Registry& registry, const char* name) {
    return SettingsStore(registry).readLongText(name).value_or("");
}

// The bundled drive (its first `lines` lines when given), where the program
// looks for the emulation file.
inline void installEmulationFile(int lines = -1) {
    const std::string target = Paths::map(EmulationSource::kDefaultFile);
    Paths::makeDirs(target.substr(0, target.rfind('/')));
    const std::string drive =
        readFile(std::string(TEST_DATA_DIR) + "/../../resources/windows/move4.txt");
    std::size_t end = lines < 0 ? drive.size() : 0;
    for (int line = 0; line < lines; ++line) {
        end = drive.find('\n', end) + 1;
    }
    writeFile(target, drive.substr(0, end));
}

// A touch pressed and released at (x, y) of the dashboard, then a frame composed.
inline void tap(DashboardScreen& screen, int x, int y) {
    screen.press(x, y);
    screen.release(x, y);
    screen.compose();
}

// An item of the Options menu: 0 GPS, 1 Sound, 2 WayPoints, 3 Misc., 4 and 5
// Reset Trip A, B, 6 Night, 7 Auto.
inline void menuItem(DashboardScreen& screen, int item) {
    tap(screen, 200, 290);
    tap(screen, 190, 80 + 10 + 23 * item);
}

// Records what the dashboard asks of its window.
class RecordingHost final : public ScreenHost {
public:
    void stopTimer() override { timerRunning = false; }
    void startTimer() override { timerRunning = true; }
    void hideForDialog() override { calls.push_back("hide"); }
    void showAfterDialog() override { calls.push_back("show"); }
    void keepInFront() override { calls.push_back("front"); }
    void forceInputPanelDown() override {}
    void endMessageLoop(int) override {}
    int count(const std::string& call) const {
        return static_cast<int>(std::count(calls.begin(), calls.end(), call));
    }

    std::vector<std::string> calls;
    bool timerRunning = true;
};

// Records every dialog opened, with whether the screen's timer ran meanwhile.
class RecordingDialogs final : public AppDialogs {
public:
    int firstRunSetup(int emu, GpsLink*) override {
        record("firstRun " + std::to_string(emu));
        return onFirstRun ? onFirstRun() : 1;
    }
    bool newPoint(Pushpins& p, const TrackPoint& fix) override {
        record("newPoint");
        return onNewPoint && onNewPoint(p, fix);
    }
    void selectPoint(Pushpins& p) override { record("selectPoint"), onPushpins(p); }
    void soundOptions(SoundSettings&) override { record("sound"); }
    void pushpinList(Pushpins& p) override { record("pushpins"), onPushpins(p); }
    void gpsSetup(GpsLink*) override { record("gps"); }
    void prepareMiscOptions(UnitFormatter& units) override { units.setSystem(UnitSystem::US); }
    bool miscOptions(UnitFormatter& units) override {
        record("misc");
        if (miscOk) {
            units.setSystem(UnitSystem::Nautical);
        }
        return miscOk;
    }
    std::optional<std::string> trackOptions(TrackView&, TrackLog&, const std::string&) override {
        record("trackOptions");
        return chosenBaseMap;
    }

    std::vector<std::string> opened;
    std::vector<bool> timerWasRunning;
    const RecordingHost* host = nullptr;
    bool miscOk = false;                       // Misc.: OK with Nautical, or Cancel
    std::optional<std::string> chosenBaseMap;  // Track options: OK with a new base map
    std::function<int()> onFirstRun;
    std::function<bool(Pushpins&, const TrackPoint&)> onNewPoint;
    std::function<void(Pushpins&)> onPushpins = [](Pushpins&) {};  // list or selection

private:
    void record(const std::string& name) {
        opened.push_back(name);
        timerWasRunning.push_back(host && host->timerRunning);
    }
};

// Settings in memory and an empty data root for the length of a test,
// and what a dashboard needs besides its window.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        lastTarget_.emplace(shared_.settings(), "LastTarg", true, -1);
        lastTarget_->load();
    }
    void TearDown() override { lastTarget_.reset(); }

    DashboardServices services(LinkStarter ensureLinkOpen = nullptr) {
        DashboardServices s;
        s.dialogs = &dialogs_;
        s.pushpins = &pushpins_;
        s.lastTarget = &*lastTarget_;
        s.settings.emplace(shared_.settings());
        s.boxes = &boxes_;
        s.store = &store_;
        s.sounds = &player_;
        s.units = &shared_.units;
        s.clock = &clock_;
        s.ensureLinkOpen = std::move(ensureLinkOpen);
        return s;
    }

    TestServices shared_;
    TestRegistry& registry_ = shared_.store.registry;
    TempDir root_{true};
    RecordingMessageBoxes& boxes_ = shared_.boxes;
    RecordingDialogs dialogs_;
    Pushpins pushpins_;
    std::optional<IntSetting> lastTarget_;
    SettingsStore store_{registry_};
    RecordingSoundPlayer player_;
    ManualClock clock_{1700000000, 5000};
};

}  // namespace wp2::test
