// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The message boxes the user sees, as MessageBoxDialog windows over the
// active window. Made once the QApplication exists.

#include "messages/message_box.h"

namespace wp2 {

class WidgetMessageBoxes final : public MessageBoxes {
public:
    MessageResult show(const std::string& text, const std::string& caption, MessageIcon icon,
                       MessageButtons buttons) override;

    // The program is ending on a signal and no one is there to answer: a box
    // closed for it, and every box after it, is said on standard error
    // instead (as StderrMessageBoxes says it).
    void quit() { quitting_ = true; }

private:
    bool quitting_ = false;
    StderrMessageBoxes afterQuit_;
};

}  // namespace wp2
