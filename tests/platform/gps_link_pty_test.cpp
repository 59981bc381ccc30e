// SPDX-License-Identifier: GPL-3.0-or-later
// The receiver link over real pseudo-terminals: the program's port (a serial
// device here), its reader thread and the link's timers on simulated time.

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>

#include "core/base/timer_queue.h"
#include "core/gps/gps_link.h"
#include "core/gps/gps_status_flags.h"
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

TEST(PtyLinkTest, UnpluggedReceiverIsRetriedUntilANewOneAppears) {
    auto pty = std::make_unique<PseudoTerminal>();
    ASSERT_TRUE(pty->valid());
    test::settleThreads();
    const int fdsBefore = test::openDescriptorCount();
    const int threadsBefore = test::threadCount();
    test::TempDir root{true};
    MemoryRegistry registry;
    test::TraceRecorder traces;
    test::EnvOverride com1{PortMap::environmentName(1), pty->slavePath().c_str()};
    ManualClock clock{1460384357};
    TimerQueue timers{clock};
    auto link = std::make_unique<GpsLink>(clock, SettingsServices{registry, traces.diagnostics},
                                          std::make_unique<TrackLog>());
    link->setSerialPort(std::make_unique<SourcePort>(traces.diagnostics));
    link->setTimers(&timers);
    // Seconds [first, last) of a receiver with a 3D fix, one per simulated
    // second, each waited for (in real time) until the port hands it over.
    const auto feed = [&](int first, int last) {
        for (int s = first; s < last; ++s) {
            const std::string bytes = test::fixEpoch(s);
            const int before = link->decoder().receiveBuffer().count();
            ASSERT_TRUE(pty->send(bytes));
            ASSERT_TRUE(waitUntil([&] {
                link->serialPort()->collect();
                return link->decoder().receiveBuffer().count() >=
                       before + static_cast<int>(bytes.size());
            }));
            timers.runFor(1000);
        }
    };
    ASSERT_TRUE(link->start(1));
    EXPECT_TRUE(processHolds(pty->slavePath()));
    feed(0, 3);
    ASSERT_TRUE(link->state().has(Fix3D));
    const int threadsWithReader = test::threadCount();
    pty->closeMaster();  // unplugged
    ASSERT_TRUE(
        waitUntil([&] { return link->serialPort()->readerExit() == ReaderExit::LineError; }));
    EXPECT_TRUE(traces.contains("Communications Error 5 \nWaiting comm events. Loop terminated."));
    // The reader thread ends soon after it reports why.
    EXPECT_TRUE(waitUntil([&] { return test::threadCount() == threadsWithReader - 1; }));
    EXPECT_FALSE(link->serialPort()->isOpen());  // the reader let the device go
    // The link still counts as open and follows the silence rules (the
    // retries of a closed link are the link test's, on simulated time).
    timers.runFor(5000);
    EXPECT_TRUE(link->state().has(LinkOpen));
    timers.runFor(2000);  // 7 s: closed; the device is gone, so retries fail
    EXPECT_TRUE(link->reconnecting());

    // A receiver appears again on port 1.
    pty = std::make_unique<PseudoTerminal>();
    ASSERT_TRUE(pty->valid());
    com1.set(pty->slavePath().c_str());
    timers.runFor(500);
    EXPECT_TRUE(link->state().has(LinkOpen));
    EXPECT_FALSE(link->reconnecting());
    feed(3, 6);
    EXPECT_TRUE(link->state().has(Fix3D | PositionValid | DataValid));
    link.reset();
    pty.reset();
    EXPECT_EQ(test::openDescriptorCount(), fdsBefore - 1);  // the first pty is gone
    EXPECT_EQ(test::threadCount(), threadsBefore);
}

}  // namespace
}  // namespace wp2
