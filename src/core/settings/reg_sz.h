// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text in registry values. REG_SZ data is UTF-16LE with its terminating zero
// included in the size; the rest of the program keeps text as UTF-8.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wp2 {

// UTF-8 to UTF-16. Malformed sequences become U+FFFD; ok (when given) tells
// whether the input was well-formed.
std::u16string utf8ToUtf16(const std::string& text, bool* ok = nullptr);
// UTF-16 to UTF-8. Unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(const std::u16string& text);

// REG_SZ data for text: (length + 1) * 2 bytes, terminating zero included.
std::vector<std::uint8_t> encodeRegSz(const std::u16string& text);
// From UTF-8 directly (malformed sequences as utf8ToUtf16() takes them).
std::vector<std::uint8_t> encodeRegSz(std::string_view utf8, bool* ok = nullptr);
// The text of REG_SZ data: up to the first zero character, or all of it when
// the data has none (a trailing odd byte is ignored).
std::u16string decodeRegSz(const std::vector<std::uint8_t>& data);
// The length in UTF-16 units of that text, and the text as UTF-8, read
// straight from the data (a large value is not copied as UTF-16 first).
std::size_t regSzLength(const std::vector<std::uint8_t>& data);
std::string regSzToUtf8(const std::vector<std::uint8_t>& data);

}  // namespace wp2
