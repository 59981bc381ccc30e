// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Registries for the settings tests: one that counts writes per value name and
// one whose key creation and writes can be made to fail. Each installs itself
// as the process-wide registry for its lifetime.

#include <map>
#include <string>
#include <vector>

#include "core/settings/memory_registry.h"
#include "support/test_support.h"

namespace wp2::test {

class CountingRegistry : public MemoryRegistry {
public:
    int setValue(RegRoot root, const std::string& path, const std::string& name,
                 const RegValue& value) override {
        ++writes[name];
        return MemoryRegistry::setValue(root, path, name, value);
    }
    int writesOf(const std::string& name) const {
        auto it = writes.find(name);
        return it == writes.end() ? 0 : it->second;
    }

    std::map<std::string, int> writes;

private:
    InstalledRegistry installed_{*this};
};

class FailingRegistry : public CountingRegistry {
public:
    int createKey(RegRoot root, const std::string& path) override {
        return failCreate ? kRegAccessDenied : MemoryRegistry::createKey(root, path);
    }
    int openKey(RegRoot root, const std::string& path) override {
        return failCreate ? kRegAccessDenied : MemoryRegistry::openKey(root, path);
    }
    int setValue(RegRoot root, const std::string& path, const std::string& name,
                 const RegValue& value) override {
        ++writes[name];
        return failSet ? kRegWriteFault : MemoryRegistry::setValue(root, path, name, value);
    }
    std::string errorText(int code) const override {
        return customErrorText.empty() ? Registry::errorText(code) : customErrorText;
    }

    bool failCreate = false;
    bool failSet = false;
    std::string customErrorText;
};

// One line per message box: text, caption, icon and buttons.
inline std::string box(const std::string& text, const std::string& caption, MessageIcon icon,
                       MessageButtons buttons = MessageButtons::Ok) {
    return text + " | " + caption + " | " + std::to_string(static_cast<int>(icon)) + " | " +
           std::to_string(static_cast<int>(buttons));
}

inline std::vector<std::string> shownBoxes(const RecordingMessageBoxes& boxes) {
    std::vector<std::string> lines;
    for (const auto& b : boxes.shown) {
        lines.push_back(box(b.text, b.caption, b.icon, b.buttons));
    }
    return lines;
}

}  // namespace wp2::test
