// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/json_writer.h"

#include <cmath>

#include "core/base/cformat.h"
#include "core/gpx/gpx_writer.h"

namespace wp2::tool {

namespace {

// The length of the UTF-8 sequence at the start of `s`; 0 when it is not one
// (a stray continuation byte, a cut sequence, an overlong form, a surrogate).
std::size_t utf8Length(std::string_view s) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b = byte(0);
    const std::size_t n = b < 0x80                ? 1
                          : b >= 0xC2 && b < 0xE0 ? 2
                          : b >= 0xE0 && b < 0xF0 ? 3
                          : b >= 0xF0 && b < 0xF5 ? 4
                                                  : 0;
    if (n == 0 || n > s.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < n; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
    }
    const bool overlong = (b == 0xE0 && byte(1) < 0xA0) || (b == 0xF0 && byte(1) < 0x90);
    const bool outside = (b == 0xED && byte(1) >= 0xA0) || (b == 0xF4 && byte(1) >= 0x90);
    return overlong || outside ? 0 : n;
}

}  // namespace

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    while (!text.empty()) {
        const unsigned char c = static_cast<unsigned char>(text[0]);
        std::size_t n = utf8Length(text);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c == 0x7F) {
            out += cformat("\\u%04x", c);
        } else if (n == 0) {
            out += "\\ufffd";
            n = 1;
        } else {
            out.append(text.substr(0, n));
        }
        text.remove_prefix(n == 0 ? 1 : n);
    }
    return out + "\"";
}

JsonObject& JsonObject::member(const char* key, const std::string& json) {
    if (out_.size() > 1) {
        out_ += ',';
    }
    out_ += jsonString(key) + ':' + json;
    return *this;
}

JsonObject& JsonObject::add(const char* key, std::string_view text) {
    return member(key, jsonString(text));
}

JsonObject& JsonObject::add(const char* key, double number) {
    return member(key, std::isfinite(number) ? gpxNumber(number) : "null");
}

JsonObject& JsonObject::add(const char* key, std::int64_t number) {
    return member(key, std::to_string(number));
}

JsonObject& JsonObject::add(const char* key, bool value) {
    return member(key, value ? "true" : "false");
}

JsonObject& JsonObject::add(const char* key, const std::optional<double>& number) {
    return number ? add(key, *number) : member(key, "null");
}

JsonObject& JsonObject::addJson(const char* key, const std::string& json) {
    return member(key, json);
}

}  // namespace wp2::tool
