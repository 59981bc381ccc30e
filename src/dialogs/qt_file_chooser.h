// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file dialogs the core asks for (track files, pushpin import and
// export), shown as FileDialog windows over the active window. Made once
// the QApplication exists.

#include "core/track/file_chooser.h"

namespace wp2 {

class MessageBoxes;
class Registry;

class QtFileChooser final : public FileChooser {
public:
    // The dialogs keep the kind of file last used in the registry and ask in
    // boxes; both must outlive the chooser.
    QtFileChooser(Registry& registry, MessageBoxes& boxes) : registry_(registry), boxes_(boxes) {}

    std::optional<std::string> openFile(const FileDialogRequest& request) override;
    std::optional<std::string> saveFile(const FileDialogRequest& request) override;
    std::optional<FileChoice> saveFileChoice(const FileDialogRequest& request) override;

private:
    Registry& registry_;
    MessageBoxes& boxes_;
};

}  // namespace wp2
