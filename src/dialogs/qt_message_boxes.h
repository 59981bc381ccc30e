#pragma once
// The message boxes the user sees, as MessageBoxDialog windows over the
// active window. Install one with setMessageBoxes() once the QApplication
// exists.

#include "core/base/message_box.h"

namespace wp2 {

class QtMessageBoxes final : public MessageBoxes {
public:
    MessageResult show(const std::string& text, const std::string& caption, MessageIcon icon,
                       MessageButtons buttons) override;
};

}  // namespace wp2
