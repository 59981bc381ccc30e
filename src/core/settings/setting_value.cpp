// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/setting_value.h"

#include "core/base/message_box.h"
#include "core/base/save_failures.h"
#include "core/settings/reg_values.h"

namespace wp2::setting_value {

namespace {

// The system's message text is shown with at most this many characters.
constexpr std::size_t kMaxErrorText = 300;

std::string clipUtf8(const std::string& text, std::size_t maxChars) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool starts = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (starts && chars++ == maxChars) {
            return text.substr(0, i);
        }
    }
    return text;
}

}  // namespace

namespace {

// Opens the settings key and writes one value, counting a failed save.
// keyFailed tells the user when the key cannot be opened (a write-protected
// store has told them already); the result is the write's code.
template <typename KeyFailed>
int writeValue(Registry& reg, const std::string& name, RegType type,
               const std::vector<std::uint8_t>& bytes, KeyFailed keyFailed) {
    const int opened = reg.createKey(RegRoot::LocalMachine, kSettingsKeyPath);
    if (opened != kRegOk && opened != kRegWriteProtect) {
        keyFailed(opened);
    }
    // Without a key handle the write cannot succeed.
    const int written = opened != kRegOk ? opened
                                         : reg.setValue(RegRoot::LocalMachine, kSettingsKeyPath,
                                                        name, RegValue{type, bytes});
    if (written != kRegOk) {
        countFailedSave();
    }
    return written;
}

}  // namespace

void loadOrStoreDefault(const char* className, const std::string& name, RegType type,
                        std::vector<std::uint8_t>& bytes) {
    Registry& reg = registry();
    const std::string cls = className;
    // A stored value is read even where the key cannot be opened for
    // writing (a read-only store keeps the user's settings).
    RegValue stored;
    if (reg.queryValue(RegRoot::LocalMachine, kSettingsKeyPath, name, stored) == kRegOk &&
        stored.type == type && stored.data.size() == bytes.size()) {
        bytes = stored.data;
        return;
    }
    const int written = writeValue(reg, name, type, bytes, [&](int opened) {
        showMessage(clipUtf8(reg.errorText(opened), kMaxErrorText), cls, MessageIcon::Exclamation);
    });
    if (written != kRegOk && written != kRegWriteProtect) {
        showMessage(cls + ": SetValue failed", "Error", MessageIcon::Stop);
    }
}

bool save(const char* className, const std::string& name, RegType type,
          const std::vector<std::uint8_t>& bytes) {
    const std::string cls = className;
    const int written = writeValue(registry(), name, type, bytes, [&](int) {
        showMessage(cls + "::Save: invalid key", "Error", MessageIcon::Exclamation);
    });
    if (written != kRegOk && written != kRegWriteProtect) {
        showMessage(cls + "::Save: SetValue failed", "Error", MessageIcon::Exclamation);
    }
    return written == kRegOk;
}

}  // namespace wp2::setting_value
