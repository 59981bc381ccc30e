#include "core/settings/setting_value.h"

#include "core/base/message_box.h"
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

void loadOrStoreDefault(const char* className, const std::string& name, RegType type,
                        std::vector<std::uint8_t>& bytes) {
    Registry& reg = registry();
    const std::string cls = className;
    int opened = reg.createKey(RegRoot::LocalMachine, kSettingsKeyPath);
    if (opened != kRegOk) {
        showMessage(clipUtf8(reg.errorText(opened), kMaxErrorText), cls, MessageIcon::Exclamation);
    }
    // Without a key handle neither the query nor the write can succeed.
    if (opened == kRegOk) {
        RegValue stored;
        if (reg.queryValue(RegRoot::LocalMachine, kSettingsKeyPath, name, stored) == kRegOk &&
            stored.type == type && stored.data.size() == bytes.size()) {
            bytes = stored.data;
            return;
        }
    }
    bool written = opened == kRegOk && reg.setValue(RegRoot::LocalMachine, kSettingsKeyPath, name,
                                                    RegValue{type, bytes}) == kRegOk;
    if (!written) {
        showMessage(cls + ": SetValue failed", "Error", MessageIcon::Stop);
    }
}

bool save(const char* className, const std::string& name, RegType type,
          const std::vector<std::uint8_t>& bytes) {
    Registry& reg = registry();
    const std::string cls = className;
    int opened = reg.createKey(RegRoot::LocalMachine, kSettingsKeyPath);
    if (opened != kRegOk) {
        showMessage(cls + "::Save: invalid key", "Error", MessageIcon::Exclamation);
    }
    bool written = opened == kRegOk && reg.setValue(RegRoot::LocalMachine, kSettingsKeyPath, name,
                                                    RegValue{type, bytes}) == kRegOk;
    if (!written) {
        showMessage(cls + "::Save: SetValue failed", "Error", MessageIcon::Exclamation);
    }
    return written;
}

}  // namespace wp2::setting_value
