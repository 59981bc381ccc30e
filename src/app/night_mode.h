// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The palette choice of the Options menu: Day, Night, or Auto (night from
// sunset to sunrise at the current position). Kept in the "NightOpt" setting,
// which is written only when the user chooses.

#include <cstdint>
#include <ctime>
#include <optional>

#include "ui/night_palette.h"

namespace wp2 {

class Registry;

inline constexpr const char* kNightModeValue = "NightOpt";

class NightMode {
public:
    enum class Choice : std::uint32_t { Day = 0, Night = 1, Auto = 2 };

    // The setting lives in the registry, which must outlive this object.
    explicit NightMode(Registry& registry);
    // Reads the setting; absent or unknown is Day (also before the first load).
    void load();

    Choice choice() const { return choice_; }
    // "Night": from the palette shown now to the other one, kept as Day or Night.
    void toggle(Palette shown);
    // "Auto".
    void chooseAuto();

    struct Position {
        double latitude;  // radians
        double longitude;
    };
    // The palette to show at utc. Auto without a position keeps `shown`.
    Palette paletteAt(std::optional<Position> where, std::time_t utc, Palette shown) const;

private:
    void store(Choice choice);

    Registry& registry_;
    Choice choice_ = Choice::Day;
};

}  // namespace wp2
