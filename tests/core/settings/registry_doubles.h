// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Registries for the settings tests: one that counts writes per value name and
// one whose writes can be made to fail.

#include <map>
#include <string>
#include <vector>

#include "core/settings/memory_registry.h"
#include "support/test_support.h"

namespace wp2::test {

class CountingRegistry : public MemoryRegistry {
public:
    Result<> setValue(RegRoot root, const std::string& path, const std::string& name,
                      const RegValue& value) override {
        ++writes[name];
        return MemoryRegistry::setValue(root, path, name, value);
    }
    int writesOf(const std::string& name) const {
        auto it = writes.find(name);
        return it == writes.end() ? 0 : it->second;
    }

    std::map<std::string, int> writes;
};

// Writes fail (with the device's write fault) while failSet is set.
class FailingRegistry : public CountingRegistry {
public:
    Result<> setValue(RegRoot root, const std::string& path, const std::string& name,
                      const RegValue& value) override {
        ++writes[name];
        return failSet ? result(kRegWriteFault, "set " + name)
                       : MemoryRegistry::setValue(root, path, name, value);
    }

    bool failSet = false;
};

}  // namespace wp2::test
