// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads an 8-bit text file line by line the way a C runtime reads a text-mode
// file into a fixed buffer: each piece ends after a line feed or after 999
// characters, whichever comes first, and a carriage return before a line feed
// is dropped. Memory stays bounded whatever the file holds.

#include <array>
#include <cstddef>
#include <cstdio>
#include <string>

namespace wp2 {

class TextLineReader {
public:
    static constexpr std::size_t kMaxPiece = 999;

    explicit TextLineReader(std::FILE* file) : file_(file) {}

    // The next piece, line feed included when it ended one; false at the end.
    bool next(std::string& piece);

private:
    int get();
    int peek();
    bool fill();

    std::FILE* file_;
    std::array<char, 4096> buffer_{};
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
};

}  // namespace wp2
