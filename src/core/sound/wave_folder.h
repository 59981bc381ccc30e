// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sound files the user can choose from: the "*.wav" files of the
// program's "Windows" folder.

#include <string>
#include <vector>

namespace wp2 {

// Names (without folder) of the files in folder whose names end in ".wav",
// letters compared without regard to case, in name order. A folder that is
// missing or cannot be read gives what was found before the error.
std::vector<std::string> listWaveFiles(const std::string& folder);
// The same for the "Windows" folder of the data root.
std::vector<std::string> listWaveFiles();

// The file a sound name refers to: "Windows\<name>" in the data root.
std::string soundFilePath(const std::string& name);

}  // namespace wp2
