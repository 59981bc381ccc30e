// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File dialog filter texts in the program's own notation: pairs of a
// description and a pattern list, every part ended by "|", the whole ended by
// an empty part ("Track (*.atk)|*.atk||"). Patterns within a pair are
// separated by ";" ("*.csv; *.txt").

#include <string>
#include <vector>

namespace wp2 {

struct FileFilter {
    std::string description;
    std::vector<std::string> patterns;  // trimmed, e.g. "*.csv"

    bool operator==(const FileFilter&) const = default;
};

// The pairs in order. A trailing description without patterns is dropped.
std::vector<FileFilter> parseFileFilter(const std::string& text);

// The extension a "*.ext" pattern stands for ("ext"); empty for other patterns
// ("*", "*.*", "data*").
std::string patternExtension(const std::string& pattern);

// 1-based number of the first pair with a "*.ext" pattern equal to the file
// name's extension (letters compared without regard to case); 0 when none.
int filterIndexForFile(const std::vector<FileFilter>& filters, const std::string& path);

}  // namespace wp2
