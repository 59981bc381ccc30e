// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/screenshot_run.h"

#include <QBuffer>
#include <QImage>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "app/application.h"
#include "app/dashboard_screen.h"
#include "app/headless_dialogs.h"
#include "app/silent_sound_player.h"
#include "core/base/atomic_file.h"
#include "core/base/clock.h"
#include "core/base/timer_queue.h"

namespace wp2 {

int ScreenshotRun::run(const UiServices& services, const ScreenshotRequest& request) {
    // Simulated time: every tick is exactly one timer period later.
    ManualClock clock(std::time(nullptr), 1000);
    TimerQueue timers(clock);
    HeadlessDialogs dialogs(services.settings());
    SilentSoundPlayer sounds;
    StartOptions options;
    options.forcedMode = ScreenMode::Emulation;
    options.splash = false;
    options.mapSource = request.mapSource;
    if (request.night) {
        options.palette = Palette::Night;
    }
    Application app(services, clock, timers, dialogs, sounds, options);
    app.setWait({});
    if (!app.startUp()) {
        std::fprintf(stderr, "wayplot2: the dashboard could not be started\n");
        app.exit();
        return 1;
    }
    MainWindow& window = *app.mainWindow();
    window.stopTimer();
    if (request.mapMode) {
        window.screen().enterMapMode();
        window.present();
    }
    for (int i = 0; i < request.frames; ++i) {
        clock.advanceMs(MainWindow::kTimerPeriodMs);
        window.onTimer();
    }
    // The base map's tiles arrive from its loaders in real time.
    if (!window.screen().settleBaseMap(std::chrono::seconds(30))) {
        std::fprintf(stderr, "wayplot2: some base map tiles did not arrive in time\n");
    }
    window.present();
    const int scale = std::max(1, request.scale);
    const QImage picture = window.frameImage().scaled(
        window.frameImage().size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    app.exit();
    QByteArray png;
    QBuffer buffer(&png);
    std::string error = "the picture could not be encoded";
    if (buffer.open(QIODevice::WriteOnly) && picture.save(&buffer, "PNG")) {
        const Result<> written =
            replaceFileAtomically(request.file, std::vector<std::uint8_t>(png.begin(), png.end()));
        if (written) {
            return 0;
        }
        error = written.error().reason;
    }
    std::fprintf(stderr, "wayplot2: cannot write %s: %s\n", request.file.c_str(), error.c_str());
    return 1;
}

}  // namespace wp2
