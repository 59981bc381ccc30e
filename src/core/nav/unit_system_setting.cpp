#include "core/nav/unit_system_setting.h"

#include "core/settings/creg_int.h"

namespace wp2 {

void applyStoredUnitSystem(UnitFormatter& formatter) {
    CRegInt stored(kUnitSystemValueName, true, static_cast<std::int32_t>(UnitSystem::US));
    formatter.setSystem(stored.Get());
}

}  // namespace wp2
