// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Routes" dialog, opened from the pushpin list: make a route from
// pushpins, add, move and remove its points, reverse, rename and delete it,
// and import and export routes as GPX. Each point is a copy of the pushpin it
// was made from, so editing or deleting that pushpin later leaves the route
// as it is. It works directly on the collection; the caller saves it.

#include <QDialog>
#include <functional>
#include <string>

#include "core/base/result.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace wp2 {

class MessageBoxes;

class FileChooser;
class Pushpins;
class Routes;

inline constexpr const char* kRouteFileFilter = "GPX (*.gpx)|*.gpx||";
inline constexpr const char* kDeleteRouteCaption = "Delete route";

class RoutesDialog : public QDialog {
    Q_OBJECT

public:
    // files: the file dialogs of Import and Export; boxes: what the user is told.
    RoutesDialog(Routes& routes, const Pushpins& pushpins, FileChooser& files, MessageBoxes& boxes,
                 QWidget* parent = nullptr);

    QComboBox* routeList() const { return routeList_; }
    QListWidget* pointList() const { return points_; }
    QComboBox* pushpinList() const { return pushpinList_; }
    QLineEdit* nameEdit() const { return name_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* upButton() const { return up_; }
    QPushButton* downButton() const { return down_; }
    QPushButton* removeButton() const { return remove_; }
    QPushButton* reverseButton() const { return reverse_; }
    QPushButton* renameButton() const { return rename_; }
    QPushButton* newButton() const { return new_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* importButton() const { return import_; }
    QPushButton* exportButton() const { return export_; }
    QPushButton* okButton() const { return ok_; }

    // Fills the lists from the collection and shows route `route`.
    void fill(int route);

private:
    int currentRoute() const;
    int currentPoint() const;
    // Runs an edit of the current route; a refusal is told to the user. The
    // point row `select` is selected afterwards.
    void edit(const std::function<Result<>(int route)>& change, int select = -1);
    void showPoints();
    void enableButtons();
    void newRoute();
    void deleteRoute();
    void importFile();
    void exportFile();

    Routes& routes_;
    const Pushpins& pushpins_;
    FileChooser& files_;
    MessageBoxes& boxes_;
    QComboBox* routeList_;
    QListWidget* points_;
    QComboBox* pushpinList_;
    QPushButton* add_;
    QPushButton* up_;
    QPushButton* down_;
    QPushButton* remove_;
    QPushButton* reverse_;
    QLineEdit* name_;
    QPushButton* rename_;
    QPushButton* new_;
    QPushButton* delete_;
    QPushButton* import_;
    QPushButton* export_;
    QPushButton* ok_;
};

int runRoutesDialog(QWidget* parent, Routes& routes, const Pushpins& pushpins, FileChooser& files,
                    MessageBoxes& boxes);

// Adds the routes of a GPX file to the collection and tells the user how
// many, or why none; nothing when the file has none.
void importRoutesTold(MessageBoxes& boxes, Routes& routes, const std::string& path);

}  // namespace wp2
