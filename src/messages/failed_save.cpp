// SPDX-License-Identifier: GPL-3.0-or-later
#include "messages/failed_save.h"

#include "core/base/diagnostics.h"
#include "messages/message_box.h"

namespace wp2 {

void reportFailedSave(MessageBoxes& boxes, Diagnostics& diagnostics, const std::string& what,
                      const std::string& path, const std::string& reason) {
    diagnostics.countFailedSave();
    const std::string text = what + " could not be saved to " + path + ":\n" + reason;
    diagnostics.trace(text);
    showMessage(boxes, text, "Wayplot2", MessageIcon::Exclamation);
}

}  // namespace wp2
