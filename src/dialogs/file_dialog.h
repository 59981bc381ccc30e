#pragma once
// Qt's own file dialog (never the desktop's native one, so it behaves the same
// everywhere) cut down to fit the 240 x 320 screen, set up from a
// FileDialogRequest: the program's filter text, the default extension and the
// proposed name. The save dialog asks before it overwrites a file and, when
// the request says so, before it creates one; the questions go through the
// program's message boxes.

#include <QFileDialog>
#include <QStringList>
#include <string>

#include "core/track/file_chooser.h"

namespace wp2 {

class FileDialog : public QFileDialog {
    Q_OBJECT

public:
    enum class Kind { Open, Save };

    FileDialog(const FileDialogRequest& request, Kind kind, QWidget* parent = nullptr);

    // The chosen file's full path (empty before the dialog was accepted).
    std::string chosenPath() const;
    // 1-based number of the filter pair selected.
    int chosenFilterIndex() const;

    // Qt name filters for a filter text: each pair's description followed by
    // its patterns in brackets ("Text CSV (*.csv,*.txt) (*.csv *.txt)"); the
    // dialog shows only the description.
    static QStringList nameFilters(const std::string& filterText);
    // The folder the dialogs open in when the proposed name has none: the
    // documents folder ("\My Documents" under the data root).
    static QString documentsFolder();

    void accept() override;

private:
    void useFilterExtension(const QString& nameFilter);
    void fitScreen();

    FileDialogRequest request_;
    Kind kind_;
    QStringList filters_;
    QStringList descriptions_;
    int filterIndex_ = 1;  // follows the filter list (filterSelected)
};

}  // namespace wp2
