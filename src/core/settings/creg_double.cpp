#include "core/settings/creg_double.h"

#include "core/settings/reg_number.h"
#include "core/settings/setting_value.h"

namespace wp2 {

CRegDouble::CRegDouble(const std::string& name, bool saveImmediately, double defaultValue)
    : saveImmediately_(saveImmediately), name_(name) {
    std::vector<std::uint8_t> bytes = doubleBytes(defaultValue);
    setting_value::loadOrStoreDefault("CRegDouble", name_, RegType::Binary, bytes);
    value_ = doubleFromBytes(bytes);
}

CRegDouble::~CRegDouble() {
    if (!saveImmediately_) {
        Save();
    }
}

double& CRegDouble::operator=(double value) {
    value_ = value;
    if (saveImmediately_) {
        Save();
    }
    return value_;
}

void CRegDouble::Save() {
    setting_value::save("CRegDouble", name_, RegType::Binary, doubleBytes(value_));
}

}  // namespace wp2
