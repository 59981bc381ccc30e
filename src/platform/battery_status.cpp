// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/battery_status.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace wp2 {

namespace {

// The first line of a small attribute file, without trailing white space.
std::string readAttribute(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == ' ' || line.back() == '\r')) {
        line.pop_back();
    }
    return line;
}

bool parsePercent(const std::string& text, int& value) {
    if (text.empty() || text.size() > 4) {
        return false;
    }
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        v = v * 10 + (c - '0');
    }
    value = std::clamp(v, 0, 100);
    return true;
}

}  // namespace

std::optional<int> batteryPercent(const std::string& powerSupplyDir) {
    std::error_code ec;
    std::filesystem::directory_iterator it(powerSupplyDir, ec);
    if (ec) {
        return std::nullopt;
    }
    int sum = 0;
    int count = 0;
    for (const auto& entry : it) {
        const std::filesystem::path dir = entry.path();
        if (readAttribute(dir / "type") != "Battery" || readAttribute(dir / "scope") == "Device") {
            continue;
        }
        int percent = 0;
        if (parsePercent(readAttribute(dir / "capacity"), percent)) {
            sum += percent;
            ++count;
        }
    }
    if (count == 0) {
        return std::nullopt;
    }
    return (sum + count / 2) / count;
}

}  // namespace wp2
