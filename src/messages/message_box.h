// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The modal message boxes the user must see, reached through one process-wide
// interface so that the core never depends on a window system. The Qt layer
// installs a real implementation; tests install a recorder.

#include <string>

namespace wp2 {

enum class MessageIcon { None, Information, Exclamation, Warning, Stop, Question };

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };

// What the user answered.
enum class MessageResult { Ok, Cancel, Yes, No };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MessageResult show(const std::string& text, const std::string& caption,
                               MessageIcon icon, MessageButtons buttons) = 0;
};

// Installs the process-wide implementation (nullptr restores the default,
// which writes the text to standard error and answers Ok / Yes).
void setMessageBoxes(MessageBoxes* boxes);
MessageBoxes& messageBoxes();
// That default, for a program that no one is there to answer any more.
MessageBoxes& stderrMessageBoxes();

inline MessageResult showMessage(const std::string& text, const std::string& caption,
                                 MessageIcon icon, MessageButtons buttons = MessageButtons::Ok) {
    return messageBoxes().show(text, caption, icon, buttons);
}

}  // namespace wp2
