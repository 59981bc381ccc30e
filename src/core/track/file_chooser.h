// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The step of asking the user for a file name. The dialogs layer supplies the
// real file dialogs; tests answer with a fixed name or a cancel.

#include <optional>
#include <string>

namespace wp2 {

struct FileDialogRequest {
    std::string filter;  // filter text as the dialog takes it, e.g. "Track (*.atk)|*.atk||"
    std::string defaultExtension;  // without the dot, e.g. "atk"
    std::string proposedName;
    // The save dialog also asks before it creates a file that does not exist yet.
    bool askBeforeCreating = false;
};

// A file chosen in a save dialog together with the filter pair (1-based) that
// was selected when the user accepted.
struct FileChoice {
    std::string path;
    int filterIndex = 1;
};

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // A full path, or nothing when the user cancels. The dialogs hide the
    // read-only option; the save dialog asks before overwriting an existing
    // file and, with askBeforeCreating, before creating a new one.
    virtual std::optional<std::string> openFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> saveFile(const FileDialogRequest& request) = 0;
    // The save dialog for callers whose action depends on the selected filter.
    // The default asks saveFile and takes the first filter whose "*.ext"
    // pattern matches the chosen name (the first filter when none does).
    virtual std::optional<FileChoice> saveFileChoice(const FileDialogRequest& request);
};

}  // namespace wp2
