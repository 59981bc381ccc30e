// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The registry side of IntSetting and DoubleSetting: loading a value of the settings
// key (or writing its default) and saving it. Only those two classes use it.
//
// A write that fails is counted as a failed save (the program's exit status
// reports it). A store that cannot be written at all has told the user
// itself; any other failure is returned, and traced for the settings
// written where no one can be told (loading and assignments).

#include <cstdint>
#include <string>
#include <vector>

#include "core/base/result.h"
#include "core/base/services.h"
#include "core/settings/registry.h"

namespace wp2::setting_value {

// Reads the value `name` of the settings key into bytes when it is stored with
// the given type and exactly bytes.size() bytes; otherwise keeps bytes (the
// default) and writes it at once. className names the failure ("CRegInt: SetValue failed",
// with the store's reason when the key could not be made).
Result<> loadOrStoreDefault(const SettingsServices& services, const char* className,
                            const std::string& name, RegType type,
                            std::vector<std::uint8_t>& bytes);

// Writes the bytes to the settings key ("CRegInt::Save: SetValue failed").
Result<> save(const SettingsServices& services, const char* className, const std::string& name,
              RegType type, const std::vector<std::uint8_t>& bytes);

}  // namespace wp2::setting_value
