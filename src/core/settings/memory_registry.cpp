// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/memory_registry.h"

namespace wp2 {

Result<> MemoryRegistry::createKey(RegRoot root, const std::string& path) {
    std::string key;
    if (!normalizeKeyPath(path, key)) {
        return result(kRegInvalidParameter, "create key " + path);
    }
    hives_[root].createKey(key);
    return {};
}

Result<> MemoryRegistry::openKey(RegRoot root, const std::string& path) {
    std::string key;
    if (!normalizeKeyPath(path, key)) {
        return result(kRegInvalidParameter, "open key " + path);
    }
    return result(hives_[root].hasKey(key) ? kRegOk : kRegFileNotFound, "open key " + path);
}

Result<RegValue> MemoryRegistry::queryValue(RegRoot root, const std::string& path,
                                            const std::string& name) {
    std::string key;
    if (!normalizeKeyPath(path, key)) {
        return fail(failure(kRegInvalidParameter, "read " + name));
    }
    const RegValue* value = hives_[root].find(key, name);
    if (!value) {
        return fail(failure(kRegFileNotFound, "read " + name));
    }
    return *value;
}

Result<> MemoryRegistry::setValue(RegRoot root, const std::string& path, const std::string& name,
                                  const RegValue& value) {
    std::string key;
    if (!normalizeKeyPath(path, key) || !validValueName(name)) {
        return result(kRegInvalidParameter, "set " + name);
    }
    hives_[root].set(key, name, value);
    return {};
}

Result<> MemoryRegistry::deleteValue(RegRoot root, const std::string& path,
                                     const std::string& name) {
    std::string key;
    if (!normalizeKeyPath(path, key)) {
        return result(kRegInvalidParameter, "delete " + name);
    }
    return result(hives_[root].erase(key, name) ? kRegOk : kRegFileNotFound, "delete " + name);
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
