// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one converter between the program's text (UTF-8) and UTF-16, which
// only the pushpin file and the settings values store.
//
// Bad input, both ways, becomes U+FFFD rather than being dropped:
// - UTF-8: a byte that cannot start a sequence is one bad sequence; a lead
//   byte with fewer continuation bytes than it announces is one bad sequence
//   together with those it has; an overlong form, a surrogate or a value
//   beyond U+10FFFF is one bad sequence of its whole length.
// - UTF-16: a surrogate that is not half of a high-low pair.
// A zero character is a character like any other.

#include <cstddef>
#include <string>
#include <string_view>

namespace wp2 {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;
// What nextCodePoint gives for a bad sequence.
inline constexpr char32_t kBadUtf8 = 0xFFFFFFFF;

// The code point of the UTF-8 sequence at text[at] (at < text.size()); `at`
// moves past the sequence, good or bad (see above).
char32_t nextCodePoint(std::string_view text, std::size_t& at);
void appendUtf8(std::string& out, char32_t c);

// UTF-16 of UTF-8. wellFormed (when given) tells whether no sequence was bad.
std::u16string toUtf16(std::string_view utf8, bool* wellFormed = nullptr);
// The same into `out`, reusing its memory; false when a sequence was bad.
bool toUtf16(std::string_view utf8, std::u16string& out);
// The number of UTF-16 units toUtf16 makes.
std::size_t utf16Length(std::string_view utf8);
// The UTF-8 text with bad sequences replaced, cut before the first character
// that would take its UTF-16 form past maxUnits units.
std::string wellFormedUtf8(std::string_view utf8, std::size_t maxUnits = std::string::npos);

// UTF-8 of UTF-16 into `out`, reusing its memory. Returns the index of the
// first unpaired surrogate, npos when there is none.
std::size_t toUtf8(std::u16string_view text, std::string& out);
std::string toUtf8(std::u16string_view text);

// ISO-8859-1: each byte is the character of that value.
std::string latin1ToUtf8(std::string_view bytes);
// The low byte of each of the first maxUnits UTF-16 units (ISO-8859-1 for the
// characters it has, and so the inverse of latin1ToUtf8).
std::string utf16LowBytes(std::string_view utf8, std::size_t maxUnits = std::string::npos);

}  // namespace wp2
