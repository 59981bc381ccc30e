// CRegStore: text and number values by name, the short-text limits, REG_SZ
// layout, and any root and key path.

#include "core/settings/creg_store.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/settings/reg_values.h"
#include "registry_doubles.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

using test::CountingRegistry;
using test::FailingRegistry;
using Bytes = std::vector<std::uint8_t>;

TEST(CRegStore, TextIsRegSzWithItsTerminatingZero) {
    CountingRegistry reg;
    CRegStore store;
    ASSERT_TRUE(store.WriteText("Driver", "1,4800,8,0,0"));
    RegValue v;
    ASSERT_EQ(reg.queryValue(RegRoot::LocalMachine, kSettingsKeyPath, "Driver", v), kRegOk);
    EXPECT_EQ(v.type, RegType::Sz);
    EXPECT_EQ(v.data.size(), (12u + 1) * 2);
    EXPECT_EQ(v.data[0], '1');
    EXPECT_EQ(v.data[1], 0);
    EXPECT_EQ(v.data[v.data.size() - 2], 0);
    EXPECT_EQ(v.data.back(), 0);
    std::string text;
    ASSERT_TRUE(store.ReadText("Driver", text));
    EXPECT_EQ(text, "1,4800,8,0,0");

    // The empty text is one zero character, and reads back as present.
    ASSERT_TRUE(store.WriteLongText("IOpt", ""));
    reg.queryValue(RegRoot::LocalMachine, kSettingsKeyPath, "IOpt", v);
    EXPECT_EQ(v.data, (Bytes{0, 0}));
    text = "x";
    EXPECT_TRUE(store.ReadLongText("IOpt", text));
    EXPECT_EQ(text, "");
}

TEST(CRegStore, ShortTextLimits) {
    CountingRegistry reg;
    CRegStore store;
    std::string text249(249, 'w');
    ASSERT_TRUE(store.WriteText("SndGpsOn", text249));
    std::string back;
    ASSERT_TRUE(store.ReadText("SndGpsOn", back));
    EXPECT_EQ(back, text249);

    // Beyond the limit nothing is written: the old value stays.
    EXPECT_FALSE(store.WriteText("SndGpsOn", std::string(250, 'x')));
    ASSERT_TRUE(store.ReadText("SndGpsOn", back));
    EXPECT_EQ(back, text249);

    EXPECT_TRUE(store.WriteText(std::string(99, 'n'), "v"));
    EXPECT_FALSE(store.WriteText(std::string(100, 'n'), "v"));
    EXPECT_EQ(reg.writesOf(std::string(100, 'n')), 0);

    // Reading takes longer values than writing, up to 999 characters.
    ASSERT_TRUE(store.WriteLongText("Long999", std::string(999, 'l')));
    ASSERT_TRUE(store.WriteLongText("Long1000", std::string(1000, 'l')));
    EXPECT_TRUE(store.ReadText("Long999", back));
    EXPECT_EQ(back.size(), 999u);
    back = "stale";
    EXPECT_FALSE(store.ReadText("Long1000", back));
    EXPECT_EQ(back, "");
    EXPECT_TRUE(store.ReadLongText("Long1000", back));
    EXPECT_EQ(back.size(), 1000u);

    // Names up to 255 characters can be read.
    ASSERT_TRUE(store.WriteLongText(std::string(255, 'k'), "x"));
    ASSERT_TRUE(store.WriteLongText(std::string(256, 'k'), "x"));
    EXPECT_TRUE(store.ReadText(std::string(255, 'k'), back));
    EXPECT_FALSE(store.ReadText(std::string(256, 'k'), back));
}

TEST(CRegStore, LongTextHasNoLimitButNoZeroCharacter) {
    CountingRegistry reg;
    CRegStore store;
    std::string name(300, 'N');
    std::string text(100000, 'z');
    ASSERT_TRUE(store.WriteLongText(name, text));
    std::string back;
    ASSERT_TRUE(store.ReadLongText(name, back));
    EXPECT_EQ(back, text);
    EXPECT_FALSE(store.WriteLongText("IOpt", std::string("a\0b", 3)));
    EXPECT_EQ(reg.writesOf("IOpt"), 0);
}

TEST(CRegStore, NumbersAreFourByteDwords) {
    CountingRegistry reg;
    CRegStore store;
    ASSERT_TRUE(store.WriteNumber("TrackState", 0xFFFFFFFEu));
    RegValue v;
    reg.queryValue(RegRoot::LocalMachine, kSettingsKeyPath, "TrackState", v);
    EXPECT_EQ(v, (RegValue{RegType::Dword, Bytes{0xfe, 0xff, 0xff, 0xff}}));
    std::uint32_t n = 0;
    ASSERT_TRUE(store.ReadNumber("TrackState", n));
    EXPECT_EQ(n, 0xFFFFFFFEu);

    EXPECT_TRUE(store.WriteNumber(std::string(49, 'n'), 1));
    EXPECT_FALSE(store.WriteNumber(std::string(50, 'n'), 1));
}

TEST(CRegStore, FailuresReturnFalseAndShowNothing) {
    FailingRegistry reg;
    test::RecordingMessageBoxes boxes;
    CRegStore store;
    reg.failSet = true;
    EXPECT_FALSE(store.WriteText("Driver", "1"));
    EXPECT_FALSE(store.WriteLongText("IOpt", "1"));
    EXPECT_FALSE(store.WriteNumber("TrackState", 1));
    reg.failSet = false;
    reg.failCreate = true;
    EXPECT_FALSE(store.WriteNumber("TrackState", 1));
    std::string text;
    EXPECT_FALSE(store.ReadText("Driver", text));
    EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
}  // namespace wp2
