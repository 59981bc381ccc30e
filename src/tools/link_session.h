// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the monitor and scan commands share: the settings store in files, a
// receiver link on the real serial port and the system clock, with its
// timers run from this thread, and a stop flag raised by Ctrl-C.

#include <memory>

#include "core/base/diagnostics.h"
#include "core/base/services.h"
#include "core/base/timer_queue.h"
#include "core/gps/gps_link.h"
#include "messages/message_box.h"
#include "platform/file_registry.h"
#include "platform/system_clock.h"

namespace wp2::tool {

class LinkSession {
public:
    // Sets the store in files up; the track log holds its defaults.
    LinkSession();
    ~LinkSession();

    // The program's track options and track so far (damage is told); the
    // session records nothing into the program's autosave file.
    void start();
    // Writes the track options back (no autosave file).
    void finish();
    LinkSession(const LinkSession&) = delete;
    LinkSession& operator=(const LinkSession&) = delete;

    GpsLink& link() { return *link_; }
    // Where the session's traces go; they are discarded unless a sink is set.
    Diagnostics& diagnostics() { return diagnostics_; }
    const SettingsServices& settings() const { return settings_; }
    TimerQueue& timers() { return timers_; }
    Clock& clock() { return clock_; }

    // Ctrl-C and termination requests end the session's loops.
    static void catchStopSignals();
    static bool stopRequested();

private:
    Diagnostics diagnostics_;
    StderrMessageBoxes boxes_;
    FileRegistry registry_{diagnostics_, boxes_};
    SettingsServices settings_{registry_, diagnostics_};
    SystemClock clock_;
    TimerQueue timers_{clock_};
    std::unique_ptr<GpsLink> link_;
};

// Parses a whole decimal number within [min, max].
bool parseNumber(const std::string& text, long min, long max, long& value);

}  // namespace wp2::tool
