// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_dialog.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QWidget>
#include <algorithm>

#include "core/base/paths.h"
#include "core/settings/settings_store.h"
#include "core/track/file_filter.h"
#include "dialog_layout.h"
#include "messages/message_box.h"

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

QString nameFilter(const FileFilter& f) {
    return QString::fromStdString(f.description) + " (" + join(f.patterns) + ")";
}

// Every pattern of the kinds, each once, in their order.
FileFilter allSupported(const std::vector<FileFilter>& kinds) {
    FileFilter all{kAllSupportedFiles, {}};
    for (const FileFilter& f : kinds) {
        for (const std::string& p : f.patterns) {
            if (std::find(all.patterns.begin(), all.patterns.end(), p) == all.patterns.end()) {
                all.patterns.push_back(p);
            }
        }
    }
    return all;
}

// What "FileKind" holds for a kind of file.
std::string kindName(const FileFilter& f) {
    if (f.description == kAllSupportedFiles) {
        return "*";
    }
    return f.patterns.empty() ? std::string() : patternExtension(f.patterns.front());
}

bool offersExtension(const FileFilter& f, const std::string& ext) {
    return std::any_of(f.patterns.begin(), f.patterns.end(),
                       [&](const std::string& p) { return patternExtension(p) == ext; });
}

}  // namespace

QStringList FileDialog::nameFilters(const std::string& filterText) {
    QStringList out;
    for (const FileFilter& f : parseFileFilter(filterText)) {
        out << nameFilter(f);
    }
    return out;
}

QString FileDialog::documentsFolder() {
    const std::string folder = Paths::map("My Documents");
    Paths::makeDirs(folder);
    return QString::fromStdString(folder);
}

FileDialog::FileDialog(Registry& registry, MessageBoxes& boxes, const FileDialogRequest& request,
                       Kind kind, QWidget* parent)
    : QFileDialog(parent), request_(request), registry_(registry), boxes_(boxes), kind_(kind) {
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::HideNameFilterDetails);
    setOption(QFileDialog::DontConfirmOverwrite);  // accept() asks instead
    setWindowTitle(kind == Kind::Open ? "Open" : "Save As");
    setAcceptMode(kind == Kind::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    setFileMode(kind == Kind::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    setViewMode(QFileDialog::List);

    kinds_ = parseFileFilter(request.filter);
    if (kind == Kind::Open && kinds_.size() > 1) {
        kinds_.insert(kinds_.begin(), allSupported(kinds_));
        ownKinds_ = 1;
    }
    for (const FileFilter& f : kinds_) {
        filters_ << nameFilter(f);
        descriptions_ << QString::fromStdString(f.description);
    }
}

void FileDialog::prepare() {
    const QFileInfo proposed(QString::fromStdString(request_.proposedName));
    if (!request_.proposedName.empty() && proposed.isAbsolute()) {
        setDirectory(proposed.absolutePath());
        selectFile(proposed.fileName());
    } else {
        setDirectory(documentsFolder());
        if (!request_.proposedName.empty()) {
            selectFile(proposed.fileName());
        }
    }

    // Chosen after the name is in place, so that the name takes its extension.
    const QString starting = filters_.isEmpty() ? QString() : filters_.at(startingKind());
    if (!filters_.isEmpty()) {
        setNameFilters(filters_);
        selectNameFilter(starting);
    }
    useFilterExtension(starting);
    connect(this, &QFileDialog::filterSelected, this, &FileDialog::useFilterExtension);
    fitScreen();
}

int FileDialog::startingKind() const {
    const std::string last = SettingsStore(registry_).readText(kFileKindValue).value_or("");
    int fallback = 0;
    for (std::size_t i = 0; i < kinds_.size(); ++i) {
        if (!last.empty() && kindName(kinds_[i]) == last) {
            return static_cast<int>(i);
        }
        if (kind_ == Kind::Save && fallback == 0 && offersExtension(kinds_[i], "gpx")) {
            fallback = static_cast<int>(i);
        }
    }
    return fallback;
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
    if (index >= 0 && index < static_cast<int>(kinds_.size()) &&
        kinds_[static_cast<std::size_t>(index)].patterns.size() == 1) {
        ext = patternExtension(kinds_[static_cast<std::size_t>(index)].patterns.front());
    }
    setDefaultSuffix(QString::fromStdString(ext.empty() ? request_.defaultExtension : ext));

    // A name to save under that ends in another offered kind's extension
    // takes the selected kind's one.
    auto* name = findChild<QLineEdit*>("fileNameEdit");
    if (kind_ != Kind::Save || ext.empty() || !name) {
        return;
    }
    const QString text = name->text();
    const QString suffix = QFileInfo(text).suffix();
    const std::string old = utf8(suffix.toLower());
    if (suffix.isEmpty() || old == ext ||
        std::none_of(kinds_.begin(), kinds_.end(),
                     [&](const FileFilter& f) { return offersExtension(f, old); })) {
        return;
    }
    name->setText(text.left(text.size() - suffix.size()) + QString::fromStdString(ext));
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
    return filterIndex_ - ownKinds_;
}

void FileDialog::done(int result) {
    if (result == QDialog::Accepted && filterIndex_ >= 1 &&
        filterIndex_ <= static_cast<int>(kinds_.size())) {
        (void)SettingsStore(registry_).writeText(
            kFileKindValue, kindName(kinds_[static_cast<std::size_t>(filterIndex_ - 1)]));
    }
    QFileDialog::done(result);
}

void FileDialog::accept() {
    if (kind_ == Kind::Save) {
        const QStringList files = selectedFiles();
        if (files.size() == 1) {
            const QFileInfo target(files.front());
            const std::string name = utf8(target.fileName());
            if (target.exists() && !target.isDir()) {
                if (showMessage(boxes_, name + " already exists.\nDo you want to replace it?",
                                utf8(windowTitle()), MessageIcon::Exclamation,
                                MessageButtons::YesNo) != MessageResult::Yes) {
                    return;
                }
            } else if (!target.exists() && request_.askBeforeCreating) {
                if (showMessage(boxes_,
                                name + "\nThis file does not exist.\nDo you want to create it?",
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
