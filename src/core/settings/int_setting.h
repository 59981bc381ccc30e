// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One 32-bit signed setting bound to a REG_DWORD value of the settings key
// of the registry it is made with; that registry and the diagnostics, which
// must outlive the setting, take its failed writes.
//
// Making one reads and writes nothing: it holds the default until load()
// reads the stored value, or writes the default at once when the value is
// absent. With saveImmediately every assignment writes through; otherwise
// the owner writes the value with save() when it is done with it. A write
// that fails is counted; load() and assignments trace it (setting_value.h),
// save() returns it.

#include <cstdint>
#include <string>

#include "core/base/result.h"
#include "core/base/services.h"

namespace wp2 {

class IntSetting {
public:
    IntSetting(const SettingsServices& services, const std::string& name, bool saveImmediately,
               std::int32_t defaultValue);
    IntSetting(const IntSetting&) = delete;
    IntSetting& operator=(const IntSetting&) = delete;

    // Reads the stored value, or writes the default when there is none.
    void load();
    std::int32_t& operator=(std::int32_t value);
    std::int32_t get() const { return value_; }
    operator std::int32_t() const { return value_; }
    // Writes the value now; its failure (see setting_value.h) is the result.
    Result<> save();

private:
    std::int32_t value_;
    SettingsServices services_;
    bool saveImmediately_;
    std::string name_;
};

}  // namespace wp2
