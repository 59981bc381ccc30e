// Where sentences come from: the source texts, gpsd and TCP sources against
// a local server, and a receiver that a real gpsd holds on a pseudo-terminal.

#include "platform/source_port.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "support/env_override.h"
#include "support/local_tcp_server.h"
#include "support/pseudo_terminal.h"
#include "support/trace_recorder.h"

namespace wp2 {
namespace {

using test::waitUntil;

// Collects what a reader hands over.
struct Collected {
    ByteSink sink() {
        return [this](std::uint8_t b) {
            std::lock_guard<std::mutex> lock(mutex);
            bytes += static_cast<char>(b);
        };
    }
    std::string text() {
        std::lock_guard<std::mutex> lock(mutex);
        return bytes;
    }
    std::mutex mutex;
    std::string bytes;
};

TEST(SourceTextTest, UrlsAndDevicePaths) {
    struct Case {
        const char* text;
        bool ok;
        SourceAddress::Kind kind;
        const char* canonical;
    };
    using K = SourceAddress::Kind;
    for (const Case& c :
         {Case{"gpsd://", true, K::Gpsd, "gpsd://localhost:2947"},
          Case{"gpsd://pi.local", true, K::Gpsd, "gpsd://pi.local:2947"},
          Case{"gpsd://10.1.2.3:3000/", true, K::Gpsd, "gpsd://10.1.2.3:3000"},
          Case{"gpsd://[::1]:2948", true, K::Gpsd, "gpsd://[::1]:2948"},
          Case{"tcp://phone:10110", true, K::Tcp, "tcp://phone:10110"},
          Case{"tcp://phone", false, K::Tcp, ""}, Case{"tcp://:10110", false, K::Tcp, ""},
          Case{"gpsd://host:0", false, K::Gpsd, ""}, Case{"gpsd://host:65536", false, K::Gpsd, ""},
          Case{"gpsd://host:29x", false, K::Gpsd, ""},
          Case{"/dev/ttyUSB0", true, K::Serial, "/dev/ttyUSB0"}}) {
        SCOPED_TRACE(c.text);
        SourceAddress a;
        ASSERT_EQ(parseSource(c.text, a), c.ok);
        if (c.ok) {
            EXPECT_EQ(a.kind, c.kind);
            EXPECT_EQ(a.text(), c.canonical);
        }
    }
}

TEST(NetworkSourceTest, TcpStreamPassesUnchangedAndItsEndIsAHangUp) {
    test::TraceRecorder traces;
    const std::string stream = "$GPGSA,A,3,,,*1E\r\n{not gpsd}\r\n\x80";
    Collected got;
    {
        test::LocalTcpServer server(stream, 0);
        NetworkSource source;
        ASSERT_TRUE(source.open("tcp://127.0.0.1:" + std::to_string(server.port()), {}));
        EXPECT_FALSE(source.takesCommands());
        EXPECT_EQ(source.describe(), "NMEA stream at 127.0.0.1:" + std::to_string(server.port()));
        ASSERT_TRUE(source.startReader(got.sink()));
        ASSERT_TRUE(waitUntil([&] { return got.text().size() >= stream.size(); }));
        EXPECT_EQ(got.text(), stream);
        EXPECT_FALSE(source.write("x", 1));
        EXPECT_EQ(server.received(), "");  // nothing is ever sent to a stream
        EXPECT_EQ(source.readerExit(), ReaderExit::Running);
    }  // the server goes away
    // (The source outlived the server: a fresh one checks the refusal.)
    NetworkSource refused;
    EXPECT_FALSE(refused.open("tcp://127.0.0.1:" + std::to_string(test::freeTcpPort()), {}));
    EXPECT_EQ(refused.openError(), ECONNREFUSED);
    EXPECT_NE(refused.openProblem().find("does not answer"), std::string::npos);
    EXPECT_FALSE(refused.open("/dev/ttyUSB0", {}));
    EXPECT_EQ(refused.openError(), EINVAL);
}

TEST(NetworkSourceTest, GpsdIsAskedForNmeaAndItsOwnLinesAreSkipped) {
    test::TraceRecorder traces;
    const std::string replies =
        "{\"class\":\"VERSION\",\"release\":\"3.22\"}\r\n"
        "$GPGSA,A,3,,,*1E\r\n"
        "{\"class\":\"TPV\",\"mode\":3}\r\n"
        "$GPGSV,1,1,01,04,40,120,00*4B\r\n";
    test::LocalTcpServer server(replies, 0);
    Collected got;
    NetworkSource source;
    const std::string url = "gpsd://127.0.0.1:" + std::to_string(server.port());
    ASSERT_TRUE(source.open(url, {}));
    ASSERT_TRUE(source.startReader(got.sink()));
    ASSERT_TRUE(waitUntil([&] { return got.text().size() >= 49; }));
    EXPECT_EQ(got.text(), "$GPGSA,A,3,,,*1E\r\n$GPGSV,1,1,01,04,40,120,00*4B\r\n");
    EXPECT_EQ(server.received(), "?WATCH={\"enable\":true,\"nmea\":true};\n");
    EXPECT_EQ(gpsdWatchRequest("/dev/a\"b"),
              "?WATCH={\"enable\":true,\"nmea\":true,\"device\":\"/dev/a\\\"b\"};\n");
    source.close();
    EXPECT_EQ(source.readerExit(), ReaderExit::InvalidHandle);
}

// gpsd as installed (in /usr/sbin, which a user's PATH may lack).
std::string gpsdProgram() {
    for (const char* path : {"/usr/sbin/gpsd", "/usr/local/sbin/gpsd"}) {
        if (::access(path, X_OK) == 0) {
            return path;
        }
    }
    return {};
}

TEST(GpsdOwnershipTest, AReceiverGpsdServesIsReadThroughGpsdNotTakenFromIt) {
    const std::string gpsd = gpsdProgram();
    if (gpsd.empty()) {
        GTEST_SKIP() << "gpsd is not installed (scripts/install-deps installs it)";
    }
    test::PseudoTerminal pty;
    ASSERT_TRUE(pty.valid());
    // gpsd reads the device after giving up the superuser's rights.
    ASSERT_EQ(::chmod(pty.slavePath().c_str(), 0666), 0);
    std::atomic<bool> sending{true};
    std::thread receiver([&] {
        while (sending) {
            pty.send("$GPGSV,1,1,01,04,40,120,00*4B\r\n");
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    const int port = test::freeTcpPort();
    const std::string address = "127.0.0.1:" + std::to_string(port);
    test::Background daemon({gpsd, "-N", "-n", "-b", "-S", std::to_string(port), pty.slavePath()});
    EXPECT_TRUE(waitUntil([&] { return gpsdServes(address, pty.slavePath(), 200); }, 10000));

    test::EnvOverride local("WAYPLOT2_GPSD", address.c_str());
    SourcePort source;
    ASSERT_TRUE(source.open(pty.slavePath(), {}));
    EXPECT_EQ(source.describe(), pty.slavePath() + " through gpsd at " + address);
    EXPECT_FALSE(source.takesCommands());
    EXPECT_FALSE(test::processHolds(pty.slavePath()));  // gpsd keeps the receiver
    Collected got;
    ASSERT_TRUE(source.startReader(got.sink()));
    EXPECT_TRUE(waitUntil([&] { return got.text().size() > 100; }));
    EXPECT_EQ(got.text().rfind("$GPGSV,1,1,01,04,40,120,00*4B\r\n", 0), 0u) << got.text();
    EXPECT_EQ(got.text().find('{'), std::string::npos);

    // gpsd stops: the source hangs up, as an unplugged receiver does.
    daemon.stop();
    EXPECT_TRUE(waitUntil([&] { return source.readerExit() == ReaderExit::LineError; }));
    EXPECT_FALSE(source.isOpen());
    // With no gpsd to ask, the device is opened as a serial port.
    ASSERT_TRUE(source.open(pty.slavePath(), {}));
    EXPECT_EQ(source.describe(), pty.slavePath());
    EXPECT_TRUE(source.takesCommands() && test::processHolds(pty.slavePath()));
    source.close();
    sending = false;
    receiver.join();
}

}  // namespace
}  // namespace wp2
