// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the comma-separated fields of one NMEA line (bytes) and converting
// them the way the C library's atoi and strtod would in the C locale: leading
// white space, an optional sign, as many characters as form a number; an
// empty or non-numeric text gives 0.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <string_view>

namespace wp2 {

// White space as atoi and strtod skip it in the C locale.
inline bool isCSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Integer value of any text (white space, a sign, digits of any length);
// saturates at the int range.
int nmeaIntOfText(std::string_view text);

// An integer field read a character at a time, as its end is looked for: a
// sentence has dozens of them. Up to four plain digits, what receivers send
// (an empty field included), give their value here; any other text goes to
// nmeaIntOfText.
class InlineInt {
public:
    void add(char c) {
        const unsigned digit = static_cast<unsigned char>(c) - unsigned{'0'};
        plain_ &= digit <= 9;
        value_ = value_ * 10 + digit;
    }
    // nmeaInt of text, the characters added.
    int value(std::string_view text) const {
        return plain_ && text.size() <= 4 ? static_cast<int>(value_) : nmeaIntOfText(text);
    }

private:
    unsigned value_ = 0;
    bool plain_ = true;
};

// Integer value of a text; saturates at the int range.
inline int nmeaInt(std::string_view text) {
    if (text.size() > 4) {
        return nmeaIntOfText(text);
    }
    InlineInt number;
    for (const char c : text) {
        number.add(c);
    }
    return number.value(text);
}

// Floating value of a text, exactly as strtod in the C locale reads it.
double nmeaDouble(std::string_view text);

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
inline std::string_view clip(std::string_view text, std::size_t pos,
                             std::size_t n = std::string_view::npos) {
    return pos >= text.size() ? std::string_view() : text.substr(pos, n);
}

// Where c first occurs in text from pos on, or the size of text.
inline std::size_t findFrom(std::string_view text, std::size_t pos, char c) {
    if (pos >= text.size()) {
        return text.size();
    }
    const void* hit = std::memchr(text.data() + pos, c, text.size() - pos);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data())
               : text.size();
}

// Walks the fields of a line from a start position.
class NmeaFields {
public:
    NmeaFields(std::string_view line, std::size_t start) : line_(line), pos_(start) {}

    // The text up to the next "," (or the end of the line); moves past the
    // ",". Fields are short: std::find beats a call to memchr here.
    std::string_view next() {
        const std::size_t start = pos_ < line_.size() ? pos_ : line_.size();
        const char* const end = line_.data() + line_.size();
        pos_ = static_cast<std::size_t>(std::find(line_.data() + start, end, ',') - line_.data());
        std::string_view field = line_.substr(start, pos_ - start);
        skip();
        return field;
    }
    // The next field as nmeaInt reads it, read in the pass that finds its end.
    int nextInt() {
        const std::size_t start = pos_ < line_.size() ? pos_ : line_.size();
        InlineInt number;
        for (pos_ = start; pos_ < line_.size() && line_[pos_] != ','; ++pos_) {
            number.add(line_[pos_]);
        }
        const std::string_view field = line_.substr(start, pos_ - start);
        skip();
        return number.value(field);
    }
    // The text up to the next "," or "*" (or the end), without moving past the stop character.
    std::string_view nextUntilStar();
    // The text up to the next "*" (or the end), without moving past it.
    std::string_view restUntilStar();
    // The character at the read position, 0 at the end of the line.
    char peek() const { return pos_ < line_.size() ? line_[pos_] : '\0'; }
    bool atEnd() const { return pos_ >= line_.size(); }
    void skip() {
        if (pos_ < line_.size()) {
            ++pos_;
        }
    }

private:
    std::string_view line_;
    std::size_t pos_;
};

// First character of a field, 0 when it is empty.
inline char firstChar(std::string_view field) {
    return field.empty() ? '\0' : field.front();
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
    char positive;          // 'N' or 'E'
    char negative;          // 'S' or 'W'
    int degreeDigits;       // leading degree characters; 0: the degrees end two
                            // characters before a "." that the field must have
    int maxWholeDegrees;    // whole degrees must lie in 0..this; -1: not checked
    bool minutesChecked;    // minutes must lie in 0..60 (60 itself included)
    double maxDegrees;      // the value must lie in 0..this; negative: not checked
    Hemisphere hemisphere;  // with Strict, an empty hemisphere passes only with an empty field
};

// Signed degrees of a coordinate field, or none when the rule refuses it.
// Fields of 20 or more characters are refused.
std::optional<double> readCoordinate(std::string_view field, std::string_view hemisphere,
                                     const CoordinateRule& rule);

// Whether characters 3 to 5 of a line are the three letters of a sentence type.
inline bool hasSentenceType(std::string_view line, std::string_view type) {
    return line.size() >= 6 && line.substr(3, 3) == type;
}

}  // namespace wp2
