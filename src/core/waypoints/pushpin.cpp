// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/waypoints/pushpin.h"

#include "core/base/cformat.h"

namespace wp2 {

namespace {

// A character no one can type into a name or note: control characters other
// than tab and line ends, halves of surrogate pairs standing alone, and the
// two non-characters at the end of the plane. "" when the text has none.
std::string impossibleCharacter(const std::u16string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool high = c >= 0xD800 && c < 0xDC00;
        const bool low = c >= 0xDC00 && c < 0xE000;
        if ((c < 0x20 && c != u'\t' && c != u'\r' && c != u'\n') || c >= 0xFFFE ||
            (high && (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] >= 0xE000)) ||
            (low && (i == 0 || text[i - 1] < 0xD800 || text[i - 1] >= 0xDC00))) {
            return characterText(c);
        }
    }
    return "";
}

}  // namespace

std::string characterText(char16_t c) {
    return cformat("a text with the character U+%04X", static_cast<unsigned>(c));
}

std::string impossiblePushpin(const Pushpin& p, ValueRange range) {
    std::string problem = impossibleValue(p, range);
    for (const std::u16string* text : {&p.name, &p.note}) {
        if (problem.empty()) {
            problem = impossibleCharacter(*text);
        }
    }
    // A pushpin's time comes from a fix, or is zero.
    const GpsDateTime& t = p.time;
    if (problem.empty() && (t.month > 12 || t.day > 31 || t.hour > 23 || t.minute > 59 ||
                            t.year > 99 || !(t.seconds >= 0.0 && t.seconds < 61.0))) {
        problem = cformat("time %02d-%02d-%02d %02d:%02d:%g", t.year, t.month, t.day, t.hour,
                          t.minute, t.seconds);
    }
    return problem;
}

}  // namespace wp2
