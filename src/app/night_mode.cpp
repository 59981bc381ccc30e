// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/night_mode.h"

#include "core/nav/angles.h"
#include "core/nav/sun_times.h"
#include "core/settings/settings_store.h"

namespace wp2 {

NightMode::NightMode(Registry& registry) : registry_(registry) {}

void NightMode::load() {
    const Result<std::uint32_t> stored = SettingsStore(registry_).readNumber(kNightModeValue);
    if (stored && *stored <= static_cast<std::uint32_t>(Choice::Auto)) {
        choice_ = static_cast<Choice>(*stored);
    }
}

void NightMode::toggle(Palette shown) {
    store(shown == Palette::Night ? Choice::Day : Choice::Night);
}

void NightMode::chooseAuto() {
    store(Choice::Auto);
}

void NightMode::store(Choice choice) {
    choice_ = choice;
    // A setting that cannot be written leaves the choice for this run.
    (void)SettingsStore(registry_).writeNumber(kNightModeValue, static_cast<std::uint32_t>(choice));
}

Palette NightMode::paletteAt(std::optional<Position> where, std::time_t utc, Palette shown) const {
    switch (choice_) {
        case Choice::Day:
            return Palette::Day;
        case Choice::Night:
            return Palette::Night;
        case Choice::Auto:
            break;
    }
    if (!where) {
        return shown;
    }
    return isNight(where->latitude * kRadToDeg, where->longitude * kRadToDeg, utc) ? Palette::Night
                                                                                   : Palette::Day;
}

}  // namespace wp2
