#include "app/qt_dialogs.h"

#include "dialogs/misc_options_dialog.h"
#include "dialogs/track_options_dialog.h"
#include "ui/track_view.h"

namespace wp2 {

QtDialogs::QtDialogs() = default;
QtDialogs::~QtDialogs() = default;

void QtDialogs::prepareMiscOptions(UnitFormatter& units) {
    if (!misc_) {
        misc_ = std::make_unique<MiscOptionsDialog>();
    }
    misc_->applyTo(units);
}

bool QtDialogs::miscOptions(UnitFormatter& units) {
    if (!misc_) {
        misc_ = std::make_unique<MiscOptionsDialog>();
    }
    return misc_->run(units);
}

void QtDialogs::trackOptions(TrackView& map, TrackLog& track) {
    const TrackMapOptions options = runTrackOptionsDialog(nullptr, track);
    map.applyOptions(options.dragMap, options.rotateMap);
}

}  // namespace wp2
