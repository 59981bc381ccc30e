// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix_serial_port.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <thread>
#include <tuple>

#include "support/pseudo_terminal.h"
#include "support/trace_recorder.h"

namespace wp2 {
namespace {

using test::PseudoTerminal;
using test::TraceRecorder;
using test::waitUntil;

// The threads of this process, and a thread's state and context switches.
std::set<std::string> tasks() {
    std::set<std::string> ids;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
        ids.insert(entry.path().filename().string());
    }
    return ids;
}

std::string taskStatus(const std::string& id, const std::string& key) {
    std::ifstream in("/proc/self/task/" + id + "/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key + ":", 0) == 0) {
            return line.substr(line.find_first_not_of(" \t", key.size() + 1));
        }
    }
    return {};
}

std::string commError(int code, const std::string& text) {
    return "Communications Error " + std::to_string(code) + " \n" + text;
}

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.valid());
        test::settleThreads();
    }
    PseudoTerminal pty;
    TraceRecorder traces;
};

// Received bytes wait in the system until collected: the reader thread sleeps
// through a receiver's bursts.
TEST_F(SerialPortTest, BytesPassUnchangedBothWaysWhenCollectedAndNothingEchoes) {
    PosixSerialPort port(traces.diagnostics);
    ASSERT_TRUE(port.open(pty.slavePath(), {}));
    const std::set<std::string> before = tasks();
    test::ByteCollector got;
    ASSERT_TRUE(port.startReader(got.sink()));
    std::string reader;
    ASSERT_TRUE(waitUntil([&] {
        for (const std::string& id : tasks()) {
            reader = before.count(id) ? reader : id;
        }
        return !reader.empty() && taskStatus(reader, "State").rfind("S", 0) == 0;
    }));
    const std::string switches = taskStatus(reader, "voluntary_ctxt_switches");
    // Raw mode: CR stays CR, high bytes keep bit 7, control characters are data.
    const std::string burst =
        "$GPGSA,A,3,,,*1E\r\n" + std::string("\x80\xff\x03\x1a\x11\x13\x7f\r", 8);
    std::string sent;
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(pty.send(burst));
        sent += burst;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(got.bytes(), "");
    EXPECT_EQ(taskStatus(reader, "voluntary_ctxt_switches"), switches);
    ASSERT_TRUE(waitUntil([&] {
        port.collect();
        return got.bytes().size() >= sent.size();
    }));
    EXPECT_EQ(got.bytes(), sent);
    EXPECT_EQ(pty.receive(1, 100), "");  // no echo back to the receiver
    const std::string command = "$PSRF104,28.6479,28.6479,0,0,0,1215,12,3*1D\r\n";
    ASSERT_TRUE(port.write(command.data(), command.size()));
    EXPECT_EQ(pty.receive(command.size()), command);
    EXPECT_TRUE(traces.texts().empty());
}

TEST_F(SerialPortTest, FramingFollowsTheSettingsAndTheDeviceRunsRaw) {
    struct Case {
        SerialLineSettings settings;
        speed_t speed;
        tcflag_t framing;  // size, parity and stop bits
    };
    // Any stop-bit value other than 1 means two; parity 3 means none.
    for (const Case& c : {Case{{4800, 8, 1, 0}, B4800, CS8},
                          Case{{9600, 7, 2, 1}, B9600, CS7 | PARENB | PARODD | CSTOPB},
                          Case{{38400, 8, 1, 2}, B38400, CS8 | PARENB},
                          Case{{115200, 8, 0, 3}, B115200, CS8 | CSTOPB}}) {
        SCOPED_TRACE(c.settings.baudRate);
        termios tio{};
        // Start from a cooked line with flow control, as a fresh device may be.
        tio.c_iflag = ICRNL | IXON | IXOFF;
        tio.c_lflag = ICANON | ECHO | ISIG;
        tio.c_cflag = CRTSCTS | CS5 | PARENB | PARODD | CSTOPB;
        ASSERT_TRUE(makeRawTermios(c.settings, tio));
        EXPECT_EQ(tio.c_cflag & (CSIZE | PARENB | PARODD | CSTOPB), c.framing);
        PosixSerialPort port(traces.diagnostics);
        ASSERT_TRUE(port.open(pty.slavePath(), c.settings));
        // The master reports the slave's settings (a pseudo-terminal keeps 8
        // data bits without parity whatever it is told).
        termios device{};
        ASSERT_EQ(tcgetattr(pty.master(), &device), 0);
        EXPECT_EQ(device.c_cflag & CSTOPB, c.framing & CSTOPB);
        for (const termios& t : {tio, device}) {
            EXPECT_EQ(std::tuple(cfgetispeed(&t), cfgetospeed(&t)), std::tuple(c.speed, c.speed));
            EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
            EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
            EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
            EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
            EXPECT_EQ(std::tuple(t.c_cc[VMIN], t.c_cc[VTIME]), std::tuple(0, 0));
        }
    }
}

TEST_F(SerialPortTest, FailedOpensAreTracedAndLeaveNothingLocked) {
    const std::string invalid = "Invalid Comms Port Opening.";
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"/dev/wayplot2-none", {commError(ENOENT, invalid)}},
        {"", {commError(ENOENT, invalid)}},
        {"/dev/null", {commError(ENOTTY, "Getting Comms. State.")}},
        {pty.slavePath(),  // refused line settings
         {commError(EINVAL, "Setting Comms. State."), commError(EINVAL, "1234,8,0,1")}}};
    for (const auto& [device, expected] : cases) {
        SCOPED_TRACE(device);
        PosixSerialPort port(traces.diagnostics);
        EXPECT_FALSE(port.open(device, {device == pty.slavePath() ? 1234 : 4800, 8, 1, 0}));
        EXPECT_FALSE(port.isOpen());
        EXPECT_EQ(traces.texts(), expected);
        traces.clear();
    }
    PosixSerialPort other(traces.diagnostics);
    EXPECT_TRUE(other.open(pty.slavePath(), {}));
}

// A new user's first start: the receiver's device belongs to a group the user
// is not in. What the user is told names that group and how to join it.
TEST_F(SerialPortTest, WithoutRightsToTheDeviceTheProblemNamesItsGroup) {
    struct stat st {};
    ASSERT_EQ(::stat(pty.slavePath().c_str(), &st), 0);
    const std::string group = ::getgrgid(st.st_gid)->gr_name;
    const std::string problem = serialOpenProblem(pty.slavePath(), EACCES);
    EXPECT_NE(problem.find(pty.slavePath() + ": it belongs to the group \"" + group +
                           "\".\nJoin that group (sudo adduser "),
              std::string::npos)
        << problem;
}

TEST_F(SerialPortTest, APortHeldElsewhereIsRefusedAsBusyAndOursEndsWithTheClose) {
    PosixSerialPort first(traces.diagnostics);
    ASSERT_TRUE(first.open(pty.slavePath(), {}));
    PosixSerialPort second(traces.diagnostics);
    EXPECT_FALSE(second.open(pty.slavePath(), {}));
    // Refused by the terminal's exclusive mode, or (for the superuser, who
    // passes that) by the lock; either way the port is busy.
    EXPECT_TRUE(traces.contains(
        commError(::geteuid() == 0 ? EWOULDBLOCK : EBUSY, "Invalid Comms Port Opening.")));
    EXPECT_EQ(second.openError(), EBUSY);
    EXPECT_EQ(second.openProblem(), pty.slavePath() + " is in use by another program.");
    first.close();
    // The terminal outlives our descriptor (its master stays open); it must
    // not stay exclusive.
    int other = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    int exclusive = 1;
    ASSERT_EQ(::ioctl(other, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    // Another program holding the terminal exclusively, or locked, keeps us
    // out, even when we may pass the exclusive mode; a refused open leaves the
    // holder's mode alone.
    ASSERT_EQ(::ioctl(other, TIOCEXCL), 0);
    EXPECT_FALSE(second.open(pty.slavePath(), {}));
    ASSERT_EQ(::ioctl(other, TIOCGEXCL, &exclusive), 0);
    EXPECT_NE(exclusive, 0);
    ::ioctl(other, TIOCNXCL);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(second.open(pty.slavePath(), {}));
    ::close(other);
    EXPECT_TRUE(second.open(pty.slavePath(), {}));
    EXPECT_EQ(second.openError(), 0);
}

TEST_F(SerialPortTest, CloseStopsAReaderBusyWithDataAndLeavesNothingBehind) {
    int fdsBefore = test::openDescriptorCount();
    int threadsBefore = test::threadCount();
    for (int round = 0; round < 20; ++round) {
        PosixSerialPort port(traces.diagnostics);
        ASSERT_TRUE(port.open(pty.slavePath(), {}));
        std::atomic<std::size_t> seen{0};
        // A slow sink keeps a collect on another thread inside its hand-over
        // when close() comes.
        ASSERT_TRUE(port.startReader([&](std::uint8_t) {
            seen++;
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }));
        ASSERT_TRUE(pty.send(std::string(2000, 'A')));
        ASSERT_TRUE(waitUntil([&] { return port.isOpen(); }));
        std::thread collector([&] {
            while (seen == 0 && port.isOpen()) {
                port.collect();
            }
        });
        ASSERT_TRUE(waitUntil([&] { return seen > 0; }));
        port.close();
        const std::size_t after = seen;
        collector.join();
        EXPECT_LT(after, 2000u);
        EXPECT_EQ(seen, after) << "bytes handed over after close";
        EXPECT_EQ(port.readerExit(), ReaderExit::InvalidHandle);
        EXPECT_FALSE(port.isOpen());
        EXPECT_EQ(test::threadCount(), threadsBefore);
    }
    EXPECT_EQ(test::openDescriptorCount(), fdsBefore);
    EXPECT_TRUE(traces.texts().empty());
}

}  // namespace
}  // namespace wp2
