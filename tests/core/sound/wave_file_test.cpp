// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sound/wave_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/le_bytes.h"

namespace wp2 {
namespace {

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
