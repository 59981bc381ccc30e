// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt sound player and timers, on one application object.

#include "platform/qt/qt_sound_player.h"

#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QThread>
#include <functional>
#include <vector>

#include "core/sound/wave_file.h"
#include "platform/qt/qt_timers.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "qt_sound_player_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

// On a test machine there is usually no audio output: nothing can be heard,
// and a play must say so rather than report success. Waits never exceed the
// file's length or the time limit, whichever is shorter.
TEST(QtSoundPlayer, PlaysWithinItsLengthOrTheTimeLimitAndFailsWhatCannotBePlayed) {
    app();
    const bool output = !QMediaDevices::defaultAudioOutput().isNull();
    test::TempDir dir;
    const std::string shipped = std::string(RESOURCE_BUILD_DIR) + "/windows/GpsOn.wav";
    const std::string longSound = dir.file("long.wav");  // 30 s of silence
    ASSERT_TRUE(writeWaveFile(longSound, std::vector<std::int16_t>(30 * 8000, 0), 8000));
    const std::string noWave = dir.file("noise.wav");
    test::writeFile(noWave, "this is not a RIFF file, whatever its name says");
    const std::string empty = dir.file("empty.wav");
    ASSERT_TRUE(writeWaveFile(empty, {}, 22050));
    const struct {
        std::string path;
        int limitMs;
        bool plays;
    } cases[] = {{shipped, 60000, output},
                 {longSound, 300, output},
                 {noWave, 60000, false},
                 {empty, 60000, false},
                 {dir.file("absent.wav"), 60000, false}};
    QtSoundPlayer player;
    for (const auto& c : cases) {
        QElapsedTimer t;
        t.start();
        EXPECT_EQ(player.playSync(c.path, c.limitMs), c.plays) << c.path;
        EXPECT_LT(t.elapsed(), 8000) << c.path;
    }
    player.playAsync(shipped);  // fire and forget: returns at once, plays or not
    player.playAsync(noWave);
}

TEST(QtTimers, RunOnThisThreadUntilStoppedEvenFromTheirOwnCallback) {
    app();
    QtTimers timers;
    int fired = 0, other = 0, stopped = 0, id = 0;
    Qt::HANDLE thread = nullptr;
    id = timers.start(10, [&] {
        thread = QThread::currentThreadId();
        if (++fired == 3) {
            timers.stop(id);
        }
    });
    const int otherId = timers.start(5, [&] { ++other; });
    const int stoppedId = timers.start(5, [&] { ++stopped; });
    EXPECT_TRUE(id != otherId && otherId != stoppedId && id != stoppedId);  // each its own
    timers.stop(stoppedId);
    timers.stop(9999);  // unknown ids are ignored
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < 200) {
        timers.processPending();
        QThread::msleep(1);
    }
    EXPECT_EQ(fired, 3);
    EXPECT_GE(other, 3);
    EXPECT_EQ(stopped, 0);
    EXPECT_EQ(thread, QThread::currentThreadId());

    // A timer moved from its own callback (stopped, and a new one started,
    // on a reused timer) runs only the new callback, at the new interval.
    timers.stop(otherId);
    const int otherRuns = other;
    std::vector<int> runs;
    std::function<void(int)> arm = [&](int generation) {
        id = timers.start(generation == 0 ? 5 : 20, [&, generation] {
            runs.push_back(generation);
            timers.stop(id);
            if (generation < 2) {
                arm(generation + 1);
            }
        });
    };
    arm(0);
    elapsed.restart();
    while (elapsed.elapsed() < 150) {
        timers.processPending();
        QThread::msleep(1);
    }
    EXPECT_EQ(runs, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(other, otherRuns);
}

}  // namespace
}  // namespace wp2
