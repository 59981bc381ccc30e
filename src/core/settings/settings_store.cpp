// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/settings_store.h"

#include "core/settings/reg_number.h"
#include "core/settings/reg_sz.h"
#include "core/settings/reg_values.h"

namespace wp2 {

namespace {

// Limits of the short text form, in characters (UTF-16 code units).
constexpr std::size_t kShortNameWrite = 99;
constexpr std::size_t kShortNameRead = 255;
constexpr std::size_t kShortTextWrite = 249;
constexpr std::size_t kShortTextRead = 999;
// Limit of a number's value name.
constexpr std::size_t kNumberName = 49;
// No limit for the long text form.
constexpr std::size_t kUnlimited = static_cast<std::size_t>(-1);

std::size_t units(const std::string& utf8) {
    return utf8ToUtf16(utf8).size();
}

}  // namespace

SettingsStore::SettingsStore() : root_(RegRoot::LocalMachine), path_(kSettingsKeyPath) {}

void SettingsStore::set(RegRoot root, const std::string& path) {
    root_ = root;
    path_ = path;
}

bool SettingsStore::writeSz(const std::string& name, const std::string& text, std::size_t maxName,
                            std::size_t maxText) {
    // A name or text beyond the limits is refused whole rather than cut short.
    if (units(name) > maxName || units(text) > maxText || text.find('\0') != std::string::npos) {
        return false;
    }
    Registry& reg = registry();
    return reg.createKey(root_, path_) &&
           reg.setValue(root_, path_, name, RegValue{RegType::Sz, encodeRegSz(text)});
}

bool SettingsStore::readSz(const std::string& name, std::string& text, std::size_t maxName,
                           std::size_t maxText) {
    text.clear();
    if (units(name) > maxName) {
        return false;
    }
    Registry& reg = registry();
    if (!reg.openKey(root_, path_)) {
        return false;
    }
    const Result<RegValue> value = reg.queryValue(root_, path_, name);
    if (!value || value->type != RegType::Sz || regSzLength(value->data) > maxText) {
        return false;
    }
    text = regSzToUtf8(value->data);
    return true;
}

bool SettingsStore::writeText(const std::string& name, const std::string& text) {
    return writeSz(name, text, kShortNameWrite, kShortTextWrite);
}

bool SettingsStore::readText(const std::string& name, std::string& text) {
    return readSz(name, text, kShortNameRead, kShortTextRead);
}

bool SettingsStore::writeLongText(const std::string& name, const std::string& text) {
    return writeSz(name, text, kUnlimited, kUnlimited);
}

bool SettingsStore::readLongText(const std::string& name, std::string& text) {
    return readSz(name, text, kUnlimited, kUnlimited);
}

bool SettingsStore::writeNumber(const std::string& name, std::uint32_t value) {
    if (units(name) > kNumberName) {
        return false;
    }
    Registry& reg = registry();
    return reg.createKey(root_, path_) &&
           reg.setValue(root_, path_, name, RegValue{RegType::Dword, dwordBytes(value)});
}

bool SettingsStore::readNumber(const std::string& name, std::uint32_t& value) {
    if (units(name) > kNumberName) {
        return false;
    }
    Registry& reg = registry();
    if (!reg.openKey(root_, path_)) {
        return false;
    }
    const Result<RegValue> stored = reg.queryValue(root_, path_, name);
    if (!stored || stored->type != RegType::Dword || stored->data.size() != 4) {
        return false;
    }
    value = dwordFromBytes(stored->data);
    return true;
}

}  // namespace wp2
