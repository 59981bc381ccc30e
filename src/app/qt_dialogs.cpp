// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt_dialogs.h"

#include <QCoreApplication>

#include "dialogs/first_run_wizard.h"
#include "dialogs/go_to_dialog.h"
#include "dialogs/gps_setup_dialog.h"
#include "dialogs/misc_options_dialog.h"
#include "dialogs/point_dialog.h"
#include "dialogs/point_selection_dialog.h"
#include "dialogs/pushpins_dialog.h"
#include "dialogs/sound_options_dialog.h"
#include "dialogs/track_options_dialog.h"
#include "ui/track_view.h"

namespace wp2 {

namespace {
// A new pushpin, as opposed to the index of one to edit.
constexpr int kNewPushpin = -1;
}  // namespace

QtDialogs::QtDialogs(SoundPlayer& player, const UiServices& services)
    : player_(player), services_(services) {}

QtDialogs::~QtDialogs() = default;

int QtDialogs::firstRunSetup(int emu, GpsLink* link) {
    return static_cast<int>(
        runFirstRunSetup(nullptr, services_, emu, link, [this] { return quitting_; }));
}

void QtDialogs::quit() {
    quitting_ = true;
    // Ends every running event loop, the open dialogs' among them; until the
    // application's own loop runs, new dialogs return at once.
    QCoreApplication::exit(0);
}

bool QtDialogs::newPoint(Pushpins& pushpins, const TrackPoint& fix) {
    return runPointDialog(nullptr, services_, pushpins, kNewPushpin, fix) == QDialog::Accepted;
}

void QtDialogs::selectPoint(Pushpins& pushpins) {
    runPointSelectionDialog(nullptr, pushpins);
}

void QtDialogs::soundOptions(SoundSettings& settings) {
    if (!sound_ || soundSettings_ != &settings || soundAlarms_ != alarms_) {
        sound_ = std::make_unique<SoundOptionsDialog>(settings, player_, services_.boxes, nullptr,
                                                      alarms_);
        soundSettings_ = &settings;
        soundAlarms_ = alarms_;
    }
    sound_->exec();
}

void QtDialogs::pushpinList(Pushpins& pushpins) {
    runPushpinsDialog(nullptr, services_, pushpins);
}

void QtDialogs::pushpinsAndRoutes(Pushpins& pushpins, Routes& routes) {
    runPushpinsDialog(nullptr, services_, pushpins, &routes);
}

void QtDialogs::soundAndAlarmOptions(SoundSettings& sounds, RouteSettings& alarms) {
    alarms_ = &alarms;
    soundOptions(sounds);
    alarms_ = nullptr;
}

GoToChoice QtDialogs::goTo(const Routes& routes, const RouteNavigator* following) {
    GoToDialog dialog(routes, following);
    const int answer = dialog.exec();
    using A = GoToChoice::Action;
    static constexpr A kActions[] = {A::Cancel, A::Pushpin,  A::Route,
                                     A::Next,   A::Previous, A::Stop};
    return {kActions[answer], dialog.route(), dialog.start()};
}

void QtDialogs::gpsSetup(GpsLink* link) {
    runGpsSetupDialog(nullptr, services_, link);
}

MiscOptionsDialog& QtDialogs::misc() {
    if (!misc_) {
        misc_ = std::make_unique<MiscOptionsDialog>(services_.settings());
        misc_->load();
    }
    return *misc_;
}

void QtDialogs::prepareMiscOptions(UnitFormatter& units) {
    misc().applyTo(units);
}

bool QtDialogs::miscOptions(UnitFormatter& units) {
    return misc().run(units);
}

std::optional<std::string> QtDialogs::trackOptions(TrackView& map, TrackLog& track,
                                                   const std::string& baseMap) {
    const TrackMapOptions options = runTrackOptionsDialog(nullptr, services_, track, baseMap);
    map.applyOptions(options.dragMap, options.rotateMap);
    if (options.baseMap == baseMap) {
        return std::nullopt;
    }
    return options.baseMap;
}

}  // namespace wp2
