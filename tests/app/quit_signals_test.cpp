#include "app/quit_signals.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <csignal>
#include <filesystem>

#include "app_test_support.h"
#include "core/base/paths.h"
#include "core/settings/creg_store.h"
#include "platform/file_registry.h"

namespace wp2 {
namespace {

TEST(QuitSignals, TermAndIntReachTheHandlerOnTheUserInterfaceThread) {
    test::ensureApplication();
    std::vector<int> received;
    {
        QuitSignals quitSignals([&](int s) { received.push_back(s); });
        ASSERT_TRUE(quitSignals.installed());
        QuitSignals second([](int) {});
        EXPECT_FALSE(second.installed());  // one at a time
        std::raise(SIGTERM);
        std::raise(SIGINT);
        QElapsedTimer t;
        t.start();
        while (received.size() < 2 && t.elapsed() < 2000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
    }
    EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGINT}));
    // Afterwards the default actions are back.
    struct sigaction now {};
    sigaction(SIGTERM, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}

#ifdef WAYPLOT2_APP
// Starts the program; returns its process id.
pid_t start(const std::vector<std::string>& args) {
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        const int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, 1);
        std::vector<char*> argv;
        std::string program = WAYPLOT2_APP;
        argv.push_back(program.data());
        std::vector<std::string> copy = args;
        for (auto& a : copy) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    return pid;
}

// The exit status, or -1 when the program did not end normally in time.
int finish(pid_t pid, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        usleep(50000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

TEST(QuitSignals, TheProgramSavesItsStateWhenTerminated) {
    test::TempDir root;
    const pid_t pid = start({"--emulate", "--root", root.path()});
    ASSERT_GT(pid, 0);
    // Past the start-up waits (500 + 2000 ms) into the running dashboard.
    usleep(4000 * 1000);
    kill(pid, SIGTERM);
    EXPECT_EQ(finish(pid, 10000), 0);

    FileRegistry stored(root.path());
    Registry* previous = setRegistry(&stored);
    std::string choices;
    EXPECT_TRUE(CRegStore().ReadLongText("IOpt", choices));
    EXPECT_EQ(choices, "105,30,102,24,101,27,103,35,104,37");
    setRegistry(previous);
    EXPECT_TRUE(std::filesystem::exists(root.path() + "/My Documents/Pushpins.kpp"));
}
#endif

}  // namespace
}  // namespace wp2
