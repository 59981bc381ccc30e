// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text in registry values. REG_SZ data is UTF-16LE with its terminating zero
// included in the size; the rest of the program keeps text as UTF-8.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wp2 {

// REG_SZ data for UTF-8 text: (UTF-16 length + 1) * 2 bytes, terminating zero
// included. Bad sequences become U+FFFD; ok (when given) tells whether there
// was none.
std::vector<std::uint8_t> encodeRegSz(std::string_view utf8, bool* ok = nullptr);
// The length in UTF-16 units of the text of REG_SZ data: up to the first zero
// character, or all of it when the data has none (a trailing odd byte is
// ignored).
std::size_t regSzLength(const std::vector<std::uint8_t>& data);
// That text as UTF-8.
std::string regSzToUtf8(const std::vector<std::uint8_t>& data);
// UTF-8 of `units` UTF-16LE units at `data`, zeros included.
std::string utf16LeToUtf8(const std::uint8_t* data, std::size_t units);

}  // namespace wp2
