// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the program tells the user when a track log loads its autosave file at
// start-up and saves it at exit.

#include "core/base/result.h"
#include "core/base/services.h"
#include "core/track/track_log.h"

namespace wp2 {

class MessageBoxes;

// TrackLog::start(), and tells of a damaged autosave file.
void startTrackLog(const SettingsServices& settings, MessageBoxes& boxes, TrackLog& log);
// TrackLog::finish(), and reports a save that failed.
void finishTrackLog(const SettingsServices& settings, MessageBoxes& boxes, TrackLog& log);

}  // namespace wp2
