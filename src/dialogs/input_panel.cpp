// SPDX-License-Identifier: GPL-3.0-or-later
#include "input_panel.h"

#include <QGuiApplication>
#include <QInputMethod>

namespace wp2 {

void lowerInputPanel() {
    if (QInputMethod* input = QGuiApplication::inputMethod()) {
        input->hide();
    }
}

}  // namespace wp2
