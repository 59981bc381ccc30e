// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace wp2::test {

// How often `part` occurs in `text`, overlapping occurrences included.
inline int countOf(const std::string& text, const std::string& part) {
    int n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

}  // namespace wp2::test
