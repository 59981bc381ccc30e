#include "core/gps/receive_buffer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>
#include <vector>

#include "core/base/trace.h"
#include "core/gps/char16_scan.h"
#include "gps_test_support.h"

namespace wp2 {
namespace {

std::string nmea(const std::string& body) {
    std::string line = test::nmeaLine(body);
    return line.substr(0, line.size() - 2);
}

using test::appendText;
using test::TestDecoder;
using test::u16;

const std::string kGga = nmea("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
const std::string kRmc = nmea("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");

TEST(ReceiveBufferTest, BytesAboveSevenBitsAreSignExtended) {
    ReceiveBuffer b;
    const unsigned char bytes[] = {0x41, 0x80, 0xC3, 0xFF, 0x7F};
    b.append(bytes, 2);
    b.append(bytes[2]);
    b.append(bytes + 3, 2);
    EXPECT_EQ(b.contents(), (std::u16string{u'A', 0xFF80, 0xFFC3, 0xFFFF, 0x7F}));
    EXPECT_TRUE(b.terminated());
}

TEST(ReceiveBufferTest, NothingIsTakenBelowSixCharactersAndThatIsNoEmptyAccess) {
    ReceiveBuffer b;
    GpsStatistics stats;
    std::u16string line = u"untouched";
    appendText(b, "$GP\r\n");
    EXPECT_FALSE(b.takeLine(stats, line));
    EXPECT_EQ(line, u"untouched");
    EXPECT_EQ(stats.emptyBufferAccesses, 0);
    EXPECT_EQ(stats.maxSymbols, 0);
    EXPECT_EQ(stats.acceptedSymbols + stats.ignoredSymbols, 0);
    EXPECT_EQ(b.count(), 5);
}

TEST(ReceiveBufferTest, CrLfBetweenSentencesIsTwoIgnoredSymbolsPlusTheDollar) {
    ReceiveBuffer b;
    GpsStatistics stats;
    appendText(b, kGga + "\r\n" + kRmc + "\r\n");
    std::u16string line;
    ASSERT_TRUE(b.takeLine(stats, line));
    EXPECT_EQ(line, u16(kGga));
    EXPECT_EQ(stats.acceptedSymbols, static_cast<std::int64_t>(kGga.size()));
    EXPECT_EQ(stats.ignoredSymbols, 3);
    EXPECT_EQ(b.contents(), u16(kRmc + "\r\n"));
    EXPECT_EQ(stats.maxSymbols, static_cast<std::int64_t>(kGga.size() + kRmc.size() + 4));

    ASSERT_TRUE(b.takeLine(stats, line));
    EXPECT_EQ(line, u16(kRmc));
    // The last line end has no "$" after it: both characters up to the end count.
    EXPECT_EQ(stats.ignoredSymbols, 3 + 2);
    EXPECT_EQ(b.count(), 0);
    EXPECT_FALSE(b.takeLine(stats, line));
}

TEST(ReceiveBufferTest, AverageSymbolsUseTheRefreshCountPlusOne) {
    ReceiveBuffer b;
    GpsStatistics stats;
    stats.totalRefreshes = 3;
    appendText(b, kGga + "\r\n$GPRMC,1");
    std::u16string line;
    ASSERT_TRUE(b.takeLine(stats, line));
    EXPECT_EQ(stats.averageSymbols, static_cast<std::int64_t>((kGga.size() + 3) / 4));
    // An incomplete line still adds its characters to the accepted ones.
    EXPECT_FALSE(b.takeLine(stats, line));
    EXPECT_EQ(stats.acceptedSymbols, static_cast<std::int64_t>(kGga.size() + 8));
    EXPECT_EQ(b.contents(), u"$GPRMC,1");
}

TEST(ReceiveBufferTest, GarbageBeforeTheFirstDollarIsOneErrorLineThenSkipped) {
    TestDecoder t;
    appendText(t.decoder.receiveBuffer(),
               "\x01garbage\xFE"
               "abc\r\nmore junk$" +
                   kRmc.substr(1) + "\r\n");
    EXPECT_EQ(t.decoder.takeLine(), u"Error");
    EXPECT_EQ(t.decoder.takeLine(), u16(kRmc));
    EXPECT_EQ(t.decoder.takeLine(), u"");
    const GpsStatistics& s = t.decoder.statistics();
    EXPECT_EQ(s.totalSentences, 2);
    EXPECT_EQ(s.validSentences, 1);
    // CR, LF, "more junk" and the "$" are skipped in one go.
    EXPECT_EQ(s.ignoredSymbols, 2 + 9 + 1 + 2);
}

TEST(ReceiveBufferTest, LinesLongerThan300AreErrorsButStillRemoved) {
    TestDecoder t;
    std::string body300 = "GPTXT," + std::string(290, 'x');
    std::string line300 = nmea(body300);
    ASSERT_EQ(line300.size(), 300u);
    std::string line301 = nmea(body300 + "y");
    ASSERT_EQ(line301.size(), 301u);

    appendText(t.decoder.receiveBuffer(), line301 + "\r\n" + line300 + "\r\n" + kGga + "\r\n");
    EXPECT_EQ(t.decoder.takeLine(), u"Error");
    EXPECT_EQ(t.decoder.takeLine(), u16(line300));
    EXPECT_EQ(t.decoder.takeLine(), u16(kGga));
    EXPECT_EQ(t.decoder.statistics().totalSentences, 3);
    EXPECT_EQ(t.decoder.statistics().validSentences, 2);
}

TEST(ReceiveBufferTest, MoreThan300CharactersWithoutLineEndAreDiscarded) {
    ReceiveBuffer b;
    GpsStatistics stats;
    std::u16string line;
    appendText(b, "$" + std::string(299, 'a'));
    EXPECT_FALSE(b.takeLine(stats, line));
    EXPECT_EQ(b.count(), 300);
    appendText(b, "a");
    EXPECT_FALSE(b.takeLine(stats, line));
    EXPECT_EQ(b.count(), 0);
    EXPECT_TRUE(b.terminated());
    EXPECT_EQ(stats.acceptedSymbols, 300 + 301);
}

TEST(ReceiveBufferTest, The9991stCharacterCutsTheBufferToItsFirst1000) {
    std::string text;
    for (int i = 0; i < 9991; ++i) {
        text += static_cast<char>('A' + i % 26);
    }
    std::vector<std::string> traces;
    TraceHook previous = setTraceHook([&](const std::string& t) { traces.push_back(t); });

    ReceiveBuffer byByte;
    for (int i = 0; i < 9990; ++i) {
        byByte.append(static_cast<unsigned char>(text[static_cast<std::size_t>(i)]));
    }
    EXPECT_EQ(byByte.count(), 9990);
    EXPECT_TRUE(traces.empty());
    byByte.append(static_cast<unsigned char>(text[9990]));
    EXPECT_EQ(byByte.count(), 1000);
    EXPECT_EQ(byByte.contents(), u16(text.substr(0, 1000)));
    EXPECT_TRUE(byByte.terminated());
    EXPECT_EQ(traces, std::vector<std::string>{"Buffer overflow!"});

    // A block that crosses the threshold overflows at the same character and
    // goes on appending behind the first 1000.
    ReceiveBuffer inBlocks;
    appendText(inBlocks, text.substr(0, 5000));
    appendText(inBlocks, text.substr(5000) + "xyz");
    EXPECT_EQ(inBlocks.contents(), u16(text.substr(0, 1000) + "xyz"));
    EXPECT_EQ(traces.size(), 2u);
    setTraceHook(previous);
}

// The mended take: a "$" that is the last character buffered opens the next
// sentence and must survive the cut.
TEST(ReceiveBufferTest, ADollarThatEndsTheBufferIsKeptForTheNextSentence) {
    TestDecoder t;
    ReceiveBuffer& b = t.decoder.receiveBuffer();
    appendText(b, kGga + "\r\n$");
    EXPECT_EQ(t.decoder.takeLine(), u16(kGga));
    EXPECT_EQ(b.contents(), u"$");
    EXPECT_TRUE(b.terminated());
    // The statistics are those of the step as written: CR, LF and the "$".
    EXPECT_EQ(t.decoder.statistics().ignoredSymbols, 3);

    appendText(b, kRmc.substr(1) + "\r\n");
    EXPECT_EQ(t.decoder.takeLine(), u16(kRmc));
    EXPECT_EQ(t.decoder.statistics().validSentences, 2);

    // Without a "$" after the line end the rest is dropped as before.
    appendText(b, kGga + "\r\nGP");
    EXPECT_EQ(t.decoder.takeLine(), u16(kGga));
    EXPECT_EQ(b.count(), 0);
}

TEST(ReceiveBufferTest, ALineEndingAtABlockBoundaryLeavesAnErrorForTheLoneLf) {
    TestDecoder t;
    appendText(t.decoder.receiveBuffer(), kGga + "\r");
    EXPECT_EQ(t.decoder.takeLine(), u16(kGga));
    appendText(t.decoder.receiveBuffer(), "\n" + kRmc + "\r\n");
    // The LF starts the buffer: an empty line, counted as a sentence that fails.
    EXPECT_EQ(t.decoder.takeLine(), u"Error");
    EXPECT_EQ(t.decoder.takeLine(), u16(kRmc));
    EXPECT_EQ(t.decoder.statistics().totalSentences, 3);
}

TEST(ReceiveBufferTest, ByteAndBlockAppendsLeaveTheSameBuffer) {
    std::mt19937 rng(7);
    std::string bytes;
    for (int i = 0; i < 60000; ++i) {
        int r = static_cast<int>(rng() % 100);
        bytes += r < 2 ? '\n' : r < 4 ? '$' : static_cast<char>(rng() % 256);
    }
    ReceiveBuffer a;
    ReceiveBuffer b;
    GpsStatistics sa;
    GpsStatistics sb;
    std::u16string la;
    std::u16string lb;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t n = std::min<std::size_t>(1 + rng() % 12000, bytes.size() - at);
        for (std::size_t i = 0; i < n; ++i) {
            a.append(static_cast<unsigned char>(bytes[at + i]));
        }
        appendText(b, bytes.substr(at, n));
        at += n;
        ASSERT_EQ(a.contents(), b.contents());
        int takes = static_cast<int>(rng() % 4);
        for (int k = 0; k < takes; ++k) {
            bool ta = a.takeLine(sa, la);
            ASSERT_EQ(ta, b.takeLine(sb, lb));
            ASSERT_EQ(la, lb);
        }
        ASSERT_TRUE(b.terminated());
    }
    EXPECT_EQ(sa.acceptedSymbols, sb.acceptedSymbols);
    EXPECT_EQ(sa.ignoredSymbols, sb.ignoredSymbols);
}

TEST(ReceiveBufferTest, FastScansAgreeWithPlainLoops) {
    std::mt19937 rng(11);
    const char16_t alphabet[] = {u'a', u'\r', u'\n', u'$', u'*', 0xFF8A, 0x0D00, 0x240D};
    for (int round = 0; round < 3000; ++round) {
        std::u16string s(rng() % 40, u'x');
        for (char16_t& c : s) {
            c = alphabet[rng() % 8];
        }
        std::size_t lineEnd = 0;
        while (lineEnd < s.size() && s[lineEnd] != u'\r' && s[lineEnd] != u'\n') {
            ++lineEnd;
        }
        std::size_t dollar = s.find(u'$');
        unsigned sum = 0;
        for (char16_t c : s) {
            sum ^= c;
        }
        ASSERT_EQ(findLineEnd(s.data(), s.size()), lineEnd);
        ASSERT_EQ(findChar(s.data(), s.size(), u'$'),
                  dollar == std::u16string::npos ? s.size() : dollar);
        ASSERT_EQ(xorAll(s.data(), s.size()), sum);
    }
}

// Smoke test of the two threads: a reader appending byte by byte while the
// decoder cuts lines. Every sentence must come out whole and in order.
TEST(ReceiveBufferTest, AppendOnAnotherThreadWhileLinesAreTaken) {
    ReceiveBuffer b;
    GpsStatistics stats;
    const int kSentences = 3000;
    std::vector<std::string> sent;
    for (int i = 0; i < kSentences; ++i) {
        sent.push_back(nmea("GPTXT,01,01,02,line " + std::to_string(i)));
    }
    std::atomic<bool> done{false};
    std::thread reader([&] {
        for (const std::string& s : sent) {
            for (char c : s + "\r\n") {
                b.append(static_cast<unsigned char>(c));
            }
            while (b.count() > 5000) {
                std::this_thread::yield();
            }
        }
        done = true;
    });
    std::vector<std::u16string> got;
    std::u16string line;
    while (got.size() < sent.size()) {
        if (b.takeLine(stats, line)) {
            // A take between CR and LF leaves the LF to open an empty line.
            if (!line.empty()) {
                got.push_back(line);
            }
        } else if (done && b.count() < 6) {
            break;
        }
    }
    reader.join();
    ASSERT_EQ(got.size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i) {
        ASSERT_EQ(got[i], u16(sent[i])) << i;
    }
}

}  // namespace
}  // namespace wp2
