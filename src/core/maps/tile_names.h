// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How tiles are named in a {z}/{x}/{y}.png folder: whole numbers for the
// zoom, column and row folders and files, and the picture extensions found.

#include <optional>
#include <string>
#include <string_view>

namespace wp2 {

inline constexpr const char* kTileExtensions[] = {"png", "jpg", "jpeg", "webp"};

// A non-negative whole number written in decimal digits only.
inline std::optional<int> tileNumber(std::string_view name) {
    if (name.empty() || name.size() > 9 || name.find_first_not_of("0123456789") != name.npos) {
        return std::nullopt;
    }
    return std::stoi(std::string(name));
}

// True for ".png" and the other extensions above.
inline bool isTileExtension(std::string_view ext) {
    for (const char* e : kTileExtensions) {
        if (ext.size() > 1 && ext[0] == '.' && ext.substr(1) == e) {
            return true;
        }
    }
    return false;
}

}  // namespace wp2
