// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/waypoints/text_line_reader.h"

namespace wp2 {

bool TextLineReader::fill() {
    if (atEnd_) {
        return false;
    }
    pos_ = 0;
    end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    atEnd_ = end_ == 0;
    return !atEnd_;
}

int TextLineReader::peek() {
    if (pos_ == end_ && !fill()) {
        return EOF;
    }
    return static_cast<unsigned char>(buffer_[pos_]);
}

int TextLineReader::get() {
    int c = peek();
    if (c != EOF) {
        ++pos_;
    }
    return c;
}

bool TextLineReader::next(std::string& piece) {
    piece.clear();
    while (piece.size() < kMaxPiece) {
        int c = get();
        if (c == EOF) {
            break;
        }
        if (c == '\r' && peek() == '\n') {
            continue;
        }
        piece += static_cast<char>(c);
        if (c == '\n') {
            break;
        }
    }
    return !piece.empty();
}

}  // namespace wp2
