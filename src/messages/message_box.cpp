// SPDX-License-Identifier: GPL-3.0-or-later
#include "messages/message_box.h"

#include <cstdio>

namespace wp2 {

namespace {

class StderrMessageBoxes final : public MessageBoxes {
public:
    MessageResult show(const std::string& text, const std::string& caption, MessageIcon,
                       MessageButtons buttons) override {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel
                   ? MessageResult::Yes
                   : MessageResult::Ok;
    }
};

StderrMessageBoxes defaultBoxes;
MessageBoxes* current = &defaultBoxes;

}  // namespace

void setMessageBoxes(MessageBoxes* boxes) {
    current = boxes ? boxes : &defaultBoxes;
}

MessageBoxes& messageBoxes() {
    return *current;
}

MessageBoxes& stderrMessageBoxes() {
    return defaultBoxes;
}

}  // namespace wp2
