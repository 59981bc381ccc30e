// The program's saves at exit on a full and on a read-only disk: each failure
// is told with its reason, and the run does not report success.

#include <gtest/gtest.h>

#include <filesystem>

#include "app_test_support.h"

namespace wp2 {
namespace {

#ifdef WAYPLOT2_APP
int count(const std::string& text, const std::string& part) {
    int n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

// Runs a screenshot of the emulated drive after `prepare` has mounted what it
// wants over the root; the result is "" when `check` finds the run as it should be.
void runOnMountedRoot(const std::function<bool(const std::string& root)>& prepare,
                      const std::function<std::string(const test::RunResult&)>& check) {
    test::TempDir dir;
    const std::string root = dir.file("root");
    const std::vector<std::string> args = {
        WAYPLOT2_APP, "--screenshot", dir.file("shot.png"), "--frames", "200", "--root", root};
    ASSERT_EQ(test::runProgram(args).status, 0) << "a first run on a sound disk";
    auto result = test::inPrivateMounts([&]() -> std::string {
        return prepare(root) ? check(test::runProgram(args)) : "cannot mount";
    });
    if (!result) {
        GTEST_SKIP() << "no private mount namespace here to fill or lock a disk";
    }
    EXPECT_EQ(*result, "");
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
        [](const test::RunResult& r) -> std::string {
            if (r.status == 0 || count(r.err, "could not be saved") < 2 ||
                count(r.err, "No space left on device") < 2) {
                return "status " + std::to_string(r.status) + ": " + r.err;
            }
            return "";
        });
}

TEST(ExitSave, ReadOnlyDataFolderIsToldAtMostOnceAndTheRunGoesOn) {
    runOnMountedRoot([](const std::string& root) { return test::mountReadOnly(root); },
                     [](const test::RunResult& r) -> std::string {
                         if (r.status == 0 || count(r.err, "settings cannot be saved") > 1 ||
                             count(r.err, "SetValue failed") != 0 ||
                             count(r.err, "Read-only file system") < 1) {
                             return "status " + std::to_string(r.status) + ": " + r.err;
                         }
                         return "";
                     });
}
#endif

}  // namespace
}  // namespace wp2
