// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/nav/unit_system_setting.h"

#include <gtest/gtest.h>

#include "core/settings/int_setting.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

TEST(StoredUnitSystem, StoredChoiceIsAppliedAndUnknownValuesKeepTheCurrentOne) {
    test::TestSettings<> settings;
    UnitFormatter f;
    for (auto [stored, code] : {std::pair{2, UnitFormatter::kNautical},
                                {7, UnitFormatter::kNautical},  // unknown: kept
                                {1, UnitFormatter::kMetric}}) {
        IntSetting(settings.services, kUnitSystemValueName, true, 0) = stored;
        applyStoredUnitSystem(settings.services, f);
        EXPECT_EQ(f.code(), code) << stored;
    }
}

}  // namespace
}  // namespace wp2
