// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/default_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <tuple>

#include "support/test_support.h"

namespace wp2 {
namespace {

namespace fs = std::filesystem;

class DefaultFiles : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(resources_.file("windows"));
        test::writeFile(resources_.file("windows/move4.txt"), "shipped track");
        test::writeFile(resources_.file("windows/GpsOn.wav"), "shipped chime");
    }
    std::string installed(const std::string& name) { return root_.file("Windows/" + name); }

    test::TempDir resources_;
    test::TempDir root_{true};
};

TEST_F(DefaultFiles, CopiesWhatIsMissingAndNeverOverwrites) {
    EXPECT_EQ(installDefaultFiles(resources_.file("elsewhere")).copied, 0);
    InstallResult r = installDefaultFiles(resources_.path());
    EXPECT_EQ(std::tuple(r.copied, r.present, r.failed), std::tuple(2, 0, 0));
    EXPECT_EQ(test::readFile(installed("move4.txt")), "shipped track");
    EXPECT_FALSE(test::fileExists(installed("move4.txt.part")));
    test::writeFile(installed("GpsOn.wav"), "the user's own");
    fs::remove(installed("move4.txt"));
    r = installDefaultFiles(resources_.path());
    EXPECT_EQ(std::tuple(r.copied, r.present, r.failed), std::tuple(1, 1, 0));
    EXPECT_EQ(test::readFile(installed("GpsOn.wav")), "the user's own");
    EXPECT_EQ(test::readFile(installed("move4.txt")), "shipped track");
}

}  // namespace
}  // namespace wp2
