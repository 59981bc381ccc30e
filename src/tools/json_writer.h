// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The --json output of the commands: one object on one line, its members in
// the order they are added. Texts are UTF-8 and pass through as they are;
// quotes, backslashes and control characters are escaped, and each sequence
// that is not UTF-8 becomes U+FFFD so the line stays valid JSON. Numbers are written
// in the shortest form that reads back as the same double; a number that is
// not finite is null.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wp2::tool {

// The quoted, escaped JSON string of a text.
std::string jsonString(std::string_view text);

class JsonObject {
public:
    JsonObject& add(const char* key, std::string_view text);
    JsonObject& add(const char* key, const char* text) { return add(key, std::string_view(text)); }
    JsonObject& add(const char* key, double number);
    JsonObject& add(const char* key, std::int64_t number);
    JsonObject& add(const char* key, int number) { return add(key, std::int64_t{number}); }
    JsonObject& add(const char* key, bool value);
    // A number, or null when absent.
    JsonObject& add(const char* key, const std::optional<double>& number);
    // A member whose value is already JSON (an object, an array).
    JsonObject& addJson(const char* key, const std::string& json);

    std::string text() const { return out_ + "}"; }

private:
    JsonObject& member(const char* key, const std::string& json);
    std::string out_ = "{";
};

}  // namespace wp2::tool
