// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/int_setting.h"

#include "core/base/diagnostics.h"
#include "core/settings/reg_number.h"
#include "core/settings/setting_value.h"

namespace wp2 {

IntSetting::IntSetting(const SettingsServices& services, const std::string& name,
                       bool saveImmediately, std::int32_t defaultValue)
    : value_(defaultValue), services_(services), saveImmediately_(saveImmediately), name_(name) {}

void IntSetting::load() {
    std::vector<std::uint8_t> bytes = dwordBytes(static_cast<std::uint32_t>(value_));
    services_.diagnostics.traceFailure(
        setting_value::loadOrStoreDefault(services_, "CRegInt", name_, RegType::Dword, bytes));
    value_ = static_cast<std::int32_t>(dwordFromBytes(bytes));
}

std::int32_t& IntSetting::operator=(std::int32_t value) {
    value_ = value;
    if (saveImmediately_) {
        services_.diagnostics.traceFailure(save());
    }
    return value_;
}

Result<> IntSetting::save() {
    return setting_value::save(services_, "CRegInt", name_, RegType::Dword,
                               dwordBytes(static_cast<std::uint32_t>(value_)));
}

}  // namespace wp2
