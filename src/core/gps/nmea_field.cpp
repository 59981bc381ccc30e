// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/nmea_field.h"

#include <charconv>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>

#include "core/base/cformat.h"
#include "core/nav/angles.h"

namespace wp2 {

namespace {

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The first character after atoi's and strtod's leading white space.
const char* skipSpace(const char* p, const char* end) {
    while (p != end && isCSpace(*p)) {
        ++p;
    }
    return p;
}

// c - '0': 0 to 9 for a digit, more for any other character.
unsigned digitOf(char c) {
    return static_cast<unsigned char>(c) - unsigned{'0'};
}

// Adds the digits from p on to value (ten times value plus the digit, each
// in turn); returns where they end.
const char* readDigits(const char* p, const char* end, std::uint64_t& value) {
    for (; p != end && digitOf(*p) <= 9; ++p) {
        value = value * 10 + digitOf(*p);
    }
    return p;
}

// A text that is only digits with at most one point ("4807.038", the shape
// receivers send), read without from_chars: when the digits' value is at most
// 2^53 it is an exact double, as is every power of ten up to 10^22 (at most 19
// digits, so at most 19 decimals), and the one division rounds the exact value
// as strtod does.
// Nothing for any other text.
std::optional<double> plainDecimal(const char* p, const char* end) {
    static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,
                                              1e7,  1e8,  1e9,  1e10, 1e11, 1e12, 1e13,
                                              1e14, 1e15, 1e16, 1e17, 1e18, 1e19};
    constexpr std::uint64_t kExactLimit = std::uint64_t{1} << 53;
    // The whole digits, then those after the point. Past 19 digits the value
    // may wrap, but such a text is refused anyway.
    std::uint64_t value = 0;
    const char* const point = readDigits(p, end, value);
    const char* const last =
        point != end && *point == '.' ? readDigits(point + 1, end, value) : point;
    const std::ptrdiff_t decimals = last == point ? 0 : last - point - 1;
    const std::ptrdiff_t digits = (point - p) + decimals;
    if (last != end || digits == 0 || digits > 19 || value > kExactLimit) {
        return std::nullopt;
    }
    return static_cast<double>(value) / kPowersOfTen[decimals];
}

}  // namespace

int nmeaIntOfText(std::string_view text) {
    const char* p = skipSpace(text.data(), text.data() + text.size());
    const char* const end = text.data() + text.size();
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+')) {
        ++p;
    }
    // The digits as an unsigned number; a second sign is no number (from_chars
    // refuses it and leaves 0).
    unsigned magnitude = 0;
    const bool huge = std::from_chars(p, end, magnitude).ec == std::errc::result_out_of_range;
    if (negative) {
        return huge || magnitude > 1u + INT_MAX ? INT_MIN : static_cast<int>(0u - magnitude);
    }
    return huge || magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}

double nmeaDouble(std::string_view text) {
    const char* end = text.data() + text.size();
    const char* p = skipSpace(text.data(), end);
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+')) {
        ++p;
    }
    if (p == end || *p == '-' || *p == '+') {
        return 0.0;
    }
    if (const std::optional<double> plain = plainDecimal(p, end)) {
        return negative ? -*plain : *plain;
    }
    double value = 0.0;
    std::from_chars_result read{};
    if (end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        // strtod reads hexadecimal after "0x"; with no hex digit after it, the "0" alone.
        const char* digits = p + 2;
        if (digits != end && (isHexDigit(*digits) || *digits == '.')) {
            read = std::from_chars(digits, end, value, std::chars_format::hex);
        }
    } else {
        read = std::from_chars(p, end, value);
    }
    if (read.ec == std::errc::invalid_argument) {
        return 0.0;  // no number at all, so no sign either
    }
    if (read.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone where strtod gives an infinity,
        // the nearest subnormal or zero: strtod reads these few itself.
        const std::string number(text.data(), static_cast<std::size_t>(read.ptr - text.data()));
        cparseDouble(number.c_str(), value);
        return value;
    }
    return negative ? -value : value;
}

std::string_view NmeaFields::nextUntilStar() {
    const std::size_t start = pos_;
    while (pos_ < line_.size() && line_[pos_] != ',' && line_[pos_] != '*') {
        ++pos_;
    }
    return line_.substr(start, pos_ - start);
}

std::string_view NmeaFields::restUntilStar() {
    const std::size_t start = pos_;
    pos_ = findFrom(line_, pos_, '*');
    return line_.substr(start, pos_ - start);
}

std::optional<double> readCoordinate(std::string_view field, std::string_view hemisphere,
                                     const CoordinateRule& rule) {
    if (field.size() >= kMaxNmeaFieldLength) {
        return std::nullopt;
    }
    std::size_t split = static_cast<std::size_t>(rule.degreeDigits);
    if (rule.degreeDigits == 0) {
        std::size_t dot = field.find('.');
        if (dot == std::string_view::npos) {
            return std::nullopt;
        }
        split = dot >= 2 ? dot - 2 : 0;
    }
    const int degrees = nmeaInt(clip(field, 0, split));
    const double minutes = nmeaDouble(clip(field, split));
    if (rule.minutesChecked && !(minutes >= 0.0 && minutes <= 60.0)) {
        return std::nullopt;
    }
    if (rule.maxWholeDegrees >= 0 && (degrees < 0 || degrees > rule.maxWholeDegrees)) {
        return std::nullopt;
    }
    double value = degreesFromDegMin(degrees, minutes);
    if (rule.maxDegrees >= 0.0 && !(value >= 0.0 && value <= rule.maxDegrees)) {
        return std::nullopt;
    }
    const char letter = firstChar(hemisphere);
    switch (rule.hemisphere) {
        case Hemisphere::NegateUnlessPositive:
            return letter == rule.positive ? value : -value;
        case Hemisphere::NegateOnlyNegative:
            return letter == rule.negative ? -value : value;
        case Hemisphere::Strict:
            if (hemisphere.size() > 1 || (hemisphere.empty() && !field.empty())) {
                return std::nullopt;
            }
            if (letter == rule.negative) {
                return -value;
            }
            if (letter == rule.positive || hemisphere.empty()) {
                return value;
            }
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace wp2
