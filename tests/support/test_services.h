// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A test's own copy of the services the program shares, made fresh for each
// test instead of installed process-wide.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/base/services.h"
#include "core/gps/gps_link.h"
#include "core/nav/unit_formatter.h"
#include "core/track/file_chooser.h"
#include "messages/ui_services.h"
#include "support/test_support.h"

namespace wp2::test {

// Answers file dialogs from a queue (an empty entry cancels) and records what
// it was asked.
class ScriptedChooser final : public FileChooser {
public:
    struct Asked {
        bool saving;
        FileDialogRequest request;
    };

    std::optional<std::string> openFile(const FileDialogRequest& r) override {
        return answer(false, r);
    }
    std::optional<std::string> saveFile(const FileDialogRequest& r) override {
        return answer(true, r);
    }

    std::deque<std::optional<std::string>> answers;
    std::vector<Asked> asked;

private:
    std::optional<std::string> answer(bool saving, const FileDialogRequest& r) {
        asked.push_back({saving, r});
        if (answers.empty()) {
            return std::nullopt;
        }
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
};

struct TestServices {
    LinkSlot link;
    UnitFormatter units;
    ScriptedChooser files;  // cancels until given answers
    TestSettings<> store;   // settings in memory
    RecordingMessageBoxes boxes;
    UiServices ui{{link, units, files, store.registry, store.diagnostics}, boxes};
    SettingsServices settings() const { return ui.settings(); }
};

}  // namespace wp2::test
