// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Numbers in the little-endian byte order of the program's files (pushpins,
// tracks, WAVE sounds, settings values), whatever the host's own order.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

namespace wp2 {

// The integer or double stored at b.
template <typename T>
T fromLittleEndian(const std::uint8_t* b) {
    if constexpr (std::is_same_v<T, double>) {
        return std::bit_cast<double>(fromLittleEndian<std::uint64_t>(b));
    } else {
        using U = std::make_unsigned_t<T>;
        U v = 0;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(&v, b, sizeof v);
        } else {
            for (std::size_t i = sizeof v; i-- > 0;) {
                v = static_cast<U>((v << 8) | b[i]);
            }
        }
        return static_cast<T>(v);
    }
}

// Stores the integer or double at b.
template <typename T>
void toLittleEndian(T value, std::uint8_t* b) {
    if constexpr (std::is_same_v<T, double>) {
        toLittleEndian(std::bit_cast<std::uint64_t>(value), b);
    } else {
        auto v = static_cast<std::make_unsigned_t<T>>(value);
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(b, &v, sizeof v);
        } else {
            for (std::size_t i = 0; i < sizeof v; ++i, v = static_cast<decltype(v)>(v >> 8)) {
                b[i] = static_cast<std::uint8_t>(v);
            }
        }
    }
}

// Appends the integer or double to out.
template <typename T>
void appendLittleEndian(std::vector<std::uint8_t>& out, T value) {
    const std::size_t at = out.size();
    out.resize(at + sizeof(T));
    toLittleEndian(value, out.data() + at);
}

}  // namespace wp2
