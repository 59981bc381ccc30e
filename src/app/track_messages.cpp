// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/track_messages.h"

#include "core/waypoints/pushpin_messages.h"
#include "messages/failed_save.h"
#include "messages/message_box.h"

namespace wp2 {

void startTrackLog(const SettingsServices& settings, MessageBoxes& boxes, TrackLog& log) {
    const TrackAutoLoad loaded = log.start(settings.registry);
    if (!loaded.damage.empty()) {
        showMessage(boxes, loaded.damage, kApplicationCaption, MessageIcon::Exclamation);
    }
}

void finishTrackLog(const SettingsServices& settings, MessageBoxes& boxes, TrackLog& log) {
    const Result<> saved = log.finish(settings.registry);
    if (!saved) {
        reportFailedSave(boxes, settings.diagnostics, "The track", saved.error().what,
                         saved.error().reason);
    }
}

}  // namespace wp2
