// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/json_writer.h"

#include <cmath>

#include "core/base/cformat.h"
#include "core/base/utf.h"
#include "core/gpx/gpx_writer.h"

namespace wp2::tool {

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const char32_t c = nextCodePoint(text, at);
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
            out += cformat("\\u%04x", static_cast<unsigned>(c));
        } else {
            appendUtf8(out, c == kBadUtf8 ? kReplacementCharacter : c);
        }
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
