#pragma once
// The step of asking the user for a file name. The dialogs layer supplies the
// real file dialogs; tests answer with a fixed name or a cancel.

#include <optional>
#include <string>

namespace wp2 {

struct FileDialogRequest {
    std::string filter;            // design filter text, e.g. "Track (*.atk)|*.atk||"
    std::string defaultExtension;  // without the dot, e.g. "atk"
    std::string proposedName;
};

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // A full path, or nothing when the user cancels. The dialogs hide the
    // read-only option; the save dialog asks before overwriting an existing
    // file and before creating a new one.
    virtual std::optional<std::string> openFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> saveFile(const FileDialogRequest& request) = 0;
};

// The process-wide chooser (the default one always cancels).
void setFileChooser(FileChooser* chooser);
FileChooser& fileChooser();

}  // namespace wp2
