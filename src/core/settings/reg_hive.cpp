// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/reg_hive.h"

#include <algorithm>

namespace wp2 {

namespace {

unsigned char fold(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

bool hasControl(const std::string& s) {
    return std::any_of(s.begin(), s.end(), [](char c) {
        unsigned char u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
}

}  // namespace

bool RegNameLess::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return fold(x) < fold(y); });
}

bool regNamesEqual(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return fold(x) == fold(y); });
}

bool normalizeKeyPath(const std::string& path, std::string& out) {
    std::size_t first = path.find_first_not_of('\\');
    std::size_t last = path.find_last_not_of('\\');
    if (first == std::string::npos || hasControl(path)) {
        return false;
    }
    std::string p = path.substr(first, last - first + 1);
    if (p.find("\\\\") != std::string::npos) {
        return false;
    }
    out = std::move(p);
    return true;
}

bool validValueName(const std::string& name) {
    return !hasControl(name);
}

bool RegHive::hasKey(const std::string& path) const {
    if (keys_.count(path)) {
        return true;
    }
    // A subkey "path\..." makes its ancestors exist. In the folded order every
    // such key follows "path\" directly.
    std::string prefix = path + "\\";
    auto it = keys_.lower_bound(prefix);
    return it != keys_.end() && it->first.size() > prefix.size() &&
           regNamesEqual(it->first.substr(0, prefix.size()), prefix);
}

void RegHive::createKey(const std::string& path) {
    keys_.try_emplace(path);
}

const RegValue* RegHive::find(const std::string& path, const std::string& name) const {
    auto key = keys_.find(path);
    if (key == keys_.end()) {
        return nullptr;
    }
    auto value = key->second.find(name);
    return value == key->second.end() ? nullptr : &value->second;
}

void RegHive::set(const std::string& path, const std::string& name, RegValue value) {
    Values& values = keys_[path];
    auto it = values.find(name);
    if (it == values.end()) {
        values.emplace(name, std::move(value));
    } else {
        it->second = std::move(value);
    }
}

bool RegHive::erase(const std::string& path, const std::string& name) {
    auto key = keys_.find(path);
    return key != keys_.end() && key->second.erase(name) > 0;
}

std::vector<std::pair<std::string, RegValue>> RegHive::values(const std::string& path) const {
    auto key = keys_.find(path);
    if (key == keys_.end()) {
        return {};
    }
    return {key->second.begin(), key->second.end()};
}

bool RegHive::operator==(const RegHive& other) const {
    if (keys_.size() != other.keys_.size()) {
        return false;
    }
    for (auto a = keys_.begin(), b = other.keys_.begin(); a != keys_.end(); ++a, ++b) {
        if (a->first != b->first || a->second.size() != b->second.size() ||
            !std::equal(a->second.begin(), a->second.end(), b->second.begin())) {
            return false;
        }
    }
    return true;
}

}  // namespace wp2
