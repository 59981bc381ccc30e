// SPDX-License-Identifier: GPL-3.0-or-later
// The file-backed registry: what reaches the disk, settings across program
// runs, a crash in the middle of a write, unreadable store files, and writers
// in several processes.

#include "platform/file_registry.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/base/atomic_file.h"
#include "core/settings/int_setting.h"
#include "core/settings/reg_number.h"
#include "core/settings/reg_values.h"
#include "core/settings/settings_store.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

using test::readFile;
using test::RecordingMessageBoxes;
using test::TempDir;
using test::writeFile;
using ::testing::HasSubstr;

Diagnostics quiet;             // what the registries here trace, and
RecordingMessageBoxes untold;  // tell where no test looks

// Stores the DWORD value `name` under the program's settings key.
Result<> setDword(FileRegistry& reg, const std::string& name, std::uint32_t value) {
    return reg.setValue(RegRoot::LocalMachine, kSettingsKeyPath, name,
                        RegValue{RegType::Dword, dwordBytes(value)});
}

// The one temporary file a replace left in the folder, "" when there is none.
std::string onlyTemporaryFile(const std::string& folder) {
    std::string found;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".tmp") {
            EXPECT_EQ(found, "") << "two temporary files";
            found = entry.path().string();
        }
    }
    return found;
}

TEST(FileRegistry, CrashBetweenWritingTheTemporaryFileAndRenamingKeepsTheOldStore) {
    TempDir tmp;
    {
        FileRegistry reg(quiet, untold, tmp.path());
        ASSERT_TRUE(setDword(reg, "WarmStart", 1));
    }
    const std::string before = readFile(tmp.file("local-machine.reg"));

    const auto crashed = test::exitStatusesOf(1, [&](int) {
        FileRegistry reg(quiet, untold, tmp.path());
        setBeforeReplaceHook([](const std::string&) { _exit(42); });
        (void)setDword(reg, "WarmStart", 0);
        return 0;  // not reached when the hook runs
    });
    ASSERT_EQ(crashed, std::vector<int>{42}) << "the write never reached the rename";

    // The store is the old one; the complete new text sits in the temporary file.
    EXPECT_EQ(readFile(tmp.file("local-machine.reg")), before);
    const std::string temporary = onlyTemporaryFile(tmp.path());
    EXPECT_THAT(readFile(temporary), HasSubstr("dword:00000000"));
    RecordingMessageBoxes boxes;
    FileRegistry reg(quiet, boxes, tmp.path());
    IntSetting warmStart({reg, quiet}, "WarmStart", true, 7);
    warmStart.load();
    EXPECT_EQ(warmStart.get(), 1);
    EXPECT_TRUE(boxes.shown.empty());
    // The left-over temporary file does not stand in the way of the next write.
    warmStart = 3;
    EXPECT_THAT(readFile(tmp.file("local-machine.reg")), HasSubstr("dword:00000003"));
}

TEST(FileRegistry, WritersInSeveralProcessesLoseNothing) {
    TempDir tmp;
    constexpr int kProcesses = 4;
    constexpr int kValuesEach = 25;
    const auto statuses = test::exitStatusesOf(kProcesses, [&](int p) {
        FileRegistry reg(quiet, untold, tmp.path());
        int failures = 0;
        for (int i = 0; i < kValuesEach; ++i) {
            std::string name = "P" + std::to_string(p) + "V" + std::to_string(i);
            failures += !setDword(reg, name, static_cast<std::uint32_t>(i));
        }
        return failures == 0 ? 0 : 1;
    });
    EXPECT_EQ(statuses, std::vector<int>(kProcesses, 0));
    FileRegistry reg(quiet, untold, tmp.path());
    EXPECT_EQ(reg.listValues(RegRoot::LocalMachine, kSettingsKeyPath).size(),
              static_cast<std::size_t>(kProcesses * kValuesEach));
}

// A read-only settings folder: the stored settings are used, the user is told
// once that changes cannot be saved, and the program goes on.
TEST(FileRegistry, ReadOnlyFolderKeepsTheStoredSettingsAndSaysOnceThatNothingIsSaved) {
    TempDir tmp;
    {
        FileRegistry reg(quiet, untold, tmp.path());
        IntSetting({reg, quiet}, "UnitSystem", true, 0) = 1;
    }
    auto result = test::inPrivateMounts([&]() -> std::string {
        if (!test::mountReadOnly(tmp.path())) {
            return "cannot mount read-only";
        }
        RecordingMessageBoxes boxes;
        FileRegistry reg(quiet, boxes, tmp.path());
        const SettingsServices settings{reg, quiet};
        IntSetting unit(settings, "UnitSystem", true, 0);
        unit.load();
        for (int i = 0; i < 26; ++i) {
            test::loadedSetting<IntSetting>(settings, "Absent" + std::to_string(i), i);
        }
        unit = 2;
        if (unit.get() != 2 || test::loadedSetting<IntSetting>(settings, "UnitSystem", 0) != 1) {
            return "the stored unit system was not used";
        }
        if (boxes.shown.size() != 1 ||
            boxes.shown[0].text.find("Read-only file system") == std::string::npos) {
            return std::to_string(boxes.shown.size()) +
                   " boxes, the first: " + (boxes.shown.empty() ? "" : boxes.shown[0].text);
        }
        return "";
    });
    if (!result) {
        GTEST_SKIP() << "no private mount namespace here to make a folder read-only";
    }
    EXPECT_EQ(*result, "");
}

// The lock is waited for a bounded time; then the change fails and names the
// process the system says holds it, not the one the lock file's text names:
// a holder taking a flock() lock only (as flock(1) does), and one taking a
// record lock only.
TEST(FileRegistry, HeldLockFailsTheChangeAfterAWhileNamingItsHolder) {
    for (const bool recordLock : {false, true}) {
        SCOPED_TRACE(recordLock ? "record lock" : "flock");
        TempDir tmp;
        writeFile(tmp.file("registry.lock"), "4242 stale\n");
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t holder = ::fork();
        if (holder == 0) {
            const int fd = ::open(tmp.file("registry.lock").c_str(), O_RDWR);
            struct flock whole {};
            whole.l_type = F_WRLCK;
            const bool locked =
                recordLock ? ::fcntl(fd, F_SETLK, &whole) == 0 : ::flock(fd, LOCK_EX) == 0;
            if (!locked || ::write(ready[1], "!", 1) != 1) {
                _exit(1);
            }
            ::pause();
        }
        char byte = 0;
        ASSERT_EQ(::read(ready[0], &byte, 1), 1);
        RecordingMessageBoxes boxes;
        FileRegistry reg(quiet, boxes, tmp.path());
        reg.setLockWait(std::chrono::milliseconds(100));
        const Result<> set = setDword(reg, "A", 1);
        ASSERT_FALSE(set);
        EXPECT_TRUE(toldAlready(set.error()));
        const std::string name = readFile("/proc/self/comm");
        EXPECT_THAT(set.error().reason, HasSubstr("in use by process " + std::to_string(holder) +
                                                  " (" + name.substr(0, name.size() - 1) + ")"));
        EXPECT_EQ(boxes.shown.size(), 1u);
        ::kill(holder, SIGKILL);
        ::waitpid(holder, nullptr, 0);
        ::close(ready[0]);
        ::close(ready[1]);
        EXPECT_TRUE(setDword(reg, "A", 1));
    }
}

// The store is read once and again only when the file changed.
TEST(FileRegistry, StoreIsReadAgainOnlyWhenTheFileChanged) {
    TempDir tmp;
    FileRegistry writer(quiet, untold, tmp.path()), reader(quiet, untold, tmp.path());
    const RegValue big{RegType::Sz, std::vector<std::uint8_t>(1 << 20, 'x')};
    ASSERT_TRUE(writer.setValue(RegRoot::LocalMachine, kSettingsKeyPath, "Big", big));
    for (int i = 0; i < 20; ++i) {
        EXPECT_TRUE(reader.queryValue(RegRoot::LocalMachine, kSettingsKeyPath, "Big").has_value());
    }
    EXPECT_EQ(reader.reads(), 1);
    ASSERT_TRUE(setDword(writer, "N", 7));
    const Result<RegValue> v = reader.queryValue(RegRoot::LocalMachine, kSettingsKeyPath, "N");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->data, dwordBytes(7));
    EXPECT_EQ(reader.reads(), 2);
}

}  // namespace
}  // namespace wp2
