// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "-" as a file name: standard input where a command reads a file, standard
// output where it writes one. The readers and writers of the file formats
// take paths and replace files atomically, so a stream goes through a
// temporary file of the right extension: standard input is copied into one
// before it is read, and a file written to one is copied to standard output.
// Logs are the exception: they are streamed (see LogReplay).

#include <string>

namespace wp2::tool {

inline constexpr const char* kStandardStream = "-";

inline bool isStandardStream(const std::string& path) {
    return path == kStandardStream;
}

// A private temporary folder, removed with what it holds.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    // "" when the folder could not be made (the reason is printed).
    std::string file(const std::string& name) const;

private:
    std::string path_;
};

// Copies standard input into `path`. False (after saying why) when it cannot.
bool copyStandardInput(const std::string& path);

// Copies the file to standard output. False (after saying why) when it cannot.
bool copyToStandardOutput(const std::string& path);

// Files users keep (pushpins, tracks) are binary: never written to a
// terminal. True (after saying so) when standard output is one.
bool refuseTerminalOutput(const char* what);

}  // namespace wp2::tool
