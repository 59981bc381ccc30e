// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turns SI values (m/s, metres) into the texts shown in the user's unit system
// and reads typed values back. All texts are locale-independent.

#include <cstdint>
#include <string>

#include "core/nav/unit_system.h"

namespace wp2 {

// A number text and its unit label, kept apart so panels can draw them separately.
struct FormattedValue {
    std::string text;
    std::string label;

    bool operator==(const FormattedValue&) const = default;
};

class UnitFormatter {
public:
    // The formatter's own codes for the current system. Every operation checks
    // for kMetric or kUs and treats any other code as nautical.
    static constexpr std::int32_t kMetric = 1;
    static constexpr std::int32_t kNautical = 2;
    static constexpr std::int32_t kUs = 3;

    UnitFormatter() = default;

    std::int32_t code() const { return code_; }
    // Applies a stored UnitSystem value: 0 U.S., 1 Metric, 2 Nautical; any other
    // value leaves the current system as it is.
    void setSystem(std::int32_t storedValue);
    void setSystem(UnitSystem system) { setSystem(static_cast<std::int32_t>(system)); }

    FormattedValue formatSpeed(double metresPerSecond) const;
    FormattedValue formatDistance(double metres) const;
    FormattedValue formatAltitude(double metres) const;
    // Number text, one space, label.
    std::string formatDistanceWithUnit(double metres) const;
    std::string formatAltitudeWithUnit(double metres) const;

    // Read a number typed in the current unit. The whole text must be the
    // number (leading white space allowed); on failure out is left untouched.
    bool parseSpeed(const std::string& text, double& metresPerSecond) const;
    bool parseAltitude(const std::string& text, double& metres) const;

private:
    std::int32_t code_ = kMetric;
};

}  // namespace wp2
