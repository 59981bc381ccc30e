// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Locale-independent printf-style formatting and number parsing.
// The program's number texts must not change with the desktop's locale
// (a German desktop still prints "12.5"), and Qt sets the C locale from the
// environment at start-up, so plain snprintf/strtod are not safe here.

#include <cstdarg>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace wp2 {

// printf into a std::string using the "C" locale.
std::string cformat(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string vcformat(const char* fmt, va_list args);

// strtod in the "C" locale. Returns the number of characters consumed
// (0 when no number could be read), like the end pointer of strtod.
std::size_t cparseDouble(const char* text, double& out);

// The whole text as a decimal number, the way files of other programs write
// them (xsd:decimal and xsd:double): a sign, digits with an optional point
// and an optional exponent. Nothing for anything else: a decimal comma,
// trailing characters ("10.5.5"), hexadecimal ("0x1p3"), "inf", "nan",
// blanks, or a value beyond the range of a double.
std::optional<double> parseNumber(std::string_view text);

}  // namespace wp2
