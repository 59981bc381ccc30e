#include "platform/default_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

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

TEST_F(DefaultFiles, FirstStartCopiesEveryShippedFile) {
    InstallResult r = installDefaultFiles(resources_.path());
    EXPECT_EQ(r.copied, 2);
    EXPECT_EQ(r.failed, 0);
    EXPECT_EQ(test::readFile(installed("move4.txt")), "shipped track");
    EXPECT_EQ(test::readFile(installed("GpsOn.wav")), "shipped chime");
    EXPECT_FALSE(test::fileExists(installed("move4.txt.part")));
}

TEST_F(DefaultFiles, FilesAlreadyThereAreNeverOverwritten) {
    fs::create_directories(root_.file("Windows"));
    test::writeFile(installed("GpsOn.wav"), "the user's own");
    InstallResult r = installDefaultFiles(resources_.path());
    EXPECT_EQ(r.copied, 1);
    EXPECT_EQ(r.present, 1);
    EXPECT_EQ(test::readFile(installed("GpsOn.wav")), "the user's own");
    // A second start finds everything in place.
    r = installDefaultFiles(resources_.path());
    EXPECT_EQ(r.copied, 0);
    EXPECT_EQ(r.present, 2);
}

TEST_F(DefaultFiles, AFileThatCannotBeCopiedIsCountedAndNotInstalled) {
    // A non-empty folder where the copy would be written makes the copy fail.
    fs::create_directories(root_.file("Windows/move4.txt.part/blocker"));
    InstallResult r = installDefaultFiles(resources_.path());
    EXPECT_EQ(r.copied, 1);
    EXPECT_EQ(r.failed, 1);
    EXPECT_FALSE(test::fileExists(installed("move4.txt")));
}

TEST_F(DefaultFiles, NoResourcesMeansNothingToDo) {
    InstallResult r = installDefaultFiles(resources_.file("elsewhere"));
    EXPECT_EQ(r.copied + r.present + r.failed, 0);
}

TEST(ResourceDir, TheEnvironmentWinsAndTheBuildTreeIsFoundOtherwise) {
    test::TempDir mine;
    fs::create_directories(mine.file("windows"));
    setenv("WAYPLOT2_RESOURCES", mine.path().c_str(), 1);
    EXPECT_EQ(resourceDir(), mine.path());
    unsetenv("WAYPLOT2_RESOURCES");
    std::string found = resourceDir();
    ASSERT_FALSE(found.empty());
    for (const char* f :
         {"move4.txt", "GpsOn.wav", "GpsOff.wav", "FixOk.wav", "NoFix.wav", "Alarm1.wav"}) {
        EXPECT_TRUE(test::fileExists(found + "/windows/" + f)) << f;
    }
}

}  // namespace
}  // namespace wp2
