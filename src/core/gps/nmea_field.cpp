// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/nmea_field.h"

#include <climits>
#include <cstdint>
#include <string>

#include "core/base/cformat.h"
#include "core/nav/angles.h"

namespace wp2 {

namespace {

bool isSpace(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Skips white space and a sign; returns the position of the first other character.
std::size_t skipSpaceAndSign(std::u16string_view text, bool& negative) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) {
        ++i;
    }
    negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    return i;
}

// Exact powers of ten that a double holds without rounding.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The common "digits[.digits]" shape. A mantissa below 2^53 and a power of ten
// up to 1e22 are both exact doubles, so one division gives the correctly
// rounded value that strtod would give. Returns false for anything else.
bool fastDecimal(std::u16string_view text, std::size_t i, bool negative, double& out) {
    std::uint64_t mantissa = 0;
    int digits = 0;
    int fraction = 0;
    while (i < text.size() && isDigit(text[i])) {
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(text[i] - u'0');
        ++digits;
        ++i;
        if (digits > 15) {
            return false;
        }
    }
    if (i < text.size() && text[i] == u'.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(text[i] - u'0');
            ++digits;
            ++fraction;
            ++i;
            if (digits > 15) {
                return false;
            }
        }
    }
    if (digits == 0) {
        return false;
    }
    if (i < text.size()) {
        char16_t c = text[i];
        // Exponents and hexadecimal numbers are left to strtod.
        if (c == u'e' || c == u'E' || c == u'x' || c == u'X') {
            return false;
        }
    }
    double value = static_cast<double>(mantissa) / kExactPowers[fraction];
    out = negative ? -value : value;
    return true;
}

}  // namespace

int nmeaIntSlow(std::u16string_view text) {
    bool negative = false;
    std::size_t i = skipSpaceAndSign(text, negative);
    long long value = 0;
    while (i < text.size() && isDigit(text[i])) {
        value = value * 10 + (text[i] - u'0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;
        }
        ++i;
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    return static_cast<int>(value);
}

double nmeaDouble(std::u16string_view text) {
    bool negative = false;
    std::size_t start = skipSpaceAndSign(text, negative);
    double value = 0.0;
    if (fastDecimal(text, start, negative, value)) {
        return value;
    }
    // Anything unusual goes through the C library on a narrow copy; characters
    // outside ASCII cannot be part of a number and stop the conversion.
    std::string narrow(text.size(), '\0');
    for (std::size_t n = 0; n < text.size(); ++n) {
        char16_t c = text[n];
        narrow[n] = c < 0x80 ? static_cast<char>(c) : '?';
    }
    value = 0.0;
    cparseDouble(narrow.c_str(), value);
    return value;
}

std::u16string_view NmeaFields::nextUntilStar() {
    std::size_t start = pos_;
    while (pos_ < line_.size() && line_[pos_] != u',' && line_[pos_] != u'*') {
        ++pos_;
    }
    return line_.substr(start, pos_ - start);
}

std::u16string_view NmeaFields::restUntilStar() {
    std::size_t start = pos_;
    while (pos_ < line_.size() && line_[pos_] != u'*') {
        ++pos_;
    }
    return line_.substr(start, pos_ - start);
}

std::optional<double> readCoordinate(std::u16string_view field, std::u16string_view hemisphere,
                                     const CoordinateRule& rule) {
    if (field.size() >= kMaxNmeaFieldLength) {
        return std::nullopt;
    }
    std::size_t split = static_cast<std::size_t>(rule.degreeDigits);
    if (rule.degreeDigits == 0) {
        std::size_t dot = field.find(u'.');
        if (dot == std::u16string_view::npos) {
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
    const char16_t letter = firstChar(hemisphere);
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

bool hasSentenceType(std::u16string_view line, const char16_t (&type)[4]) {
    return line.size() >= 6 && line[3] == type[0] && line[4] == type[1] && line[5] == type[2];
}

}  // namespace wp2
