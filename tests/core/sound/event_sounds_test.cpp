// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sound/event_sounds.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/gps/nav_snapshot.h"
#include "core/settings/settings_store.h"
#include "recording_sound_player.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

using Frames = std::vector<std::uint32_t>;
using Names = std::vector<std::string>;

class EventSoundsTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* names[] = {"on.wav",   "off.wav",    "fix.wav", "lost.wav",
                               "fast.wav", "arrive.wav", "away.wav"};
        static_assert(std::size(names) == kSoundEventCount);
        for (int i = 0; i < kSoundEventCount; ++i) {
            EXPECT_TRUE(
                store_.writeText(kSoundSettingNames[static_cast<std::size_t>(i)], names[i]));
        }
    }

    // Made on first use, so a test can change the stored names first.
    EventSounds& sounds() {
        if (!sounds_) {
            sounds_ = std::make_unique<EventSounds>(player_);
            sounds_->init(settings_.services, &store_, nullptr, &snapshot_);
        }
        return *sounds_;
    }
    // One tick at `frame`; the file names played during it.
    Names at(std::uint32_t frame, int level, double speed = 0.0) {
        snapshot_.fixLevel = level;
        snapshot_.speed = speed;
        std::size_t before = player_.played.size();
        sounds().tick(frame);
        Names names;
        for (std::size_t i = before; i < player_.played.size(); ++i) {
            names.push_back(std::filesystem::path(player_.played[i]).filename().string());
        }
        return names;
    }
    // One tick per frame for `count` frames; the frames at which something played.
    Frames framesPlayed(std::uint32_t from, std::uint32_t count, int level, double speed = 0.0) {
        Frames frames;
        for (std::uint32_t i = 0; i < count; ++i) {
            if (!at(from + i, level, speed).empty()) {
                frames.push_back(from + i);
            }
        }
        return frames;
    }

    test::TempDir root_{true};
    test::TestSettings<> settings_;
    SettingsStore store_{settings_.registry};
    NavSnapshot snapshot_;
    test::RecordingSoundPlayer player_;
    std::unique_ptr<EventSounds> sounds_;
};

TEST_F(EventSoundsTest, ReceiverOnFixGainedLostAndReceiverOff) {
    EXPECT_EQ(at(0, 1), Names{});
    EXPECT_EQ(at(1, 2), Names{"on.wav"});
    EXPECT_EQ(player_.played.back(), root_.path() + "/Windows/on.wav");
    EXPECT_EQ(framesPlayed(2, 98, 2), Frames{});
    EXPECT_EQ(at(100, 4), Names{"fix.wav"});
    EXPECT_EQ(framesPlayed(101, 99, 4), Frames{});
    EXPECT_EQ(at(200, 2), Names{"lost.wav"});
    EXPECT_EQ(framesPlayed(201, 99, 2), Frames{});
    EXPECT_EQ(at(300, 3), Names{"fix.wav"});
    EXPECT_EQ(framesPlayed(301, 99, 3), Frames{});
    // Losing the link with a fix: receiver off; "signal lost" finds the sounds
    // busy and is dropped for good.
    EXPECT_EQ(at(400, 1), Names{"off.wav"});
    EXPECT_EQ(framesPlayed(401, 200, 1), Frames{});
}

TEST_F(EventSoundsTest, RouteAlarmsPlayInTheQuietPeriodUnlessSilentOrWithoutSound) {
    EXPECT_EQ(at(1, 2), Names{"on.wav"});
    sounds().alarm(SoundEvent::Arrival, 2);
    sounds().settings().setName(SoundEvent::OffCourse, kNoSoundName);
    sounds().alarm(SoundEvent::OffCourse, 3);
    sounds().settings().setSilent(1);
    sounds().alarm(SoundEvent::Arrival, 4);
    ASSERT_EQ(player_.played.size(), 2u);
    EXPECT_EQ(player_.played.back(), root_.path() + "/Windows/arrive.wav");
}

}  // namespace
}  // namespace wp2
