#include "file_dialog.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QWidget>

#include "core/base/message_box.h"
#include "core/base/paths.h"
#include "core/track/file_filter.h"
#include "dialog_layout.h"

namespace wp2 {

namespace {

// Parts of Qt's file dialog that only a large screen has room for.
constexpr const char* kWideOnlyParts[] = {"sidebar",        "backButton",       "forwardButton",
                                          "listModeButton", "detailModeButton", "lookInLabel",
                                          "fileNameLabel",  "fileTypeLabel"};

QString join(const std::vector<std::string>& patterns) {
    QStringList list;
    for (const std::string& p : patterns) {
        list << QString::fromStdString(p);
    }
    return list.join(' ');
}

}  // namespace

QStringList FileDialog::nameFilters(const std::string& filterText) {
    QStringList out;
    for (const FileFilter& f : parseFileFilter(filterText)) {
        out << QString::fromStdString(f.description) + " (" + join(f.patterns) + ")";
    }
    return out;
}

QString FileDialog::documentsFolder() {
    const std::string folder = Paths::map("\\My Documents");
    Paths::makeDirs(folder);
    return QString::fromStdString(folder);
}

FileDialog::FileDialog(const FileDialogRequest& request, Kind kind, QWidget* parent)
    : QFileDialog(parent), request_(request), kind_(kind) {
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::HideNameFilterDetails);
    setOption(QFileDialog::DontConfirmOverwrite);  // accept() asks instead
    setWindowTitle(kind == Kind::Open ? "Open" : "Save As");
    setAcceptMode(kind == Kind::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    setFileMode(kind == Kind::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    setViewMode(QFileDialog::List);

    filters_ = nameFilters(request.filter);
    for (const FileFilter& f : parseFileFilter(request.filter)) {
        descriptions_ << QString::fromStdString(f.description);
    }
    if (!filters_.isEmpty()) {
        setNameFilters(filters_);
        selectNameFilter(filters_.front());
    }
    useFilterExtension(filters_.isEmpty() ? QString() : filters_.front());
    connect(this, &QFileDialog::filterSelected, this, &FileDialog::useFilterExtension);

    const QFileInfo proposed(QString::fromStdString(request.proposedName));
    if (!request.proposedName.empty() && proposed.isAbsolute()) {
        setDirectory(proposed.absolutePath());
        selectFile(proposed.fileName());
    } else {
        setDirectory(documentsFolder());
        if (!request.proposedName.empty()) {
            selectFile(proposed.fileName());
        }
    }
    fitScreen();
}

void FileDialog::useFilterExtension(const QString& nameFilter) {
    // A name typed without an extension gets the selected filter's one, or the
    // request's default when the filter has no single extension.
    // Qt names the filter by its description alone when the details are hidden.
    int index = static_cast<int>(filters_.indexOf(nameFilter));
    if (index < 0) {
        index = static_cast<int>(descriptions_.indexOf(nameFilter));
    }
    if (index >= 0) {
        filterIndex_ = index + 1;
    }
    std::string ext;
    const std::vector<FileFilter> parsed = parseFileFilter(request_.filter);
    if (index >= 0 && index < static_cast<int>(parsed.size()) &&
        parsed[static_cast<std::size_t>(index)].patterns.size() == 1) {
        ext = patternExtension(parsed[static_cast<std::size_t>(index)].patterns.front());
    }
    setDefaultSuffix(QString::fromStdString(ext.empty() ? request_.defaultExtension : ext));
}

void FileDialog::fitScreen() {
    setFont(dialogFont());
    for (const char* name : kWideOnlyParts) {
        if (auto* part = findChild<QWidget*>(name)) {
            part->hide();
        }
    }
    if (auto* name = findChild<QLineEdit*>("fileNameEdit")) {
        name->setPlaceholderText("File name");
    }
    // The folder list shows long paths shortened; that is its way.
    if (auto* folder = findChild<QWidget*>("lookInCombo")) {
        folder->setProperty(kElidesTextProperty, true);
    }
    setSizeGripEnabled(false);
    setFixedSize(scaled(kDialogMaxWidth), scaled(kDialogMaxHeight));
    if (layout()) {
        layout()->activate();
    }
    fitTexts(this);
}

std::string FileDialog::chosenPath() const {
    if (result() != QDialog::Accepted) {
        return {};
    }
    const QStringList files = selectedFiles();
    return files.isEmpty() ? std::string() : utf8(files.front());
}

int FileDialog::chosenFilterIndex() const {
    return filterIndex_;
}

void FileDialog::accept() {
    if (kind_ == Kind::Save) {
        const QStringList files = selectedFiles();
        if (files.size() == 1) {
            const QFileInfo target(files.front());
            const std::string name = utf8(target.fileName());
            if (target.exists() && !target.isDir()) {
                if (showMessage(name + " already exists.\nDo you want to replace it?",
                                utf8(windowTitle()), MessageIcon::Exclamation,
                                MessageButtons::YesNo) != MessageResult::Yes) {
                    return;
                }
            } else if (!target.exists() && request_.askBeforeCreating) {
                if (showMessage(name + "\nThis file does not exist.\nDo you want to create it?",
                                utf8(windowTitle()), MessageIcon::Question,
                                MessageButtons::YesNo) != MessageResult::Yes) {
                    return;
                }
            }
        }
    }
    QFileDialog::accept();
}

}  // namespace wp2
