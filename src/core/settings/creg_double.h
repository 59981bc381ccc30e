#pragma once
// One double setting bound to an 8-byte REG_BINARY value of the settings key
// (the IEEE 754 bytes, least significant first). Same life cycle as CRegInt.

#include <string>

namespace wp2 {

class CRegDouble {
public:
    CRegDouble(const std::string& name, bool saveImmediately, double defaultValue);
    virtual ~CRegDouble();
    CRegDouble(const CRegDouble&) = delete;
    CRegDouble& operator=(const CRegDouble&) = delete;

    double& operator=(double value);
    double Get() const { return value_; }
    operator double() const { return value_; }
    void Save();

private:
    double value_ = 0.0;
    bool saveImmediately_;
    std::string name_;
};

}  // namespace wp2
