// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/default_files.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/base/paths.h"

namespace wp2 {

namespace fs = std::filesystem;

namespace {

bool hasWindowsFolder(const fs::path& dir) {
    std::error_code ec;
    return !dir.empty() && fs::is_directory(dir / "windows", ec);
}

fs::path besideExecutable() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return {};
    }
    return exe.parent_path().parent_path() / "share" / "wayplot2";
}

bool copyWhole(const fs::path& from, const fs::path& to) {
    fs::path part = to;
    part += ".part";
    std::error_code ec;
    fs::copy_file(from, part, fs::copy_options::overwrite_existing, ec);
    if (!ec) {
        fs::rename(part, to, ec);
    }
    if (ec) {
        std::error_code ignored;
        fs::remove(part, ignored);
        return false;
    }
    return true;
}

}  // namespace

std::string resourceDir() {
    std::vector<fs::path> candidates;
    if (const char* env = std::getenv("WAYPLOT2_RESOURCES"); env && *env) {
        candidates.emplace_back(env);
    }
    candidates.push_back(besideExecutable());
#ifdef WAYPLOT2_INSTALL_RESOURCE_DIR
    candidates.emplace_back(WAYPLOT2_INSTALL_RESOURCE_DIR);
#endif
#ifdef WAYPLOT2_BUILD_RESOURCE_DIR
    candidates.emplace_back(WAYPLOT2_BUILD_RESOURCE_DIR);
#endif
    for (const fs::path& c : candidates) {
        if (hasWindowsFolder(c)) {
            return c.string();
        }
    }
    return {};
}

InstallResult installDefaultFiles(const std::string& resources) {
    InstallResult result;
    const fs::path source = fs::path(resources) / "windows";
    const fs::path target = Paths::map("Windows");
    std::error_code ec;
    fs::directory_iterator it(source, ec);
    if (ec || !Paths::makeDirs(target.string())) {
        return result;
    }
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) {
            continue;
        }
        fs::path to = target / it->path().filename();
        std::error_code existsError;
        if (fs::exists(fs::symlink_status(to, existsError))) {
            ++result.present;
        } else if (copyWhole(it->path(), to)) {
            ++result.copied;
        } else {
            ++result.failed;
        }
    }
    return result;
}

InstallResult installDefaultFiles() {
    std::string dir = resourceDir();
    return dir.empty() ? InstallResult{} : installDefaultFiles(dir);
}

}  // namespace wp2
