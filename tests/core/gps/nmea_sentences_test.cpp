// SPDX-License-Identifier: GPL-3.0-or-later
// From bytes to sentences: the receive buffer that cuts lines, the checksum
// test, the field conversions and the RMC and GGA decoders.

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <tuple>

#include "core/gps/gga_decoder.h"
#include "core/gps/nmea_checksum.h"
#include "core/gps/nmea_field.h"
#include "core/gps/receive_buffer.h"
#include "core/gps/rmc_decoder.h"
#include "gps_test_support.h"
#include "support/trace_recorder.h"

namespace wp2 {
namespace {

using test::appendText;
using test::nmeaSentence;
using test::TestDecoder;

// Bit for bit (strtod gives the same NaN each time).
std::uint64_t bits(double value) {
    return std::bit_cast<std::uint64_t>(value);
}

TEST(NmeaChecksumTest, EitherCaseOfTwoDigitsAfterTheStar) {
    using enum NmeaChecksum;
    const struct {
        std::string_view line;
        NmeaChecksum verdict;
    } cases[] = {
        {"$GPGSV,1,1,00*79", Valid},
        {"$GPTXT,01,01,02,ANTSTATUS=OK*3b", Valid},
        {"$GPGSV,1,1,00*78", Wrong},
        {"$GPGSV,1,1,00", Unframed},
        {"$GPGSV,1,1,00*7", Unframed},
        {"GPGSV,1,1,00*79", Unframed},
        {"$GPGSV,1,1,00*7G", Unframed},
        {"$A*41", Unframed},
        {"$AB*03", Valid},
        // Bytes above 0x7F count widened with their sign: two of them cancel
        // out in the high bits, one leaves them set, and no sum of 80 or more passes.
        {"$GP\xC3\x80*54", Valid},
        {"$GP\xC3*D4", Wrong},
        {"$GP\xC3\x80\x80*D4", Wrong},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(nmeaChecksum(c.line), c.verdict) << c.line;
    }
}

TEST(NmeaFieldTest, NumbersReadExactlyLikeAtoiAndStrtod) {
    for (const char* text : {"", "0", "17", "-5", "+8", "  42", "12ab", "x12", "0012", "999999999",
                             "1234567890", "-2147483648", " -0", "07.5"}) {
        EXPECT_EQ(nmeaInt(text), std::atoi(text)) << text;
    }
    EXPECT_EQ(nmeaInt("99999999999999"), 2147483647);
    EXPECT_EQ(nmeaInt("-99999999999999"), INT_MIN);
    EXPECT_EQ(nmeaInt("+-5"), 0);
    EXPECT_EQ(nmeaInt("1\xD9\xA1"), 1);  // only ASCII digits count
    for (const char* text :
         {"", "4807.038", "-0.5", ".5", "5.", ".", "-", "1e3", "1.5e", "0x1A", "inf", "nan",
          " 12.25", "12.5*6A", "123456789012345", "1234567890123456.5", "0.000000000000000000001",
          // The corners where from_chars and strtod part: signs, hexadecimal
          // after "0x", values beyond the range of a double, no number at all.
          "+-5", "-.", "-x", "-0", "0x", "-0x", "0x-1", "0xinf", "-0x1.8p1", "0x.8", "1e400",
          "-1e400", "1e-400", "-2.4e-324", "4.9e-324", "0x8p-1080", "0x1p2000", "-infinity",
          // Where digits alone stop being exact: above 2^53, past 19 digits.
          "16653188536936.495", "900719925474099.3", "1844674407370955161.7",
          "0.00000000000000000683245", "1.2.3"}) {
        EXPECT_EQ(bits(nmeaDouble(text)), bits(std::strtod(text, nullptr))) << text;
    }
    // Random decimal texts of the shapes receivers send, bit for bit.
    std::mt19937 rng(3);
    for (int i = 0; i < 20000; ++i) {
        std::string text = (rng() % 4 == 0 ? "-" : "") + std::to_string(rng() % 100000);
        if (rng() % 5) {
            text += "." + std::to_string(rng() % 10000000);
        }
        ASSERT_EQ(bits(nmeaDouble(text)), bits(std::strtod(text.c_str(), nullptr))) << text;
    }
    // Random short texts on both sides of the four plain digits nmeaInt reads
    // inline: digits, signs, white space and other characters anywhere.
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        for (unsigned n = rng() % 7; n > 0; --n) {
            text += "0123456789012345-+ \t.x/:"[rng() % 25];
        }
        ASSERT_EQ(nmeaInt(text), std::atoi(text.c_str())) << text;
        ASSERT_EQ(bits(nmeaDouble(text)), bits(std::strtod(text.c_str(), nullptr))) << text;
    }
}

struct PositionCase {
    const char* body;
    bool ok;        // as the GPS talker alone reads it
    bool okStrict;  // as any talker reads it
    double lat;
    double lon;
};

constexpr double kLat = 48.1173;
constexpr double kLon = 11.516666666666667;

// Each case as the GPS talker alone (loose) and as any talker (strict) reads it.
template <class Decoder, std::size_t N>
void expectPositions(const std::string& head, const PositionCase (&cases)[N],
                     const std::string& rest = "") {
    for (const PositionCase& c : cases) {
        SCOPED_TRACE(c.body);
        for (bool isStrict : {false, true}) {
            Decoder d;
            d.strict = isStrict;
            const bool ok = isStrict ? c.okStrict : c.ok;
            ASSERT_EQ(d.decode(nmeaSentence(head + c.body + rest)), ok);
            if (ok) {
                EXPECT_NEAR(d.latitude, c.lat, 1e-12);
                EXPECT_NEAR(d.longitude, c.lon, 1e-12);
            }
        }
    }
}

TEST(RmcDecoderTest, TimePositionAndTheirLimits) {
    const std::string rest = ",022.4,084.4,230394,003.1,W";
    const PositionCase cases[] = {
        {"123519.75,A,4807.038,N,01131.000,E", true, true, kLat, kLon},
        {"235959,A,4807.038,S,01131.000,W", true, true, -kLat, -kLon},
        {"235960,A,4807.038,N,01131.000,E", false, false, 0, 0},
        {"240000,A,4807.038,N,01131.000,E", false, false, 0, 0},
        {"126000,A,4807.038,N,01131.000,E", false, false, 0, 0},
        {"1,V,4860.000,N,01160.0,E", true, true, 49, 12},
        {"1,A,4860.001,N,01131.000,E", false, false, 0, 0},
        {"1,A,4807.038,N,01160.001,E", false, false, 0, 0},
        {"1,A,9000.000,N,18000.000,W", true, true, 90, -180},
        {"1,A,9100.000,N,01131.000,E", false, false, 0, 0},
        {"1,A,4807.038,N,99931.000,E", true, false, kLat, 999 + 31.0 / 60},
        {"1,A,4807,N,01131.000,E", false, false, 0, 0},
        {"1,A,,N,01131.000,E", false, false, 0, 0},
        {"1,A,4807.038,n,01131.000,", true, false, -kLat, -kLon},
        {"1,A,4807.038,N,01131.000,EW", true, false, kLat, kLon},
        {"1,,4807.038,N,01131.000,E", false, false, 0, 0},
        {"1,AV,4807.038,N,01131.000,E", false, false, 0, 0},
        {"123519.00000000000000000,A,4807.038,N,01131.000,E", true, true, kLat, kLon},
        {"123519.000000000000000000,A,4807.038,N,01131.000,E", false, false, 0, 0},
        {"1,A,4807.03800000000000,N,01131.000,E", true, true, kLat, kLon},
        {"1,A,4807.038000000000000,N,01131.000,E", false, false, 0, 0},
    };
    expectPositions<RmcDecoder>("GPRMC,", cases, rest);
    RmcDecoder d;
    ASSERT_TRUE(d.decode(nmeaSentence("GNRMC,123519.75,A,4807.038,N,01131.000,E" + rest + ",A,V")));
    EXPECT_EQ(std::tuple(d.utc.hour, d.utc.minute, d.utc.seconds),
              std::tuple(12, 35, 19.0));  // whole
    // Any talker (strict) keeps the fraction, as GGA does.
    RmcDecoder strict;
    strict.strict = true;
    ASSERT_TRUE(strict.decode(nmeaSentence("GNRMC,102143.990,A,4807.038,N,01131.000,E" + rest)));
    EXPECT_EQ(strict.utc.seconds, 43.99);
    // A rejected sentence keeps the previous values.
    EXPECT_FALSE(d.decode(nmeaSentence("GPRMC,240000,A,5000.000,N,01131.000,E" + rest)));
    EXPECT_DOUBLE_EQ(d.latitude, kLat);
    // Speed, course and date have no length limit.
    ASSERT_TRUE(
        d.decode(nmeaSentence("GPRMC,1,A,4807.038,N,01131.000,E,000000000000000000000022.5,,")));
    EXPECT_DOUBLE_EQ(d.speed, 22.5);
    EXPECT_FALSE(d.decode(nmeaSentence("GPRMC,1,A,4807.038,N,01131.000,E,1e999,,")));
    EXPECT_FALSE(d.decode(nmeaSentence("GPRMC,1,A,4807.038,N,01131.000,E,1,nan,")));
}

TEST(GgaDecoderTest, EveryFieldAndItsLimits) {
    const PositionCase cases[] = {
        {"235959.99,4807.038,S,01131.000,W,1,08,0.9,545.4,M,46.9,M,,", true, true, -kLat, -kLon},
        {"1,4807.038,x,01131.000,,2,04,1.5,1,M,1,M,,", true, false, kLat, kLon},
        {"1,,,,,0,00,,,M,,M,,", true, true, 0, 0},  // no fix: no position either
        {"1,4875.000,N,01131.000,E,1,04,1.5,1,M,1,M,,", true, false, 49.25, kLon},
        {"1,9000.000,N,18000.000,E,1,04,1.5,1,M,1,M,,", true, true, 90, 180},
        {"1,9000.001,N,01131.000,E,1,04,1.5,1,M,1,M,,", false, false, 0, 0},
        {"1,4807.038,N,18000.001,E,1,04,1.5,1,M,1,M,,", false, false, 0, 0},
        {"120060.0,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,", false, false, 0, 0},
        {"240000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,", false, false, 0, 0},
        {"126000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,", false, false, 0, 0},
        {"1,4807.038,N,01131.000,E,6,08,0.9,545.4,M,46.9,M,,", false, false, 0, 0},
        {"1,4807.038,N,01131.000,E,,08,0.9,545.4,M,46.9,M,,", false, false, 0, 0},
        {"1,4807.038,N,01131.000,E,1,08,0.9,545.4000000000000000,M,46.9,M,,", false, false, 0, 0},
        {"1,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.90000000000000000,M,,", false, false, 0, 0},
        {"1,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,MMMMMMMMMMMMMMMMMMMMM,,", true, true, kLat,
         kLon},
        // A number no fix holds, which the track and pushpin files refuse.
        {"1,4807.038,N,01131.000,E,1,08,0.9,1e999,M,46.9,M,,", false, false, 0, 0},
        {"1,4807.038,N,01131.000,E,1,08,nan,545.4,M,46.9,M,,", false, false, 0, 0},
        {"1,4807.038,N,01131.000,E,1,08,0.9,545.4,M,-inf,M,,", false, false, 0, 0},
    };
    expectPositions<GgaDecoder>("GPGGA,", cases);
    GgaDecoder d;
    ASSERT_TRUE(
        d.decode(nmeaSentence("GNGGA,123519.25,4807.038,N,01131.000,E,3,04,1.5,1000,F,100,f,,")));
    EXPECT_EQ(
        (std::array{double(d.minute), d.seconds, double(d.quality), d.altitude, d.geoidSeparation}),
        (std::array{35.0, 19.25, 4.0, 305.0, 30.5}));
}

const std::string kGga =
    nmeaSentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
const std::string kRmc =
    nmeaSentence("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");

// The next line the decoder takes: its text when it passed the checksum,
// "failed:" and its text when it did not, "" when no line is complete.
std::string take(TestDecoder& t) {
    ReceivedLine line;
    if (!t.decoder.takeLine(line)) {
        return "";
    }
    return line.valid() ? line.text : "failed:" + line.text;
}

// The statistics of whole lines are checked through the reports and the
// replay tool; here lines split across blocks, and garbage.
TEST(ReceiveBufferTest, TakesThatSplitLinesOrTheirEnds) {
    TestDecoder t;
    ReceiveBuffer& b = t.decoder.receiveBuffer();
    // Nothing is taken below six bytes, and that is no empty-buffer access either.
    const unsigned char bytes[] = {0x41, 0x80, 0xC3, 0x0D, 0x0A};
    b.append(bytes, 2);
    b.append(bytes[2]);
    b.append(bytes + 3, 2);
    EXPECT_EQ(b.contents(), "A\x80\xC3\r\n");
    ReceivedLine line{"untouched", NmeaChecksum::Valid};
    EXPECT_FALSE(t.decoder.takeLine(line));
    EXPECT_EQ(line.text, "untouched");
    EXPECT_EQ(
        std::tuple(t.decoder.statistics().emptyBufferAccesses, t.decoder.statistics().maxSymbols),
        std::tuple(0, 0));
    b.reset();
    // A "$" that is the last character buffered opens the next sentence.
    appendText(b, kGga + "\r\n$");
    EXPECT_EQ(take(t), kGga);
    EXPECT_EQ(b.contents(), "$");
    EXPECT_EQ(t.decoder.statistics().ignoredSymbols, 3);
    appendText(b, kRmc.substr(1) + "\r");
    EXPECT_EQ(take(t), kRmc);
    // The LF of a line ended in the last block makes an empty, failing line.
    appendText(b, "\n" + kGga + "\r\n");
    EXPECT_EQ(take(t), "failed:");
    EXPECT_EQ(take(t), kGga);
    EXPECT_EQ(t.decoder.statistics().totalSentences, 4);
    EXPECT_EQ(t.decoder.statistics().validSentences, 3);
    // Garbage before the first "$" is one failing line, skipped with its line
    // end; an incomplete line still counts as accepted.
    const GpsStatistics before = t.decoder.statistics();
    appendText(b, "\x01garbage\xFE\r\nmore junk$" + kRmc.substr(1) + "\r\n$GPRMC,1");
    EXPECT_EQ(take(t), "failed:\x01garbage\xFE");
    EXPECT_EQ(take(t), kRmc);
    EXPECT_EQ(take(t), "");
    EXPECT_EQ(t.decoder.statistics().ignoredSymbols - before.ignoredSymbols, 2 + 9 + 1 + 3);
    EXPECT_EQ(t.decoder.statistics().acceptedSymbols - before.acceptedSymbols,
              static_cast<std::int64_t>(9 + kRmc.size() + 8));
}

TEST(ReceiveBufferTest, LinesOfMoreThan300BytesFailOrAreDiscarded) {
    TestDecoder t;
    const std::string line300 = nmeaSentence("GPTXT," + std::string(290, 'x'));
    ASSERT_EQ(line300.size(), 300u);
    const std::string line301 = nmeaSentence("GPTXT," + std::string(291, 'x'));
    appendText(t.decoder.receiveBuffer(), line301 + "\r\n" + line300 + "\r\n" + kGga + "\r\n");
    EXPECT_EQ(take(t), "failed:");
    EXPECT_EQ(take(t), line300);
    EXPECT_EQ(take(t), kGga);
    // 301 bytes without a line end are dropped at the next take.
    ReceiveBuffer& b = t.decoder.receiveBuffer();
    ReceivedLine line;
    appendText(b, line300);
    EXPECT_FALSE(t.decoder.takeLine(line));
    EXPECT_EQ(b.count(), 300);
    appendText(b, "a");
    EXPECT_FALSE(t.decoder.takeLine(line));
    EXPECT_EQ(b.count(), 0);
    EXPECT_TRUE(b.terminated());
}

// The 9991st byte cuts the buffer to its first 1000, whether the bytes
// come one by one or in a block that crosses the threshold.
TEST(ReceiveBufferTest, The9991stByteCutsTheBufferToItsFirst1000) {
    std::string text;
    for (int i = 0; i < 9991; ++i) {
        text += static_cast<char>('A' + i % 26);
    }
    test::TraceRecorder traces;
    ReceiveBuffer byByte;
    byByte.traceTo(&traces.diagnostics);
    for (char c : text) {
        EXPECT_TRUE(traces.texts().empty());
        byByte.append(static_cast<unsigned char>(c));
    }
    EXPECT_EQ(byByte.contents(), text.substr(0, 1000));
    EXPECT_TRUE(byByte.terminated());
    ReceiveBuffer inBlocks;
    inBlocks.traceTo(&traces.diagnostics);
    appendText(inBlocks, text.substr(0, 5000));
    appendText(inBlocks, text.substr(5000) + "xyz");
    EXPECT_EQ(inBlocks.contents(), text.substr(0, 1000) + "xyz");
    EXPECT_EQ(traces.texts(), (std::vector<std::string>(2, "Buffer overflow!")));
}

}  // namespace
}  // namespace wp2
