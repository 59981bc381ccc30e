// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Places a dialog's controls at their dialog-unit positions (dialog_layout.h),
// the way the handheld's dialog templates did, and gives the dialog its title,
// font and fixed size.

#include <string_view>

class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace wp2 {

class DialogBuilder {
public:
    // Title, font and fixed size (dialog units) of the dialog.
    DialogBuilder(QDialog& dialog, std::string_view title, int width, int height);

    QLabel* label(std::string_view text, int x, int y, int w, int h);
    // A label whose text is centred in its rectangle.
    QLabel* centredLabel(std::string_view text, int x, int y, int w, int h);
    QPushButton* button(std::string_view text, int x, int y, int w, int h);
    QCheckBox* checkBox(std::string_view text, int x, int y, int w, int h);
    QRadioButton* radio(std::string_view text, int x, int y, int w, int h);
    // A frame with a title, drawn behind the controls placed over it.
    QGroupBox* group(std::string_view title, int x, int y, int w, int h);
    // A drop-down list: w wide, one text line high.
    QComboBox* dropDown(int x, int y, int w);
    QLineEdit* edit(int x, int y, int w, int h);
    // Multi-line, read-only text with a vertical scroll bar.
    QPlainTextEdit* textView(int x, int y, int w, int h);
    QListWidget* list(int x, int y, int w, int h);

    // Call when every control is placed: shrinks texts that do not fit.
    void finish();

private:
    template <typename W>
    W* place(W* widget, int x, int y, int w, int h);

    QDialog& dialog_;
};

// The height of a drop-down list's closed box, in dialog units.
inline constexpr int kDropDownHeight = 13;

}  // namespace wp2
