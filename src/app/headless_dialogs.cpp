// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/headless_dialogs.h"

#include "core/nav/unit_system_setting.h"

namespace wp2 {

int HeadlessDialogs::firstRunSetup(int emu, GpsLink*) {
    return emu != 0 ? 1 : 2;
}

bool HeadlessDialogs::newPoint(Pushpins&, const TrackPoint&) {
    return false;
}

void HeadlessDialogs::selectPoint(Pushpins&) {}

void HeadlessDialogs::soundOptions(SoundSettings&) {}

void HeadlessDialogs::pushpinList(Pushpins&) {}

void HeadlessDialogs::gpsSetup(GpsLink*) {}

void HeadlessDialogs::prepareMiscOptions(UnitFormatter& units) {
    applyStoredUnitSystem(settings_, units);
}

bool HeadlessDialogs::miscOptions(UnitFormatter&) {
    return false;
}

std::optional<std::string> HeadlessDialogs::trackOptions(TrackView&, TrackLog&,
                                                         const std::string&) {
    return std::nullopt;
}

}  // namespace wp2
