// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt_file_chooser.h"

#include <QApplication>

#include "file_dialog.h"

namespace wp2 {

namespace {

QWidget* dialogParent() {
    QWidget* parent = QApplication::activeModalWidget();
    return parent ? parent : QApplication::activeWindow();
}

std::optional<FileChoice> run(Registry& registry, MessageBoxes& boxes,
                              const FileDialogRequest& request, FileDialog::Kind kind) {
    FileDialog dialog(registry, boxes, request, kind, dialogParent());
    dialog.prepare();
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    std::string path = dialog.chosenPath();
    if (path.empty()) {
        return {};
    }
    return FileChoice{std::move(path), dialog.chosenFilterIndex()};
}

}  // namespace

std::optional<std::string> QtFileChooser::openFile(const FileDialogRequest& request) {
    auto choice = run(registry_, boxes_, request, FileDialog::Kind::Open);
    return choice ? std::optional<std::string>(choice->path) : std::nullopt;
}

std::optional<std::string> QtFileChooser::saveFile(const FileDialogRequest& request) {
    auto choice = run(registry_, boxes_, request, FileDialog::Kind::Save);
    return choice ? std::optional<std::string>(choice->path) : std::nullopt;
}

std::optional<FileChoice> QtFileChooser::saveFileChoice(const FileDialogRequest& request) {
    return run(registry_, boxes_, request, FileDialog::Kind::Save);
}

}  // namespace wp2
