// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt sound player and timers, on one application object.

#include "platform/qt/qt_sound_player.h"

#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QThread>

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
    const auto runFor = [&](int ms) {
        QElapsedTimer elapsed;
        elapsed.start();
        while (elapsed.elapsed() < ms) {
            timers.processPending();
            QThread::msleep(1);
        }
    };
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
    timers.stop(stoppedId);
    timers.stop(9999);  // unknown ids are ignored
    runFor(200);
    EXPECT_EQ(fired, 3);
    EXPECT_GE(other, 3);
    EXPECT_EQ(stopped, 0);
    EXPECT_EQ(thread, QThread::currentThreadId());

    // A timer moved from its own callback (stopped, and another started on
    // the reused timer) runs only the new callback from then on.
    timers.stop(otherId);
    int moved = 0, after = 0;
    id = timers.start(5, [&] {
        ++moved;
        timers.stop(id);
        id = timers.start(20, [&] { ++after; });
    });
    runFor(150);
    EXPECT_EQ(moved, 1);
    EXPECT_GE(after, 2);
}

}  // namespace
}  // namespace wp2
