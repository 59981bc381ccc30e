// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A C file handle that closes itself.

#include <cstdio>
#include <memory>

namespace wp2 {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace wp2
