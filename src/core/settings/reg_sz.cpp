// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/reg_sz.h"

#include <utility>

namespace wp2 {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes one UTF-8 sequence at text[i]; advances i. Returns kReplacement and
// clears ok for malformed, overlong or surrogate sequences.
char32_t nextCodePoint(std::string_view text, std::size_t& i, bool& ok) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char b0 = byte(i);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    std::size_t len = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1F, minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0F, minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07, minimum = 0x10000;
    } else {
        ++i;
        ok = false;
        return kReplacement;
    }
    std::size_t k = 1;
    for (; k < len; ++k) {
        if (i + k >= text.size() || (byte(i + k) & 0xC0) != 0x80) {
            break;
        }
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (k < len) {
        i += k;
        ok = false;
        return kReplacement;
    }
    i += len;
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ok = false;
        return kReplacement;
    }
    return cp;
}

// Hands each UTF-16 unit of the UTF-8 text to put(); false when a sequence
// was malformed (it comes out as U+FFFD).
template <typename Put>
bool forEachUtf16Unit(std::string_view text, Put put) {
    bool good = true;
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = nextCodePoint(text, i, good);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            put(static_cast<char16_t>(0xD800 + (cp >> 10)));
            put(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            put(static_cast<char16_t>(cp));
        }
    }
    return good;
}

// UTF-8 of `size` UTF-16 units, unit(i) giving each.
template <typename Unit>
std::string toUtf8(std::size_t size, Unit unit) {
    std::string out;
    out.reserve(size);
    for (std::size_t i = 0; i < size; ++i) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < size && unit(i + 1) >= 0xDC00 &&
            unit(i + 1) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        appendUtf8(out, c);
    }
    return out;
}

char16_t regSzUnit(const std::vector<std::uint8_t>& data, std::size_t i) {
    return static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
}

}  // namespace

std::u16string utf8ToUtf16(const std::string& text, bool* ok) {
    std::u16string out;
    out.reserve(text.size());
    const bool good = forEachUtf16Unit(text, [&out](char16_t unit) { out.push_back(unit); });
    if (ok) {
        *ok = good;
    }
    return out;
}

std::string utf16ToUtf8(const std::u16string& text) {
    return toUtf8(text.size(), [&](std::size_t i) { return text[i]; });
}

std::vector<std::uint8_t> encodeRegSz(const std::u16string& text) {
    std::vector<std::uint8_t> data;
    data.reserve((text.size() + 1) * 2);
    for (char16_t c : text) {
        data.push_back(static_cast<std::uint8_t>(c & 0xFF));
        data.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    data.push_back(0);
    data.push_back(0);
    return data;
}

std::vector<std::uint8_t> encodeRegSz(std::string_view utf8, bool* ok) {
    std::vector<std::uint8_t> data;
    data.reserve((utf8.size() + 1) * 2);
    const auto put = [&data](char16_t unit) {
        data.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        data.push_back(static_cast<std::uint8_t>(unit >> 8));
    };
    const bool good = forEachUtf16Unit(utf8, put);
    put(0);
    if (ok) {
        *ok = good;
    }
    return data;
}

std::size_t regSzLength(const std::vector<std::uint8_t>& data) {
    std::size_t n = 0;
    while (2 * n + 1 < data.size() && regSzUnit(data, n) != 0) {
        ++n;
    }
    return n;
}

std::string regSzToUtf8(const std::vector<std::uint8_t>& data) {
    return toUtf8(regSzLength(data), [&](std::size_t i) { return regSzUnit(data, i); });
}

std::u16string decodeRegSz(const std::vector<std::uint8_t>& data) {
    std::u16string text(regSzLength(data), u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = regSzUnit(data, i);
    }
    return text;
}

}  // namespace wp2
