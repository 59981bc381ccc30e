#pragma once
// Registries for the settings tests: one that counts writes per value name and
// one whose key creation and writes can be made to fail. Each installs itself
// as the process-wide registry for its lifetime.

#include <map>
#include <string>

#include "core/settings/memory_registry.h"

namespace wp2::test {

class CountingRegistry : public MemoryRegistry {
public:
    CountingRegistry() : previous_(setRegistry(this)) {}
    ~CountingRegistry() override { setRegistry(previous_); }

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
    Registry* previous_;
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

}  // namespace wp2::test
