// SPDX-License-Identifier: GPL-3.0-or-later
// The program's saves at exit: the screenshot run's picture, and the settings
// and files on a full and on a read-only disk, where each failure is told
// with its reason and the run does not report success.

#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <set>

#include "app_test_support.h"
#include "support/text_count.h"
#include "ui/ui_test_support.h"

namespace wp2 {
namespace {

#ifdef WAYPLOT2_APP
// Runs a screenshot of the emulated drive after `prepare` has mounted what it
// wants over the root, and expects `ok` to find the run as it should be.
// Then the same for the dashboard ended by SIGTERM after 5 s, a save failure's
// box up (read-only: from start-up on; full disk: at exit): the box closes,
// what it and later boxes say goes to standard error, and the program ends in
// order at once (not killed 3 s later).
void runOnMountedRoot(const std::function<bool(const std::string& root)>& prepare,
                      const std::function<bool(const test::RunResult&, bool)>& ok) {
    test::ensureApplication();  // the offscreen platform, for the program too
    test::TempDir dir;
    const std::string root = dir.file("root");
    std::vector<std::string> args = {
        WAYPLOT2_APP, "--screenshot", dir.file("shot.png"), "--frames", "200", "--root", root};
    ASSERT_EQ(test::runProgram(args).status, 0) << "a first run on a sound disk";
    for (const bool dashboard : {false, true}) {
        if (dashboard) {
            args = {"/usr/bin/timeout", "--preserve-status", "-k",     "3", "-s", "TERM", "5",
                    WAYPLOT2_APP,       "--emulate",         "--root", root};
        }
        auto result = test::inPrivateMounts([&]() -> std::string {
            if (!prepare(root)) {
                return "cannot mount";
            }
            const test::RunResult r = test::runProgram(args);
            return ok(r, dashboard) ? "" : "status " + std::to_string(r.status) + ": " + r.err;
        });
        if (!result) {
            GTEST_SKIP() << "no private mount namespace here to fill or lock a disk";
        }
        EXPECT_EQ(*result, "") << (dashboard ? "the dashboard" : "the screenshot");
    }
}

// The dashboard at night is checked by the dashboard test; here the map
// screen and --night.
TEST(ExitSave, NightMapScreenshotIsDarkAndWarm) {
    test::TempDir dir;
    ASSERT_EQ(test::runProgram({WAYPLOT2_APP, "--screenshot", dir.file("night.png"), "--frames",
                                "60", "--night", "--map", "--root", dir.file("root")})
                  .status,
              0);
    const QImage shot(QString::fromStdString(dir.file("night.png")));
    ASSERT_EQ(shot.size(), QSize(240, 320));
    EXPECT_EQ(test::dayPixels(shot), 0);
}

TEST(ExitSave, ScreenshotIsTheScaledFrameAndAnUnwritableFileFailsTheRun) {
    test::TempDir dir;
    for (const std::string& file : {dir.file("map.png"), dir.file("no-such-folder/map.png")}) {
        const test::RunResult r =
            test::runProgram({WAYPLOT2_APP, "--screenshot", file, "--frames", "60", "--map",
                              "--scale", "2", "--root", dir.file("root")});
        EXPECT_EQ(r.status == 0, r.err.find("cannot write " + file) == std::string::npos) << r.err;
        EXPECT_EQ(r.status == 0, file == dir.file("map.png"));
    }
    const QImage shot(QString::fromStdString(dir.file("map.png")));
    ASSERT_EQ(shot.size(), QSize(480, 640));
    EXPECT_EQ(shot, shot.scaled(240, 320).scaled(480, 640));  // each frame pixel a 2 x 2 block
    std::set<QRgb> colours;  // the map's panel, grid, marker, scale bar, buttons ...
    for (int i = 0; i < 480 * 640; i += 7) {
        colours.insert(shot.pixel(i % 480, i / 480));
    }
    EXPECT_GT(colours.size(), 8u);
}

TEST(ExitSave, FullDiskSaysWhatFailedAndWhyAndTheRunFails) {
    runOnMountedRoot(
        [](const std::string& root) {
            const std::string docs = root + "/My Documents";
            std::filesystem::remove_all(docs);
            std::filesystem::create_directory(docs);
            if (!test::mountTmpfs(docs, 64 * 1024)) {
                return false;
            }
            test::writeFile(docs + "/filler", std::string(128 * 1024, 'f'));
            return true;
        },
        [](const test::RunResult& r, bool) {
            return r.status == 1 && test::countOf(r.err, "could not be saved") >= 2 &&
                   test::countOf(r.err, "No space left on device") >= 2;
        });
}

TEST(ExitSave, ReadOnlyDataFolderIsToldAtMostOnceAndTheRunGoesOn) {
    runOnMountedRoot([](const std::string& root) { return test::mountReadOnly(root); },
                     [](const test::RunResult& r, bool dashboard) {
                         // The dashboard's box is up when the signal comes.
                         const int told = test::countOf(r.err, "settings cannot be saved");
                         return r.status == 1 && told <= 1 && (!dashboard || told == 1) &&
                                test::countOf(r.err, "SetValue failed") == 0 &&
                                test::countOf(r.err, "Read-only file system") >= 1;
                     });
}
#endif

}  // namespace
}  // namespace wp2
