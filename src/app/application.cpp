// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"

#include <QApplication>
#include <QEventLoop>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <cstdio>

#include "app/app_dialogs.h"
#include "app/dashboard_screen.h"
#include "app/splash_window.h"
#include "app/track_messages.h"
#include "core/base/diagnostics.h"
#include "core/gps/gps_link.h"
#include "core/gps/gps_scan.h"
#include "core/nav/coordinate_text.h"
#include "core/routes/routes.h"
#include "core/settings/double_setting.h"
#include "core/settings/int_setting.h"
#include "core/settings/reg_values.h"
#include "core/settings/settings_store.h"
#include "core/waypoints/pushpin_messages.h"
#include "core/waypoints/pushpins.h"
#include "dialogs/dialog_layout.h"
#include "dialogs/dialog_palette.h"
#include "messages/message_box.h"
#include "platform/battery_status.h"
#include "platform/qt/map_sources.h"
#include "platform/source_port.h"

namespace wp2 {

namespace {

constexpr const char* kDriverValue = "Driver";
constexpr const char* kEmulationValue = "Emu";
constexpr const char* kLastTargetValue = "LastTarg";
constexpr const char* kLastLatitudeValue = "LastLat";
constexpr const char* kLastLongitudeValue = "LastLong";
constexpr const char* kWarmStartValue = "WarmStart";

// Runs the event loop for ms milliseconds.
void processEventsFor(std::uint32_t ms) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(ms), &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

Application::Application(const UiServices& services, Clock& clock, Timers& timers,
                         AppDialogs& dialogs, SoundPlayer& sounds, StartOptions options)
    : services_(services),
      clock_(clock),
      timers_(timers, clock),
      dialogs_(dialogs),
      sounds_(sounds),
      options_(options),
      wait_(processEventsFor) {}

Application::~Application() = default;

void Application::wait(std::uint32_t ms) {
    if (wait_) {
        wait_(ms);
    }
}

bool Application::startUp() {
    wait(kFirstWaitMs);
    switchOffBluetoothBrowser();
    settings_ = std::make_unique<SettingsStore>(services_.registry);
    createLink();
    loadPushpins();
    loadRoutes();
    startMode_ = chooseStartMode();
    if (options_.splash) {
        showSplash();
    }
    if (!createMainWindow()) {
        showMessage(services_.boxes, "Cannot create the main window.", "", MessageIcon::None);
        splash_.reset();
        return false;
    }
    // The user-interface thread would run above normal priority here; a
    // desktop gives ordinary programs no higher priority, so it stays as it is.
    splash_.reset();
    return true;
}

void Application::switchOffBluetoothBrowser() {
    SettingsStore bluetooth(services_.registry);
    bluetooth.set(RegRoot::LocalMachine, kBluetoothKeyPath);
    if (const Result<std::uint32_t> value = bluetooth.readNumber(kBluetoothValue)) {
        bluetoothSaved_ = true;
        bluetoothValue_ = *value;
        (void)bluetooth.writeNumber(kBluetoothValue, 0);
    }
}

void Application::restoreBluetoothBrowser() {
    if (!bluetoothSaved_) {
        return;
    }
    SettingsStore bluetooth(services_.registry);
    bluetooth.set(RegRoot::LocalMachine, kBluetoothKeyPath);
    (void)bluetooth.writeNumber(kBluetoothValue, bluetoothValue_);
    bluetoothSaved_ = false;
}

void Application::createLink() {
    link_ = std::make_unique<GpsLink>(clock_, services_.settings(), std::make_unique<TrackLog>());
    startTrackLog(services_.settings(), services_.boxes, *link_->decoder().trackLog());
    link_->setSerialPort(std::make_unique<SourcePort>(services_.diagnostics));
    link_->setTimers(&timers_);
    link_->loadTalkerSetting();
    if (link_->install(services_.link, false)) {
        showMessage(services_.boxes, "Driver is already installed", "NMEA Driver",
                    MessageIcon::Warning);
    }

    const Result<std::string> text = settings_->readText(kDriverValue);
    driverFound_ = text.has_value();
    if (driverFound_) {
        (void)applyDriverText(*link_, *text);
    }

    lastLatitude_ = std::make_unique<DoubleSetting>(services_.settings(), kLastLatitudeValue, false,
                                                    kNoPosition);
    lastLatitude_->load();
    lastLongitude_ = std::make_unique<DoubleSetting>(services_.settings(), kLastLongitudeValue,
                                                     false, kNoPosition);
    lastLongitude_->load();
    link_->state().latitude = lastLatitude_->get();
    link_->state().longitude = lastLongitude_->get();
    warmStart_ = std::make_unique<IntSetting>(services_.settings(), kWarmStartValue, true, 1);
    warmStart_->load();
    link_->loadWarmStart(*lastLatitude_, *lastLongitude_, *warmStart_);
}

void Application::loadPushpins() {
    pushpins_ = std::make_unique<Pushpins>();
    const PushpinLoadResult loaded = pushpins_->load();
    if (loaded.opened && !loaded.clean()) {
        showMessage(services_.boxes, damagedPushpinFileText(Pushpins::defaultFilePath(), loaded),
                    kApplicationCaption, MessageIcon::Exclamation);
    }
    lastTarget_ = std::make_unique<IntSetting>(services_.settings(), kLastTargetValue, true, -1);
    lastTarget_->load();
    pushpins_->setTargetIndex(lastTarget_->get());
}

void Application::loadRoutes() {
    routes_ = std::make_unique<Routes>();
    const RouteLoadResult loaded = routes_->load();
    std::string text;
    if (!loaded.opened && !loaded.problem.empty()) {
        text = "The route file " + Routes::defaultFilePath() +
               " cannot be read: " + loaded.problem + "\r\nRoutes are not saved to it.";
    } else if (loaded.opened && !loaded.clean) {
        text = "The route file " + Routes::defaultFilePath() + " is damaged: " + loaded.problem +
               (loaded.keptAs.empty()
                    ? "\r\nRoutes are not saved to it (" + loaded.notMovedReason + ")."
                    : "\r\nIt was kept as " + loaded.keptAs + ".");
    }
    if (!text.empty()) {
        showMessage(services_.boxes, text, kApplicationCaption, MessageIcon::Exclamation);
    }
}

int Application::chooseStartMode() {
    if (options_.forcedMode >= 0) {
        return options_.forcedMode;
    }
    // Read for the start-up only and written back unchanged when it ends.
    IntSetting emulation(services_.settings(), kEmulationValue, false, 0);
    emulation.load();
    int mode = 0;
    if (!driverFound_ || emulation.get() != 0) {
        mode = dialogs_.firstRunSetup(emulation.get(), link_.get());
        wait(kSetupWaitMs);
    }
    services_.diagnostics.traceFailure(emulation.save());
    return mode;
}

void Application::showSplash() {
    // The splash is already in the palette the dashboard will start with.
    const Palette palette =
        startingPalette(services_.registry, options_.palette, link_.get(), clock_.now());
    setCurrentPalette(palette);
    applyDialogPalette(palette);
    splash_ = std::make_unique<SplashWindow>(options_.window.scale);
    if (options_.window.fullscreen) {
        splash_->move(30, 40);
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect place = splash_->rect();
        place.moveCenter(screen->availableGeometry().center());
        splash_->move(place.topLeft());
    }
    splash_->show();
    bringToFront(*splash_);
    splash_->repaint();
    wait(kSplashMs);
}

bool Application::createMainWindow() {
    DashboardServices services;
    services.dialogs = &dialogs_;
    services.pushpins = pushpins_.get();
    services.routes = routes_.get();
    services.lastTarget = lastTarget_.get();
    services.settings.emplace(services_.settings());
    services.boxes = &services_.boxes;
    services.store = settings_.get();
    services.sounds = &sounds_;
    services.units = &services_.units;
    services.clock = &clock_;
    services.link = link_.get();
    services.sharedWakes = &timers_;
    services.ensureLinkOpen = [this](int port) { return ensureLinkOpen(port); };
    services.battery = [] { return batteryPercent(); };
    services.mapSource = options_.mapSource;
    services.palette = options_.palette;
    services.openMapSource = openMapSource;
    mainWindow_ = std::make_unique<MainWindow>(services, clock_, options_.window);
    mainWindow_->setMode(startMode_);
    if (!mainWindow_->create()) {
        mainWindow_.reset();
        return false;
    }
    if (options_.window.fullscreen) {
        mainWindow_->move(0, 0);
        mainWindow_->showFullScreen();
    } else {
        mainWindow_->show();
    }
    bringToFront(*mainWindow_);
    return true;
}

bool Application::ensureLinkOpen(int port) {
    return link_ && link_->ensureLinkOpen(port);
}

void Application::exit() {
    if (exited_) {
        return;
    }
    exited_ = true;
    if (link_) {
        link_->saveWarmStart(*lastLatitude_, *lastLongitude_);
    }
    if (mainWindow_) {
        // No frame runs while a failed save is told.
        mainWindow_->stopTimer();
        mainWindow_->screen().saveAtExit();
    }
    mainWindow_.reset();
    if (link_) {
        finishTrackLog(services_.settings(), services_.boxes, *link_->decoder().trackLog());
    }
    // Closes the port and tells the other links that this one has ended.
    link_.reset();
    warmStart_.reset();
    // The stored position as the link left it (or as it was read).
    for (DoubleSetting* position : {lastLatitude_.get(), lastLongitude_.get()}) {
        if (position) {
            services_.diagnostics.traceFailure(position->save());
        }
    }
    lastLatitude_.reset();
    lastLongitude_.reset();
    settings_.reset();
    if (pushpins_) {
        if (!lastTarget_) {
            lastTarget_ =
                std::make_unique<IntSetting>(services_.settings(), kLastTargetValue, true, -1);
            lastTarget_->load();
        }
        *lastTarget_ = pushpins_->targetIndex();
        pushpins_.reset();
    }
    routes_.reset();
    lastTarget_.reset();
    restoreBluetoothBrowser();
}

}  // namespace wp2
