// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/reg_number.h"

#include "core/base/little_endian.h"

namespace wp2 {

std::vector<std::uint8_t> dwordBytes(std::uint32_t value) {
    std::vector<std::uint8_t> bytes;
    appendLittleEndian(bytes, value);
    return bytes;
}

std::uint32_t dwordFromBytes(const std::vector<std::uint8_t>& data) {
    return fromLittleEndian<std::uint32_t>(data.data());
}

std::vector<std::uint8_t> doubleBytes(double value) {
    std::vector<std::uint8_t> bytes;
    appendLittleEndian(bytes, value);
    return bytes;
}

double doubleFromBytes(const std::vector<std::uint8_t>& data) {
    return fromLittleEndian<double>(data.data());
}

}  // namespace wp2
