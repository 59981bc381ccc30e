#include "core/nav/unit_system_setting.h"

#include <gtest/gtest.h>

#include "core/settings/creg_int.h"
#include "core/settings/memory_registry.h"
#include "core/settings/registry.h"

namespace wp2 {
namespace {

TEST(StoredUnitSystem, StoredChoiceIsAppliedAndUnknownValuesKeepTheCurrentOne) {
    MemoryRegistry memory;
    Registry* previous = setRegistry(&memory);
    UnitFormatter f;
    for (auto [stored, code] : {std::pair{2, UnitFormatter::kNautical},
                                {7, UnitFormatter::kNautical},  // unknown: kept
                                {1, UnitFormatter::kMetric}}) {
        CRegInt(kUnitSystemValueName, true, 0) = stored;
        applyStoredUnitSystem(f);
        EXPECT_EQ(f.code(), code) << stored;
    }
    setRegistry(previous);
}

}  // namespace
}  // namespace wp2
