// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The modal message boxes the user must see, behind one interface that the
// program hands to the parts that tell the user something, so that they never
// depend on a window system. The dialogs supply the Qt implementation, the
// tool the one on standard error, tests a recorder.

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

// Writes "<caption>: <text>" to standard error and answers Ok / Yes: the
// boxes of a program no one is there to answer.
class StderrMessageBoxes final : public MessageBoxes {
public:
    MessageResult show(const std::string& text, const std::string& caption, MessageIcon icon,
                       MessageButtons buttons) override;
};

inline MessageResult showMessage(MessageBoxes& boxes, const std::string& text,
                                 const std::string& caption, MessageIcon icon,
                                 MessageButtons buttons = MessageButtons::Ok) {
    return boxes.show(text, caption, icon, buttons);
}

}  // namespace wp2
