#include "platform/qt/qt_sound_player.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAudioDevice>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "core/sound/wave_file.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

std::string shipped(const std::string& name) {
    return std::string(RESOURCE_BUILD_DIR) + "/windows/" + name;
}

extern "C" char** environ;

// A private PulseAudio server with one null sink: an audio output that
// plays into nothing, so the tests can exercise a real device.
class NullSinkServer {
public:
    NullSinkServer() {
        std::string socket = runtime_.path() + "/pulse/native";
        setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
        setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
        const char* argv[] = {"pulseaudio",
                              "-n",
                              "--daemonize=no",
                              "--exit-idle-time=-1",
                              "--use-pid-file=no",
                              "--log-target=stderr",
                              "--log-level=0",
                              "--load=module-null-sink",
                              "--load=module-native-protocol-unix",
                              nullptr};
        if (posix_spawnp(&pid_, "pulseaudio", nullptr, nullptr, const_cast<char**>(argv),
                         environ) != 0) {
            pid_ = -1;
            return;
        }
        for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        ready_ = std::filesystem::exists(socket);
    }
    ~NullSinkServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool ready() const { return ready_; }

private:
    test::TempDir runtime_;
    pid_t pid_ = -1;
    bool ready_ = false;
};

// Run once as it is (on a test machine there is usually no audio output) and
// once more with WAYPLOT2_TEST_AUDIO=null-sink, which plays into a private
// PulseAudio null sink when the pulseaudio program is installed.
class QtSoundPlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const char* audio = std::getenv("WAYPLOT2_TEST_AUDIO");
        if (audio && std::string(audio) == "null-sink") {
            server_ = std::make_unique<NullSinkServer>();
        }
        static int argc = 1;
        static char name[] = "qt_sound_player_test";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QCoreApplication>(argc, argv);
    }
    static void TearDownTestSuite() {
        app_.reset();
        server_.reset();
    }

    void SetUp() override {
        if (server_ && !server_->ready()) {
            GTEST_SKIP() << "no pulseaudio program to make a null sink with";
        }
        if (server_) {
            ASSERT_TRUE(haveOutput()) << "the null sink is not offered as an output";
        }
    }

    static bool haveOutput() { return !QMediaDevices::defaultAudioOutput().isNull(); }

    static qint64 msTaken(const std::function<void()>& f) {
        QElapsedTimer t;
        t.start();
        f();
        return t.elapsed();
    }

    static std::unique_ptr<NullSinkServer> server_;
    static std::unique_ptr<QCoreApplication> app_;
};

std::unique_ptr<NullSinkServer> QtSoundPlayerTest::server_;
std::unique_ptr<QCoreApplication> QtSoundPlayerTest::app_;

TEST_F(QtSoundPlayerTest, PlaysWithinItsOwnLengthOrTheTimeLimitWhicheverIsShorter) {
    std::optional<WaveFormat> format = readWaveFormat(shipped("GpsOn.wav"));
    ASSERT_TRUE(format.has_value());
    QtSoundPlayer player;
    bool played = false;
    qint64 ms = msTaken([&] { played = player.playSync(shipped("GpsOn.wav"), 60000); });
    // With an output the sound plays; without one nothing can be heard and
    // the call must say so rather than report success.
    EXPECT_EQ(played, haveOutput());
    EXPECT_LT(ms, format->durationMs() + QtSoundPlayer::kSlackMs + 10000);

    // 30 seconds of silence: its own length would keep the wait going.
    test::TempDir dir;
    std::string longSound = dir.file("long.wav");
    ASSERT_TRUE(writeWaveFile(longSound, std::vector<std::int16_t>(30 * 8000, 0), 8000));
    ms = msTaken([&] { played = player.playSync(longSound, 300); });
    EXPECT_EQ(played, haveOutput());
    EXPECT_LT(ms, 20000);
}

TEST_F(QtSoundPlayerTest, FilesThatCannotBePlayedFail) {
    test::TempDir dir;
    std::string notWave = dir.file("noise.wav");
    test::writeFile(notWave, "this is not a RIFF file, whatever its name says");
    std::string empty = dir.file("empty.wav");
    ASSERT_TRUE(writeWaveFile(empty, {}, 22050));
    QtSoundPlayer player;
    EXPECT_FALSE(player.playSync(notWave, 60000));
    EXPECT_FALSE(player.playSync(empty, 60000));
    EXPECT_FALSE(player.playSync(dir.file("absent.wav"), 60000));
    player.playAsync(notWave);  // ignored
    player.playAsync(dir.file("absent.wav"));
}

TEST_F(QtSoundPlayerTest, FireAndForgetReturnsAtOnceAndSurvivesThePlayerGoing) {
    auto player = std::make_unique<QtSoundPlayer>();
    qint64 ms = msTaken([&] {
        player->playAsync(shipped("GpsOn.wav"));
        // A second sound replaces the first.
        player->playAsync(shipped("Alarm1.wav"));
    });
    EXPECT_LT(ms, 5000);
    QCoreApplication::processEvents();
    player.reset();
    QCoreApplication::processEvents();
}

}  // namespace
}  // namespace wp2
