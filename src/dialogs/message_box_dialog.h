// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A message box sized for the 240 x 320 screen: an icon, the word-wrapped text
// and a row of buttons, with the caption as its title. exec() returns the
// answer as an int (static_cast<MessageResult>).

#include <QDialog>
#include <string>
#include <vector>

#include "messages/message_box.h"

class QLabel;
class QPushButton;

namespace wp2 {

class MessageBoxDialog : public QDialog {
    Q_OBJECT

public:
    MessageBoxDialog(const std::string& text, const std::string& caption, MessageIcon icon,
                     MessageButtons buttons, QWidget* parent = nullptr);

    MessageResult answer() const { return answer_; }
    // The button that gives this answer; null when the box has none.
    QPushButton* button(MessageResult result) const;
    QLabel* textLabel() const { return text_; }

    // Escape and closing the window give Cancel where there is a Cancel
    // button, Ok for a lone OK button, and nothing for Yes / No.
    void reject() override;

protected:
    // Above every window of the program and with the keyboard, so that it is
    // seen and Enter answers it.
    void showEvent(QShowEvent* event) override;

private:
    void addButton(MessageResult result, const char* text);
    void finishWith(MessageResult result);

    QLabel* text_ = nullptr;
    std::vector<std::pair<MessageResult, QPushButton*>> buttons_;
    MessageResult answer_ = MessageResult::Cancel;
    bool hasEscape_ = false;
    MessageResult escapeAnswer_ = MessageResult::Cancel;
};

}  // namespace wp2
