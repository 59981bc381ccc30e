// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The keys and values of one registry root, held in memory.
//
// Like the registry, key paths and value names are compared without regard to
// ASCII case and keep the spelling they were first created with. A key exists
// when it was created or when one of its subkeys was.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/settings/registry.h"

namespace wp2 {

// Orders strings as the registry compares names: ASCII letters case-folded.
struct RegNameLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

bool regNamesEqual(const std::string& a, const std::string& b);

// Brings a key path into the form the hive keeps: leading and trailing
// backslashes removed. False for an empty path, an empty component ("a\\b")
// or a control character.
bool normalizeKeyPath(const std::string& path, std::string& out);
// A value name may hold any character but control characters.
bool validValueName(const std::string& name);

class RegHive {
public:
    using Values = std::map<std::string, RegValue, RegNameLess>;
    using Keys = std::map<std::string, Values, RegNameLess>;

    // The path arguments must be normalized (normalizeKeyPath).
    bool hasKey(const std::string& path) const;
    void createKey(const std::string& path);
    // nullptr when the key or value is absent.
    const RegValue* find(const std::string& path, const std::string& name) const;
    // Creates the key when needed.
    void set(const std::string& path, const std::string& name, RegValue value);
    // False when the value was absent.
    bool erase(const std::string& path, const std::string& name);
    std::vector<std::pair<std::string, RegValue>> values(const std::string& path) const;

    // Every created key with its values, in name order.
    const Keys& keys() const { return keys_; }
    bool empty() const { return keys_.empty(); }
    bool operator==(const RegHive& other) const;

private:
    Keys keys_;
};

}  // namespace wp2
