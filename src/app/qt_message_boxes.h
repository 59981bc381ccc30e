#pragma once
// The program's message boxes as Qt message boxes.

#include "core/base/message_box.h"

namespace wp2 {

class QtMessageBoxes final : public MessageBoxes {
public:
    MessageResult show(const std::string& text, const std::string& caption, MessageIcon icon,
                       MessageButtons buttons) override;
};

}  // namespace wp2
