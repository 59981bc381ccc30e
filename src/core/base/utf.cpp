// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/utf.h"

#include <algorithm>

namespace wp2 {

namespace {

bool isHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool isLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Hands each UTF-16 unit of the UTF-8 text to put(); false when a sequence
// was bad (it comes out as U+FFFD).
template <typename Put>
bool forEachUtf16Unit(std::string_view text, Put put) {
    bool good = true;
    for (std::size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            put(static_cast<char16_t>(text[i++]));
            continue;
        }
        char32_t c = nextCodePoint(text, i);
        if (c == kBadUtf8) {
            good = false;
            c = kReplacementCharacter;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            put(static_cast<char16_t>(0xD800 + (c >> 10)));
            put(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            put(static_cast<char16_t>(c));
        }
    }
    return good;
}

// Writes c as UTF-8 at `at`; returns the end.
char* putUtf8(char* at, char32_t c) {
    if (c < 0x80) {
        *at++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *at++ = static_cast<char>(0xC0 | (c >> 6));
        *at++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *at++ = static_cast<char>(0xE0 | (c >> 12));
        *at++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *at++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *at++ = static_cast<char>(0xF0 | (c >> 18));
        *at++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *at++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *at++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return at;
}

}  // namespace

char32_t nextCodePoint(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    std::size_t length = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, c = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, c = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, c = lead & 0x07, minimum = 0x10000;
    } else {
        ++at;
        return kBadUtf8;
    }
    std::size_t k = 1;
    for (; k < length && at + k < text.size() && (byte(at + k) & 0xC0) == 0x80; ++k) {
        c = (c << 6) | (byte(at + k) & 0x3F);
    }
    at += k;
    if (k < length || c < minimum || c > 0x10FFFF || isHighSurrogate(c) || isLowSurrogate(c)) {
        return kBadUtf8;
    }
    return c;
}

void appendUtf8(std::string& out, char32_t c) {
    char bytes[4];
    out.append(bytes, static_cast<std::size_t>(putUtf8(bytes, c) - bytes));
}

std::u16string toUtf16(std::string_view utf8, bool* wellFormed) {
    std::u16string out;
    const bool good = toUtf16(utf8, out);
    if (wellFormed) {
        *wellFormed = good;
    }
    return out;
}

bool toUtf16(std::string_view utf8, std::u16string& out) {
    // At most one unit a byte (a four-byte sequence makes two).
    out.resize(utf8.size());
    char16_t* at = out.data();
    const bool good = forEachUtf16Unit(utf8, [&at](char16_t unit) { *at++ = unit; });
    out.resize(static_cast<std::size_t>(at - out.data()));
    return good;
}

std::size_t utf16Length(std::string_view utf8) {
    std::size_t n = 0;
    forEachUtf16Unit(utf8, [&n](char16_t) { ++n; });
    return n;
}

std::string wellFormedUtf8(std::string_view utf8, std::size_t maxUnits) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t units = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = nextCodePoint(utf8, i);
        if (c == kBadUtf8) {
            c = kReplacementCharacter;
        }
        units += c >= 0x10000 ? 2 : 1;
        if (units > maxUnits) {
            break;
        }
        appendUtf8(out, c);
    }
    return out;
}

std::size_t toUtf8(std::u16string_view text, std::string& out) {
    // At most three bytes a unit (a surrogate pair, two units, makes four).
    out.resize(text.size() * 3);
    char* at = out.data();
    std::size_t unpaired = std::string::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c < 0x80) {
            *at++ = static_cast<char>(c);
            continue;
        }
        if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
            unpaired = std::min(unpaired, i);
            c = kReplacementCharacter;
        }
        at = putUtf8(at, c);
    }
    out.resize(static_cast<std::size_t>(at - out.data()));
    return unpaired;
}

std::string toUtf8(std::u16string_view text) {
    std::string out;
    toUtf8(text, out);
    return out;
}

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char b : bytes) {
        appendUtf8(out, static_cast<unsigned char>(b));
    }
    return out;
}

std::string utf16LowBytes(std::string_view utf8, std::size_t maxUnits) {
    std::string out;
    forEachUtf16Unit(utf8, [&](char16_t unit) {
        if (out.size() < maxUnits) {
            out.push_back(static_cast<char>(unit & 0xFF));
        }
    });
    return out;
}

}  // namespace wp2
