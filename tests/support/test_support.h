// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared helpers for the tests: a message-box recorder, settings of a test's
// own, a temporary folder, whole-file reading, and running a program.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/base/diagnostics.h"
#include "core/base/services.h"
#include "core/settings/memory_registry.h"
#include "core/settings/settings_store.h"
#include "messages/message_box.h"

namespace wp2::test {

// Records every message box instead of showing it, and answers with a queue of
// prepared results (Ok / Yes when the queue is empty).
class RecordingMessageBoxes final : public MessageBoxes {
public:
    struct Shown {
        std::string text;
        std::string caption;
        MessageIcon icon;
        MessageButtons buttons;
    };

    MessageResult show(const std::string& text, const std::string& caption, MessageIcon icon,
                       MessageButtons buttons) override;

    std::vector<Shown> shown;
    std::vector<MessageResult> answers;
};

// A fresh folder under the system's temporary folder, removed with its contents
// when the object goes. Also the program's root (Paths::setRoot) while it lives
// when asRoot is set.
class TempDir {
public:
    explicit TempDir(bool asRoot = false);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
    bool asRoot_;
};

std::string readFile(const std::string& path);
std::vector<unsigned char> readBytes(const std::string& path);
void writeFile(const std::string& path, const std::string& contents);
bool fileExists(const std::string& path);
// Path of a file in tests/data.
std::string dataFile(const std::string& name);

struct RunResult {
    int status = -1;  // exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
};
// Runs argv[0] with the arguments, without a shell, and collects its output.
RunResult runProgram(const std::vector<std::string>& argv, const std::string& stdinText = "");

// Runs body(i) for i from 0 to n - 1, each in a child process of its own, all
// at once, and gives their exit statuses (-1 for a child that did not exit).
std::vector<int> exitStatusesOf(int n, const std::function<int(int)>& body);

// `n` bytes from a pseudo-random generator seeded with `seed`.
std::string randomBytes(std::size_t n, unsigned seed);

// A setting's value read as the program reads it (its default is written
// when there is none); Setting is IntSetting or DoubleSetting.
template <typename Setting, typename Value>
Value loadedSetting(const SettingsServices& settings, const std::string& name, Value defaultValue) {
    Setting setting(settings, name, true, defaultValue);
    setting.load();
    return setting.get();
}

// A registry in memory with shortcuts to the numbers of the settings key.
class TestRegistry : public MemoryRegistry {
public:
    std::optional<std::int32_t> number(const std::string& name) {
        const Result<std::uint32_t> n = SettingsStore(*this).readNumber(name);
        return n ? std::optional<std::int32_t>(static_cast<std::int32_t>(*n)) : std::nullopt;
    }
    void setNumber(const std::string& name, std::uint32_t n) {
        ASSERT_TRUE(SettingsStore(*this).writeNumber(name, n));
    }
};

// A test's own settings store (a TestRegistry unless said) and diagnostics.
template <typename Store = TestRegistry>
struct TestSettings {
    Store registry;
    Diagnostics diagnostics;
    SettingsServices services{registry, diagnostics};
};

// Runs body in a child process with a mount namespace of its own, where it
// may mount what it needs (mountReadOnly, mountTmpfs) without touching the
// machine. Returns what body returned ("" for success), or nothing when this
// system gives no private mount namespace (no root and no user namespaces).
std::optional<std::string> inPrivateMounts(const std::function<std::string()>& body);
// Inside inPrivateMounts: the folder becomes read-only / a tmpfs of `bytes`.
bool mountReadOnly(const std::string& folder);
bool mountTmpfs(const std::string& folder, std::size_t bytes);

}  // namespace wp2::test
