// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A handle on one registry key for text and number values by name.
// Operations show nothing: they return false and the caller decides.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/settings/registry.h"

namespace wp2 {

class SettingsStore {
public:
    // The settings key Software\KELM\Wayplot2 of the local-machine root.
    SettingsStore();
    virtual ~SettingsStore() = default;

    void set(RegRoot root, const std::string& path);
    RegRoot root() const { return root_; }
    const std::string& path() const { return path_; }

    // Text values are REG_SZ. A read that fails leaves text empty (an absent
    // value reads as the empty string). Lengths count UTF-16 characters.
    // Short text: name at most 99 characters and text at most 249 when written;
    // at most 255 / 999 when read. Beyond the limits nothing is written or read.
    bool writeText(const std::string& name, const std::string& text);
    bool readText(const std::string& name, std::string& text);
    // Long text: no limits.
    bool writeLongText(const std::string& name, const std::string& text);
    bool readLongText(const std::string& name, std::string& text);
    // REG_DWORD, name at most 49 characters; the buffer is left unchanged when
    // the read fails (absent, or not a 4-byte REG_DWORD).
    bool writeNumber(const std::string& name, std::uint32_t value);
    bool readNumber(const std::string& name, std::uint32_t& value);

private:
    bool writeSz(const std::string& name, const std::string& text, std::size_t maxName,
                 std::size_t maxText);
    bool readSz(const std::string& name, std::string& text, std::size_t maxName,
                std::size_t maxText);

    RegRoot root_;
    std::string path_;
};

}  // namespace wp2
