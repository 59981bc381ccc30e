// SPDX-License-Identifier: GPL-3.0-or-later
#include "messages/failed_save.h"

#include "core/base/save_failures.h"
#include "core/base/trace.h"
#include "messages/message_box.h"

namespace wp2 {

void reportFailedSave(const std::string& what, const std::string& path, const std::string& reason) {
    countFailedSave();
    const std::string text = what + " could not be saved to " + path + ":\n" + reason;
    trace(text);
    showMessage(text, "Wayplot2", MessageIcon::Exclamation);
}

}  // namespace wp2
