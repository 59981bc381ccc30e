// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sound/wave_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/test_support.h"

namespace wp2 {
namespace {

using Bytes = std::vector<std::uint8_t>;

void put(Bytes& b, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}
// A chunk with its tag, its length (or `declared`) and its body padded to even.
Bytes chunk(const char* tag, const Bytes& body, std::uint32_t declared = 0xFFFFFFFF) {
    Bytes b(tag, tag + 4);
    put(b, declared == 0xFFFFFFFF ? static_cast<std::uint32_t>(body.size()) : declared, 4);
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() % 2) {
        b.push_back(0);
    }
    return b;
}
Bytes fmt(int encoding, int channels, int rate, int bits, int align = -1) {
    Bytes f;
    align = align >= 0 ? align : channels * bits / 8;
    for (auto [v, n] : {std::pair{encoding, 2},
                        {channels, 2},
                        {rate, 4},
                        {rate * align, 4},
                        {align, 2},
                        {bits, 2}}) {
        put(f, static_cast<std::uint32_t>(v), n);
    }
    return f;
}
Bytes riff(const std::vector<Bytes>& chunks) {
    Bytes body{'W', 'A', 'V', 'E'};
    for (const Bytes& c : chunks) {
        body.insert(body.end(), c.begin(), c.end());
    }
    return chunk("RIFF", body);
}
std::optional<WaveFormat> parse(const Bytes& b) {
    return parseWaveHeader(b.data(), b.size(), b.size());
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

    f = parse(riff({chunk("fmt ", fmt(1, 2, 8000, 16)), chunk("LIST", Bytes(5, 'x')),
                    chunk("data", Bytes(400, 0))}));
    ASSERT_TRUE(f);
    EXPECT_EQ(f->dataOffset, 12u + 24u + 14u + 8u);
    EXPECT_EQ(f->frames(), 100u);

    // The header promises a million bytes; 401 are there, 100 frames of 4 bytes.
    Bytes cut = riff({chunk("fmt ", fmt(1, 2, 8000, 16)), chunk("data", Bytes(401, 0), 1000000)});
    cut.pop_back();
    f = parse(cut);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->dataBytes, 400u);
}

}  // namespace
}  // namespace wp2
