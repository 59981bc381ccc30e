// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/double_setting.h"

#include "core/settings/reg_number.h"
#include "core/settings/setting_value.h"

namespace wp2 {

DoubleSetting::DoubleSetting(const std::string& name, bool saveImmediately, double defaultValue)
    : saveImmediately_(saveImmediately), name_(name) {
    std::vector<std::uint8_t> bytes = doubleBytes(defaultValue);
    setting_value::traceFailure(
        setting_value::loadOrStoreDefault("CRegDouble", name_, RegType::Binary, bytes));
    value_ = doubleFromBytes(bytes);
}

DoubleSetting::~DoubleSetting() {
    if (!saveImmediately_) {
        setting_value::traceFailure(save());
    }
}

double& DoubleSetting::operator=(double value) {
    value_ = value;
    if (saveImmediately_) {
        setting_value::traceFailure(save());
    }
    return value_;
}

Result<> DoubleSetting::save() {
    return setting_value::save("CRegDouble", name_, RegType::Binary, doubleBytes(value_));
}

}  // namespace wp2
