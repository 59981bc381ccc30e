// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the comma-separated fields of one NMEA line (16-bit characters)
// and converting them the way the C library's atoi and atof would: leading
// white space, an optional sign, as many characters as form a number; an
// empty or non-numeric text gives 0.

#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string_view>

namespace wp2 {

// Integer value of a text; saturates at the int range.
int nmeaIntSlow(std::u16string_view text);
inline int nmeaInt(std::u16string_view text) {
    // Plain digits (the usual case) are read here; the rest goes the long way.
    unsigned value = 0;
    std::size_t i = 0;
    for (; i < text.size() && i < 9; ++i) {
        unsigned digit = static_cast<unsigned>(text[i]) - u'0';
        if (digit > 9) {
            break;
        }
        value = value * 10 + digit;
    }
    if (i == 0 || (i == 9 && i < text.size())) {
        return nmeaIntSlow(text);
    }
    return static_cast<int>(value);
}
// Floating value of a text, exactly as strtod in the C locale reads it.
double nmeaDouble(std::u16string_view text);

// Whether none of the values is infinite or NaN ("inf", "nan", "1e999"): a
// sentence carrying one is refused, since no fix holds it.
inline bool allFinite(std::initializer_list<double> values) {
    for (const double v : values) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return true;
}

// The part of text from pos on, at most n characters; empty past the end.
inline std::u16string_view clip(std::u16string_view text, std::size_t pos,
                                std::size_t n = std::u16string_view::npos) {
    return pos >= text.size() ? std::u16string_view() : text.substr(pos, n);
}

// Walks the fields of a line from a start position.
class NmeaFields {
public:
    NmeaFields(std::u16string_view line, std::size_t start) : line_(line), pos_(start) {}

    // The text up to the next "," (or the end of the line); moves past the ",".
    std::u16string_view next() {
        std::size_t start = pos_;
        while (pos_ < line_.size() && line_[pos_] != u',') {
            ++pos_;
        }
        std::u16string_view field = line_.substr(start, pos_ - start);
        skip();
        return field;
    }
    // The text up to the next "," or "*" (or the end), without moving past the stop character.
    std::u16string_view nextUntilStar();
    // The text up to the next "*" (or the end), without moving past it.
    std::u16string_view restUntilStar();
    // The character at the read position, 0 at the end of the line.
    char16_t peek() const { return pos_ < line_.size() ? line_[pos_] : u'\0'; }
    bool atEnd() const { return pos_ >= line_.size(); }
    void skip() {
        if (pos_ < line_.size()) {
            ++pos_;
        }
    }

private:
    std::u16string_view line_;
    std::size_t pos_;
};

// First character of a field, 0 when it is empty.
inline char16_t firstChar(std::u16string_view field) {
    return field.empty() ? u'\0' : field.front();
}

// Fields of RMC and GGA sentences this long or longer make the sentence invalid.
inline constexpr std::size_t kMaxNmeaFieldLength = 20;

// How a hemisphere letter signs the angle in front of it.
enum class Hemisphere {
    NegateUnlessPositive,  // anything but the positive letter negates (RMC)
    NegateOnlyNegative,    // only the negative letter negates (GGA)
    Strict,                // the positive or the negative letter, nothing else
};

// How a "ddmm.mmmm" coordinate field and its hemisphere field are read. The
// value is always whole degrees + minutes / 60; the rules say where the
// degrees end and what is refused.
struct CoordinateRule {
    char16_t positive;      // 'N' or 'E'
    char16_t negative;      // 'S' or 'W'
    int degreeDigits;       // leading degree characters; 0: the degrees end two
                            // characters before a "." that the field must have
    int maxWholeDegrees;    // whole degrees must lie in 0..this; -1: not checked
    bool minutesChecked;    // minutes must lie in 0..60 (60 itself included)
    double maxDegrees;      // the value must lie in 0..this; negative: not checked
    Hemisphere hemisphere;  // with Strict, an empty hemisphere passes only with an empty field
};

// Signed degrees of a coordinate field, or none when the rule refuses it.
// Fields of 20 or more characters are refused.
std::optional<double> readCoordinate(std::u16string_view field, std::u16string_view hemisphere,
                                     const CoordinateRule& rule);

// Whether characters 3 to 5 of a line are the three letters of a sentence type.
bool hasSentenceType(std::u16string_view line, const char16_t (&type)[4]);

}  // namespace wp2
