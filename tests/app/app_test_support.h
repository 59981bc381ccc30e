#pragma once
// Shared set-up for the program's tests: a widget application on the
// offscreen platform, an in-memory registry, a temporary data root, and
// recording stand-ins for the window host and the dialogs.

#include <gtest/gtest.h>

#include <QApplication>
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
#include "core/settings/creg_int.h"
#include "core/settings/creg_store.h"
#include "core/settings/memory_registry.h"
#include "core/settings/registry.h"
#include "core/sound/recording_sound_player.h"
#include "core/waypoints/cpushpins.h"
#include "support/test_support.h"
#include "ui/fonts.h"

namespace wp2::test {

inline void ensureApplication() {
    if (!QApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static int argc = 1;
        static char name[] = "wp2-app-test";
        static char* argv[] = {name, nullptr};
        auto* app = new QApplication(argc, argv);
        app->setQuitOnLastWindowClosed(false);
    }
    registerDashboardFonts();
}

// The bundled drive, where the program looks for the emulation file.
inline void installEmulationFile() {
    const std::string target = Paths::map(EmulationSource::kDefaultFile);
    Paths::makeDirs(target.substr(0, target.rfind('/')));
    writeFile(target, readFile(std::string(TEST_DATA_DIR) + "/../../resources/windows/move4.txt"));
}

// Records what the dashboard asks of its window.
class RecordingHost final : public ScreenHost {
public:
    void stopTimer() override { log("stopTimer"), timerRunning = false; }
    void startTimer() override { log("startTimer"), timerRunning = true; }
    void hideForDialog() override { log("hide"), shown = false; }
    void showAfterDialog() override { log("show"), shown = true; }
    void keepInFront() override { log("front"); }
    void forceInputPanelDown() override { log("inputPanelDown"); }
    void endMessageLoop(int code) override {
        log("endLoop");
        exitCode = code;
    }
    int count(const std::string& call) const {
        int n = 0;
        for (const auto& c : calls) {
            n += c == call ? 1 : 0;
        }
        return n;
    }

    std::vector<std::string> calls;
    bool timerRunning = true;
    bool shown = true;
    int exitCode = -1;

private:
    void log(const std::string& call) { calls.push_back(call); }
};

// Records every dialog opened, with whether the screen was suspended at the time.
class RecordingDialogs final : public AppDialogs {
public:
    int firstRunSetup(int emu, GpsLink* link) override {
        firstRunLink = link;
        opened.push_back("firstRun " + std::to_string(emu));
        if (onFirstRun) {
            onFirstRun(emu);
        }
        return firstRunMode;
    }
    bool newPoint(CPushpins& p, const TrackPoint& fix) override {
        record("newPoint");
        return onNewPoint ? onNewPoint(p, fix) : false;
    }
    void selectPoint(CPushpins& p) override {
        record("selectPoint");
        if (onSelectPoint) {
            onSelectPoint(p);
        }
    }
    void soundOptions(SoundSettings&) override { record("sound"); }
    void pushpinList(CPushpins& p) override {
        record("pushpins");
        if (onPushpinList) {
            onPushpinList(p);
        }
    }
    void gpsSetup(GpsLink* link) override {
        record("gps");
        gpsSetupLink = link;
    }
    void prepareMiscOptions(UnitFormatter& units) override { units.setSystem(preparedUnitSystem); }
    bool miscOptions(UnitFormatter& units) override {
        record("misc");
        if (miscOk) {
            units.setSystem(miscUnitSystem);
        }
        return miscOk;
    }
    void trackOptions(TrackView&, TrackLog&) override { record("trackOptions"); }

    std::vector<std::string> opened;
    std::vector<bool> timerWasRunning;  // the host's timer state when each dashboard dialog ran
    const RecordingHost* host = nullptr;
    int firstRunMode = 2;
    GpsLink* firstRunLink = nullptr;
    GpsLink* gpsSetupLink = nullptr;
    int preparedUnitSystem = 1;
    int miscUnitSystem = 1;
    bool miscOk = false;
    std::function<void(int)> onFirstRun;
    std::function<bool(CPushpins&, const TrackPoint&)> onNewPoint;
    std::function<void(CPushpins&)> onSelectPoint;
    std::function<void(CPushpins&)> onPushpinList;

private:
    void record(const std::string& name) {
        opened.push_back(name);
        timerWasRunning.push_back(host ? host->timerRunning : true);
    }
};

// An in-memory registry and an empty data root for the length of a test,
// and what a dashboard needs besides its window.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        previous_ = setRegistry(&registry_);
        lastTarget_.emplace("LastTarg", true, -1);
    }
    void TearDown() override {
        lastTarget_.reset();
        setRegistry(previous_);
    }

    DashboardServices services(LinkStarter ensureLinkOpen = nullptr) {
        DashboardServices s;
        s.dialogs = &dialogs_;
        s.pushpins = &pushpins_;
        s.lastTarget = &*lastTarget_;
        s.store = &store_;
        s.sounds = &player_;
        s.clock = &clock_;
        s.ensureLinkOpen = std::move(ensureLinkOpen);
        return s;
    }

    MemoryRegistry registry_;
    TempDir root_{true};
    RecordingMessageBoxes boxes_;
    RecordingDialogs dialogs_;
    CPushpins pushpins_;
    std::optional<CRegInt> lastTarget_;
    CRegStore store_;
    RecordingSoundPlayer player_;
    ManualClock clock_{1700000000, 5000};

private:
    Registry* previous_ = nullptr;
};

}  // namespace wp2::test
