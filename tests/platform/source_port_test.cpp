// SPDX-License-Identifier: GPL-3.0-or-later
// Where sentences come from: the source texts, and a receiver that a real
// gpsd holds on a pseudo-terminal.

#include "platform/source_port.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <functional>

#include "support/env_override.h"
#include "support/local_tcp_server.h"
#include "support/nmea_lines.h"
#include "support/pseudo_terminal.h"
#include "support/test_support.h"
#include "support/trace_recorder.h"

namespace wp2 {
namespace {

using test::waitUntil;
Diagnostics untraced;  // where the ports whose traces no test reads trace

TEST(SourceTextTest, UrlsAndDevicePaths) {
    // Each text and what it reads back as (its kind is in the scheme); "" when refused.
    for (const auto& [text, canonical] : std::initializer_list<std::pair<const char*, const char*>>{
             {"gpsd://", "gpsd://localhost:2947"},
             {"gpsd://pi.local", "gpsd://pi.local:2947"},
             {"gpsd://10.1.2.3:3000/", "gpsd://10.1.2.3:3000"},
             {"gpsd://[::1]:2948", "gpsd://[::1]:2948"},
             {"tcp://phone:10110", "tcp://phone:10110"},
             {"tcp://phone", ""},
             {"tcp://:10110", ""},
             {"gpsd://host:0", ""},
             {"gpsd://host:65536", ""},
             {"gpsd://host:29x", ""},
             {"/dev/ttyUSB0", "/dev/ttyUSB0"}}) {
        SCOPED_TRACE(text);
        SourceAddress a;
        ASSERT_EQ(parseSource(text, a), *canonical != '\0');
        if (*canonical) {
            EXPECT_EQ(a.text(), canonical);
        }
    }
    EXPECT_EQ(gpsdWatchRequest(""), "?WATCH={\"enable\":true,\"nmea\":true};\n");
    EXPECT_EQ(gpsdWatchRequest("/dev/a\"b"),
              "?WATCH={\"enable\":true,\"nmea\":true,\"device\":\"/dev/a\\\"b\"};\n");
}

// A gpsd that does not answer yet: its queue of connections waiting to be
// accepted is full, so the system drops further connection requests unanswered
// (as a host that is down or behind a firewall does) until it accepts one.
TEST(NetworkSourceTest, AServerThatDoesNotAnswerHoldsUpNeitherOpenNorClose) {
    const int server = test::listenOnLoopback(0, 0);
    const int port = test::portOf(server);
    const timeval limit{5, 0};  // for accept() and recv() below
    ::setsockopt(server, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    const std::string url = "gpsd://127.0.0.1:" + std::to_string(port);
    const int queued = connectTcp("127.0.0.1", port, 1000);
    ASSERT_GE(queued, 0);
    test::TraceRecorder traces;
    NetworkSource source(traces.diagnostics);
    test::ByteCollector got;
    // Far below the 2 s that waiting for the connection would cost the caller.
    const auto quick = [](const std::function<void()>& call) {
        const auto start = std::chrono::steady_clock::now();
        call();
        return std::chrono::steady_clock::now() - start < std::chrono::milliseconds(500);
    };
    for (bool closeEarly : {true, false}) {
        EXPECT_TRUE(quick([&] { ASSERT_TRUE(source.open(url, {})); }));
        ASSERT_TRUE(source.startReader(got.sink()));
        EXPECT_TRUE(source.isOpen());
        EXPECT_TRUE(!closeEarly || quick([&] { source.close(); }));
    }
    // Unanswered for the whole connect time: the reader ends as on a hang-up.
    EXPECT_TRUE(waitUntil([&] { return source.readerExit() == ReaderExit::LineError; }));
    EXPECT_FALSE(source.isOpen());
    EXPECT_EQ(source.openError(), ETIMEDOUT);
    EXPECT_EQ(traces.texts(), std::vector<std::string>(
                                  1, "Communications Error 110 \nInvalid Comms Port Opening."));
    // gpsd catches up while the reader waits: asked for its sentences, it
    // sends them among reports of its own, which are left out.
    ASSERT_TRUE(source.open(url, {}));
    ASSERT_TRUE(source.startReader(got.sink()));
    ::close(queued);
    ::close(::accept(server, nullptr, nullptr));
    const int client = ::accept(server, nullptr, nullptr);
    char request[256] = {};
    ASSERT_GT(::recv(client, request, sizeof request - 1, 0), 0);
    EXPECT_EQ(request, gpsdWatchRequest(""));
    // An error it reports is traced.
    const std::string nmea = test::noFixEpoch();
    const std::string sent = "{\"class\":\"VERSION\"}\r\n" + nmea + "{\"class\":\"SKY\"}\n" + nmea +
                             "{\"class\":\"ERROR\",\"message\":\"No such device as /x\"}\r\n";
    ASSERT_EQ(::send(client, sent.data(), sent.size(), 0), static_cast<ssize_t>(sent.size()));
    EXPECT_TRUE(waitUntil([&] {
        source.collect();
        return traces.texts().size() == 2;
    }));
    EXPECT_EQ(got.bytes(), nmea + nmea);
    EXPECT_EQ(traces.texts().back(),
              "gpsd at 127.0.0.1:" + std::to_string(port) + ": No such device as /x");
    source.close();
    ::close(client);
    ::close(server);
}

// A server that sends as fast as the connection carries: the source takes in
// no more than its rate allows (a second's worth at once, then the rate) and
// leaves the rest waiting on the connection; what it takes is the stream from
// its start, in order.
TEST(NetworkSourceTest, AFloodIsTakenInAtTheRateOfAReceiverNotAsFastAsItComes) {
    std::string pattern(251 * 64, '\0');
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        pattern[i] = static_cast<char>(i % 251);
    }
    const int port = test::freeTcpPort();
    test::LocalTcpServer flood(pattern, 0, port);
    NetworkSource source(untraced);
    test::ByteCollector got;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(source.open("tcp://127.0.0.1:" + std::to_string(port), {}));
    ASSERT_TRUE(source.startReader(got.sink()));
    const std::size_t twoSeconds = 2 * NetworkSource::kMaxBytesPerSecond;
    EXPECT_TRUE(waitUntil(
        [&] {
            source.collect();
            return got.bytes().size() >= twoSeconds;
        },
        10000));
    const std::string bytes = got.bytes();
    const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
    source.close();
    EXPECT_LE(bytes.size(), NetworkSource::kMaxBytesPerSecond * (taken.count() + 1));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        ASSERT_EQ(static_cast<unsigned char>(bytes[i]), i % 251) << i;
    }
}

TEST(GpsdOwnershipTest, AReceiverGpsdServesIsReadThroughGpsdNotTakenFromIt) {
    // gpsd as installed (in /usr/sbin, which a user's PATH may lack).
    const std::string gpsd = "/usr/sbin/gpsd";
    ASSERT_EQ(::access(gpsd.c_str(), X_OK), 0)
        << "gpsd is not installed (scripts/install-deps installs it)";
    const std::string gsv = "$GPGSV,1,1,01,04,40,120,00*4B\r\n";
    test::PlayingReceiver receiver(20, [&](int) { return gsv; });
    const std::string& device = receiver.device();
    // gpsd reads the device after giving up the superuser's rights.
    ASSERT_EQ(::chmod(device.c_str(), 0666), 0);
    const int port = test::freeTcpPort();
    const std::string address = "127.0.0.1:" + std::to_string(port);
    test::Background daemon({gpsd, "-N", "-n", "-b", "-S", std::to_string(port), device});
    // The receiver is named through a link, as /dev/gps0 is: gpsd is asked
    // for it by the name it knows.
    test::TempDir dir;
    const std::string link = dir.file("gps0");
    ASSERT_EQ(::symlink(device.c_str(), link.c_str()), 0);
    EXPECT_TRUE(waitUntil([&] { return gpsdDevicePath(address, link, 200) == device; }, 10000));
    EXPECT_EQ(gpsdDevicePath(address, dir.file("no-such-device"), 200), "");

    test::EnvOverride local("WAYPLOT2_GPSD", address.c_str());
    SourcePort source(untraced);
    ASSERT_TRUE(source.open(link, {}));
    EXPECT_EQ(source.describe(), device + " through gpsd at " + address);
    EXPECT_FALSE(source.takesCommands());
    EXPECT_FALSE(test::processHolds(device));  // gpsd keeps the receiver
    test::ByteCollector got;
    ASSERT_TRUE(source.startReader(got.sink()));
    EXPECT_TRUE(waitUntil([&] {
        source.collect();
        return got.bytes().size() > 100;
    }));
    EXPECT_EQ(got.bytes().rfind(gsv, 0), 0u) << got.bytes();
    EXPECT_EQ(got.bytes().find('{'), std::string::npos);

    // gpsd stops: the source hangs up, as an unplugged receiver does.
    daemon.stop();
    EXPECT_TRUE(waitUntil([&] { return source.readerExit() == ReaderExit::LineError; }));
    // With no gpsd to ask, the device is opened as a serial port.
    ASSERT_TRUE(source.open(device, {}));
    EXPECT_EQ(source.describe(), device);
    EXPECT_TRUE(source.takesCommands() && test::processHolds(device));
    source.close();
}

}  // namespace
}  // namespace wp2
