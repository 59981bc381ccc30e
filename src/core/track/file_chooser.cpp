#include "core/track/file_chooser.h"

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

void setFileChooser(FileChooser* chooser) {
    current = chooser ? chooser : &cancelling;
}

FileChooser& fileChooser() {
    return *current;
}

}  // namespace wp2
