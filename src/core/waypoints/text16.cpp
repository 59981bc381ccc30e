// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/waypoints/text16.h"

#include <algorithm>

namespace wp2 {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

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

bool isHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool isLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Decodes one UTF-8 sequence at text[i]; advances i past it.
char32_t decodeUtf8(std::string_view text, std::size_t& i) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i++);
    if (lead < 0x80) {
        return lead;
    }
    int extra = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, c = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, c = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, c = lead & 0x07, minimum = 0x10000;
    } else {
        return kReplacement;
    }
    for (int k = 0; k < extra; ++k) {
        if (i >= text.size() || (byte(i) & 0xC0) != 0x80) {
            return kReplacement;
        }
        c = (c << 6) | (byte(i++) & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || isHighSurrogate(c) || isLowSurrogate(c)) {
        return kReplacement;
    }
    return c;
}

}  // namespace

std::u16string widen(std::string_view bytes) {
    std::u16string out(bytes.size(), u'\0');
    std::transform(bytes.begin(), bytes.end(), out.begin(),
                   [](char b) { return static_cast<char16_t>(static_cast<unsigned char>(b)); });
    return out;
}

std::string lowBytes(std::u16string_view text, std::size_t maxChars) {
    std::u16string_view part = text.substr(0, std::min(maxChars, text.size()));
    std::string out(part.size(), '\0');
    std::transform(part.begin(), part.end(), out.begin(),
                   [](char16_t c) { return static_cast<char>(c & 0xFF); });
    return out;
}

std::string toUtf8(std::u16string_view text) {
    std::string out;
    toUtf8(text, out);
    return out;
}

void toUtf8(std::u16string_view text, std::string& out) {
    // At most three bytes a character (a surrogate pair, two characters, makes four).
    out.resize(text.size() * 3);
    char* at = out.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c < 0x80) {
            *at++ = static_cast<char>(c);
            continue;
        }
        if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
            c = kReplacement;
        }
        at = putUtf8(at, c);
    }
    out.resize(static_cast<std::size_t>(at - out.data()));
}

std::u16string fromUtf8(std::string_view text) {
    // At most one UTF-16 unit a byte (a four-byte sequence makes two).
    std::u16string out(text.size(), u'\0');
    char16_t* at = out.data();
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            *at++ = byte;
            ++i;
            continue;
        }
        const char32_t c = decodeUtf8(text, i);
        if (c < 0x10000) {
            *at++ = static_cast<char16_t>(c);
        } else {
            *at++ = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            *at++ = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    out.resize(static_cast<std::size_t>(at - out.data()));
    return out;
}

}  // namespace wp2
