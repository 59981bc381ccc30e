// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/std_streams.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "core/base/atomic_file.h"

namespace wp2::tool {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Copies everything of `from` to `to`; errno says why when it fails.
bool copyStream(std::FILE* from, std::FILE* to) {
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), from);
        if (n > 0 && std::fwrite(buffer.data(), 1, n, to) != n) {
            return false;
        }
        if (n < buffer.size()) {
            return !std::ferror(from) && std::fflush(to) == 0;
        }
    }
}

}  // namespace

TemporaryFolder::TemporaryFolder() {
    std::error_code ec;
    std::string pattern =
        (std::filesystem::temp_directory_path(ec) / "wayplot2-tool.XXXXXX").string();
    if (::mkdtemp(pattern.data())) {
        path_ = pattern;
    } else {
        std::fprintf(stderr, "wayplot2-tool: cannot make a temporary folder: %s\n",
                     systemErrorText(errno).c_str());
    }
}

TemporaryFolder::~TemporaryFolder() {
    if (!path_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
}

std::string TemporaryFolder::file(const std::string& name) const {
    return path_.empty() ? std::string() : path_ + "/" + name;
}

bool copyStandardInput(const std::string& path) {
    errno = 0;
    File out(path.empty() ? nullptr : std::fopen(path.c_str(), "wb"));
    if (!out || !copyStream(stdin, out.get()) || std::fclose(out.release()) != 0) {
        std::fprintf(stderr, "wayplot2-tool: cannot read standard input: %s\n",
                     systemErrorText(errno ? errno : EIO).c_str());
        return false;
    }
    return true;
}

bool copyToStandardOutput(const std::string& path) {
    errno = 0;
    File in(std::fopen(path.c_str(), "rb"));
    if (!in || !copyStream(in.get(), stdout)) {
        std::fprintf(stderr, "wayplot2-tool: cannot write standard output: %s\n",
                     systemErrorText(errno ? errno : EIO).c_str());
        return false;
    }
    return true;
}

bool refuseTerminalOutput(const char* what) {
    if (!::isatty(STDOUT_FILENO)) {
        return false;
    }
    std::fprintf(stderr,
                 "wayplot2-tool: %s is not written to a terminal; send standard output to a "
                 "file or a pipe\n",
                 what);
    return true;
}

}  // namespace wp2::tool
