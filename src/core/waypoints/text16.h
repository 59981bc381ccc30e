// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pushpin names and notes are 16-bit texts (the pushpin file stores UTF-16LE).
// 8-bit texts are widened one byte to one character (ISO-8859-1), and the
// exports write the low byte of each character, so the two directions agree.

#include <cstddef>
#include <string>
#include <string_view>

namespace wp2 {

// Each byte becomes one character with the same value.
std::u16string widen(std::string_view bytes);

// The low byte of each of the first maxChars characters.
std::string lowBytes(std::u16string_view text, std::size_t maxChars = std::u16string_view::npos);

// UTF-8 for printing; unpaired surrogates become U+FFFD.
std::string toUtf8(std::u16string_view text);
// The same into `out`, reusing its memory.
void toUtf8(std::u16string_view text, std::string& out);

// UTF-16 from UTF-8; malformed bytes become U+FFFD.
std::u16string fromUtf8(std::string_view text);

}  // namespace wp2
