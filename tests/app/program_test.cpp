// The wayplot2 program as a user starts it.

#include <gtest/gtest.h>

#include <QImage>

#include "app_test_support.h"

namespace wp2 {
namespace {

#ifdef WAYPLOT2_APP
TEST(Program, ScreenshotsShowTheMovingDashboardAndTheMapEnlargedOnRequest) {
    test::ensureApplication();
    test::TempDir dir;
    const std::string root = dir.file("root");
    const auto shot = [&](const std::string& name, std::vector<std::string> extra) {
        std::vector<std::string> args = {WAYPLOT2_APP, "--screenshot", dir.file(name), "--root",
                                         root};
        args.insert(args.end(), extra.begin(), extra.end());
        const test::RunResult r = test::runProgram(args);
        EXPECT_EQ(r.status, 0) << r.err;
        return QImage(QString::fromStdString(dir.file(name)));
    };
    const QImage early = shot("early.png", {"--frames", "40"});
    const QImage late = shot("late.png", {"--frames", "400"});
    const QImage map = shot("map.png", {"--frames", "400", "--map", "--scale", "2"});
    ASSERT_EQ(early.size(), QSize(240, 320));
    ASSERT_EQ(late.size(), QSize(240, 320));
    ASSERT_EQ(map.size(), QSize(480, 640));
    // The shipped drive was installed and replayed: the pictures differ as
    // time goes on, and the map covers the dashboard.
    EXPECT_TRUE(test::fileExists(root + "/Windows/move4.txt"));
    EXPECT_NE(early, late);
    EXPECT_NE(map.scaled(240, 320), late);
    // Pixel for pixel: each frame pixel became a 2 x 2 block.
    EXPECT_EQ(map.pixel(100, 100), map.pixel(101, 101));
}

TEST(Program, BadArgumentsAreRefusedWithTheUsage) {
    const test::RunResult r = test::runProgram({WAYPLOT2_APP, "--scale", "0"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Usage: wayplot2"), std::string::npos);
    const test::RunResult help = test::runProgram({WAYPLOT2_APP, "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--emulate"), std::string::npos);
}
#endif

}  // namespace
}  // namespace wp2
