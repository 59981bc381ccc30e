// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the dashboard asks of the window that shows it: its timer, the
// handheld shell's full-screen requests, and the end of the message loop.
// Where the desktop has no such shell the requests do nothing.

namespace wp2 {

class ScreenHost {
public:
    virtual ~ScreenHost() = default;

    // Timer 1 of the main window (every 30 ms).
    virtual void stopTimer() = 0;
    virtual void startTimer() = 0;
    // Before a dialog: full-screen left (task bar shown), the window at the
    // bottom of the window order and hidden.
    virtual void hideForDialog() = 0;
    // After a dialog: input panel down, full screen, the window at the top
    // and shown.
    virtual void showAfterDialog() = 0;
    // Every 90 frames: input panel down, the window in front and full screen.
    virtual void keepInFront() = 0;
    virtual void forceInputPanelDown() = 0;
    // Ends the application's message loop with this exit code.
    virtual void endMessageLoop(int exitCode) = 0;
};

}  // namespace wp2
