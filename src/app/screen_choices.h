// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "IOpt" setting: which element each selector of the dashboard shows, as
// comma-separated pairs "selector id,element id".

#include <string>
#include <utility>
#include <vector>

namespace wp2 {

inline constexpr const char* kScreenChoicesValue = "IOpt";

using ScreenChoice = std::pair<int, int>;  // selector id, element id

class ScreenChoices {
public:
    // At most this many characters of the stored text are read...
    static constexpr std::size_t kMaxText = 100;
    // ...and at most this many numbers (five pairs).
    static constexpr std::size_t kMaxNumbers = 10;

    // The complete pairs of the text; an odd last number is dropped. Numbers
    // are read as atoi reads them (anything else counts as 0); empty pieces
    // between commas are skipped.
    static std::vector<ScreenChoice> parse(const std::string& text);
    // "s1,e1,s2,e2,..." without a final comma.
    static std::string format(const std::vector<ScreenChoice>& choices);
};

}  // namespace wp2
