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
