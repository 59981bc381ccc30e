#pragma once
// Reading the comma-separated fields of one NMEA line (16-bit characters)
// and converting them the way the C library's atoi and atof would: leading
// white space, an optional sign, as many characters as form a number; an
// empty or non-numeric text gives 0.

#include <cstddef>
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

// Whether characters 3 to 5 of a line are the three letters of a sentence type.
bool hasSentenceType(std::u16string_view line, const char16_t (&type)[4]);

}  // namespace wp2
