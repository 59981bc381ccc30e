#include "core/sound/sound_settings.h"

#include <gtest/gtest.h>

#include "core/settings/creg_double.h"
#include "core/settings/creg_int.h"
#include "core/settings/creg_store.h"
#include "core/settings/memory_registry.h"

namespace wp2 {
namespace {

class SoundSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { previous_ = setRegistry(&registry_); }
    void TearDown() override { setRegistry(previous_); }

    MemoryRegistry registry_;
    Registry* previous_ = nullptr;
    CRegStore store_;
};

TEST_F(SoundSettingsTest, NamesAreSavedEachToItsOwnSettingAndAPickCountsUntilReloaded) {
    SoundSettings s;
    s.init(&store_, nullptr);
    const char* files[] = {"on.wav", "off.wav", "fix.wav", "lost.wav", "fast.wav"};
    for (int i = 0; i < kSoundEventCount; ++i) {
        s.setName(static_cast<SoundEvent>(i), files[i]);
    }
    ASSERT_TRUE(s.saveNames());
    std::string text;
    ASSERT_TRUE(store_.ReadText("SndGpsOff", text));
    EXPECT_EQ(text, "off.wav");
    SoundSettings again;
    again.init(&store_, nullptr);
    for (int i = 0; i < kSoundEventCount; ++i) {
        EXPECT_EQ(again.name(static_cast<SoundEvent>(i)), files[i]);
    }
    again.setName(SoundEvent::GpsOn, "picked.wav");
    EXPECT_EQ(again.name(SoundEvent::GpsOn), "picked.wav");
    again.loadNames();
    EXPECT_EQ(again.name(SoundEvent::GpsOn), "on.wav");
}

TEST_F(SoundSettingsTest, SilentAndLimitAreStoredAtOnceWithTheirDefaults) {
    SoundSettings s;
    s.init(&store_, nullptr);
    EXPECT_EQ(s.silent(), 0);
    EXPECT_DOUBLE_EQ(CRegDouble("Overspeed", true, 0.0).Get(), 11.2);
    EXPECT_EQ(CRegInt("SndSilent", true, 7).Get(), 0);
    s.setSilent(1);
    s.setOverspeedLimit(25.0);
    EXPECT_EQ(CRegInt("SndSilent", true, 0).Get(), 1);
    EXPECT_DOUBLE_EQ(CRegDouble("Overspeed", true, 0.0).Get(), 25.0);
}

}  // namespace
}  // namespace wp2
