// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2: the GPS dashboard.

#include <QApplication>
#include <QScreen>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/app_options.h"
#include "app/application.h"
#include "app/qt_dialogs.h"
#include "app/quit_signals.h"
#include "app/screenshot_run.h"
#include "core/base/diagnostics.h"
#include "core/base/paths.h"
#include "core/gps/gps_link.h"
#include "core/nav/unit_formatter.h"
#include "dialogs/dialog_layout.h"
#include "dialogs/qt_file_chooser.h"
#include "dialogs/widget_message_boxes.h"
#include "messages/ui_services.h"
#include "platform/default_files.h"
#include "platform/file_registry.h"
#include "platform/qt/qt_sound_player.h"
#include "platform/qt/qt_timers.h"
#include "platform/system_clock.h"
#include "ui/fonts.h"
#include "wayplot2_version.h"

namespace {

using namespace wp2;

int windowScale(const AppOptions& options) {
    if (options.scale > 0) {
        return options.scale;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? comfortableScale(screen->availableGeometry().height()) : 1;
}

// The dialogs are enlarged as much as the dashboard's frame: on a full
// screen that is as many times as 240 x 320 fits in it.
int dialogScale(const AppOptions& options) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!options.fullscreen || !screen) {
        return windowScale(options);
    }
    const QSize size = screen->geometry().size();
    return std::max(
        1, std::min(size.width() / MainWindow::kWidth, size.height() / MainWindow::kHeight));
}

// boxes are the services' message boxes.
int runDashboard(const UiServices& services, WidgetMessageBoxes& boxes, const AppOptions& options) {
    SystemClock clock;
    QtTimers timers;
    QtSoundPlayer sounds;
    QtDialogs dialogs(sounds, services);
    StartOptions start;
    start.forcedMode = options.emulate ? 1 : -1;
    start.window.scale = windowScale(options);
    start.window.fullscreen = options.fullscreen;
    start.mapSource = options.mapSource;
    if (options.night) {
        start.palette = Palette::Night;
    }
    setDialogScale(dialogScale(options));
    Application app(services, clock, timers, dialogs, sounds, start);

    // Where the run is when a quit signal comes.
    enum class Stage { Starting, Running, Ending } stage = Stage::Starting;
    bool quitEarly = false;
    QuitSignals quitSignals([&](int) {
        // No one is there to answer any more: every open dialog and message
        // box ends, and what a box would say from now on (a save that fails
        // at exit) goes to standard error.
        boxes.quit();
        dialogs.quit();
        if (stage == Stage::Running) {
            app.mainWindow()->screen().quit();
        } else if (stage == Stage::Starting) {
            // The start-up goes on without its dialogs, and the dashboard
            // ends as soon as it is up.
            quitEarly = true;
        }
    });
    if (!app.startUp()) {
        app.exit();
        return 1;
    }
    stage = Stage::Running;
    if (quitEarly) {
        app.mainWindow()->screen().quit();
    }
    const int status = QApplication::exec();
    stage = Stage::Ending;
    app.exit();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const AppOptionsResult parsed = parseAppOptions(args);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "wayplot2: %s\n%s", parsed.error.c_str(), appUsage().c_str());
        return 2;
    }
    const AppOptions& options = parsed.options;
    if (options.help) {
        std::fputs(appUsage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::puts("wayplot2 " WAYPLOT2_VERSION);
        return 0;
    }
    if (!options.screenshot.empty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    preferGStreamerMediaBackend();
    QApplication qapp(argc, argv);
    QApplication::setApplicationName("Wayplot2");
    QApplication::setApplicationVersion(WAYPLOT2_VERSION);
    // Lets the desktop match the window to its launcher entry and icon.
    QGuiApplication::setDesktopFileName("io.github.wayplot2.Wayplot2");
    // The window hides itself while a dialog is up; only quit ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    registerDashboardFonts();

    if (!options.root.empty()) {
        Paths::setRoot(options.root);
    }
    Paths::makeDirs(Paths::configDir());
    Paths::makeDirs(Paths::dataDir());
    Diagnostics diagnostics;
    // What the user is told: in boxes over the dashboard, on standard error
    // in a screenshot run.
    WidgetMessageBoxes widgetBoxes;
    StderrMessageBoxes stderrBoxes;
    MessageBoxes& boxes =
        options.screenshot.empty() ? static_cast<MessageBoxes&>(widgetBoxes) : stderrBoxes;
    FileRegistry registry(diagnostics, boxes);
    // The event sounds and the emulation file, unless the user has their own.
    installDefaultFiles();

    // What the program shares, handed down to the parts that use it.
    LinkSlot link;
    UnitFormatter units;
    QtFileChooser files(registry, boxes);
    const UiServices services{{link, units, files, registry, diagnostics}, boxes};
    int status = 0;
    if (!options.screenshot.empty()) {
        status = ScreenshotRun::run(
            services, {options.screenshot, options.frames, options.map, std::max(1, options.scale),
                       options.mapSource, options.night});
    } else {
        status = runDashboard(services, widgetBoxes, options);
    }
    // The user was told about every save that failed; the run did not succeed.
    if (status == 0 && diagnostics.failedSaves() > 0) {
        std::fprintf(stderr, "wayplot2: %d save(s) failed\n", diagnostics.failedSaves());
        status = 1;
    }
    return status;
}
