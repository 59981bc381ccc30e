// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/screen_choices.h"

#include <climits>
#include <cstdlib>

#include "core/base/cformat.h"

namespace wp2 {

namespace {

// atoi without its undefined behaviour on overflow: out-of-range values clamp.
int toInt(const std::string& piece) {
    const long long v = std::strtoll(piece.c_str(), nullptr, 10);
    if (v > INT_MAX) {
        return INT_MAX;
    }
    return v < INT_MIN ? INT_MIN : static_cast<int>(v);
}

}  // namespace

std::vector<ScreenChoice> ScreenChoices::parse(const std::string& stored) {
    const std::string text = stored.substr(0, kMaxText);
    std::vector<int> numbers;
    std::size_t pos = 0;
    while (pos < text.size() && numbers.size() < kMaxNumbers) {
        const std::size_t comma = text.find(',', pos);
        const std::size_t end = comma == std::string::npos ? text.size() : comma;
        if (end > pos) {
            numbers.push_back(toInt(text.substr(pos, end - pos)));
        }
        pos = end + 1;
    }
    std::vector<ScreenChoice> choices;
    for (std::size_t i = 0; i + 1 < numbers.size(); i += 2) {
        choices.emplace_back(numbers[i], numbers[i + 1]);
    }
    return choices;
}

std::string ScreenChoices::format(const std::vector<ScreenChoice>& choices) {
    std::string text;
    for (const ScreenChoice& c : choices) {
        text += cformat("%d,%d,", c.first, c.second);
    }
    if (!text.empty()) {
        text.pop_back();
    }
    return text;
}

}  // namespace wp2
