// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-tool monitor and scan, run as programs against pseudo-terminals,
// a real gpsd fed by a stream and a TCP stream.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/file.h>

#include <atomic>
#include <fstream>
#include <thread>
#include <tuple>
#include <utility>

#include "platform/network_source.h"
#include "support/env_override.h"
#include "support/local_tcp_server.h"
#include "support/nmea_lines.h"
#include "support/pseudo_terminal.h"
#include "support/test_support.h"
#include "support/text_count.h"

namespace wp2::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// The monitor run for some seconds on a device.
RunResult monitor(const TempDir& root, const std::string& device, int seconds) {
    return runProgram({WAYPLOT2_TOOL, "--root", root.path(), "monitor", "--device", device,
                       "--seconds", std::to_string(seconds)});
}

TEST(MonitorCommandTest, PrintsTheStatusReportEverySecondAndStopsOnInterrupt) {
    TempDir root;
    PlayingReceiver receiver(200, fixEpoch);  // a 3D fix every 200 ms
    auto r = monitor(root, receiver.device(), 3);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(countOf(r.out, "GPS Rec. statistics:\nTotal symbols: "), 3);
    EXPECT_THAT(r.out, HasSubstr("--- 3 s, port 1 (" + receiver.device() + ")\n"));
    EXPECT_THAT(r.out, HasSubstr("Fix: 3d\n"));
    EXPECT_THAT(r.out, HasSubstr("Position: 48.11"));
    // What it recorded stays out of the program's autosave track.
    EXPECT_FALSE(fileExists(root.file("My Documents/KWAutosave.atk")));

    Background monitor(
        {WAYPLOT2_TOOL, "--root", root.path(), "monitor", "--device", receiver.device()});
    ASSERT_TRUE(monitor.waitFor("Condition: ", 5000));
    EXPECT_EQ(monitor.stop(SIGINT), 0);
}

TEST(MonitorCommandTest, AMissingDeviceOrServerFailsSayingWhy) {
    TempDir root;
    auto r = monitor(root, "/dev/wayplot2-none", 1);
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("the GPS receiver could not be started"));
    EXPECT_THAT(r.err, HasSubstr("/dev/wayplot2-none does not exist"));
    EXPECT_THAT(r.out, HasSubstr("Condition: BLINKING RED\n"));
    const std::string nobody = "127.0.0.1:" + std::to_string(freeTcpPort());
    r = monitor(root, "tcp://" + nobody, 1);
    EXPECT_THAT(
        r.err, HasSubstr("The NMEA server at " + nobody + " does not answer: Connection refused."));
}

TEST(MonitorCommandTest, AByteFloodIsTracedAFewTimesASecondSayingHowManyWereLeftOut) {
    TempDir root;
    // A stream server sends far more than the 64 KiB a second a network
    // source takes in, and each refresh's share overflows the buffer 7 times.
    const int port = freeTcpPort();
    LocalTcpServer flood(std::string(4096, 'A'), 1, port);
    auto r = monitor(root, "tcp://127.0.0.1:" + std::to_string(port), 2);
    EXPECT_EQ(r.status, 0);
    // A second's first 5 are printed, then how many more were left out.
    const std::size_t leftOut = r.err.find(" more of the same left out\n");
    ASSERT_NE(leftOut, std::string::npos) << r.err;
    EXPECT_EQ(countOf(r.err.substr(0, leftOut), "trace: Buffer overflow!\n"), 5);
    EXPECT_GT(std::stol(r.err.substr(r.err.rfind("trace: ", leftOut) + 7)), 0);
    EXPECT_LE(countOf(r.err, "trace: Buffer overflow!\n"), 5 * 4);  // 2 s, a window's ends
}

// The multi-GNSS capture that the network sources play.
const std::string kCapture = TEST_DATA_DIR "/nmea/multignss/st-teseo-liv3f.log";

// One second of the capture's sentences, as a receiver sends them.
std::string captureSecond() {
    std::ifstream in(kCapture);
    std::string out;
    for (std::string line; std::getline(in, line) && countOf(out, "$GPRMC") < 2;) {
        if (!line.empty() && line[0] == '$' && (countOf(out, "$GPRMC") == 0 || line[3] != 'R')) {
            out += line.substr(0, line.find_last_not_of("\r") + 1) + "\r\n";
        }
    }
    return out;
}

bool portAnswers(int port) {
    const int fd = connectTcp("127.0.0.1", port, 200);
    return fd >= 0 && ::close(fd) == 0;
}

// A server of each kind on a port: gpsd, or a TCP stream.
class NetworkSourceTest : public ::testing::TestWithParam<std::string> {
protected:
    static std::shared_ptr<void> startServer(const std::string& scheme, int port) {
        if (scheme == "tcp") {
            return std::make_shared<LocalTcpServer>(captureSecond(), 300, port);
        }
        // gpsd reads the capture from a stream named on its command line, so it
        // has its device from the start. (gpsfake adds the device through
        // gpsd's control socket after start-up and does not notice when that
        // connection fails, which leaves gpsd's clients with nothing to read.)
        const int feed = freeTcpPort();
        return std::make_shared<std::pair<LocalTcpServer, Background>>(
            std::piecewise_construct, std::forward_as_tuple(captureSecond(), 300, feed),
            std::forward_as_tuple(
                std::vector<std::string>{"/usr/sbin/gpsd", "-N", "-S", std::to_string(port),
                                         "tcp://127.0.0.1:" + std::to_string(feed)}));
    }
};

TEST_P(NetworkSourceTest, MonitorReadsTheServerAndComesBackWhenItReturns) {
    const std::string scheme = GetParam();
    ASSERT_TRUE(scheme != "gpsd" || ::access("/usr/sbin/gpsd", X_OK) == 0)
        << "gpsd is not installed (scripts/install-deps installs it)";
    const int port = freeTcpPort();
    const std::string address = "127.0.0.1:" + std::to_string(port);
    std::shared_ptr<void> server = startServer(scheme, port);
    ASSERT_TRUE(waitUntil([&] { return portAnswers(port); }, 10000));
    TempDir root;
    Background monitor(
        {WAYPLOT2_TOOL, "--root", root.path(), "monitor", "--device", scheme + "://" + address});
    // The capture's GN sentences give a 3D fix and a sky (the positions found
    // in the capture are the capture replay test's, the sky's talkers the GSV test's).
    ASSERT_TRUE(monitor.waitFor("Fix: 3d\n", 15000)) << monitor.out;
    ASSERT_TRUE(monitor.waitFor("with signal): GPS ", 5000)) << monitor.out;
    const std::string described = scheme == "tcp" ? "NMEA stream" : "gpsd";
    EXPECT_THAT(monitor.out, HasSubstr("(" + described + " at " + address + ")\n"));
    // The server goes away: silence, then the link is closed and retried.
    server.reset();
    ASSERT_TRUE(waitUntil([&] { return !portAnswers(port); }, 5000));
    ASSERT_TRUE(monitor.waitFor("Condition: BLINKING RED\n", 10000)) << monitor.out;
    server = startServer(scheme, port);
    EXPECT_TRUE(monitor.waitFor("Fix: 3d\n", 20000)) << monitor.out;
}

INSTANTIATE_TEST_SUITE_P(Servers, NetworkSourceTest, ::testing::Values("gpsd", "tcp"),
                         [](const auto& info) { return info.param; });

TEST(ScanCommandTest, AHeldPortIsBusyTheReceiverIsFoundAndStoredOrNothingIs) {
    TempDir root;
    PlayingReceiver receiver(50, fixEpoch);
    std::vector<std::unique_ptr<EnvOverride>> ports;  // the scan's ports, mapped to nothing
    for (int port = 1; port <= 8; ++port) {
        ports.push_back(std::make_unique<EnvOverride>("WAYPLOT2_COM" + std::to_string(port), ""));
    }
    PseudoTerminal held;
    const int holder = ::open(held.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);  // as a terminal program does
    ports[4]->set(held.slavePath().c_str());
    ports[0]->set(receiver.device().c_str());
    auto r = runProgram({WAYPLOT2_TOOL, "--root", root.path(), "scan", "--ports", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Scan for GPS...\nPort 5: Busy\n");
    EXPECT_THAT(r.err,
                HasSubstr("No GPS receiver was found.\nPerhaps this receiver is not supported."));
    EXPECT_THAT(readFile(root.file("local-machine.reg")), Not(HasSubstr("Driver")));

    r = runProgram({WAYPLOT2_TOOL, "--root", root.path(), "scan"});
    ::close(holder);
    EXPECT_EQ(r.status, 0) << r.err;
    // The receiver's line, once while it is awaited and again with the outcome.
    EXPECT_THAT(r.out, HasSubstr("Port 5: Busy\nPort 2: Not found\n"));
    EXPECT_THAT(r.out,
                HasSubstr("Port 8: Not found\nPort 1: Waiting for signal\nPort 1: GPS found!\n"
                          "Driver: 1,4800,8,1,0\n"));
    // The next run of the program finds it there.
    EXPECT_THAT(readFile(root.file("local-machine.reg")), HasSubstr("\"Driver\"=\"1,4800,8,1,0\""));
    EXPECT_EQ(runProgram({WAYPLOT2_TOOL, "scan", "--ports", "9"}).status, 2);
}

}  // namespace
}  // namespace wp2::test
