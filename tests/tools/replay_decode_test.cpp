// wayplot2-tool replay and decode, run as programs.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "support/test_support.h"

namespace wp2 {
namespace {

using test::fileExists;
using test::readBytes;
using test::readFile;
using test::runProgram;
using test::TempDir;
using test::writeFile;

std::string nmea(const std::string& body) {
    unsigned sum = 0;
    for (unsigned char c : body) {
        sum ^= c;
    }
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X", sum);
    return "$" + body + tail;
}

const std::string kGsa = nmea("GPGSA,A,3,04,05,09,12,24,,,,,,,,2.5,1.3,2.1");
const std::string kRmc = nmea("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
const std::string kGga = nmea("GPGGA,123520.5,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
const std::string kLog = kGsa + "\r\n" + kRmc + "\r\n" + kGga + "\r\n";

std::int32_t int32At(const std::vector<unsigned char>& b, std::size_t at) {
    std::int32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

double doubleAt(const std::vector<unsigned char>& b, std::size_t at) {
    double v;
    std::memcpy(&v, b.data() + at, 8);
    return v;
}

TEST(ReplayToolTest, PrintsTheStatisticsAndWritesTheTrack) {
    TempDir dir;
    writeFile(dir.file("drive.nmea"), kLog);
    auto r = runProgram({WAYPLOT2_TOOL, "replay", dir.file("drive.nmea"), dir.file("out.atk")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const long long bytes = static_cast<long long>(kLog.size());
    // The "$" after each of the first two line ends counts as ignored and again as accepted.
    const long long total = bytes + 2;
    const long long accepted = bytes - 6;
    EXPECT_EQ(r.out,
              "GPS Rec. statistics:\r\nTotal symbols: " + std::to_string(total) +
                  "\r\nAccepted symbols: " + std::to_string(accepted) + " (" +
                  std::to_string(accepted * 100 / (total + 1)) + "%)\r\nIgnored symbols: 8 (" +
                  std::to_string(800 / (total + 1)) +
                  "%)\r\nTotal sentences: 3\r\nValid sentences: 3 (75%)\r\n"
                  "RMC sentences: 1\r\nTotal refreshes: 1\r\nAverage symbols in buffer: " +
                  std::to_string(total / 2) + "\r\nMax symbols in buffer: " +
                  std::to_string(bytes) + " (" + std::to_string(bytes * 100 / 10000) +
                  "%)\r\nEmpty buffer accesses: 0\r\nState: 103\r\n"
                  "Signal Level OK, fix 5 satelites\r\nAccuracy 9 M; HDOP 1.3; VDOP 2.1\r\n");

    std::vector<unsigned char> atk = readBytes(dir.file("out.atk"));
    ASSERT_EQ(atk.size(), 24u + 64u);
    EXPECT_EQ(int32At(atk, 0), 2);
    EXPECT_EQ(int32At(atk, 4), 1000);
    EXPECT_EQ(int32At(atk, 8), 1);
    EXPECT_EQ(int32At(atk, 12), 0);
    EXPECT_EQ(int32At(atk, 20), 1);
    // The RMC point, with the satellites of the GGA merged into it.
    EXPECT_NEAR(doubleAt(atk, 24) * 57.295779532957766, 48.1173, 1e-9);
    EXPECT_EQ(atk[24 + 24], 94);
    EXPECT_DOUBLE_EQ(doubleAt(atk, 24 + 37), 22.4);
    EXPECT_DOUBLE_EQ(doubleAt(atk, 24 + 45), 84.4);
    EXPECT_EQ(atk[24 + 63], 8);
}

TEST(DecodeToolTest, OneRowPerOfferedFixInTheExactFormat) {
    TempDir dir;
    writeFile(dir.file("drive.nmea"),
              "junk line\n" + kLog + nmea("GNRMC,1,A,1.0,N,1.0,E,,,,") + "\n");
    auto r = runProgram({WAYPLOT2_TOOL, "decode", dir.file("drive.nmea")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(
        r.out,
        "line,sentence,date,time,lat,lon,alt,speed,course,flags,kept\n"
        "3,GPRMC,2094-03-23,12:35:19.000,48.117300000,11.516666667,0.000,22.400,84.400,103,1\n"
        "4,GPGGA,2094-03-23,12:35:20.500,48.117300000,11.516666667,545.400,0.000,0.000,103,1\n");
}

TEST(DecodeToolTest, AGgaBeforeAnyRmcHasNoDate) {
    TempDir dir;
    writeFile(dir.file("gga.nmea"),
              nmea("GPGGA,000001,0000.000,S,00030.000,W,2,03,1.5,-3.25,M,,,,") + "\r\n");
    auto r = runProgram({WAYPLOT2_TOOL, "decode", dir.file("gga.nmea")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "line,sentence,date,time,lat,lon,alt,speed,course,flags,kept\n"
              "1,GPGGA,,00:00:01.000,-0.000000000,-0.500000000,-3.250,0.000,0.000,65,1\n");
}

// A "$" that is the last byte of a 4096-byte block opens the next sentence.
TEST(ReplayToolTest, ASentenceWhoseDollarEndsABlockIsNotLost) {
    TempDir dir;
    std::string log;
    while (log.size() + kGsa.size() + 2 < 4000) {
        log += kGsa + "\r\n";
    }
    log += std::string(4095 - log.size() - 2, 'x') + "\r\n";
    ASSERT_EQ(log.size(), 4095u);
    log += kRmc + "\r\n";
    ASSERT_EQ(log[4095], '$');
    writeFile(dir.file("edge.nmea"), log);
    auto r = runProgram({WAYPLOT2_TOOL, "decode", dir.file("edge.nmea")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(",GPRMC,2094-03-23,12:35:19.000,"), std::string::npos) << r.out;
    auto s = runProgram({WAYPLOT2_TOOL, "replay", dir.file("edge.nmea"), dir.file("edge.atk")});
    EXPECT_NE(s.out.find("RMC sentences: 1\r\n"), std::string::npos) << s.out;
    EXPECT_NE(s.out.find("Total refreshes: 2\r\n"), std::string::npos) << s.out;
}

TEST(ReplayToolTest, AMissingOrUnreadableLogIsOneErrorLineAndNoOutputFile) {
    TempDir dir;
    auto missing =
        runProgram({WAYPLOT2_TOOL, "replay", dir.file("none.nmea"), dir.file("out.atk")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find(dir.file("none.nmea")), std::string::npos);
    EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1);
    EXPECT_FALSE(fileExists(dir.file("out.atk")));

    auto folder = runProgram({WAYPLOT2_TOOL, "replay", dir.path(), dir.file("out.atk")});
    EXPECT_EQ(folder.status, 1);
    EXPECT_EQ(folder.out, "");
    EXPECT_NE(folder.err.find(dir.path()), std::string::npos);
    EXPECT_FALSE(fileExists(dir.file("out.atk")));

    auto decode = runProgram({WAYPLOT2_TOOL, "decode", dir.file("none.nmea")});
    EXPECT_EQ(decode.status, 1);
    EXPECT_EQ(decode.out, "");
    EXPECT_NE(decode.err.find(dir.file("none.nmea")), std::string::npos);

    EXPECT_EQ(runProgram({WAYPLOT2_TOOL, "replay", dir.file("none.nmea")}).status, 2);
    EXPECT_EQ(runProgram({WAYPLOT2_TOOL, "decode"}).status, 2);
}

TEST(ReplayToolTest, LargeLogsReportProgressOnStandardErrorOnly) {
    TempDir dir;
    std::string epoch = kGsa + "\r\n" + kRmc + "\r\n" + kGga + "\r\n";
    std::string log;
    log.reserve(11u << 20);
    while (log.size() < (11u << 20)) {
        log += epoch;
    }
    writeFile(dir.file("big.nmea"), log);
    auto r = runProgram({WAYPLOT2_TOOL, "replay", dir.file("big.nmea"), dir.file("big.atk")});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("GPS Rec. statistics:\r\n", 0), 0u);
    EXPECT_NE(r.err.find("100%"), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find('%', r.out.find("Signal")), std::string::npos);

    writeFile(dir.file("small.nmea"), epoch);
    EXPECT_EQ(runProgram({WAYPLOT2_TOOL, "replay", dir.file("small.nmea"), dir.file("s.atk")}).err,
              "");
}

}  // namespace
}  // namespace wp2
