// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/nav/unit_system_setting.h"

#include "core/settings/int_setting.h"

namespace wp2 {

void applyStoredUnitSystem(const SettingsServices& settings, UnitFormatter& formatter) {
    IntSetting stored(settings, kUnitSystemValueName, true,
                      static_cast<std::int32_t>(UnitSystem::US));
    stored.load();
    formatter.setSystem(stored.get());
}

}  // namespace wp2
