#include "core/nav/unit_system_setting.h"

#include <gtest/gtest.h>

#include "core/settings/creg_int.h"
#include "core/settings/reg_values.h"
#include "core/settings/registry.h"

namespace wp2 {
namespace {

class StoredUnitSystem : public ::testing::Test {
protected:
    void SetUp() override { forget(); }
    void TearDown() override { forget(); }

    static void forget() {
        registry().deleteValue(RegRoot::LocalMachine, kSettingsKeyPath, kUnitSystemValueName);
    }
    static void store(std::int32_t value) {
        CRegInt setting(kUnitSystemValueName, true, 0);
        setting = value;
    }
};

TEST_F(StoredUnitSystem, FirstRunShowsUsUnitsAndWritesTheDefault) {
    UnitFormatter f;
    applyStoredUnitSystem(f);
    EXPECT_EQ(f.code(), UnitFormatter::kUs);
    EXPECT_EQ(f.formatSpeed(10.0).label, "mph");
    EXPECT_EQ(f.formatAltitude(10.0).label, "ft");

    RegValue written;
    ASSERT_EQ(registry().queryValue(RegRoot::LocalMachine, kSettingsKeyPath, kUnitSystemValueName,
                                    written),
              kRegOk);
    EXPECT_EQ(written.type, RegType::Dword);
}

TEST_F(StoredUnitSystem, StoredChoiceIsAppliedAndUnknownValuesKeepTheCurrentOne) {
    UnitFormatter f;
    store(2);
    applyStoredUnitSystem(f);
    EXPECT_EQ(f.code(), UnitFormatter::kNautical);

    store(7);
    applyStoredUnitSystem(f);
    EXPECT_EQ(f.code(), UnitFormatter::kNautical);

    store(1);
    applyStoredUnitSystem(f);
    EXPECT_EQ(f.code(), UnitFormatter::kMetric);
}

}  // namespace
}  // namespace wp2
