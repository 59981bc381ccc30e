#include "platform/file_registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "core/base/atomic_file.h"
#include "core/base/message_box.h"
#include "core/base/paths.h"
#include "core/base/trace.h"
#include "platform/reg_file_format.h"

namespace wp2 {

namespace {

constexpr const char* kLockFile = "registry.lock";
constexpr const char* kMessageCaption = "Wayplot2";

bool exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

// Reads the whole file. Returns 0, or the errno of the failure (ENOENT when
// there is no file).
int readWhole(const std::string& path, std::string& text) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    text.clear();
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

FileRegistry::FileRegistry() : FileRegistry(Paths::configDir()) {}

FileRegistry::FileRegistry(std::string dir) : dir_(std::move(dir)) {}

const char* FileRegistry::fileName(RegRoot root) {
    return root == RegRoot::CurrentUser ? "current-user.reg" : "local-machine.reg";
}

std::string FileRegistry::filePath(RegRoot root) const {
    return dir_ + "/" + fileName(root);
}

std::string FileRegistry::errorText(int code) const {
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
    trace(text);
    showMessage(text, kMessageCaption, MessageIcon::Warning);
}

int FileRegistry::lock() {
    if (lockDepth_ > 0) {
        ++lockDepth_;
        return kRegOk;
    }
    std::string path = dir_ + "/" + kLockFile;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return failErrno("cannot open the lock file", path);
    }
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            int rc = failErrno("cannot lock", path);
            ::close(fd);
            return rc;
        }
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

int FileRegistry::load(RegRoot root, RegHive& hive) {
    hive = RegHive();
    std::string path = filePath(root);
    std::string text;
    int e = readWhole(path, text);
    if (e == ENOENT) {
        return kRegOk;
    }
    if (e != 0) {
        errno = e;
        int rc = failErrno("cannot read the settings file", path);
        return rc == kRegAccessDenied ? rc : kRegReadFault;
    }
    std::string error;
    if (RegFileFormat::parse(text, root, hive, error)) {
        return kRegOk;
    }
    return setAside(root, error, hive);
}

int FileRegistry::setAside(RegRoot root, const std::string& reason, RegHive& hive) {
    hive = RegHive();
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
        int e = readWhole(path, text);
        if (e == ENOENT) {
            return kRegOk;
        }
        if (e == 0 && RegFileFormat::parse(text, root, hive, error)) {
            return kRegOk;
        }
        hive = RegHive();
        std::string bad = path + ".bad";
        for (int n = 2; exists(bad); ++n) {
            bad = path + "-" + std::to_string(n) + ".bad";
        }
        if (::rename(path.c_str(), bad.c_str()) == 0) {
            if (reported_.insert(root).second) {
                report("The settings file \"" + path + "\" could not be read (" + reason +
                       "). It was renamed to \"" + bad + "\" and the default settings are used.");
            }
            return kRegOk;
        }
        problem = systemErrorText(errno);
    }
    blocked_.insert(root);
    if (reported_.insert(root).second) {
        report("The settings file \"" + path + "\" could not be read (" + reason +
               ") and could not be moved aside (" + problem +
               "). The default settings are used and no settings will be saved.");
    }
    return kRegOk;
}

int FileRegistry::modify(RegRoot root, const std::function<int(RegHive&)>& change) {
    if (!Paths::makeDirs(dir_)) {
        return fail(kRegAccessDenied, "cannot create the settings folder \"" + dir_ + "\"");
    }
    int rc = lock();
    if (rc != kRegOk) {
        return rc;
    }
    ScopeExit release([this] { unlock(); });
    RegHive hive;
    rc = load(root, hive);
    if (rc != kRegOk) {
        return rc;
    }
    if (blocked_.count(root)) {
        return fail(kRegAccessDenied, "the unreadable settings file \"" + filePath(root) +
                                          "\" is kept and not overwritten");
    }
    RegHive before = hive;
    rc = change(hive);
    if (rc != kRegOk || hive == before) {
        return rc;
    }
    return write(root, hive);
}

int FileRegistry::write(RegRoot root, const RegHive& hive) {
    const std::string path = filePath(root);
    const std::string text = RegFileFormat::format(root, hive);
    const std::vector<std::uint8_t> bytes(text.begin(), text.end());
    if (!replaceFileAtomically(path, bytes)) {
        return failErrno("cannot write", path);
    }
    return kRegOk;
}

int FileRegistry::createKey(RegRoot root, const std::string& path) {
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

int FileRegistry::openKey(RegRoot root, const std::string& path) {
    std::string key;
    if (!normalizeKeyPath(path, key)) {
        return kRegInvalidParameter;
    }
    RegHive hive;
    int rc = load(root, hive);
    if (rc != kRegOk) {
        return rc;
    }
    return hive.hasKey(key) ? kRegOk : kRegFileNotFound;
}

int FileRegistry::queryValue(RegRoot root, const std::string& path, const std::string& name,
                             RegValue& out) {
    std::string key;
    if (!normalizeKeyPath(path, key)) {
        return kRegInvalidParameter;
    }
    RegHive hive;
    int rc = load(root, hive);
    if (rc != kRegOk) {
        return rc;
    }
    const RegValue* value = hive.find(key, name);
    if (!value) {
        return kRegFileNotFound;
    }
    out = *value;
    return kRegOk;
}

int FileRegistry::setValue(RegRoot root, const std::string& path, const std::string& name,
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

int FileRegistry::deleteValue(RegRoot root, const std::string& path, const std::string& name) {
    std::string key;
    if (!normalizeKeyPath(path, key)) {
        return kRegInvalidParameter;
    }
    return modify(root,
                  [&](RegHive& hive) { return hive.erase(key, name) ? kRegOk : kRegFileNotFound; });
}

std::vector<std::pair<std::string, RegValue>> FileRegistry::listValues(RegRoot root,
                                                                       const std::string& path) {
    std::string key;
    RegHive hive;
    if (!normalizeKeyPath(path, key) || load(root, hive) != kRegOk) {
        return {};
    }
    return hive.values(key);
}

}  // namespace wp2
