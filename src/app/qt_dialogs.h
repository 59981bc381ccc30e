// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's dialogs on QtWidgets. Each opens as a window of its own (the
// dashboard's window is hidden while a dialog is up).

#include <memory>

#include "app/app_dialogs.h"
#include "messages/ui_services.h"

namespace wp2 {

class MiscOptionsDialog;
class SoundOptionsDialog;
class SoundPlayer;

class QtDialogs final : public AppDialogs {
public:
    // player: what the sound options' "Play" plays through; services: the
    // units and file dialogs the dialogs use. Both must outlive this object.
    QtDialogs(SoundPlayer& player, const UiServices& services);
    ~QtDialogs() override;

    int firstRunSetup(int emu, GpsLink* link) override;
    bool newPoint(Pushpins& pushpins, const TrackPoint& fix) override;
    void selectPoint(Pushpins& pushpins) override;
    void soundOptions(SoundSettings& settings) override;
    void pushpinList(Pushpins& pushpins) override;
    void pushpinsAndRoutes(Pushpins& pushpins, Routes& routes) override;
    void soundAndAlarmOptions(SoundSettings& sounds, RouteSettings& alarms) override;
    GoToChoice goTo(const Routes& routes, const RouteNavigator* following) override;
    void gpsSetup(GpsLink* link) override;
    void prepareMiscOptions(UnitFormatter& units) override;
    bool miscOptions(UnitFormatter& units) override;
    std::optional<std::string> trackOptions(TrackView& map, TrackLog& track,
                                            const std::string& baseMap) override;

    // The program is ending on a signal: every dialog and message box that is
    // open ends as with Cancel, and the first-run set-up goes no further.
    void quit();
    bool quitting() const { return quitting_; }

private:
    MiscOptionsDialog& misc();

    SoundPlayer& player_;
    UiServices services_;
    // The two option dialogs are made once and shown again at every opening;
    // the sound options belong to the settings they were made for.
    std::unique_ptr<MiscOptionsDialog> misc_;
    std::unique_ptr<SoundOptionsDialog> sound_;
    const SoundSettings* soundSettings_ = nullptr;
    RouteSettings* alarms_ = nullptr;  // while soundAndAlarmOptions runs
    const RouteSettings* soundAlarms_ = nullptr;
    bool quitting_ = false;
};

}  // namespace wp2
