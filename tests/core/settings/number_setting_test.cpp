// SPDX-License-Identifier: GPL-3.0-or-later
// IntSetting and DoubleSetting: defaults, when values reach the registry, and the
// message boxes of every failure.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "core/settings/double_setting.h"
#include "core/settings/int_setting.h"
#include "core/settings/reg_values.h"
#include "core/settings/settings_store.h"
#include "registry_doubles.h"
#include "support/test_support.h"
#include "support/trace_recorder.h"

namespace wp2 {
namespace {

using test::CountingRegistry;
using test::FailingRegistry;
using Bytes = std::vector<std::uint8_t>;

const RegValue* stored(MemoryRegistry& reg, const std::string& name) {
    return reg.hive(RegRoot::LocalMachine).find(kSettingsKeyPath, name);
}

TEST(CRegSetting, StoredValueWinsOverDefaultAndADeletedOneReappearsWithItsDefault) {
    test::TestSettings<CountingRegistry> settings;
    CountingRegistry& reg = settings.registry;
    const SettingsServices& s = settings.services;
    IntSetting(s, "UnitSystem", true, 0) = 2;
    DoubleSetting(s, "LastLat", true, 10.0) = 0.9;
    reg.writes.clear();
    {
        IntSetting unit(s, "UnitSystem", true, 0);
        DoubleSetting lat(s, "LastLat", true, 10.0);
        EXPECT_EQ(std::tuple(unit.get(), lat.get()), std::tuple(0, 10.0)) << "not loaded yet";
        unit.load();
        lat.load();
        EXPECT_EQ(std::tuple(unit.get(), lat.get()), std::tuple(2, 0.9));
        EXPECT_EQ(std::tuple(reg.writesOf("UnitSystem"), reg.writesOf("LastLat")),
                  std::tuple(0, 0));
    }
    ASSERT_TRUE(reg.deleteValue(RegRoot::LocalMachine, kSettingsKeyPath, "LastLat"));
    reg.writes.clear();
    IntSetting wpIdx(s, "WPIdx", false, 7);  // never stored
    DoubleSetting lat(s, "LastLat", true, 10.0);
    wpIdx.load();
    lat.load();
    EXPECT_EQ(wpIdx.get(), 7);
    EXPECT_DOUBLE_EQ(lat.get(), 10.0);
    EXPECT_EQ(reg.writesOf("WPIdx"), 1);
    EXPECT_EQ(*stored(reg, "WPIdx"), (RegValue{RegType::Dword, Bytes{7, 0, 0, 0}}));
}

// Texts: up to 249 characters written and names up to 99; reading takes up
// to 999. Beyond a limit nothing is written and the old value stays.
TEST(SettingsStore, TextAndNameLengthLimits) {
    CountingRegistry reg;
    SettingsStore store(reg);
    const std::string text249(249, 'w');
    ASSERT_TRUE(store.writeText("SndGpsOn", text249));
    EXPECT_FALSE(store.writeText("SndGpsOn", std::string(250, 'x')));
    EXPECT_EQ(store.readText("SndGpsOn").value_or(""), text249);
    EXPECT_TRUE(store.writeText(std::string(99, 'n'), "v"));
    EXPECT_FALSE(store.writeText(std::string(100, 'n'), "v"));
    EXPECT_EQ(reg.writesOf(std::string(100, 'n')), 0);
    ASSERT_TRUE(store.writeLongText("Long999", std::string(999, 'l')));
    ASSERT_TRUE(store.writeLongText("Long1000", std::string(1000, 'l')));
    EXPECT_EQ(store.readText("Long999").value_or("").size(), 999u);
    EXPECT_FALSE(store.readText("Long1000"));
}

TEST(CRegSetting, SaveImmediatelyWritesOnEveryAssignmentAndNothingAtDestruction) {
    test::TestSettings<CountingRegistry> settings;
    CountingRegistry& reg = settings.registry;
    {
        IntSetting warmStart(settings.services, "WarmStart", true, 1);
        DoubleSetting overspeed(settings.services, "Overspeed", true, 11.2);
        IntSetting scale(settings.services, "TSOpt", false, 5);
        scale = 9;
        warmStart = 0;
        warmStart = 5;
        overspeed = 20.0;
        overspeed = 30.5;
        EXPECT_EQ(reg.writesOf("WarmStart"), 2);
        EXPECT_EQ(reg.writesOf("Overspeed"), 2);
        EXPECT_EQ(*stored(reg, "WarmStart"), (RegValue{RegType::Dword, Bytes{5, 0, 0, 0}}));
    }
    EXPECT_EQ(
        std::tuple(reg.writesOf("WarmStart"), reg.writesOf("Overspeed"), reg.writesOf("TSOpt")),
        std::tuple(2, 2, 0));
}

// The failures, for both classes: counted, traced where there is no caller
// to return them to, and returned by save().
class CRegSettingFailure : public ::testing::TestWithParam<const char*> {
protected:
    // Loads the class under test with save-immediately set, assigns 3 and
    // saves once more.
    template <typename Setting>
    Result<> constructAssignAndSave(double three) {
        Setting v(settings, "WarmStart", true, 1);
        v.load();
        v = three;
        valueAfterAssign = v.get();
        return v.save();
    }
    Result<> constructAssignAndSave() {
        return std::string(GetParam()) == "CRegInt" ? constructAssignAndSave<IntSetting>(3)
                                                    : constructAssignAndSave<DoubleSetting>(3.0);
    }
    std::string cls() const { return GetParam(); }

    test::TraceRecorder traces;
    FailingRegistry reg;
    SettingsServices settings{reg, traces.diagnostics};
    double valueAfterAssign = 0;
};

TEST_P(CRegSettingFailure, WritesThatFail) {
    reg.failSet = true;
    const Result<> saved = constructAssignAndSave();
    EXPECT_EQ(valueAfterAssign, 3.0);
    EXPECT_EQ(traces.diagnostics.failedSaves(), 3);
    EXPECT_EQ(traces.texts(), (std::vector<std::string>{cls() + ": SetValue failed",
                                                        cls() + "::Save: SetValue failed"}));
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().what, cls() + "::Save: SetValue failed");
}

INSTANTIATE_TEST_SUITE_P(BothClasses, CRegSettingFailure,
                         ::testing::Values("CRegInt", "CRegDouble"));

}  // namespace
}  // namespace wp2
