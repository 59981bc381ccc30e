#include "core/sound/wave_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/sound/chime.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, int v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(Bytes& b, std::uint32_t v) {
    put16(b, static_cast<int>(v & 0xFFFF));
    put16(b, static_cast<int>(v >> 16));
}
void tag(Bytes& b, const char* t) {
    for (int i = 0; i < 4; ++i) {
        b.push_back(static_cast<std::uint8_t>(t[i]));
    }
}
void chunk(Bytes& b, const char* t, const Bytes& body, std::uint32_t declared = 0xFFFFFFFF) {
    tag(b, t);
    put32(b, declared == 0xFFFFFFFF ? static_cast<std::uint32_t>(body.size()) : declared);
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() % 2) {
        b.push_back(0);
    }
}
Bytes fmtBody(int encoding, int channels, int rate, int bits, int blockAlign = -1) {
    Bytes f;
    int align = blockAlign >= 0 ? blockAlign : channels * bits / 8;
    put16(f, encoding);
    put16(f, channels);
    put32(f, static_cast<std::uint32_t>(rate));
    put32(f, static_cast<std::uint32_t>(rate * align));
    put16(f, align);
    put16(f, bits);
    return f;
}
Bytes extensibleBody(int subEncoding, int channels, int rate, int bits, int cbSize = 22) {
    Bytes f = fmtBody(0xFFFE, channels, rate, bits);
    put16(f, cbSize);
    if (cbSize >= 22) {
        put16(f, bits);  // valid bits
        put32(f, 0);     // channel mask
        put16(f, subEncoding);
        for (int i = 0; i < 14; ++i) {
            f.push_back(0x11);  // rest of the GUID
        }
    }
    return f;
}
Bytes riff(const std::vector<Bytes>& chunks) {
    Bytes body;
    tag(body, "WAVE");
    for (const Bytes& c : chunks) {
        body.insert(body.end(), c.begin(), c.end());
    }
    Bytes out;
    tag(out, "RIFF");
    put32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}
Bytes named(const char* t, const Bytes& body, std::uint32_t declared = 0xFFFFFFFF) {
    Bytes c;
    chunk(c, t, body, declared);
    return c;
}
std::optional<WaveFormat> parse(const Bytes& b) {
    return parseWaveHeader(b.data(), b.size(), b.size());
}

TEST(WaveHeader, WrittenFilesReadBackWithTheirLength) {
    std::vector<std::int16_t> samples(11025, 100);
    Bytes bytes = encodeWave(samples, 22050);
    auto f = parse(bytes);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->encoding, WaveFormat::kPcm);
    EXPECT_EQ(f->channels, 1);
    EXPECT_EQ(f->sampleRate, 22050);
    EXPECT_EQ(f->bitsPerSample, 16);
    EXPECT_EQ(f->dataOffset, 44u);
    EXPECT_EQ(f->dataBytes, 22050u);
    EXPECT_DOUBLE_EQ(f->durationMs(), 500.0);
}

TEST(WaveHeader, FindsTheDataBehindOtherChunksWithOddLengths) {
    Bytes bytes = riff({named("fmt ", fmtBody(1, 2, 8000, 16)), named("LIST", Bytes(5, 'x')),
                        named("data", Bytes(400, 0))});
    auto f = parse(bytes);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->channels, 2);
    EXPECT_EQ(f->dataOffset, 12u + 24u + 14u + 8u);
    EXPECT_EQ(f->frames(), 100u);
}

TEST(WaveHeader, ATruncatedFileCountsOnlyTheWholeFramesPresent) {
    // The header promises a million bytes; 401 are there, 100 frames of 4 bytes.
    Bytes bytes =
        riff({named("fmt ", fmtBody(1, 2, 8000, 16)), named("data", Bytes(401, 0), 1000000)});
    bytes.pop_back();  // the pad byte chunk() added
    auto f = parse(bytes);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->dataBytes, 400u);
}

TEST(WaveHeader, ExtensibleHeadersGiveTheirRealEncoding) {
    auto pcm =
        parse(riff({named("fmt ", extensibleBody(1, 2, 48000, 24)), named("data", Bytes(6))}));
    ASSERT_TRUE(pcm);
    EXPECT_EQ(pcm->encoding, WaveFormat::kPcm);
    EXPECT_EQ(pcm->bitsPerSample, 24);
    auto flt =
        parse(riff({named("fmt ", extensibleBody(3, 1, 48000, 32)), named("data", Bytes(4))}));
    ASSERT_TRUE(flt);
    EXPECT_EQ(flt->encoding, WaveFormat::kFloat);
    // An extensible header too short to name its encoding.
    EXPECT_FALSE(
        parse(riff({named("fmt ", extensibleBody(1, 1, 8000, 16, 0)), named("data", Bytes(2))})));
}

TEST(WaveHeader, RefusesWhatCannotBePlayed) {
    Bytes data = named("data", Bytes(8));
    EXPECT_FALSE(parse(riff({named("fmt ", fmtBody(2, 1, 8000, 4)), data})));      // ADPCM
    EXPECT_FALSE(parse(riff({named("fmt ", fmtBody(3, 1, 8000, 64)), data})));     // 64-bit float
    EXPECT_FALSE(parse(riff({named("fmt ", fmtBody(1, 0, 8000, 16)), data})));     // no channels
    EXPECT_FALSE(parse(riff({named("fmt ", fmtBody(1, 1, 0, 16)), data})));        // no rate
    EXPECT_FALSE(parse(riff({named("fmt ", fmtBody(1, 2, 8000, 16, 0)), data})));  // no frame size
    EXPECT_FALSE(parse(riff({data, named("fmt ", fmtBody(1, 1, 8000, 16))})));     // data first
    EXPECT_FALSE(parse(riff({named("fmt ", fmtBody(1, 1, 8000, 16))})));           // no data
    EXPECT_FALSE(parse(riff({named("fmt ", Bytes(10)), data})));                   // short fmt
    Bytes notRiff = encodeWave({1, 2, 3}, 8000);
    std::memcpy(notRiff.data(), "RIFX", 4);
    EXPECT_FALSE(parse(notRiff));
    EXPECT_FALSE(parse(Bytes{'R', 'I', 'F', 'F'}));
}

TEST(WaveHeader, ChunkLengthsPointingFarBeyondTheBufferEndTheSearch) {
    Bytes bytes = riff({named("junk", Bytes(4), 0xFFFFFFF0u),
                        named("fmt ", fmtBody(1, 1, 8000, 16)), named("data", Bytes(2))});
    EXPECT_FALSE(parse(bytes));
}

TEST(WaveFile, LoadsTheSamplesAndRespectsTheSizeLimit) {
    test::TempDir dir;
    std::string path = dir.file("a.wav");
    ASSERT_TRUE(writeWaveFile(path, {1, -2, 0x1234}, 8000));
    auto sound = loadWaveFile(path, 1000);
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->samples, (Bytes{0x01, 0x00, 0xFE, 0xFF, 0x34, 0x12}));
    EXPECT_FALSE(loadWaveFile(path, 5));
    EXPECT_FALSE(loadWaveFile(dir.file("absent.wav"), 1000));
    ASSERT_TRUE(writeWaveFile(path, {}, 8000));
    EXPECT_TRUE(readWaveFormat(path));
    EXPECT_FALSE(loadWaveFile(path, 1000)) << "a file without samples plays nothing";
}

TEST(WaveFile, TwentyFourBitSamplesWidenKeepingTheirValue) {
    Bytes in{0x01, 0x02, 0x83, 0xFF, 0xFF, 0x7F};
    EXPECT_EQ(widen24To32(in), (Bytes{0x00, 0x01, 0x02, 0x83, 0x00, 0xFF, 0xFF, 0x7F}));
    EXPECT_EQ(widen24To32(Bytes{1, 2}), Bytes{});
}

TEST(ShippedSounds, AreShortMono16BitChimes) {
    for (const char* name : {"GpsOn.wav", "GpsOff.wav", "FixOk.wav", "NoFix.wav", "Alarm1.wav"}) {
        SCOPED_TRACE(name);
        auto sound = loadWaveFile(std::string(RESOURCE_BUILD_DIR) + "/windows/" + name, 1 << 20);
        ASSERT_TRUE(sound);
        EXPECT_EQ(sound->format.encoding, WaveFormat::kPcm);
        EXPECT_EQ(sound->format.channels, 1);
        EXPECT_EQ(sound->format.bitsPerSample, 16);
        EXPECT_GE(sound->format.durationMs(), 200.0);
        EXPECT_LE(sound->format.durationMs(), 800.0);
    }
}

}  // namespace
}  // namespace wp2
