// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/settings_store.h"

#include "core/base/utf.h"
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
    return utf16Length(utf8);
}

Unexpected tooLong(const std::string& name) {
    return fail(name, "name or text too long", EINVAL);
}

Unexpected notOfType(const std::string& name) {
    return fail(name, "stored with another type or size", EINVAL);
}

}  // namespace

SettingsStore::SettingsStore(Registry& registry)
    : registry_(registry), root_(RegRoot::LocalMachine), path_(kSettingsKeyPath) {}

void SettingsStore::set(RegRoot root, const std::string& path) {
    root_ = root;
    path_ = path;
}

Result<> SettingsStore::writeSz(const std::string& name, const std::string& text,
                                std::size_t maxName, std::size_t maxText) {
    // A name or text beyond the limits is refused whole rather than cut short.
    if (units(name) > maxName || units(text) > maxText || text.find('\0') != std::string::npos) {
        return tooLong(name);
    }
    Registry& reg = registry_;
    Result<> created = reg.createKey(root_, path_);
    if (!created) {
        return created;
    }
    return reg.setValue(root_, path_, name, RegValue{RegType::Sz, encodeRegSz(text)});
}

Result<std::string> SettingsStore::readSz(const std::string& name, std::size_t maxName,
                                          std::size_t maxText) {
    if (units(name) > maxName) {
        return tooLong(name);
    }
    const Result<RegValue> value = read(name);
    if (!value) {
        return fail(value.error());
    }
    if (value->type != RegType::Sz || regSzLength(value->data) > maxText) {
        return notOfType(name);
    }
    return regSzToUtf8(value->data);
}

Result<RegValue> SettingsStore::read(const std::string& name) {
    Registry& reg = registry_;
    if (const Result<> opened = reg.openKey(root_, path_); !opened) {
        return fail(opened.error());
    }
    return reg.queryValue(root_, path_, name);
}

Result<> SettingsStore::writeText(const std::string& name, const std::string& text) {
    return writeSz(name, text, kShortNameWrite, kShortTextWrite);
}

Result<std::string> SettingsStore::readText(const std::string& name) {
    return readSz(name, kShortNameRead, kShortTextRead);
}

Result<> SettingsStore::writeLongText(const std::string& name, const std::string& text) {
    return writeSz(name, text, kUnlimited, kUnlimited);
}

Result<std::string> SettingsStore::readLongText(const std::string& name) {
    return readSz(name, kUnlimited, kUnlimited);
}

Result<> SettingsStore::writeNumber(const std::string& name, std::uint32_t value) {
    if (units(name) > kNumberName) {
        return tooLong(name);
    }
    Registry& reg = registry_;
    Result<> created = reg.createKey(root_, path_);
    if (!created) {
        return created;
    }
    return reg.setValue(root_, path_, name, RegValue{RegType::Dword, dwordBytes(value)});
}

Result<std::uint32_t> SettingsStore::readNumber(const std::string& name) {
    if (units(name) > kNumberName) {
        return tooLong(name);
    }
    const Result<RegValue> stored = read(name);
    if (!stored) {
        return fail(stored.error());
    }
    if (stored->type != RegType::Dword || stored->data.size() != 4) {
        return notOfType(name);
    }
    return dwordFromBytes(stored->data);
}

}  // namespace wp2
