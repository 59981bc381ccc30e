// The receiver link over real pseudo-terminals: the program's port (a serial
// device here), its reader thread and the link's timers on simulated time.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <thread>

#include "core/base/timer_queue.h"
#include "core/gps/gps_link.h"
#include "core/gps/gps_status_flags.h"
#include "core/settings/memory_registry.h"
#include "platform/source_port.h"
#include "support/env_override.h"
#include "support/nmea_lines.h"
#include "support/pseudo_terminal.h"
#include "support/test_support.h"
#include "support/trace_recorder.h"

namespace wp2 {
namespace {

using namespace GpsStatusFlags;
using test::processHolds;
using test::PseudoTerminal;
using test::waitUntil;

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

    std::unique_ptr<GpsLink> makeLink() {
        auto link = std::make_unique<GpsLink>(clock);
        link->setSerialPort(std::make_unique<SourcePort>());
        link->setTimers(&timers);
        return link;
    }

    // Sends seconds [first, last) of a receiver with a 3D fix, one per
    // simulated second, each waited for (in real time) in the link's buffer.
    void feed(GpsLink& link, int first, int last) {
        for (int s = first; s < last; ++s) {
            const std::string bytes = test::fixEpoch(s);
            const int before = link.receiveBuffer().count();
            ASSERT_TRUE(pty->send(bytes));
            ASSERT_TRUE(waitUntil([&] {
                return link.receiveBuffer().count() >= before + static_cast<int>(bytes.size());
            }));
            timers.runFor(1000);
        }
    }
    void expectNothingLeft(int fdsLess = 0) {
        EXPECT_EQ(test::openDescriptorCount(), fdsBefore - fdsLess);
        EXPECT_EQ(test::threadCount(), threadsBefore);
    }

    test::TempDir root{true};
    MemoryRegistry registry;
    Registry* previousRegistry = nullptr;
    test::TraceRecorder traces;
    std::unique_ptr<PseudoTerminal> pty = std::make_unique<PseudoTerminal>();
    test::EnvOverride com1{PortMap::environmentName(1), nullptr};
    ManualClock clock{1460384357};
    TimerQueue timers{clock};
    int fdsBefore = 0;
    int threadsBefore = 0;
};

TEST_F(PtyLinkTest, UnpluggedReceiverIsRetriedUntilANewOneAppears) {
    auto link = makeLink();
    ASSERT_TRUE(link->start(1));
    EXPECT_TRUE(processHolds(pty->slavePath()));
    feed(*link, 0, 3);
    ASSERT_TRUE(link->state().has(Fix3D));
    const int threadsWithReader = test::threadCount();
    pty->closeMaster();  // unplugged
    ASSERT_TRUE(
        waitUntil([&] { return link->serialPort()->readerExit() == ReaderExit::LineError; }));
    EXPECT_TRUE(traces.contains("Communications Error 5 \nWaiting comm events. Loop terminated."));
    EXPECT_EQ(test::threadCount(), threadsWithReader - 1);
    // The link still counts as open and follows the silence rules.
    timers.runFor(1000);
    EXPECT_TRUE(link->state().has(LinkOpen));
    timers.runFor(4000);
    EXPECT_FALSE(link->state().has(DataValid));
    EXPECT_STREQ(conditionText(link->condition()), "BLINKING RED");
    traces.clear();
    timers.runFor(2000);  // 7 s: closed; the device is gone, so retries fail
    EXPECT_FALSE(link->state().has(LinkOpen));
    EXPECT_TRUE(link->reconnecting());
    timers.runFor(2000);
    // One failed open every 500 ms.
    EXPECT_EQ(traces.texts(),
              std::vector<std::string>(4, "Communications Error 2 \nInvalid Comms Port Opening."));
    EXPECT_STREQ(conditionText(link->condition()), "BLINKING RED");

    // A receiver appears again on port 1.
    pty = std::make_unique<PseudoTerminal>();
    ASSERT_TRUE(pty->valid());
    com1.set(pty->slavePath().c_str());
    timers.runFor(500);
    EXPECT_TRUE(link->state().has(LinkOpen));
    EXPECT_FALSE(link->reconnecting());
    feed(*link, 3, 6);
    EXPECT_TRUE(link->state().has(Fix3D | PositionValid | DataValid));
    link.reset();
    pty.reset();
    expectNothingLeft(1);  // the fixture's pty is gone
}

// The reader appends while the user-interface side takes lines as fast as
// it can; every sentence must come out whole (run under ThreadSanitizer too).
TEST_F(PtyLinkTest, ReaderAndDecoderShareTheBufferWithoutLoss) {
    auto link = makeLink();
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
