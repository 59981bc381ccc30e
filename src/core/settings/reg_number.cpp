#include "core/settings/reg_number.h"

#include <cstring>

namespace wp2 {

namespace {

std::vector<std::uint8_t> littleEndian(std::uint64_t u, std::size_t size) {
    std::vector<std::uint8_t> b(size);
    for (std::size_t i = 0; i < size; ++i) {
        b[i] = static_cast<std::uint8_t>(u >> (8 * i));
    }
    return b;
}

std::uint64_t fromLittleEndian(const std::vector<std::uint8_t>& b, std::size_t size) {
    std::uint64_t u = 0;
    for (std::size_t i = size; i-- > 0;) {
        u = (u << 8) | b[i];
    }
    return u;
}

}  // namespace

std::vector<std::uint8_t> dwordBytes(std::uint32_t value) {
    return littleEndian(value, 4);
}

std::uint32_t dwordFromBytes(const std::vector<std::uint8_t>& data) {
    return static_cast<std::uint32_t>(fromLittleEndian(data, 4));
}

std::vector<std::uint8_t> doubleBytes(double value) {
    std::uint64_t u;
    std::memcpy(&u, &value, sizeof u);
    return littleEndian(u, 8);
}

double doubleFromBytes(const std::vector<std::uint8_t>& data) {
    std::uint64_t u = fromLittleEndian(data, 8);
    double value;
    std::memcpy(&value, &u, sizeof value);
    return value;
}

}  // namespace wp2
