// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The names of the pushpin icons, in icon index order, as GPX <sym> carries
// them. Garmin's symbol names (which GPSBabel, BaseCamp and most map programs
// use) where the picture is the same thing, plain names where Garmin has none.

#include <string_view>

namespace wp2 {

inline constexpr int kPushpinIconCount = 59;
// Symbols that name no icon get the icon a new pushpin has.
inline constexpr int kDefaultPushpinIcon = 0;

// The name of icon i; empty for an index outside the table.
std::string_view pushpinIconName(int icon);
// The icon for a symbol name: its own name, then the names other programs
// use for the same thing, then words in it ("Geocache Found" -> geocache),
// letters compared without regard to case; kDefaultPushpinIcon when none fits.
int pushpinIconForSymbol(std::string_view symbol);

}  // namespace wp2
