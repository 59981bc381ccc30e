// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <utility>

#include "core/base/atomic_file.h"
#include "core/base/diagnostics.h"
#include "core/base/paths.h"
#include "messages/message_box.h"
#include "platform/reg_file_format.h"

namespace wp2 {

namespace {

constexpr const char* kLockFile = "registry.lock";
constexpr const char* kMessageCaption = "Wayplot2";

// Reads the whole file. Returns 0, or the errno of the failure (ENOENT when
// there is no file).
int readWhole(const std::string& path, std::string& text) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    text.clear();
    struct stat st;
    if (::fstat(fd, &st) == 0 && st.st_size > 0) {
        text.reserve(static_cast<std::size_t>(st.st_size));  // one buffer, grown no more
    }
    char buf[8192];
    while (true) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            int e = errno;
            ::close(fd);
            return e;
        }
        if (n == 0) {
            break;
        }
        text.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return 0;
}

// A process's name as the system knows it ("self": this program's); "" when
// there is none.
std::string processName(const std::string& pid) {
    std::string text;
    if (readWhole("/proc/" + pid + "/comm", text) != 0) {
        return "";
    }
    return text.substr(0, text.find('\n'));
}

// A write lock on the whole file, or the probe for one.
struct flock wholeFile(short type) {
    struct flock range {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    return range;
}

// Takes the lock without waiting: the flock() lock that keeps other writers
// out, and the same as a record lock, which the system names the holder of
// (F_GETLK). False with errno EWOULDBLOCK when another process holds either.
bool tryLock(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return false;
    }
    struct flock range = wholeFile(F_WRLCK);
    if (::fcntl(fd, F_SETLK, &range) == 0) {
        return true;
    }
    const int e = errno;
    ::flock(fd, LOCK_UN);
    errno = e == EACCES || e == EAGAIN ? EWOULDBLOCK : e;
    return false;
}

// The process holding a lock on fd's file, as the system reports it: the
// holder of a record lock (F_GETLK), else the holder of a flock() lock listed
// in /proc/locks (a program that takes that one alone, flock(1) among them).
// 0 when neither is known.
pid_t lockHolderPid(int fd) {
    struct flock probe = wholeFile(F_WRLCK);
    if (::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK && probe.l_pid > 0) {
        return probe.l_pid;
    }
    struct stat st;
    std::string text;
    if (::fstat(fd, &st) != 0 || readWhole("/proc/locks", text) != 0) {
        return 0;
    }
    // "1: FLOCK  ADVISORY  WRITE 4242 08:01:131 0 EOF"; waiters are marked "->".
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        char kind[16] = {};
        int pid = 0;
        unsigned devMajor = 0, devMinor = 0;
        unsigned long inode = 0;
        if (std::sscanf(line.c_str(), "%*d: %15s %*s %*s %d %x:%x:%lu", kind, &pid, &devMajor,
                        &devMinor, &inode) == 5 &&
            std::string(kind) == "FLOCK" && pid > 0 && devMajor == major(st.st_dev) &&
            devMinor == minor(st.st_dev) && inode == st.st_ino) {
            return pid;
        }
    }
    return 0;
}

// Who holds the lock: the process and its name.
std::string lockHolder(int fd) {
    const pid_t pid = lockHolderPid(fd);
    if (pid <= 0) {
        return "another process";
    }
    const std::string name = processName(std::to_string(pid));
    return "process " + std::to_string(pid) + (name.empty() ? "" : " (" + name + ")");
}

// Releases the registry's lock when it goes out of scope.
template <typename Unlock>
class ScopeExit {
public:
    explicit ScopeExit(Unlock u) : unlock_(std::move(u)) {}
    ~ScopeExit() { unlock_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    Unlock unlock_;
};

}  // namespace

FileRegistry::FileRegistry(Diagnostics& diagnostics, MessageBoxes& boxes)
    : FileRegistry(diagnostics, boxes, Paths::configDir()) {}

FileRegistry::FileRegistry(Diagnostics& diagnostics, MessageBoxes& boxes, std::string dir)
    : diagnostics_(diagnostics), boxes_(boxes), dir_(std::move(dir)) {}

const char* FileRegistry::fileName(RegRoot root) {
    return root == RegRoot::CurrentUser ? "current-user.reg" : "local-machine.reg";
}

std::string FileRegistry::filePath(RegRoot root) const {
    return dir_ + "/" + fileName(root);
}

std::string FileRegistry::errorText(int code) const {
    if (code == kRegWriteProtect && !lastDetail_.empty()) {
        return lastDetail_;  // why the store cannot be written
    }
    std::string text = Registry::errorText(code);
    return lastDetail_.empty() ? text : text + "\n" + lastDetail_;
}

int FileRegistry::fail(int code, const std::string& detail) {
    lastDetail_ = detail;
    return code;
}

int FileRegistry::failErrno(const std::string& what, const std::string& path) {
    int e = errno;
    int code = (e == EACCES || e == EPERM || e == EROFS) ? kRegAccessDenied : kRegWriteFault;
    return fail(code, what + " \"" + path + "\": " + systemErrorText(e));
}

void FileRegistry::report(const std::string& text) {
    diagnostics_.trace(text);
    showMessage(boxes_, text, kMessageCaption, MessageIcon::Warning);
}

void FileRegistry::setLockWait(std::chrono::milliseconds wait) {
    lockWait_ = wait;
}

int FileRegistry::lock() {
    if (lockDepth_ > 0) {
        ++lockDepth_;
        return kRegOk;
    }
    const std::string path = dir_ + "/" + kLockFile;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return failErrno("cannot open the lock file", path);
    }
    // Waits a bounded time; after one wait in vain, later changes try once
    // until the holder lets go, so a run does not stall on every setting.
    const auto deadline = std::chrono::steady_clock::now() +
                          (lockWaitedInVain_ ? std::chrono::milliseconds(0) : lockWait_);
    while (!tryLock(fd)) {
        if (errno == EINTR) {
            continue;
        }
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
            const int e = errno;
            const std::string holder = lockHolder(fd);
            ::close(fd);
            if (e != EWOULDBLOCK) {
                errno = e;
                return failErrno("cannot lock", path);
            }
            lockWaitedInVain_ = true;
            return fail(kRegLocked,
                        "the settings are in use by " + holder + " (lock file \"" + path + "\")");
        }
        ::usleep(20000);
    }
    lockWaitedInVain_ = false;
    // For a person looking at the file; programs ask the system who holds it.
    const std::string name = processName("self");
    const std::string me = std::to_string(::getpid()) + " " + (name.empty() ? "?" : name) + "\n";
    if (::ftruncate(fd, 0) == 0 && ::pwrite(fd, me.data(), me.size(), 0) < 0) {
        // Only a courtesy to others; the lock is held all the same.
    }
    lockFd_ = fd;
    lockDepth_ = 1;
    return kRegOk;
}

void FileRegistry::unlock() {
    if (lockDepth_ > 0 && --lockDepth_ == 0) {
        ::close(lockFd_);  // closing releases the lock
        lockFd_ = -1;
    }
}

int FileRegistry::current(RegRoot root, const RegHive*& hive) {
    static const RegHive kEmpty;
    hive = &kEmpty;
    const std::string path = filePath(root);
    Cached& cached = cache_[root];
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        cached = Cached();
        return errno == ENOENT ? kRegOk : failRead(path);
    }
    if (cached.valid && cached.device == st.st_dev && cached.inode == st.st_ino &&
        cached.size == st.st_size && cached.modified.tv_sec == st.st_mtim.tv_sec &&
        cached.modified.tv_nsec == st.st_mtim.tv_nsec) {
        hive = &cached.hive;
        return kRegOk;
    }
    cached = Cached();
    std::string text;
    const int e = readWhole(path, text);
    ++reads_;
    if (e == ENOENT) {
        return kRegOk;
    }
    if (e != 0) {
        errno = e;
        return failRead(path);
    }
    std::string error;
    if (!RegFileFormat::parse(text, root, cached.hive, error)) {
        cached.hive = RegHive();
        return setAside(root, error);
    }
    cached.valid = true;
    cached.device = st.st_dev;
    cached.inode = st.st_ino;
    cached.size = st.st_size;
    cached.modified = st.st_mtim;
    hive = &cached.hive;
    return kRegOk;
}

int FileRegistry::failRead(const std::string& path) {
    const int rc = failErrno("cannot read the settings file", path);
    return rc == kRegAccessDenied ? rc : kRegReadFault;
}

int FileRegistry::setAside(RegRoot root, const std::string& reason) {
    if (blocked_.count(root)) {
        return kRegOk;  // reported already; go on with defaults
    }
    std::string path = filePath(root);
    std::string problem;
    if (lock() != kRegOk) {
        problem = lastDetail_;
    } else {
        ScopeExit release([this] { unlock(); });
        // Another program may have replaced the file meanwhile.
        std::string text, error;
        RegHive hive;
        int e = readWhole(path, text);
        if (e == ENOENT || (e == 0 && RegFileFormat::parse(text, root, hive, error))) {
            return kRegOk;  // read afresh next time
        }
        const Result<std::string> bad = keepAside(path);
        if (bad) {
            if (reported_.insert(root).second) {
                report("The settings file \"" + path + "\" could not be read (" + reason +
                       "). It was renamed to \"" + *bad + "\" and the default settings are used.");
            }
            return kRegOk;
        }
        problem = bad.error().reason;
    }
    blocked_.insert(root);
    if (reported_.insert(root).second) {
        report("The settings file \"" + path + "\" could not be read (" + reason +
               ") and could not be moved aside (" + problem +
               "). The default settings are used and no settings will be saved.");
    }
    return kRegOk;
}

int FileRegistry::cannotSave(int code) {
    if (!saveFailureReported_) {
        saveFailureReported_ = true;
        report("The settings cannot be saved in \"" + dir_ + "\" (" + lastDetail_ +
               "). The program goes on with the settings it has; changes made now will not "
               "be kept.");
    }
    (void)code;
    return kRegWriteProtect;
}

int FileRegistry::modify(RegRoot root, const std::function<int(RegHive&)>& change) {
    // A change that changes nothing needs neither the lock nor a write, so it
    // succeeds on a store that cannot be written.
    const RegHive* stored = nullptr;
    int rc = current(root, stored);
    if (rc != kRegOk) {
        return rc;
    }
    RegHive hive = *stored;
    rc = change(hive);
    if (rc != kRegOk || hive == *stored) {
        return rc;
    }
    if (blocked_.count(root)) {
        lastDetail_ =
            "the unreadable settings file \"" + filePath(root) + "\" is kept and not overwritten";
        return kRegWriteProtect;  // the user was told when it was found
    }
    if (!Paths::makeDirs(dir_)) {
        fail(kRegAccessDenied,
             "cannot create the settings folder \"" + dir_ + "\": " + systemErrorText(errno));
        return cannotSave(kRegAccessDenied);
    }
    rc = lock();
    if (rc != kRegOk) {
        return cannotSave(rc);
    }
    ScopeExit release([this] { unlock(); });
    // Another program may have changed the store while it was unlocked.
    rc = current(root, stored);
    if (rc != kRegOk) {
        return rc;
    }
    hive = *stored;
    rc = change(hive);
    if (rc != kRegOk || hive == *stored) {
        return rc;
    }
    const std::string path = filePath(root);
    const std::string text = RegFileFormat::format(root, hive);
    const auto write = [&text](std::FILE* f) {
        return std::fwrite(text.data(), 1, text.size(), f) == text.size();
    };
    if (!replaceFileAtomically(path, write)) {
        return cannotSave(failErrno("cannot write", path));
    }
    saveFailureReported_ = false;  // a later failure is news again
    return kRegOk;
}

int FileRegistry::createKeyCode(RegRoot root, const std::string& path) {
    std::string key;
    if (!normalizeKeyPath(path, key)) {
        return kRegInvalidParameter;
    }
    return modify(root, [&](RegHive& hive) {
        if (!hive.hasKey(key)) {
            hive.createKey(key);
        }
        return kRegOk;
    });
}

int FileRegistry::openKeyCode(RegRoot root, const std::string& path) {
    std::string key;
    if (!normalizeKeyPath(path, key)) {
        return kRegInvalidParameter;
    }
    const RegHive* hive = nullptr;
    int rc = current(root, hive);
    if (rc != kRegOk) {
        return rc;
    }
    return hive->hasKey(key) ? kRegOk : kRegFileNotFound;
}

int FileRegistry::queryValueCode(RegRoot root, const std::string& path, const std::string& name,
                                 RegValue& out) {
    std::string key;
    if (!normalizeKeyPath(path, key)) {
        return kRegInvalidParameter;
    }
    const RegHive* hive = nullptr;
    int rc = current(root, hive);
    if (rc != kRegOk) {
        return rc;
    }
    const RegValue* value = hive->find(key, name);
    if (!value) {
        return kRegFileNotFound;
    }
    out = *value;
    return kRegOk;
}

int FileRegistry::setValueCode(RegRoot root, const std::string& path, const std::string& name,
                               const RegValue& value) {
    std::string key;
    if (!normalizeKeyPath(path, key) || !validValueName(name)) {
        return kRegInvalidParameter;
    }
    return modify(root, [&](RegHive& hive) {
        hive.set(key, name, value);
        return kRegOk;
    });
}

int FileRegistry::deleteValueCode(RegRoot root, const std::string& path, const std::string& name) {
    std::string key;
    if (!normalizeKeyPath(path, key)) {
        return kRegInvalidParameter;
    }
    return modify(root,
                  [&](RegHive& hive) { return hive.erase(key, name) ? kRegOk : kRegFileNotFound; });
}

Result<> FileRegistry::createKey(RegRoot root, const std::string& path) {
    return result(createKeyCode(root, path), "create key " + path);
}

Result<> FileRegistry::openKey(RegRoot root, const std::string& path) {
    return result(openKeyCode(root, path), "open key " + path);
}

Result<RegValue> FileRegistry::queryValue(RegRoot root, const std::string& path,
                                          const std::string& name) {
    RegValue value;
    const int rc = queryValueCode(root, path, name, value);
    if (rc != kRegOk) {
        return wp2::fail(failure(rc, "read " + name));
    }
    return value;
}

Result<> FileRegistry::setValue(RegRoot root, const std::string& path, const std::string& name,
                                const RegValue& value) {
    return result(setValueCode(root, path, name, value), "set " + name);
}

Result<> FileRegistry::deleteValue(RegRoot root, const std::string& path, const std::string& name) {
    return result(deleteValueCode(root, path, name), "delete " + name);
}

std::vector<std::pair<std::string, RegValue>> FileRegistry::listValues(RegRoot root,
                                                                       const std::string& path) {
    std::string key;
    const RegHive* hive = nullptr;
    if (!normalizeKeyPath(path, key) || current(root, hive) != kRegOk) {
        return {};
    }
    return hive->values(key);
}

}  // namespace wp2
