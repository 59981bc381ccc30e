// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Pushpins" dialog: every pushpin with its icon, name and note, and the
// buttons to edit, delete, export, import and delete all of them. It works
// directly on the collection; the changes reach the pushpin file at its next
// save. Given the routes, it opens the Routes dialog, and a GPX import adds
// the file's routes to them as well.

#include <QDialog>

class QPushButton;
class QTreeWidget;

namespace wp2 {

struct UiServices;
class Pushpins;
class Routes;

inline constexpr const char* kDeleteWaypointText =
    "The selected waypoint will be deleted. Are you sure?";
inline constexpr const char* kDeleteWaypointCaption = "Delete waypoint";
inline constexpr const char* kDeleteTargetText =
    "This waypoint is currently used for navigation.\r\nAre you sure you want to delete it?";
inline constexpr const char* kDeleteTargetCaption = "Delete selected waypoint";
inline constexpr const char* kDeleteAllText = "Delete ALL waypoints?";
inline constexpr const char* kDeleteAllCaption = "Delete all waypoints";

class PushpinsDialog : public QDialog {
    Q_OBJECT

public:
    // services: the unit system of the point dialog and the file dialogs.
    PushpinsDialog(const UiServices& services, Pushpins& pushpins, QWidget* parent = nullptr,
                   Routes* routes = nullptr);

    QTreeWidget* list() const { return list_; }
    QPushButton* editButton() const { return edit_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* exportButton() const { return export_; }
    QPushButton* importButton() const { return import_; }
    QPushButton* deleteAllButton() const { return deleteAll_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* routesButton() const { return routesButton_; }

    // Row i shows pushpin i.
    void fill();

private:
    int selectedRow() const;
    void selectionTapped();
    void editSelected();
    void deleteSelected();
    void deleteAll();
    void exportAll();
    void importFile();

    const UiServices& services_;
    Pushpins& pushpins_;
    Routes* routes_;
    QPushButton* routesButton_ = nullptr;
    QTreeWidget* list_;
    QPushButton* edit_;
    QPushButton* delete_;
    QPushButton* export_;
    QPushButton* import_;
    QPushButton* deleteAll_;
    QPushButton* ok_;
};

// Runs the dialog. Afterwards the caller checks the target index: the
// destination follows the pushpin it names, or navigation ends.
int runPushpinsDialog(QWidget* parent, const UiServices& services, Pushpins& pushpins,
                      Routes* routes = nullptr);

}  // namespace wp2
