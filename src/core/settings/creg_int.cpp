#include "core/settings/creg_int.h"

#include "core/settings/reg_number.h"
#include "core/settings/setting_value.h"

namespace wp2 {

CRegInt::CRegInt(const std::string& name, bool saveImmediately, std::int32_t defaultValue)
    : saveImmediately_(saveImmediately), name_(name) {
    std::vector<std::uint8_t> bytes = dwordBytes(static_cast<std::uint32_t>(defaultValue));
    setting_value::loadOrStoreDefault("CRegInt", name_, RegType::Dword, bytes);
    value_ = static_cast<std::int32_t>(dwordFromBytes(bytes));
}

CRegInt::~CRegInt() {
    if (!saveImmediately_) {
        Save();
    }
}

std::int32_t& CRegInt::operator=(std::int32_t value) {
    value_ = value;
    if (saveImmediately_) {
        Save();
    }
    return value_;
}

void CRegInt::Save() {
    setting_value::save("CRegInt", name_, RegType::Dword,
                        dwordBytes(static_cast<std::uint32_t>(value_)));
}

}  // namespace wp2
