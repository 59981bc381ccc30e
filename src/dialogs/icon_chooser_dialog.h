// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The icon chooser: every picture of the pushpin icon list, numbered from 1,
// with the selection on the icon the pushpin has now.

#include <QDialog>

class QListWidget;
class QPushButton;

namespace wp2 {

class IconChooserDialog : public QDialog {
    Q_OBJECT

public:
    // current: the icon selected at opening (none when out of the list).
    explicit IconChooserDialog(int current, QWidget* parent = nullptr);

    // The icon whose entry is selected; -1 when none is.
    int chosenIcon() const;

    QListWidget* list() const { return list_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    QListWidget* list_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// Runs the chooser opened on `current`. On OK with an icon selected the icon
// becomes the last icon chosen and is returned; otherwise -1.
int runIconChooser(QWidget* parent, int current);

}  // namespace wp2
