// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dialogs of a run without a user (the --screenshot run): none opens,
// nothing changes, and the start-up takes emulation when it was asked for.

#include "app/app_dialogs.h"
#include "core/base/services.h"

namespace wp2 {

class HeadlessDialogs : public AppDialogs {
public:
    // The stored unit system is read from settings, which must outlive this object.
    explicit HeadlessDialogs(const SettingsServices& settings) : settings_(settings) {}

    // Emulation when asked for (emu not 0), otherwise the set-up is skipped.
    int firstRunSetup(int emu, GpsLink* link) override;
    bool newPoint(Pushpins& pushpins, const TrackPoint& fix) override;
    void selectPoint(Pushpins& pushpins) override;
    void soundOptions(SoundSettings& settings) override;
    void pushpinList(Pushpins& pushpins) override;
    void gpsSetup(GpsLink* link) override;
    // Gives the formatter the stored unit system.
    void prepareMiscOptions(UnitFormatter& units) override;
    bool miscOptions(UnitFormatter& units) override;
    std::optional<std::string> trackOptions(TrackView& map, TrackLog& track,
                                            const std::string& baseMap) override;

private:
    SettingsServices settings_;
};

}  // namespace wp2
