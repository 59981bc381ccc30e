// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-tool replay and decode, run as programs.

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "support/nmea_lines.h"
#include "support/test_support.h"

namespace wp2::test {
namespace {

const std::string kGsa = nmeaLine("GPGSA,A,3,04,05,09,12,24,,,,,,,,2.5,1.3,2.1");
const std::string kRmc =
    nmeaLine("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
const std::string kGga =
    nmeaLine("GPGGA,123520.5,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");

TEST(ReplayToolTest, PrintsTheStatisticsAndWritesTheTrack) {
    TempDir dir;
    writeFile(dir.file("drive.nmea"), kGsa + kRmc + kGga);
    auto r = runProgram({WAYPLOT2_TOOL, "replay", dir.file("drive.nmea"), dir.file("out.atk")});
    ASSERT_EQ(std::tuple(r.status, r.err), std::tuple(0, ""));
    // 49 + 70 + 69 bytes; the "$" after each of the first two line ends counts
    // as ignored and again as accepted.
    EXPECT_EQ(r.out,
              "GPS Rec. statistics:\nTotal symbols: 190\nAccepted symbols: 182 (95%)\n"
              "Ignored symbols: 8 (4%)\nTotal sentences: 3\nValid sentences: 3 (75%)\n"
              "RMC sentences: 1\nTotal refreshes: 1\nAverage symbols in buffer: 95\n"
              "Max symbols in buffer: 188 (1%)\nEmpty buffer accesses: 0\nState: 103\n"
              "Signal level OK, 5 satellites in the fix\nAccuracy 9 m; HDOP 1.3; VDOP 2.1\n");
    // One point: the RMC one with the satellites of the GGA merged into it (the
    // header's layout and counters are the track file's tests', the point's
    // other fields the decoder's).
    std::vector<unsigned char> atk = readBytes(dir.file("out.atk"));
    ASSERT_EQ(atk.size(), 24u + 64u);
    EXPECT_EQ(atk[24 + 63], 8);  // satellites
}

TEST(DecodeToolTest, OneRowPerOfferedFixForTheChosenTalkers) {
    TempDir dir;
    writeFile(dir.file("drive.nmea"),
              "junk line\n" + nmeaLine("GPGGA,000001,0000.000,S,00030.000,W,2,03,1.5,-3.25,M,,,,") +
                  kGsa + kRmc + kGga + nmeaLine("GNRMC,1,A,1.0,N,1.0,E,,,,"));
    const std::string head = "line,sentence,date,time,lat,lon,alt,speed,course,flags,kept\n";
    const std::string gp =
        "2,GPGGA,,00:00:01.000,-0.000000000,-0.500000000,-3.250,0.000,0.000,65,1\n"
        "4,GPRMC,2094-03-23,12:35:19.000,48.117300000,11.516666667,-3.250,22.400,84.400,103,1\n"
        "5,GPGGA,2094-03-23,12:35:20.500,48.117300000,11.516666667,545.400,0.000,0.000,103,1\n";
    auto r = runProgram({WAYPLOT2_TOOL, "decode", "--talkers", "gp", dir.file("drive.nmea")});
    EXPECT_EQ(r.out, head + gp) << r.err;
    r = runProgram({WAYPLOT2_TOOL, "decode", dir.file("drive.nmea")});
    EXPECT_EQ(
        r.out,
        head + gp + "6,GNRMC,,01:00:00.000,0.016666667,0.016666667,545.400,0.000,0.000,99,1\n");
    EXPECT_EQ(r.status, 0);
}

TEST(ReplayToolTest, AnUnreadableLogIsOneErrorLineAndNoOutputFile) {
    TempDir dir;
    for (const std::string& log : {dir.file("none.nmea"), dir.path()}) {
        auto r = runProgram({WAYPLOT2_TOOL, "replay", log, dir.file("out.atk")});
        EXPECT_EQ(std::tuple(r.status, r.out), std::tuple(1, ""));
        EXPECT_EQ(r.err.find(log), r.err.find("wayplot2-tool: cannot read ") + 27) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1);
        EXPECT_FALSE(fileExists(dir.file("out.atk")));
        EXPECT_EQ(runProgram({WAYPLOT2_TOOL, "decode", log}).status, 1);
    }
}

TEST(ReplayToolTest, LargeLogsReportProgressOnStandardErrorOnly) {
    TempDir dir;
    std::string log;
    while (log.size() < (11u << 20)) {
        log += kGsa + kRmc + kGga;
    }
    writeFile(dir.file("big.nmea"), log);
    auto r = runProgram({WAYPLOT2_TOOL, "replay", dir.file("big.nmea"), dir.file("big.atk")});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("GPS Rec. statistics:\n", 0), 0u);
    EXPECT_NE(r.err.find(": 100%\n"), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find('%', r.out.find("Signal")), std::string::npos);
}

}  // namespace
}  // namespace wp2::test
