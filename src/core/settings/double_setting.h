// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One double setting bound to an 8-byte REG_BINARY value of the settings key
// (the IEEE 754 bytes, least significant first). Same life cycle as IntSetting.

#include <string>

#include "core/base/result.h"
#include "core/base/services.h"

namespace wp2 {

class DoubleSetting {
public:
    DoubleSetting(const SettingsServices& services, const std::string& name, bool saveImmediately,
                  double defaultValue);
    DoubleSetting(const DoubleSetting&) = delete;
    DoubleSetting& operator=(const DoubleSetting&) = delete;

    // Reads the stored value, or writes the default when there is none.
    void load();
    double& operator=(double value);
    double get() const { return value_; }
    operator double() const { return value_; }
    // Writes the value now; its failure (see setting_value.h) is the result.
    Result<> save();

private:
    double value_;
    SettingsServices services_;
    bool saveImmediately_;
    std::string name_;
};

}  // namespace wp2
