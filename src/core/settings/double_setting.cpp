// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/double_setting.h"

#include "core/base/diagnostics.h"
#include "core/settings/reg_number.h"
#include "core/settings/setting_value.h"

namespace wp2 {

DoubleSetting::DoubleSetting(const SettingsServices& services, const std::string& name,
                             bool saveImmediately, double defaultValue)
    : value_(defaultValue), services_(services), saveImmediately_(saveImmediately), name_(name) {}

void DoubleSetting::load() {
    std::vector<std::uint8_t> bytes = doubleBytes(value_);
    services_.diagnostics.traceFailure(
        setting_value::loadOrStoreDefault(services_, "CRegDouble", name_, RegType::Binary, bytes));
    value_ = doubleFromBytes(bytes);
}

double& DoubleSetting::operator=(double value) {
    value_ = value;
    if (saveImmediately_) {
        services_.diagnostics.traceFailure(save());
    }
    return value_;
}

Result<> DoubleSetting::save() {
    return setting_value::save(services_, "CRegDouble", name_, RegType::Binary,
                               doubleBytes(value_));
}

}  // namespace wp2
