// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the program keeps its files.
//
// The program names its files relative to a data root folder
// ("My Documents/Pushpins.kpp", "Windows/move4.txt"). Names written by older
// versions into settings use backslashes ("\My Documents\Track.atk"): a
// leading separator means the root too, and backslashes are read as separators.
//
// Default locations follow the XDG base directories:
//   settings  $XDG_CONFIG_HOME/wayplot2/   (~/.config/wayplot2/)
//   documents $XDG_DATA_HOME/wayplot2/     (~/.local/share/wayplot2/)
//   cache     $XDG_CACHE_HOME/wayplot2/    (~/.cache/wayplot2/)
// A root set with setRoot() (the --root option) or the WAYPLOT2_ROOT environment
// variable puts them all under that one folder (the cache as <root>/cache).

#include <string>

namespace wp2 {

class Paths {
public:
    // Re-reads the environment and forgets any root set before.
    static void reset();
    // Puts every file of the program under dir (settings and documents alike).
    static void setRoot(const std::string& dir);

    // Folder holding the settings store files (no trailing slash).
    static std::string configDir();
    // Folder the handheld file names are mapped into (no trailing slash).
    static std::string dataDir();
    // Folder for files that can be fetched again, such as map tiles (no trailing slash).
    static std::string cacheDir();
    // Maps a file name relative to the data root ("My Documents/x.kpp", or the
    // older "\My Documents\x.kpp") to a path in dataDir().
    // Names that are already absolute POSIX paths ("/tmp/x") are returned unchanged.
    static std::string map(const std::string& deviceName);
    // Creates the folder and its parents; true when it exists afterwards.
    static bool makeDirs(const std::string& dir);
};

}  // namespace wp2
