// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Qt's own file dialog (never the desktop's native one, so it behaves the same
// everywhere) cut down to fit the 240 x 320 screen, set up from a
// FileDialogRequest: the program's filter text, the default extension and the
// proposed name. The save dialog asks before it overwrites a file and, when
// the request says so, before it creates one; the questions go through the
// program's message boxes.
//
// An open dialog offering several kinds of file offers all of them together
// first. The kind last used in any file dialog (the "FileKind" setting) is
// selected again where it is offered; otherwise an open dialog starts on all
// supported files and a save dialog on GPX. A save dialog gives the proposed
// name the extension of the kind selected.

#include <QFileDialog>
#include <QStringList>
#include <string>

#include "core/track/file_chooser.h"
#include "core/track/file_filter.h"

namespace wp2 {

class MessageBoxes;
class Registry;

// The setting that keeps the kind of file last used: the extension of its
// first pattern, or "*" for all supported files.
inline constexpr const char* kFileKindValue = "FileKind";
inline constexpr const char* kAllSupportedFiles = "All supported files";

class FileDialog : public QFileDialog {
    Q_OBJECT

public:
    enum class Kind { Open, Save };

    // The kind of file last used is kept in the registry; replacing or making
    // a file is asked in boxes. Both must outlive the dialog.
    FileDialog(Registry& registry, MessageBoxes& boxes, const FileDialogRequest& request, Kind kind,
               QWidget* parent = nullptr);
    // Before showing: the folder (the proposed name's, else the documents
    // folder, made when absent), the proposed name and the kind of file
    // used last; then the size that fits the screen.
    void prepare();

    // The chosen file's full path (empty before the dialog was accepted).
    std::string chosenPath() const;
    // 1-based number of the request's filter pair selected; 0 for all
    // supported files.
    int chosenFilterIndex() const;

    // Qt name filters for a filter text: each pair's description followed by
    // its patterns in brackets ("Text CSV (*.csv,*.txt) (*.csv *.txt)"); the
    // dialog shows only the description.
    static QStringList nameFilters(const std::string& filterText);
    // The folder the dialogs open in when the proposed name has none: the
    // documents folder ("My Documents" under the data root).
    static QString documentsFolder();

    void accept() override;
    // Keeps the kind of file of an accepted dialog in "FileKind".
    void done(int result) override;

private:
    void useFilterExtension(const QString& nameFilter);
    int startingKind() const;
    void fitScreen();

    FileDialogRequest request_;
    Registry& registry_;
    MessageBoxes& boxes_;
    Kind kind_;
    std::vector<FileFilter> kinds_;  // as listed: all supported files first when offered
    int ownKinds_ = 0;               // 1 when all supported files come first
    QStringList filters_;
    QStringList descriptions_;
    int filterIndex_ = 1;  // 1-based in kinds_; follows the filter list (filterSelected)
};

}  // namespace wp2
