#pragma once
// The dialog tests' QApplication on the offscreen platform, made once for the
// whole test program, and the review picture of a dialog on the 240 x 320
// screen.

#include <QWidget>
#include <string>

#include "support/dialog_test_driver.h"

namespace wp2::test {

// Draws the dialog as the handheld shows it (title bar across the top, the
// dialog below) into <build>/dialog_screens/<name>.png, and checks that the
// dialog and every control fit the 240 x 320 screen with their text whole.
void renderScreen(QWidget& dialog, const std::string& name);

}  // namespace wp2::test
