// SPDX-License-Identifier: GPL-3.0-or-later
#include "widget_message_boxes.h"

#include <QApplication>
#include <QWidget>

#include "message_box_dialog.h"

namespace wp2 {

namespace {

// The open dialog, or the active window; never the start-up splash, which
// steps aside for the box and would take the box with it.
QWidget* boxParent() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    QWidget* active = QApplication::activeWindow();
    return active && active->windowType() != Qt::SplashScreen ? active : nullptr;
}

}  // namespace

MessageResult WidgetMessageBoxes::show(const std::string& text, const std::string& caption,
                                       MessageIcon icon, MessageButtons buttons) {
    if (!quitting_) {
        MessageBoxDialog box(text, caption, icon, buttons, boxParent());
        box.exec();
        if (!quitting_) {
            return box.answer();
        }
    }
    return afterQuit_.show(text, caption, icon, buttons);
}

}  // namespace wp2
