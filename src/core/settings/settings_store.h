// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A handle on one registry key for text and number values by name.
// Operations show nothing: they return what failed (the registry's failure,
// or EINVAL for a name or text beyond the limits) and the caller decides.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/base/result.h"
#include "core/settings/registry.h"

namespace wp2 {

class SettingsStore {
public:
    // The settings key Software\KELM\Wayplot2 of the local-machine root of
    // the registry, which must outlive this object.
    explicit SettingsStore(Registry& registry);

    void set(RegRoot root, const std::string& path);
    RegRoot root() const { return root_; }
    const std::string& path() const { return path_; }

    // Text values are REG_SZ. Lengths count UTF-16 characters. Short text:
    // name at most 99 characters and text at most 249 when written; at most
    // 255 / 999 when read. Beyond the limits nothing is written or read.
    Result<> writeText(const std::string& name, const std::string& text);
    Result<std::string> readText(const std::string& name);
    // Long text: no limits.
    Result<> writeLongText(const std::string& name, const std::string& text);
    Result<std::string> readLongText(const std::string& name);
    // REG_DWORD, name at most 49 characters; a value that is not a 4-byte
    // REG_DWORD fails to read.
    Result<> writeNumber(const std::string& name, std::uint32_t value);
    Result<std::uint32_t> readNumber(const std::string& name);

private:
    Result<> writeSz(const std::string& name, const std::string& text, std::size_t maxName,
                     std::size_t maxText);
    Result<std::string> readSz(const std::string& name, std::size_t maxName, std::size_t maxText);
    // The value as stored, of any type.
    Result<RegValue> read(const std::string& name);

    Registry& registry_;
    RegRoot root_;
    std::string path_;
};

}  // namespace wp2
