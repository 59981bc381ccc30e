// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file dialogs the core asks for (track files, pushpin import and
// export), shown as FileDialog windows over the active window. Made once
// the QApplication exists.

#include "core/track/file_chooser.h"

namespace wp2 {

class QtFileChooser final : public FileChooser {
public:
    std::optional<std::string> openFile(const FileDialogRequest& request) override;
    std::optional<std::string> saveFile(const FileDialogRequest& request) override;
    std::optional<FileChoice> saveFileChoice(const FileDialogRequest& request) override;
};

}  // namespace wp2
