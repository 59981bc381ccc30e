// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The registry side of IntSetting and DoubleSetting: loading a value of the settings
// key (or writing its default) and saving it, with the message boxes both
// classes show. Only those two classes use it.

#include <cstdint>
#include <string>
#include <vector>

#include "core/settings/registry.h"

namespace wp2::setting_value {

// Reads the value `name` of the settings key into bytes when it is stored with
// the given type and exactly bytes.size() bytes; otherwise keeps bytes (the
// default) and writes it at once. className names the messages ("CRegInt: SetValue failed").
void loadOrStoreDefault(const char* className, const std::string& name, RegType type,
                        std::vector<std::uint8_t>& bytes);

// Writes the bytes to the settings key; false (after the messages) when that failed.
bool save(const char* className, const std::string& name, RegType type,
          const std::vector<std::uint8_t>& bytes);

}  // namespace wp2::setting_value
