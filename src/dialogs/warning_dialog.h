// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Warning" dialog of the first-run set-up, shown when the user skips the
// receiver set-up: "<< Back" returns to the wizard, "OK" goes on without it.

#include <QDialog>

class QPushButton;

namespace wp2 {

// The result "<< Back" ends the dialog with.
inline constexpr int kWarningBackResult = 350;
inline constexpr const char* kSkipWarningText =
    "Warning!\n\nSet up the GPS receiver, automatically or by hand, to use the navigation "
    "features.\n\nYou can do it at any time later in the GPS set-up (Options menu, GPS).";

class WarningDialog : public QDialog {
    Q_OBJECT

public:
    explicit WarningDialog(QWidget* parent = nullptr);

    QPushButton* backButton() const { return back_; }
    QPushButton* okButton() const { return ok_; }

private:
    QPushButton* back_;
    QPushButton* ok_;
};

}  // namespace wp2
