#include "app/placeholder_dialogs.h"

#include "core/base/message_box.h"
#include "core/nav/unit_system_setting.h"

namespace wp2 {

namespace {

void announce(const std::string& dialogName) {
    showMessage(PlaceholderDialogs::notice(dialogName), "Wayplot2", MessageIcon::Information);
}

}  // namespace

std::string PlaceholderDialogs::notice(const std::string& dialogName) {
    return "The " + dialogName + " will open here.";
}

int PlaceholderDialogs::firstRunSetup(int emu) {
    announce("first-run GPS set-up wizard");
    return emu != 0 ? 1 : 2;
}

bool PlaceholderDialogs::newPoint(CPushpins&, const TrackPoint&) {
    announce("new point dialog");
    return false;
}

void PlaceholderDialogs::selectPoint(CPushpins&) {
    announce("point selection dialog");
}

void PlaceholderDialogs::soundOptions(SoundSettings&) {
    announce("sound options dialog");
}

void PlaceholderDialogs::pushpinList(CPushpins&) {
    announce("Pushpins dialog");
}

void PlaceholderDialogs::gpsSetup() {
    announce("GPS Setup dialog");
}

void PlaceholderDialogs::prepareMiscOptions(UnitFormatter& units) {
    applyStoredUnitSystem(units);
}

bool PlaceholderDialogs::miscOptions(UnitFormatter&) {
    announce("miscellaneous options dialog");
    return false;
}

void PlaceholderDialogs::trackOptions(TrackView&, TrackLog&) {
    announce("track options dialog");
}

}  // namespace wp2
