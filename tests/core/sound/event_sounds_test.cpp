// SPDX-License-Identifier: GPL-3.0-or-later
// The sounds of the receiver and route events, and the headers of the wave
// files they play.

#include "core/sound/event_sounds.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/gps/nav_snapshot.h"
#include "core/settings/settings_store.h"
#include "core/sound/wave_file.h"
#include "recording_sound_player.h"
#include "support/le_bytes.h"
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

// Wave file headers, from hand-made files.
struct Bytes : test::LittleEndianBytes<Bytes> {};

// A chunk: its tag, its length (or `declared`) and its body padded to even.
std::string chunk(const char* tag, const std::string& body, std::uint32_t declared = 0xFFFFFFFF) {
    Bytes b;
    b.s = tag;
    b.u32(declared == 0xFFFFFFFF ? static_cast<std::uint32_t>(body.size()) : declared);
    return b.s + body + std::string(body.size() % 2, '\0');
}
// A RIFF file of 16-bit stereo PCM at 8000 frames a second with the other chunks.
std::string riff(const std::string& others) {
    const std::string format = Bytes().u16(1).u16(2).u32(8000).u32(8000 * 4).u16(4).u16(16).s;
    return chunk("RIFF", "WAVE" + chunk("fmt ", format) + others);
}
// The header of a whole file held in `b`.
template <class Container>
std::optional<WaveFormat> parse(const Container& b) {
    return parseWaveHeader(reinterpret_cast<const std::uint8_t*>(b.data()), b.size(), b.size());
}

TEST(WaveHeader, ReadsWrittenFilesAndFindsTheDataBehindOddLengthChunks) {
    auto f = parse(encodeWave(std::vector<std::int16_t>(11025, 100), 22050));
    ASSERT_TRUE(f);
    EXPECT_EQ(f->encoding, WaveFormat::kPcm);
    EXPECT_EQ(f->channels, 1);
    EXPECT_EQ(f->sampleRate, 22050);
    EXPECT_EQ(f->bitsPerSample, 16);
    EXPECT_EQ(f->dataOffset, 44u);
    EXPECT_DOUBLE_EQ(f->durationMs(), 500.0);

    f = parse(riff(chunk("LIST", std::string(5, 'x')) + chunk("data", std::string(400, '\0'))));
    ASSERT_TRUE(f);
    EXPECT_EQ(f->dataOffset, 12u + 24u + 14u + 8u);
    EXPECT_EQ(f->frames(), 100u);

    // The header promises a million bytes; 401 are there, 100 frames of 4 bytes.
    std::string cut = riff(chunk("data", std::string(401, '\0'), 1000000));
    cut.pop_back();
    f = parse(cut);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->dataBytes, 400u);
}

}  // namespace
}  // namespace wp2
