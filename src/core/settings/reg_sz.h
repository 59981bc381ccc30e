#pragma once
// Text in registry values. REG_SZ data is UTF-16LE with its terminating zero
// included in the size; the rest of the program keeps text as UTF-8.

#include <cstdint>
#include <string>
#include <vector>

namespace wp2 {

// UTF-8 to UTF-16. Malformed sequences become U+FFFD; ok (when given) tells
// whether the input was well-formed.
std::u16string utf8ToUtf16(const std::string& text, bool* ok = nullptr);
// UTF-16 to UTF-8. Unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(const std::u16string& text);

// REG_SZ data for text: (length + 1) * 2 bytes, terminating zero included.
std::vector<std::uint8_t> encodeRegSz(const std::u16string& text);
std::vector<std::uint8_t> encodeRegSz(const std::string& utf8);
// The text of REG_SZ data: up to the first zero character, or all of it when
// the data has none (a trailing odd byte is ignored).
std::u16string decodeRegSz(const std::vector<std::uint8_t>& data);

}  // namespace wp2
