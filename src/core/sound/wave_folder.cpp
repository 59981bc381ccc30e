// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sound/wave_folder.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "core/base/paths.h"
#include "core/sound/sound_event.h"

namespace wp2 {

namespace {

bool endsWithWav(const std::string& name) {
    if (name.size() < 4) {
        return false;
    }
    std::string ext = name.substr(name.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".wav";
}

}  // namespace

std::vector<std::string> listWaveFiles(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        std::error_code typeError;
        if (endsWithWav(name) && it->is_regular_file(typeError)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> listWaveFiles() {
    return listWaveFiles(Paths::map("Windows"));
}

std::string soundFilePath(const std::string& name) {
    return Paths::map(std::string(kSoundFolder) + name);
}

}  // namespace wp2
