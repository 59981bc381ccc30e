// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The services of the parts that tell the user something (the application,
// the dashboard and the dialogs): the core's, and the message boxes.

#include "core/base/services.h"

namespace wp2 {

class MessageBoxes;

struct UiServices : CoreServices {
    MessageBoxes& boxes;  // what the user must see and answer
};

}  // namespace wp2
