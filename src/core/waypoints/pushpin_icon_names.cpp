// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/waypoints/pushpin_icon_names.h"

#include <array>
#include <cctype>

namespace wp2 {

namespace {

// Icon index order: 8 pins, 7 flags, 11 objects, 16 services, 10 nature
// signs, 5 sights, 2 dangers.
constexpr std::array<std::string_view, kPushpinIconCount> kIconNames = {
    "Pin, Red",
    "Pin, Blue",
    "Pin, Green",
    "Pin, Yellow",
    "Pin, Orange",
    "Pin, Purple",
    "Pin, White",
    "Pin, Cyan",
    "Flag, Red",
    "Flag, Blue",
    "Flag, Green",
    "Flag, Yellow",
    "Flag, Orange",
    "Flag, White",
    "Flag, Checkered",
    "Residence",
    "Car",
    "Geocache",
    "Star",
    "Heart",
    "Unknown Cache",
    "Marina",
    "Target",
    "Anchor",
    "Light",
    "Bridge",
    "Parking Area",
    "Gas Station",
    "Restaurant",
    "Lodging",
    "Telephone",
    "Restroom",
    "Information",
    "Ground Transportation",
    "Train Station",
    "Airport",
    "Coffee Shop",
    "Shopping Center",
    "Bank",
    "Post Office",
    "Car Repair",
    "Medical Facility",
    "Campground",
    "Forest",
    "Fishing Area",
    "Trail Head",
    "Picnic Area",
    "Beach",
    "Mushroom",
    "Summit",
    "Drinking Water",
    "Campfire",
    "Castle",
    "Church",
    "Camera",
    "Museum",
    "Scenic Area",
    "Danger Area",
    "Skull and Crossbones",
};
static_assert(kIconNames.size() == kPushpinIconCount);

struct Alias {
    std::string_view name;
    int icon;
};

// Other programs' names for the same pictures (Garmin, GPSBabel, OsmAnd, Locus).
constexpr Alias kAliases[] = {
    {"Waypoint", 0},
    {"Flag", 8},
    {"House", 15},
    {"Home", 15},
    {"Car Rental", 16},
    {"Geocache Found", 17},
    {"Traditional Cache", 17},
    {"Multi-Cache", 17},
    {"Mystery Cache", 20},
    {"Question", 20},
    {"Boat Ramp", 21},
    {"Dock", 21},
    {"Circle with X", 22},
    {"Crossing", 22},
    {"Anchor Prohibited", 23},
    {"Beacon", 24},
    {"Lighthouse", 24},
    {"Parking", 26},
    {"Fuel", 27},
    {"Fast Food", 28},
    {"Pizza", 28},
    {"Food", 28},
    {"Hotel", 29},
    {"Phone", 30},
    {"Toilet", 31},
    {"Shower", 31},
    {"Info", 32},
    {"Bus", 33},
    {"Bus Station", 33},
    {"Train", 34},
    {"Railway", 34},
    {"Heliport", 35},
    {"Private Field", 35},
    {"Soft Field", 35},
    {"Seaplane Base", 35},
    {"Bar", 36},
    {"Coffee", 36},
    {"Cafe", 36},
    {"Convenience Store", 37},
    {"Department Store", 37},
    {"Shop", 37},
    {"ATM", 38},
    {"Post", 39},
    {"Wrecker", 40},
    {"Pharmacy", 41},
    {"Hospital", 41},
    {"First Aid", 41},
    {"Camping", 42},
    {"RV Park", 42},
    {"Park", 43},
    {"Tree", 43},
    {"Fishing Hot Spot Facility", 44},
    {"Hiking", 45},
    {"Swimming Area", 47},
    {"Peak", 49},
    {"Mountain", 49},
    {"Water Source", 50},
    {"Water", 50},
    {"Fire", 51},
    {"Building", 52},
    {"Cemetery", 53},
    {"Photo", 54},
    {"Viewpoint", 56},
    {"Restricted Area", 57},
    {"Controlled Area", 57},
    {"Danger", 57},
    {"Skull", 58},
};

// Words that say what a symbol shows when its whole name is not known.
constexpr Alias kWords[] = {
    {"cache", 17},      {"parking", 26}, {"fuel", 27},    {"gas", 27},
    {"restaurant", 28}, {"food", 28},    {"hotel", 29},   {"lodging", 29},
    {"airport", 35},    {"bank", 38},    {"medical", 41}, {"camp", 42},
    {"church", 53},     {"museum", 55},  {"summit", 49},  {"danger", 57},
};

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool sameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

bool containsLetters(std::string_view text, std::string_view word) {
    for (std::size_t at = 0; at + word.size() <= text.size(); ++at) {
        if (sameLetters(text.substr(at, word.size()), word)) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string_view pushpinIconName(int icon) {
    if (icon < 0 || icon >= kPushpinIconCount) {
        return {};
    }
    return kIconNames[static_cast<std::size_t>(icon)];
}

int pushpinIconForSymbol(std::string_view symbol) {
    while (!symbol.empty() && symbol.front() == ' ') {
        symbol.remove_prefix(1);
    }
    while (!symbol.empty() && symbol.back() == ' ') {
        symbol.remove_suffix(1);
    }
    for (int i = 0; i < kPushpinIconCount; ++i) {
        if (sameLetters(symbol, kIconNames[static_cast<std::size_t>(i)])) {
            return i;
        }
    }
    for (const Alias& a : kAliases) {
        if (sameLetters(symbol, a.name)) {
            return a.icon;
        }
    }
    for (const Alias& a : kWords) {
        if (containsLetters(symbol, a.name)) {
            return a.icon;
        }
    }
    return kDefaultPushpinIcon;
}

}  // namespace wp2
