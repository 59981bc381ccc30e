// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/setting_value.h"

#include "core/base/diagnostics.h"
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

// Opens the settings key and writes one value, counting a failed save. The
// failure is "<className><suffix>" with the store's text when the key could
// not be made; none when the store cannot be written at all, as it has told
// the user already.
Result<> writeValue(const SettingsServices& services, const std::string& name, RegType type,
                    const std::vector<std::uint8_t>& bytes, const std::string& failed) {
    Registry& reg = services.registry;
    const Result<> opened = reg.createKey(RegRoot::LocalMachine, kSettingsKeyPath);
    // Without a key handle the write cannot succeed.
    const Result<> written =
        opened ? reg.setValue(RegRoot::LocalMachine, kSettingsKeyPath, name, RegValue{type, bytes})
               : opened;
    if (written) {
        return {};
    }
    services.diagnostics.countFailedSave();
    if (toldAlready(written.error())) {
        return {};
    }
    return fail(failed, opened ? "" : clipUtf8(opened.error().reason, kMaxErrorText));
}

}  // namespace

Result<> loadOrStoreDefault(const SettingsServices& services, const char* className,
                            const std::string& name, RegType type,
                            std::vector<std::uint8_t>& bytes) {
    // A stored value is read even where the key cannot be opened for
    // writing (a read-only store keeps the user's settings).
    const Result<RegValue> stored =
        services.registry.queryValue(RegRoot::LocalMachine, kSettingsKeyPath, name);
    if (stored && stored->type == type && stored->data.size() == bytes.size()) {
        bytes = stored->data;
        return {};
    }
    return writeValue(services, name, type, bytes, std::string(className) + ": SetValue failed");
}

Result<> save(const SettingsServices& services, const char* className, const std::string& name,
              RegType type, const std::vector<std::uint8_t>& bytes) {
    Result<> written =
        writeValue(services, name, type, bytes, std::string(className) + "::Save: SetValue failed");
    if (!written && !written.error().reason.empty()) {
        return fail(written.error().what, "invalid key");
    }
    return written;
}

}  // namespace wp2::setting_value
