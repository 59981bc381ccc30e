// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The point selection dialog: the pushpins by name in a sorted list, through
// which the user picks the navigation target.

#include <QDialog>
#include <QString>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace wp2 {

class Pushpins;

class PointSelectionDialog : public QDialog {
    Q_OBJECT

public:
    // The list preselects the entry after the first whose name begins with
    // searchText (letters compared without regard to case), searching on from
    // the top when none follows; the first entry when none matches or the
    // text is empty.
    explicit PointSelectionDialog(Pushpins& pushpins, QWidget* parent = nullptr,
                                  const QString& searchText = {});

    QListWidget* list() const { return list_; }
    QLabel* caption() const { return caption_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    // Makes the selected entry's pushpin the target and closes with OK; closes
    // without a change when nothing (or no pushpin) is selected.
    void accept() override;

    // The list position the preselection rule gives for searchText.
    static int preselection(const QListWidget& list, const QString& searchText);

private:
    void fill();

    Pushpins& pushpins_;
    QString searchText_;
    QLabel* caption_;
    QListWidget* list_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// Runs the dialog; QDialog::Accepted when a new target was set.
int runPointSelectionDialog(QWidget* parent, Pushpins& pushpins);

}  // namespace wp2
