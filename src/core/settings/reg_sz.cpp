// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/reg_sz.h"

#include "core/base/utf.h"

namespace wp2 {

namespace {

char16_t unitAt(const std::uint8_t* data, std::size_t i) {
    return static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
}

}  // namespace

std::vector<std::uint8_t> encodeRegSz(std::string_view utf8, bool* ok) {
    const std::u16string text = toUtf16(utf8, ok);
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

std::size_t regSzLength(const std::vector<std::uint8_t>& data) {
    std::size_t n = 0;
    while (2 * n + 1 < data.size() && unitAt(data.data(), n) != 0) {
        ++n;
    }
    return n;
}

std::string regSzToUtf8(const std::vector<std::uint8_t>& data) {
    return utf16LeToUtf8(data.data(), regSzLength(data));
}

std::string utf16LeToUtf8(const std::uint8_t* data, std::size_t units) {
    std::u16string text(units, u'\0');
    for (std::size_t i = 0; i < units; ++i) {
        text[i] = unitAt(data, i);
    }
    return toUtf8(text);
}

}  // namespace wp2
