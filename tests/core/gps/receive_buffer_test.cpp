#include "core/gps/receive_buffer.h"

#include <gtest/gtest.h>

#include <vector>

#include "gps_test_support.h"
#include "support/trace_recorder.h"

namespace wp2 {
namespace {

using test::appendText;
using test::TestDecoder;
using test::u16;

std::string nmea(const std::string& body) {
    std::string line = test::nmeaLine(body);
    return line.substr(0, line.size() - 2);
}

const std::string kGga = nmea("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
const std::string kRmc = nmea("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");

TEST(ReceiveBufferTest, LineEndsAndGarbageCountAsIgnoredSymbols) {
    ReceiveBuffer b;
    GpsStatistics stats;
    stats.totalRefreshes = 3;
    appendText(b, kGga + "\r\n" + kRmc + "\r\n$GPRMC,1");
    std::u16string line;
    ASSERT_TRUE(b.takeLine(stats, line));
    EXPECT_EQ(line, u16(kGga));
    // CR, LF and the "$" of the next sentence; average over refreshes + 1.
    EXPECT_EQ(stats.ignoredSymbols, 3);
    EXPECT_EQ(stats.averageSymbols, static_cast<std::int64_t>((kGga.size() + 3) / 4));
    EXPECT_EQ(stats.maxSymbols, static_cast<std::int64_t>(kGga.size() + kRmc.size() + 12));
    ASSERT_TRUE(b.takeLine(stats, line));
    EXPECT_EQ(line, u16(kRmc));
    // An incomplete line still adds its characters to the accepted ones.
    EXPECT_FALSE(b.takeLine(stats, line));
    EXPECT_EQ(stats.acceptedSymbols, static_cast<std::int64_t>(kGga.size() + kRmc.size() + 8));
    EXPECT_EQ(b.contents(), u"$GPRMC,1");
    // Garbage before the first "$" is one failing line, then skipped with the line end.
    TestDecoder t;
    appendText(t.decoder.receiveBuffer(),
               "\x01garbage\xFE\r\nmore junk$" + kRmc.substr(1) + "\r\n");
    EXPECT_EQ(t.decoder.takeLine(), u"Error");
    EXPECT_EQ(t.decoder.takeLine(), u16(kRmc));
    EXPECT_EQ(t.decoder.takeLine(), u"");
    EXPECT_EQ(t.decoder.statistics().ignoredSymbols, 2 + 9 + 1 + 2);
    EXPECT_EQ(t.decoder.statistics().validSentences, 1);
}

TEST(ReceiveBufferTest, TakesThatSplitLinesOrTheirEnds) {
    TestDecoder t;
    ReceiveBuffer& b = t.decoder.receiveBuffer();
    // Bytes are sign-extended; nothing is taken below six characters, and
    // that is no empty-buffer access either.
    const unsigned char bytes[] = {0x41, 0x80, 0xC3, 0x0D, 0x0A};
    b.append(bytes, 2);
    b.append(bytes[2]);
    b.append(bytes + 3, 2);
    EXPECT_EQ(b.contents(), (std::u16string{u'A', 0xFF80, 0xFFC3, u'\r', u'\n'}));
    std::u16string line = u"untouched";
    EXPECT_FALSE(t.decoder.takeLine(line));
    EXPECT_EQ(line, u"untouched");
    EXPECT_EQ(t.decoder.statistics().emptyBufferAccesses + t.decoder.statistics().maxSymbols, 0);
    b.reset();
    // A "$" that is the last character buffered opens the next sentence.
    appendText(b, kGga + "\r\n$");
    EXPECT_EQ(t.decoder.takeLine(), u16(kGga));
    EXPECT_EQ(b.contents(), u"$");
    EXPECT_EQ(t.decoder.statistics().ignoredSymbols, 3);
    appendText(b, kRmc.substr(1) + "\r");
    EXPECT_EQ(t.decoder.takeLine(), u16(kRmc));
    // The LF of a line ended in the last block makes an empty, failing line.
    appendText(b, "\n" + kGga + "\r\n");
    EXPECT_EQ(t.decoder.takeLine(), u"Error");
    EXPECT_EQ(t.decoder.takeLine(), u16(kGga));
    EXPECT_EQ(t.decoder.statistics().totalSentences, 4);
    EXPECT_EQ(t.decoder.statistics().validSentences, 3);
}

TEST(ReceiveBufferTest, LinesOfMoreThan300CharactersAreErrorsOrDiscarded) {
    TestDecoder t;
    const std::string line300 = nmea("GPTXT," + std::string(290, 'x'));
    ASSERT_EQ(line300.size(), 300u);
    const std::string line301 = nmea("GPTXT," + std::string(291, 'x'));
    appendText(t.decoder.receiveBuffer(), line301 + "\r\n" + line300 + "\r\n" + kGga + "\r\n");
    EXPECT_EQ(t.decoder.takeLine(), u"Error");
    EXPECT_EQ(t.decoder.takeLine(), u16(line300));
    EXPECT_EQ(t.decoder.takeLine(), u16(kGga));
    // 301 characters without a line end are dropped at the next take.
    ReceiveBuffer& b = t.decoder.receiveBuffer();
    std::u16string line;
    appendText(b, line300);
    EXPECT_FALSE(t.decoder.takeLine(line));
    EXPECT_EQ(b.count(), 300);
    appendText(b, "a");
    EXPECT_FALSE(t.decoder.takeLine(line));
    EXPECT_EQ(b.count(), 0);
    EXPECT_TRUE(b.terminated());
}

// The 9991st character cuts the buffer to its first 1000, whether the bytes
// come one by one or in a block that crosses the threshold.
TEST(ReceiveBufferTest, The9991stCharacterCutsTheBufferToItsFirst1000) {
    std::string text;
    for (int i = 0; i < 9991; ++i) {
        text += static_cast<char>('A' + i % 26);
    }
    test::TraceRecorder traces;
    ReceiveBuffer byByte;
    for (char c : text) {
        EXPECT_TRUE(traces.texts().empty());
        byByte.append(static_cast<unsigned char>(c));
    }
    EXPECT_EQ(byByte.contents(), u16(text.substr(0, 1000)));
    EXPECT_TRUE(byByte.terminated());
    ReceiveBuffer inBlocks;
    appendText(inBlocks, text.substr(0, 5000));
    appendText(inBlocks, text.substr(5000) + "xyz");
    EXPECT_EQ(inBlocks.contents(), u16(text.substr(0, 1000) + "xyz"));
    EXPECT_EQ(traces.texts(), (std::vector<std::string>(2, "Buffer overflow!")));
}

}  // namespace
}  // namespace wp2
