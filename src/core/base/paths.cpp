// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/paths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace wp2 {

namespace {

std::string explicitRoot;
bool rootSet = false;

std::string envOr(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return (v && *v) ? std::string(v) : fallback;
}

std::string home() {
    return envOr("HOME", "/tmp");
}

std::string root() {
    if (rootSet) {
        return explicitRoot;
    }
    return envOr("WAYPLOT2_ROOT", "");
}

std::string stripSlash(std::string s) {
    while (s.size() > 1 && s.back() == '/') {
        s.pop_back();
    }
    return s;
}

}  // namespace

void Paths::reset() {
    explicitRoot.clear();
    rootSet = false;
}

void Paths::setRoot(const std::string& dir) {
    explicitRoot = stripSlash(dir);
    rootSet = true;
}

std::string Paths::configDir() {
    std::string r = root();
    if (!r.empty()) {
        return stripSlash(r);
    }
    return stripSlash(envOr("XDG_CONFIG_HOME", home() + "/.config")) + "/wayplot2";
}

std::string Paths::dataDir() {
    std::string r = root();
    if (!r.empty()) {
        return stripSlash(r);
    }
    return stripSlash(envOr("XDG_DATA_HOME", home() + "/.local/share")) + "/wayplot2";
}

std::string Paths::cacheDir() {
    std::string r = root();
    if (!r.empty()) {
        return stripSlash(r) + "/cache";
    }
    return stripSlash(envOr("XDG_CACHE_HOME", home() + "/.cache")) + "/wayplot2";
}

std::string Paths::map(const std::string& deviceName) {
    if (!deviceName.empty() && deviceName[0] == '/') {
        return deviceName;
    }
    std::string rel = deviceName;
    for (char& c : rel) {
        if (c == '\\') {
            c = '/';
        }
    }
    while (!rel.empty() && rel[0] == '/') {
        rel.erase(0, 1);
    }
    return dataDir() + "/" + rel;
}

bool Paths::makeDirs(const std::string& dir) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return std::filesystem::is_directory(dir, ec);
}

}  // namespace wp2
