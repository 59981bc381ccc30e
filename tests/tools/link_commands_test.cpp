// wayplot2-tool monitor and scan, run as programs against pseudo-terminals.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "support/env_override.h"
#include "support/nmea_lines.h"
#include "support/pseudo_terminal.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

using test::EnvOverride;
using test::PseudoTerminal;
using test::runProgram;
using test::TempDir;

// A receiver on a pseudo-terminal that sends a 3D fix every `periodMs` of
// real time while it lives.
class Receiver {
public:
    explicit Receiver(int periodMs) {
        thread_ = std::thread([this, periodMs] {
            for (int s = 0; running_; ++s) {
                pty_.send(test::fixEpoch(s));
                std::this_thread::sleep_for(std::chrono::milliseconds(periodMs));
            }
        });
    }
    ~Receiver() {
        running_ = false;
        thread_.join();
    }
    const std::string& device() const { return pty_.slavePath(); }

private:
    PseudoTerminal pty_;
    std::atomic<bool> running_{true};
    std::thread thread_;
};

// The ports a scan tries, all mapped to nothing unless a test says otherwise.
class NoPorts {
public:
    NoPorts() {
        for (int port = 1; port <= 8; ++port) {
            ports_.push_back(
                std::make_unique<EnvOverride>("WAYPLOT2_COM" + std::to_string(port), ""));
        }
    }
    void map(int port, const std::string& device) { ports_[port - 1]->set(device.c_str()); }

private:
    std::vector<std::unique_ptr<EnvOverride>> ports_;
};

int countOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

TEST(MonitorCommandTest, PrintsTheStatusReportEverySecond) {
    TempDir root;
    Receiver receiver(200);
    auto r = runProgram({WAYPLOT2_TOOL, "--root", root.path(), "monitor", "--device",
                         receiver.device(), "--seconds", "3"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(countOf(r.out, "GPS Rec. statistics:\r\nTotal symbols: "), 3);
    EXPECT_NE(r.out.find("--- 3 s, port 1 (" + receiver.device() + ")\r\n"), std::string::npos);
    EXPECT_NE(r.out.find("Fix: 3d\r\n"), std::string::npos);
    EXPECT_NE(r.out.find("Condition: GREEN\r\n"), std::string::npos);
    EXPECT_NE(r.out.find("Total refreshes: 3\r\n"), std::string::npos);
}

TEST(MonitorCommandTest, StopsCleanlyOnInterrupt) {
    TempDir root;
    Receiver receiver(200);
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        ::close(out[0]);
        execl(WAYPLOT2_TOOL, WAYPLOT2_TOOL, "--root", root.path().c_str(), "monitor", "--device",
              receiver.device().c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    ::close(out[1]);
    std::string text;
    char buf[4096];
    while (text.find("Condition: ") == std::string::npos) {
        ssize_t n = read(out[0], buf, sizeof buf);
        if (n <= 0) {
            break;
        }
        text.append(buf, static_cast<std::size_t>(n));
    }
    ASSERT_NE(text.find("Condition: "), std::string::npos);
    kill(pid, SIGINT);
    while (read(out[0], buf, sizeof buf) > 0) {
    }
    ::close(out[0]);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(MonitorCommandTest, AMissingDeviceFailsAndBadArgumentsAreRefused) {
    TempDir root;
    auto r = runProgram({WAYPLOT2_TOOL, "--root", root.path(), "monitor", "--device",
                         "/dev/wayplot2-none", "--seconds", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("GPS is not started !"), std::string::npos);
    EXPECT_NE(r.err.find("trace: Communications Error 2  Invalid Comms Port Opening.\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("Condition: BLINKING RED\r\n"), std::string::npos);
    for (std::vector<std::string> bad :
         {std::vector<std::string>{"--port", "2", "--device", "/dev/null"},
          {"--seconds", "0"},
          {"--baud"},
          {"--port", "x"},
          {"--verbose", "1"}}) {
        std::vector<std::string> argv{WAYPLOT2_TOOL, "--root", root.path(), "monitor"};
        argv.insert(argv.end(), bad.begin(), bad.end());
        auto u = runProgram(argv);
        EXPECT_EQ(u.status, 2) << bad[0];
        EXPECT_NE(u.err.find("usage: wayplot2-tool"), std::string::npos);
    }
}

TEST(ScanCommandTest, FindsTheReceiverAndStoresTheDriverSetting) {
    TempDir root;
    Receiver receiver(50);
    NoPorts ports;
    ports.map(1, receiver.device());
    auto r = runProgram({WAYPLOT2_TOOL, "--root", root.path(), "scan"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "Scan for GPS...\r\n"
              "Port 5: Not found\r\n"
              "Port 2: Not found\r\n"
              "Port 4: Not found\r\n"
              "Port 6: Not found\r\n"
              "Port 7: Not found\r\n"
              "Port 8: Not found\r\n"
              "Port 1: Waiting for signal\r\n"
              "Port 1: GPS found!\r\n"
              "Driver: 1,4800,8,1,0\r\n");
    // The next run of the program finds it there.
    std::string store = test::readFile(root.file("local-machine.reg"));
    EXPECT_NE(store.find("\"Driver\"=\"1,4800,8,1,0\""), std::string::npos);
}

TEST(ScanCommandTest, NoReceiverMeansFailureAndNothingStored) {
    TempDir root;
    NoPorts ports;
    auto r = runProgram({WAYPLOT2_TOOL, "--root", root.path(), "scan", "--ports", "2"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Scan for GPS...\r\nPort 5: Not found\r\nPort 2: Not found\r\n");
    EXPECT_NE(r.err.find("Can't find GPS.\r\nPossibly this GPS receiver is not supported"),
              std::string::npos);
    EXPECT_EQ(test::readFile(root.file("local-machine.reg")).find("Driver"), std::string::npos);
    EXPECT_EQ(runProgram({WAYPLOT2_TOOL, "scan", "--ports", "9"}).status, 2);
}

}  // namespace
}  // namespace wp2
