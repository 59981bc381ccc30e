// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application object: brings the program up in a fixed order (settings,
// receiver link, waypoints, optional first-run set-up, splash, main window)
// and takes everything down again at exit, saving what the next start needs.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "core/base/shared_wake_timers.h"
#include "messages/ui_services.h"
#include "ui/night_palette.h"

namespace wp2 {

class AppDialogs;
class Clock;
class Pushpins;
class Routes;
class DoubleSetting;
class IntSetting;
class SettingsStore;
class GpsLink;
class SoundPlayer;
class SplashWindow;
class Timers;

struct StartOptions {
    // A start mode chosen on the command line (--emulate, --screenshot): no
    // first-run set-up. -1: from the settings, as usual.
    int forcedMode = -1;
    // The splash window for its 2000 ms (off for headless runs).
    bool splash = true;
    WindowOptions window;
    // The base map for this run instead of the "BaseMap" setting.
    std::optional<std::string> mapSource;
    // --night: the night palette for this run instead of the Options menu's choice.
    std::optional<Palette> palette;
};

class Application {
public:
    static constexpr const char* kBluetoothValue = "BtBrowserEnabled";
    static constexpr std::uint32_t kFirstWaitMs = 500;
    static constexpr std::uint32_t kSetupWaitMs = 500;
    static constexpr std::uint32_t kSplashMs = 2000;

    // services: what the program shares (the link is installed in its slot);
    // clock: the link's and the dashboard's time; timers: the link's refresh
    // timers; dialogs: the first-run set-up and every dialog of the dashboard;
    // sounds: the event sounds' player. All must outlive the application.
    Application(const UiServices& services, Clock& clock, Timers& timers, AppDialogs& dialogs,
                SoundPlayer& sounds, StartOptions options = {});
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The start-up sequence; false ends the program.
    bool startUp();
    // The exit sequence, with the saves of the end; the caller makes it
    // after startUp() whatever its result, then leaves the program normally.
    void exit();

    // The waits of the start-up sequence (by default the event loop runs
    // meanwhile, so the splash is painted).
    void setWait(std::function<void(std::uint32_t ms)> wait) { wait_ = std::move(wait); }

    // True when the link is open, otherwise the result of starting it on the
    // port (-1: the stored one).
    bool ensureLinkOpen(int port);

    MainWindow* mainWindow() const { return mainWindow_.get(); }
    SplashWindow* splash() const { return splash_.get(); }
    GpsLink* link() const { return link_.get(); }
    Pushpins* pushpins() const { return pushpins_.get(); }
    Routes* routes() const { return routes_.get(); }
    int startMode() const { return startMode_; }
    bool driverFound() const { return driverFound_; }

private:
    void wait(std::uint32_t ms);
    void switchOffBluetoothBrowser();
    void restoreBluetoothBrowser();
    void createLink();
    void loadPushpins();
    void loadRoutes();
    int chooseStartMode();
    void showSplash();
    bool createMainWindow();

    UiServices services_;
    Clock& clock_;
    // The link's timers, sharing the dashboard's wakes while it runs.
    SharedWakeTimers timers_;
    AppDialogs& dialogs_;
    SoundPlayer& sounds_;
    StartOptions options_;
    std::function<void(std::uint32_t)> wait_;

    bool bluetoothSaved_ = false;
    std::uint32_t bluetoothValue_ = 0;
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<GpsLink> link_;
    std::unique_ptr<DoubleSetting> lastLatitude_;
    std::unique_ptr<DoubleSetting> lastLongitude_;
    std::unique_ptr<IntSetting> warmStart_;
    std::unique_ptr<IntSetting> lastTarget_;
    std::unique_ptr<Pushpins> pushpins_;
    std::unique_ptr<Routes> routes_;
    std::unique_ptr<SplashWindow> splash_;
    std::unique_ptr<MainWindow> mainWindow_;
    bool driverFound_ = false;
    int startMode_ = 0;
    bool exited_ = false;
};

}  // namespace wp2
