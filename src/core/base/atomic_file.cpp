// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <thread>

namespace wp2 {

namespace {

std::function<void(const std::string&)>& beforeReplaceHook() {
    static std::function<void(const std::string&)> hook;
    return hook;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Creates a new, empty temporary file beside path; -1 (errno set) when none
// can be made. The name is unique to this process and call, so that writers
// in several processes never share one.
int createTemporary(const std::string& path, std::string& name) {
    static unsigned serial = 0;
    const std::string stem =
        folderOf(path) + "/." + baseNameOf(path) + "." + std::to_string(::getpid()) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = stem + std::to_string(++serial) + ".tmp";
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// The process id of a name ".FILE.PID.N.tmp" (createTemporary's pattern), else 0.
pid_t temporaryOwner(const std::string& name) {
    const std::string suffix = ".tmp";
    if (name.size() < 8 || name[0] != '.' || name.compare(name.size() - 4, 4, suffix) != 0) {
        return 0;
    }
    // Backwards: the serial, then the process id, each all digits.
    std::size_t end = name.size() - suffix.size();
    std::size_t dot = name.rfind('.', end - 1);
    auto digits = [&name](std::size_t from, std::size_t to) {
        return to > from && to - from <= 10 && name.find_first_not_of("0123456789", from) >= to;
    };
    if (dot == std::string::npos || dot == 0 || !digits(dot + 1, end)) {
        return 0;
    }
    end = dot;
    dot = name.rfind('.', end - 1);
    if (dot == std::string::npos || dot == 0 || !digits(dot + 1, end)) {
        return 0;
    }
    const long pid = std::strtol(name.c_str() + dot + 1, nullptr, 10);
    return pid > 0 && pid <= 0x7FFFFFFF ? static_cast<pid_t>(pid) : 0;
}

// Removes the temporary files of writers that are gone from the folder.
void removeStaleTemporaries(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t owner = temporaryOwner(entry->d_name);
        if (owner == 0 || owner == ::getpid() || ::kill(owner, 0) == 0 || errno != ESRCH) {
            continue;
        }
        const std::string path = folder + "/" + entry->d_name;
        struct stat st;
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            ::unlink(path.c_str());
        }
    }
    ::closedir(dir);
}

// Makes the rename itself durable; a failure here does not undo the save.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The body failed without a system error.
constexpr int kBodyFailed = -1;

Unexpected writeFailure(const std::string& path, int e) {
    errno = e != kBodyFailed ? e : EIO;
    if (e == kBodyFailed) {
        return fail("write " + path, "the data could not be produced");
    }
    return fail("write " + path, systemErrorText(e), e);
}

// Writes the body into the open temporary file, flushes it to the disk and
// closes it; errno of the first failure, kBodyFailed, or 0.
int writeTemporary(int fd, const std::function<bool(std::FILE*)>& writeBody) {
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        const int e = errno;
        ::close(fd);
        return e;
    }
    errno = 0;
    bool ok = writeBody(file);
    int e = ok ? 0 : (errno != 0 ? errno : kBodyFailed);
    if (ok && (std::fflush(file) != 0 || std::ferror(file))) {
        ok = false;
        e = errno != 0 ? errno : EIO;
    }
    if (ok && ::fsync(::fileno(file)) != 0) {
        ok = false;
        e = errno;
    }
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        e = errno;
    }
    return ok ? 0 : e;
}

}  // namespace

std::string systemErrorText(int error) {
    return std::generic_category().message(error);
}

bool fileHolds(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return false;
    }
    // Compared piece by piece: a large file costs no second copy in memory.
    std::vector<std::uint8_t> piece(std::min<std::size_t>(bytes.size() + 1, 64 * 1024));
    std::size_t done = 0;
    bool same = true;
    while (same) {
        const std::size_t n = std::fread(piece.data(), 1, piece.size(), file);
        same = n <= bytes.size() - done &&
               std::equal(piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(n),
                          bytes.begin() + static_cast<std::ptrdiff_t>(done));
        done += n;
        if (n < piece.size()) {
            break;
        }
    }
    std::fclose(file);
    return same && done == bytes.size();
}

Result<std::string> keepAside(const std::string& path) {
    for (int n = 1; n < 1000; ++n) {
        const std::string kept = path + (n == 1 ? "" : "-" + std::to_string(n)) + ".bad";
        // Never replaces an existing copy, even one made meanwhile by another program.
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, kept.c_str(), RENAME_NOREPLACE) == 0) {
            return kept;
        }
        if (errno == EINVAL || errno == ENOSYS) {
            // The file system cannot refuse to replace: look first.
            struct stat st;
            if (::lstat(kept.c_str(), &st) == 0) {
                continue;
            }
            if (std::rename(path.c_str(), kept.c_str()) == 0) {
                return kept;
            }
        }
        if (errno != EEXIST) {
            break;
        }
    }
    const int e = errno;
    return fail("move aside " + path, systemErrorText(e), e);
}

FolderLock::FolderLock(const std::string& folder, int waitMs) {
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) {
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (!(locked_ = ::flock(fd_, LOCK_EX | LOCK_NB) == 0) && errno == EWOULDBLOCK &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

FolderLock::~FolderLock() {
    if (fd_ >= 0) {
        ::close(fd_);  // closing releases the lock
    }
}

void setBeforeReplaceHook(std::function<void(const std::string&)> hook) {
    beforeReplaceHook() = std::move(hook);
}

Result<> replaceFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    return replaceFileAtomically(path, [&bytes](std::FILE* file) {
        return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    });
}

Result<> replaceFileAtomically(const std::string& path,
                               const std::function<bool(std::FILE*)>& writeBody) {
    struct stat old;
    const bool hadFile = ::stat(path.c_str(), &old) == 0;
    if (hadFile && S_ISDIR(old.st_mode)) {
        return writeFailure(path, EISDIR);
    }
    removeStaleTemporaries(folderOf(path));
    std::string temporary;
    const int fd = createTemporary(path, temporary);
    if (fd < 0) {
        return writeFailure(path, errno);
    }
    if (hadFile) {
        ::fchmod(fd, old.st_mode & 07777);  // keep the file's permissions
    }
    int e = writeTemporary(fd, writeBody);
    if (e == 0 && beforeReplaceHook()) {
        beforeReplaceHook()(temporary);
    }
    if (e == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) {
        e = errno;
    }
    if (e != 0) {
        ::unlink(temporary.c_str());
        return writeFailure(path, e);
    }
    syncFolder(folderOf(path));
    return {};
}

}  // namespace wp2
