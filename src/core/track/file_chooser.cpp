// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/track/file_chooser.h"

#include "core/track/file_filter.h"

namespace wp2 {

std::optional<FileChoice> FileChooser::saveFileChoice(const FileDialogRequest& request) {
    std::optional<std::string> path = saveFile(request);
    if (!path) {
        return {};
    }
    const int index = filterIndexForFile(parseFileFilter(request.filter), *path);
    return FileChoice{*path, index > 0 ? index : 1};
}

}  // namespace wp2
