// The receiver link over real pseudo-terminals: the POSIX serial port, its
// reader thread and the link's timers on simulated time.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <sstream>
#include <thread>

#include "core/base/timer_queue.h"
#include "core/gps/gps_link.h"
#include "core/gps/gps_scan.h"
#include "core/gps/gps_status_flags.h"
#include "core/settings/creg_double.h"
#include "core/settings/creg_int.h"
#include "core/settings/creg_store.h"
#include "core/settings/memory_registry.h"
#include "platform/posix_serial_port.h"
#include "support/env_override.h"
#include "support/nmea_lines.h"
#include "support/paced_clock.h"
#include "support/pseudo_terminal.h"
#include "support/test_support.h"
#include "support/trace_recorder.h"

namespace wp2 {
namespace {

using namespace GpsStatusFlags;
using test::processHolds;
using test::PseudoTerminal;
using test::waitUntil;

// The car-drive capture, one string per second of the receiver (each
// second starts with the dash camera's own line, which has no checksum).
std::vector<std::string> captureEpochs() {
    std::istringstream text(
        test::readFile(test::dataFile("nmea/long/leaflet-nmealayer-test.nmea")));
    std::vector<std::string> epochs;
    for (std::string line; std::getline(text, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.rfind("$GSENSORD", 0) == 0 || epochs.empty()) {
            epochs.emplace_back();
        }
        epochs.back() += line + "\r\n";
    }
    return epochs;
}

class PtyLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty->valid());
        test::settleThreads();
        fdsBefore = test::openDescriptorCount();
        threadsBefore = test::threadCount();
        previousRegistry = setRegistry(&registry);
        com1.set(pty->slavePath().c_str());
    }
    void TearDown() override { setRegistry(previousRegistry); }

    std::unique_ptr<GpsLink> makeLink(Clock& clock) {
        auto link = std::make_unique<GpsLink>(clock);
        link->setSerialPort(std::make_unique<PosixSerialPort>());
        link->setTimers(timers.get());
        return link;
    }
    void useClock(Clock& clock) { timers = std::make_unique<TimerQueue>(clock); }

    // Sends bytes as the receiver and waits (in real time) until the reader
    // has put them all into the link's buffer.
    void send(GpsLink& link, const std::string& bytes) {
        int before = link.receiveBuffer().count();
        ASSERT_TRUE(pty->send(bytes));
        ASSERT_TRUE(waitUntil([&] {
            return link.receiveBuffer().count() >= before + static_cast<int>(bytes.size());
        }));
    }

    // Sends the capture's seconds [first, last), one per simulated second.
    void feed(GpsLink& link, int first, int last) {
        for (int s = first; s < last; ++s) {
            send(link, epochs[static_cast<std::size_t>(s)]);
            timers->runFor(1000);
        }
    }
    void expectNothingLeft(int fdsLess = 0) {
        EXPECT_EQ(test::openDescriptorCount(), fdsBefore - fdsLess);
        EXPECT_EQ(test::threadCount(), threadsBefore);
    }

    const std::vector<std::string> epochs = captureEpochs();
    test::TempDir root{true};
    MemoryRegistry registry;
    Registry* previousRegistry = nullptr;
    test::TraceRecorder traces;
    std::unique_ptr<PseudoTerminal> pty = std::make_unique<PseudoTerminal>();
    test::EnvOverride com1{PortMap::environmentName(1), nullptr};
    ManualClock clock{1460384357};
    std::unique_ptr<TimerQueue> timers = std::make_unique<TimerQueue>(clock);
    int fdsBefore = 0;
    int threadsBefore = 0;
};

TEST_F(PtyLinkTest, CaptureAtReceiverPaceGivesDataFixConditionAndTrack) {
    ASSERT_GT(epochs.size(), 300u);
    auto link = makeLink(clock);
    ASSERT_TRUE(link->start(1));
    EXPECT_TRUE(processHolds(pty->slavePath()));
    timers->runFor(1000);
    std::vector<std::string> conditions{conditionText(link->condition())};
    std::vector<int> trackCounts;
    for (int s = 0; s < 12; ++s) {
        send(*link, epochs[static_cast<std::size_t>(s)]);
        timers->runFor(1000);
        conditions.push_back(conditionText(link->condition()));
        trackCounts.push_back(link->trackLog().count());
        EXPECT_TRUE(link->state().has(DataValid)) << s;
    }
    // Open but silent; data without a fix (the first three seconds carry no
    // GSA); then the 3D fix with 8 satellites and PDOP 2.0 or better.
    EXPECT_EQ(conditions, (std::vector<std::string>{"BLINKING RED", "RED", "RED", "RED", "GREEN",
                                                    "GREEN", "GREEN", "GREEN", "GREEN", "GREEN",
                                                    "GREEN", "GREEN", "GREEN"}));
    EXPECT_EQ(trackCounts.front(), 0);
    EXPECT_GT(trackCounts.back(), trackCounts[4]);
    const std::string report = link->statusReport();
    EXPECT_NE(report.find("Fix: 3d\r\n"), std::string::npos);
    EXPECT_NE(report.find("Condition: GREEN\r\n"), std::string::npos);
    EXPECT_EQ(link->statistics().validSentences, link->statistics().totalSentences - 12);
    // The dash camera's lines failed the checksum; nothing was traced.
    EXPECT_TRUE(traces.texts().empty());
    link.reset();
    expectNothingLeft();
}

TEST_F(PtyLinkTest, SilentReceiverIsDroppedThenReopenedAndComesBack) {
    auto link = makeLink(clock);
    ASSERT_TRUE(link->start(1));
    feed(*link, 0, 6);
    ASSERT_STREQ(conditionText(link->condition()), "GREEN");
    // The receiver stops writing.
    std::vector<std::string> conditions;
    std::vector<bool> held;
    for (int quiet = 1; quiet <= 7; ++quiet) {
        timers->runFor(1000);
        conditions.push_back(conditionText(link->condition()));
        held.push_back(processHolds(pty->slavePath()));
    }
    EXPECT_EQ(conditions,
              (std::vector<std::string>{"GREEN", "GREEN", "GREEN", "RED", "BLINKING RED",
                                        "BLINKING RED", "BLINKING RED"}));
    // Closed after more than 6 s of silence, reopened 500 ms later.
    EXPECT_EQ(held, (std::vector<bool>{true, true, true, true, true, true, false}));
    EXPECT_FALSE(link->state().has(DataValid));
    timers->runFor(500);
    EXPECT_TRUE(processHolds(pty->slavePath()));
    EXPECT_TRUE(link->state().has(LinkOpen));
    feed(*link, 11, 14);  // seconds with a GSA sentence again
    EXPECT_TRUE(link->state().has(Fix3D | PositionValid));
    EXPECT_STREQ(conditionText(link->condition()), "GREEN");
    link.reset();
    expectNothingLeft();
}

TEST_F(PtyLinkTest, UnpluggedReceiverIsRetriedUntilANewOneAppears) {
    auto link = makeLink(clock);
    ASSERT_TRUE(link->start(1));
    feed(*link, 0, 6);
    ASSERT_TRUE(link->state().has(Fix3D));
    const int threadsWithReader = test::threadCount();
    pty->closeMaster();  // unplugged
    ASSERT_TRUE(
        waitUntil([&] { return link->serialPort()->readerExit() == ReaderExit::LineError; }));
    EXPECT_TRUE(traces.contains("Communications Error 5 \nWaiting comm events. Loop terminated."));
    EXPECT_EQ(test::threadCount(), threadsWithReader - 1);
    // The link still counts as open and follows the silence rules.
    timers->runFor(1000);
    EXPECT_TRUE(link->state().has(LinkOpen));
    timers->runFor(4000);
    EXPECT_FALSE(link->state().has(DataValid));
    EXPECT_STREQ(conditionText(link->condition()), "BLINKING RED");
    traces.clear();
    timers->runFor(2000);  // 7 s: closed; the device is gone, so retries fail
    EXPECT_FALSE(link->state().has(LinkOpen));
    EXPECT_TRUE(link->reconnecting());
    timers->runFor(2000);
    // One failed open every 500 ms.
    EXPECT_EQ(traces.texts(),
              std::vector<std::string>(4, "Communications Error 2 \nInvalid Comms Port Opening."));
    EXPECT_STREQ(conditionText(link->condition()), "BLINKING RED");

    // A receiver appears again on port 1.
    pty = std::make_unique<PseudoTerminal>();
    ASSERT_TRUE(pty->valid());
    com1.set(pty->slavePath().c_str());
    timers->runFor(500);
    EXPECT_TRUE(link->state().has(LinkOpen));
    EXPECT_FALSE(link->reconnecting());
    feed(*link, 11, 14);  // seconds with a GSA sentence again
    EXPECT_TRUE(link->state().has(Fix3D | PositionValid | DataValid));
    link.reset();
    pty.reset();
    expectNothingLeft(1);  // the fixture's pty is gone
}

TEST_F(PtyLinkTest, WarmStartSentenceReachesTheReceiverAtTheFifteenthTick) {
    // Stored as the program leaves them at exit: the last fix one day before
    // 2003-04-20 00:00 UTC, at 0.5 rad / 0.5 rad, with the device clock one
    // hour ahead of UTC.
    CRegDouble lastLat("LastLat", false, 10.0);
    CRegDouble lastLong("LastLong", false, 10.0);
    CRegInt warmStart("WarmStart", true, 1);
    lastLat = 0.5;
    lastLong = 0.5;
    ASSERT_TRUE(CRegStore().WriteLongText("LastLTM", "2003,4,19,1,0,0"));
    ASSERT_TRUE(CRegStore().WriteLongText("LastUTC", "2003,4,19,0,0,0"));
    // The device clock reads 2003-04-20 01:00:00 at the 15th tick.
    ManualClock deviceClock{kGpsWeek1215Start + 3600 - 15};
    useClock(deviceClock);
    auto link = makeLink(deviceClock);
    link->loadWarmStart(lastLat, lastLong, warmStart);
    ASSERT_TRUE(link->start(1));
    const auto ticks = [&](int n) {
        for (int s = 0; s < n; ++s) {
            send(*link, test::noFixEpoch());
            timers->runFor(1000);
        }
    };
    ticks(14);
    EXPECT_EQ(pty->receive(1, 50), "");
    ticks(1);
    const std::string expected = "$PSRF104,28.6479,28.6479,0,0,0,1215,12,3*25\r\n";
    EXPECT_EQ(pty->receive(expected.size()), expected);
    ticks(20);
    EXPECT_EQ(pty->receive(1, 50), "");  // once per start
    ASSERT_TRUE(link->start(1));
    ticks(15);
    EXPECT_EQ(pty->receive(expected.size()).substr(0, 32), "$PSRF104,28.6479,28.6479,0,0,35,");
}

TEST_F(PtyLinkTest, ScanFindsTheReceiverOnPortOneAfterTheOthers) {
    test::PacedClock paced{1460384357};
    useClock(paced);
    std::vector<std::unique_ptr<test::EnvOverride>> nothingThere;
    for (int port : {2, 3, 4, 5, 6, 7, 8}) {
        nothingThere.push_back(
            std::make_unique<test::EnvOverride>(PortMap::environmentName(port), ""));
    }
    auto link = makeLink(paced);
    std::atomic<bool> sending{true};
    std::string sentence = test::nmeaLine("GPGSV,1,1,01,04,40,120,00");
    auto receiver = [&](const std::string& line) {
        while (sending) {
            pty->send(line);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    };
    class Progress : public ScanProgressView {
    public:
        void showText(const std::string& t) override { text = t; }
        std::string text;
    } progress;

    std::thread withChecksums(receiver, sentence);
    bool found = scan(*link, &progress, 8);
    sending = false;
    withChecksums.join();
    EXPECT_TRUE(found);
    EXPECT_EQ(link->portNumber(), 1);
    EXPECT_EQ(progress.text,
              "Scan for GPS...\r\n"
              "Port 5: Not found\r\n"
              "Port 2: Not found\r\n"
              "Port 4: Not found\r\n"
              "Port 6: Not found\r\n"
              "Port 7: Not found\r\n"
              "Port 8: Not found\r\n"
              "Port 1: GPS found!\r\n");
    EXPECT_FALSE(processHolds(pty->slavePath()));
    EXPECT_EQ(traces.texts().size(), 18u);  // "Invalid Comms Port Opening." for each miss

    // The same receiver without checksums is never found.
    sending = true;
    std::thread withoutChecksums(receiver, std::string("$GPGSV,1,1,01,04,40,120,00\r\n"));
    found = scan(*link, &progress, 8);
    sending = false;
    withoutChecksums.join();
    EXPECT_FALSE(found);
    EXPECT_NE(progress.text.find("Port 1: No signal\r\nPort 3: Not found\r\n"), std::string::npos);
    EXPECT_GT(link->statistics().totalSentences, 0);
    link.reset();
    EXPECT_EQ(test::threadCount(), threadsBefore);
}

// The reader appends while the user-interface side takes lines as fast as
// it can; every sentence must come out whole (run under ThreadSanitizer too).
TEST_F(PtyLinkTest, ReaderAndDecoderShareTheBufferWithoutLoss) {
    auto link = makeLink(clock);
    ASSERT_TRUE(link->openPort(1));
    constexpr int kSentences = 20000;
    constexpr int kBurst = 40;
    std::atomic<long long> taken{0};
    std::thread receiver([&] {
        std::string burst;
        for (int i = 0; i < kSentences; i += kBurst) {
            burst.clear();
            for (int j = i; j < i + kBurst; ++j) {
                burst += test::nmeaLine("GPGSV,3,1,12," + std::to_string(j % 100) + ",40," +
                                        std::to_string(j % 360) + ",45");
            }
            // At most two bursts in flight, well inside the buffer.
            while (taken.load() < i - kBurst) {
                std::this_thread::yield();
            }
            pty->send(burst);
        }
    });
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (taken.load() < kSentences && std::chrono::steady_clock::now() < deadline) {
        link->decodePending();
        taken = link->statistics().validSentences;
    }
    receiver.join();
    EXPECT_EQ(link->statistics().validSentences, kSentences);
    // A take that falls between a CR and its LF leaves the LF to be taken as
    // an empty line of its own, which counts as a sentence that fails; no
    // sentence may be lost to it.
    const long long stray = link->statistics().totalSentences - kSentences;
    EXPECT_GE(stray, 0);
    EXPECT_LT(stray, kSentences / 100);
    EXPECT_FALSE(traces.contains("Buffer overflow!"));
    link->closePort();
}

}  // namespace
}  // namespace wp2
