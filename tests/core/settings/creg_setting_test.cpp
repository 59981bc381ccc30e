// CRegInt and CRegDouble: defaults, when values reach the registry, and the
// message boxes of every failure.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/settings/creg_double.h"
#include "core/settings/creg_int.h"
#include "core/settings/reg_values.h"
#include "registry_doubles.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

using test::CountingRegistry;
using test::FailingRegistry;
using test::RecordingMessageBoxes;
using Bytes = std::vector<std::uint8_t>;

const RegValue* stored(MemoryRegistry& reg, const std::string& name) {
    return reg.hive(RegRoot::LocalMachine).find(kSettingsKeyPath, name);
}

TEST(CRegSetting, FirstRunStoresEveryDefaultWithItsType) {
    CountingRegistry reg;
    RecordingMessageBoxes boxes;
    {
        CRegDouble lastLat("LastLat", false, 10.0);
        CRegInt warmStart("WarmStart", true, 1);
        CRegInt lastTarg("LastTarg", true, -1);
        CRegDouble overspeed("Overspeed", true, 11.2);

        // Written at construction, before any assignment or destruction.
        EXPECT_EQ(reg.writesOf("LastLat"), 1);
        EXPECT_EQ(reg.writesOf("WarmStart"), 1);
        ASSERT_NE(stored(reg, "WarmStart"), nullptr);
        EXPECT_EQ(*stored(reg, "WarmStart"), (RegValue{RegType::Dword, Bytes{1, 0, 0, 0}}));
        EXPECT_EQ(*stored(reg, "LastTarg"),
                  (RegValue{RegType::Dword, Bytes{0xff, 0xff, 0xff, 0xff}}));
        // 10.0 is 0x4024000000000000, least significant byte first.
        EXPECT_EQ(*stored(reg, "LastLat"),
                  (RegValue{RegType::Binary, Bytes{0, 0, 0, 0, 0, 0, 0x24, 0x40}}));
        EXPECT_EQ(lastTarg.Get(), -1);
        EXPECT_DOUBLE_EQ(overspeed.Get(), 11.2);
    }
    EXPECT_TRUE(reg.hive(RegRoot::LocalMachine).hasKey("Software\\KELM\\Wayplot2"));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(CRegSetting, StoredValueWinsOverDefaultAndADeletedOneReappearsWithItsDefault) {
    CountingRegistry reg;
    {
        CRegInt("UnitSystem", true, 0) = 2;
        CRegDouble("LastLat", true, 10.0) = 0.9;
        CRegInt("WPIdx", false, 1) = 42;
    }
    reg.writes.clear();
    {
        CRegInt unit("UnitSystem", true, 0);
        CRegDouble lat("LastLat", true, 10.0);
        EXPECT_EQ(unit.Get(), 2);
        EXPECT_EQ(lat.Get(), 0.9);
        EXPECT_EQ(reg.writesOf("UnitSystem") + reg.writesOf("LastLat"), 0);
    }
    reg.deleteValue(RegRoot::LocalMachine, kSettingsKeyPath, "WPIdx");
    reg.deleteValue(RegRoot::LocalMachine, kSettingsKeyPath, "LastLat");
    reg.writes.clear();
    CRegInt wpIdx("WPIdx", false, 1);
    CRegDouble lat("LastLat", true, 10.0);
    EXPECT_EQ(wpIdx.Get(), 1);
    EXPECT_DOUBLE_EQ(lat.Get(), 10.0);
    EXPECT_EQ(reg.writesOf("WPIdx"), 1);
    EXPECT_EQ(*stored(reg, "WPIdx"), (RegValue{RegType::Dword, Bytes{1, 0, 0, 0}}));
}

TEST(CRegSetting, SaveImmediatelyWritesOnEveryAssignmentAndNotAtDestruction) {
    CountingRegistry reg;
    {
        CRegInt warmStart("WarmStart", true, 1);
        CRegDouble overspeed("Overspeed", true, 11.2);
        reg.writes.clear();
        warmStart = 0;
        warmStart = 5;
        overspeed = 20.0;
        overspeed = 30.5;
        EXPECT_EQ(reg.writesOf("WarmStart"), 2);
        EXPECT_EQ(reg.writesOf("Overspeed"), 2);
        EXPECT_EQ(*stored(reg, "WarmStart"), (RegValue{RegType::Dword, Bytes{5, 0, 0, 0}}));
    }
    EXPECT_EQ(reg.writesOf("WarmStart"), 2);
    EXPECT_EQ(reg.writesOf("Overspeed"), 2);
}

TEST(CRegSetting, OnDestructionWritesOnceWhenDestroyed) {
    CountingRegistry reg;
    {
        CRegInt tsOpt("TSOpt", false, 5);
        CRegDouble lat("LastLat", false, 10.0);
        reg.writes.clear();
        for (int i = 0; i < 10; ++i) {
            tsOpt = i;
            lat = i * 0.1;
        }
        EXPECT_EQ(tsOpt.Get(), 9);
        EXPECT_EQ(reg.writesOf("TSOpt"), 0);
        EXPECT_EQ(*stored(reg, "TSOpt"), (RegValue{RegType::Dword, Bytes{5, 0, 0, 0}}));
    }
    EXPECT_EQ(reg.writesOf("TSOpt"), 1);
    EXPECT_EQ(reg.writesOf("LastLat"), 1);
    EXPECT_EQ(*stored(reg, "TSOpt"), (RegValue{RegType::Dword, Bytes{9, 0, 0, 0}}));
}

// Message boxes of the failures, for both classes.
class CRegSettingFailure : public ::testing::TestWithParam<const char*> {
protected:
    // Constructs the class under test with save-immediately set, and assigns 3.
    void constructAndAssign() {
        if (std::string(GetParam()) == "CRegInt") {
            CRegInt v("WarmStart", true, 1);
            valueAfterConstruction = v.Get();
            boxesAfterConstruction = boxes.shown.size();
            v = 3;
            valueAfterAssign = v.Get();
        } else {
            CRegDouble v("WarmStart", true, 1.0);
            valueAfterConstruction = v.Get();
            boxesAfterConstruction = boxes.shown.size();
            v = 3.0;
            valueAfterAssign = v.Get();
        }
    }
    std::string cls() const { return GetParam(); }

    FailingRegistry reg;
    RecordingMessageBoxes boxes;
    double valueAfterConstruction = 0;
    double valueAfterAssign = 0;
    std::size_t boxesAfterConstruction = 0;
};

TEST_P(CRegSettingFailure, KeyThatCannotBeCreated) {
    reg.failCreate = true;
    constructAndAssign();
    EXPECT_EQ(valueAfterConstruction, 1.0);
    EXPECT_EQ(valueAfterAssign, 3.0);  // the value in memory is kept
    EXPECT_EQ(boxesAfterConstruction, 2u);
    EXPECT_EQ(
        test::shownBoxes(boxes),
        (std::vector<std::string>{
            test::box("Access is denied.", cls(), MessageIcon::Exclamation),
            test::box(cls() + ": SetValue failed", "Error", MessageIcon::Stop),
            test::box(cls() + "::Save: invalid key", "Error", MessageIcon::Exclamation),
            test::box(cls() + "::Save: SetValue failed", "Error", MessageIcon::Exclamation)}));
}

TEST_P(CRegSettingFailure, WritesThatFail) {
    reg.failSet = true;
    constructAndAssign();
    EXPECT_EQ(valueAfterAssign, 3.0);
    EXPECT_EQ(
        test::shownBoxes(boxes),
        (std::vector<std::string>{
            test::box(cls() + ": SetValue failed", "Error", MessageIcon::Stop),
            test::box(cls() + "::Save: SetValue failed", "Error", MessageIcon::Exclamation)}));
}

INSTANTIATE_TEST_SUITE_P(BothClasses, CRegSettingFailure,
                         ::testing::Values("CRegInt", "CRegDouble"));

}  // namespace
}  // namespace wp2
