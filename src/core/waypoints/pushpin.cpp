// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/waypoints/pushpin.h"

#include "core/base/cformat.h"
#include "core/base/utf.h"

namespace wp2 {

namespace {

// The first character no one can type in the text ("" when it has none).
std::string impossibleText(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const char32_t c = nextCodePoint(text, i);
        if (c == kBadUtf8) {
            return "a text that is not UTF-8";
        }
        if (impossibleCharacter(c)) {
            return characterText(c);
        }
    }
    return "";
}

}  // namespace

bool impossibleCharacter(char32_t c) {
    return (c < 0x20 && c != u'\t' && c != u'\r' && c != u'\n') || c == 0xFFFE || c == 0xFFFF;
}

std::string characterText(char32_t c) {
    return cformat("a text with the character U+%04X", static_cast<unsigned>(c));
}

std::string impossibleTime(const GpsDateTime& t) {
    // A pushpin's time comes from a fix, or is zero.
    if (t.month > 12 || t.day > 31 || t.hour > 23 || t.minute > 59 || t.year > 99 ||
        !(t.seconds >= 0.0 && t.seconds < 61.0)) {
        return cformat("time %02d-%02d-%02d %02d:%02d:%g", t.year, t.month, t.day, t.hour, t.minute,
                       t.seconds);
    }
    return "";
}

std::string impossiblePushpin(const Pushpin& p, ValueRange range) {
    std::string problem = impossibleValue(p, range);
    for (const std::string* text : {&p.name, &p.note}) {
        if (problem.empty()) {
            problem = impossibleText(*text);
        }
    }
    return problem.empty() ? impossibleTime(p.time) : problem;
}

}  // namespace wp2
