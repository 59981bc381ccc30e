// SPDX-License-Identifier: GPL-3.0-or-later
#include "messages/message_box.h"

#include <cstdio>

namespace wp2 {

MessageResult StderrMessageBoxes::show(const std::string& text, const std::string& caption,
                                       MessageIcon, MessageButtons buttons) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel
               ? MessageResult::Yes
               : MessageResult::Ok;
}

}  // namespace wp2
