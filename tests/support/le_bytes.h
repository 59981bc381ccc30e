// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A little-endian byte builder for hand-made files, written independently of
// the code under test; Self adds the pieces of its own format.

#include <bit>
#include <cstdint>
#include <string>

namespace wp2::test {

template <class Self>
struct LittleEndianBytes {
    Self& u8(unsigned v) {
        s += static_cast<char>(v & 0xFF);
        return static_cast<Self&>(*this);
    }
    Self& u16(unsigned v) { return u8(v).u8(v >> 8); }
    Self& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Self& i32(std::int32_t v) { return u32(static_cast<std::uint32_t>(v)); }
    Self& f64(double d) {
        const auto bits = std::bit_cast<std::uint64_t>(d);
        return u32(static_cast<std::uint32_t>(bits)).u32(static_cast<std::uint32_t>(bits >> 32));
    }

    std::string s;
};

}  // namespace wp2::test
