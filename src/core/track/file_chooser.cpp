// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/track/file_chooser.h"

#include "core/track/file_filter.h"

namespace wp2 {

namespace {

class CancellingChooser final : public FileChooser {
public:
    std::optional<std::string> openFile(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> saveFile(const FileDialogRequest&) override { return {}; }
};

CancellingChooser cancelling;
FileChooser* current = &cancelling;

}  // namespace

std::optional<FileChoice> FileChooser::saveFileChoice(const FileDialogRequest& request) {
    std::optional<std::string> path = saveFile(request);
    if (!path) {
        return {};
    }
    const int index = filterIndexForFile(parseFileFilter(request.filter), *path);
    return FileChoice{*path, index > 0 ? index : 1};
}

void setFileChooser(FileChooser* chooser) {
    current = chooser ? chooser : &cancelling;
}

FileChooser& fileChooser() {
    return *current;
}

}  // namespace wp2
