// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/memory_registry.h"

namespace wp2 {

int MemoryRegistry::createKey(RegRoot root, const std::string& path) {
    std::string key;
    if (!normalizeKeyPath(path, key)) {
        return kRegInvalidParameter;
    }
    hives_[root].createKey(key);
    return kRegOk;
}

int MemoryRegistry::openKey(RegRoot root, const std::string& path) {
    std::string key;
    if (!normalizeKeyPath(path, key)) {
        return kRegInvalidParameter;
    }
    return hives_[root].hasKey(key) ? kRegOk : kRegFileNotFound;
}

int MemoryRegistry::queryValue(RegRoot root, const std::string& path, const std::string& name,
                               RegValue& out) {
    std::string key;
    if (!normalizeKeyPath(path, key)) {
        return kRegInvalidParameter;
    }
    const RegValue* value = hives_[root].find(key, name);
    if (!value) {
        return kRegFileNotFound;
    }
    out = *value;
    return kRegOk;
}

int MemoryRegistry::setValue(RegRoot root, const std::string& path, const std::string& name,
                             const RegValue& value) {
    std::string key;
    if (!normalizeKeyPath(path, key) || !validValueName(name)) {
        return kRegInvalidParameter;
    }
    hives_[root].set(key, name, value);
    return kRegOk;
}

int MemoryRegistry::deleteValue(RegRoot root, const std::string& path, const std::string& name) {
    std::string key;
    if (!normalizeKeyPath(path, key)) {
        return kRegInvalidParameter;
    }
    return hives_[root].erase(key, name) ? kRegOk : kRegFileNotFound;
}

std::vector<std::pair<std::string, RegValue>> MemoryRegistry::listValues(RegRoot root,
                                                                         const std::string& path) {
    std::string key;
    if (!normalizeKeyPath(path, key)) {
        return {};
    }
    return hives_[root].values(key);
}

}  // namespace wp2
