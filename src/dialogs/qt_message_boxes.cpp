#include "qt_message_boxes.h"

#include <QApplication>
#include <QWidget>

#include "message_box_dialog.h"

namespace wp2 {

MessageResult QtMessageBoxes::show(const std::string& text, const std::string& caption,
                                   MessageIcon icon, MessageButtons buttons) {
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent) {
        parent = QApplication::activeWindow();
    }
    MessageBoxDialog box(text, caption, icon, buttons, parent);
    box.exec();
    return box.answer();
}

}  // namespace wp2
