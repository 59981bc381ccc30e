// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The DOP and active-satellites sentence (GSA): fix type, the satellites
// used in the fix and the three dilutions of precision. The values of the
// last accepted sentence stay until the next.

#include <array>
#include <string_view>

namespace wp2 {

class GsaDecoder {
public:
    // True when the line is a GSA sentence with a known fix type; only then
    // are the values replaced.
    bool decode(std::string_view line);

    // Number of non-zero satellite numbers.
    int usedCount() const;

    int fixType = 0;  // 0 none, 2 two-dimensional, 3 three-dimensional
    std::array<int, 12> satellites{};
    double pdop = 0.0;
    double hdop = 0.0;
    double vdop = 0.0;
};

}  // namespace wp2
