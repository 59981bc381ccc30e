// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/double_setting.h"

#include "core/base/trace.h"
#include "core/settings/reg_number.h"
#include "core/settings/setting_value.h"

namespace wp2 {

DoubleSetting::DoubleSetting(const std::string& name, bool saveImmediately, double defaultValue)
    : value_(defaultValue), saveImmediately_(saveImmediately), name_(name) {}

void DoubleSetting::load() {
    std::vector<std::uint8_t> bytes = doubleBytes(value_);
    traceFailure(setting_value::loadOrStoreDefault("CRegDouble", name_, RegType::Binary, bytes));
    value_ = doubleFromBytes(bytes);
}

double& DoubleSetting::operator=(double value) {
    value_ = value;
    if (saveImmediately_) {
        traceFailure(save());
    }
    return value_;
}

Result<> DoubleSetting::save() {
    return setting_value::save("CRegDouble", name_, RegType::Binary, doubleBytes(value_));
}

}  // namespace wp2
