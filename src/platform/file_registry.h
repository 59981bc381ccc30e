// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The registry kept in files: one human-readable store file per root in a
// folder (by default Paths::configDir()), "local-machine.reg" and
// "current-user.reg", in the text format of RegFileFormat.
//
// Every operation reads the file afresh, so other programs (wayplot2-tool)
// may change it meanwhile. A change takes an exclusive lock on "<file>.lock",
// reads the file, applies the change and, when something changed, replaces
// the whole file atomically (replaceFileAtomically), so the store is always
// either the old or the new file, never a torn one.
//
// The parsed store is kept between operations and read again only when the
// file changed (another inode, size or modification time), so large values
// cost one read per start and per change, not one per lookup.
//
// The lock is waited for a bounded time (setLockWait); then the change fails
// and says which process holds it. A change that cannot be saved (read-only
// or full disk, lock held) is told to the user once through a message box,
// and then fails with EROFS (toldAlready()), which the settings classes take as
// told; a change that changes nothing is never written and so succeeds.
//
// A store file that cannot be parsed is renamed to "<file>.bad" (or
// "<file>-N.bad" when that exists); the program goes on with an empty store,
// i.e. with defaults, and says so once through a message box and the trace.
// When the file cannot be read or moved aside, nothing is written over it.

#include <sys/types.h>

#include <chrono>
#include <ctime>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "core/settings/reg_hive.h"
#include "core/settings/registry.h"

namespace wp2 {

class Diagnostics;
class MessageBoxes;

class FileRegistry : public Registry {
public:
    // The store files live in Paths::configDir() as it is now, or in dir.
    // What the user is told goes to boxes and is traced to diagnostics,
    // which must outlive the registry.
    FileRegistry(Diagnostics& diagnostics, MessageBoxes& boxes);
    FileRegistry(Diagnostics& diagnostics, MessageBoxes& boxes, std::string dir);

    Result<> createKey(RegRoot root, const std::string& path) override;
    Result<> openKey(RegRoot root, const std::string& path) override;
    Result<RegValue> queryValue(RegRoot root, const std::string& path,
                                const std::string& name) override;
    Result<> setValue(RegRoot root, const std::string& path, const std::string& name,
                      const RegValue& value) override;
    Result<> deleteValue(RegRoot root, const std::string& path, const std::string& name) override;
    std::vector<std::pair<std::string, RegValue>> listValues(RegRoot root,
                                                             const std::string& path) override;

    static const char* fileName(RegRoot root);
    std::string filePath(RegRoot root) const;

    void setLockWait(std::chrono::milliseconds wait);
    // How often a store file has been read.
    int reads() const { return reads_; }

private:
    Diagnostics& diagnostics_;
    MessageBoxes& boxes_;
    struct Cached {
        bool valid = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
        RegHive hive;
    };

    // The text of the code, followed by what the last failure was about.
    std::string errorText(int code) const override;
    // The operations with the registry's codes.
    int createKeyCode(RegRoot root, const std::string& path);
    int openKeyCode(RegRoot root, const std::string& path);
    int queryValueCode(RegRoot root, const std::string& path, const std::string& name,
                       RegValue& out);
    int setValueCode(RegRoot root, const std::string& path, const std::string& name,
                     const RegValue& value);
    int deleteValueCode(RegRoot root, const std::string& path, const std::string& name);
    // The store of root as the file holds it now: kRegOk (an empty store when
    // there is no file, or an unreadable one set aside), or an error when
    // the file exists but cannot be read.
    int current(RegRoot root, const RegHive*& hive);
    int failRead(const std::string& path);
    int setAside(RegRoot root, const std::string& reason);
    // Runs change on the store as it is under the lock and writes the result
    // when it differs. change returns kRegOk or an error.
    int modify(RegRoot root, const std::function<int(RegHive&)>& change);
    // A change could not be saved: said once, then kRegWriteProtect.
    int cannotSave(int code);
    // The lock is held by this object while lockDepth_ > 0; nested uses share it.
    int lock();
    void unlock();
    void report(const std::string& text);
    int fail(int code, const std::string& detail);
    int failErrno(const std::string& what, const std::string& path);

    std::string dir_;
    std::set<RegRoot> reported_;  // roots whose unreadable store was reported
    std::set<RegRoot> blocked_;   // roots whose unreadable store could not be moved aside
    std::map<RegRoot, Cached> cache_;
    int reads_ = 0;
    std::string lastDetail_;
    int lockFd_ = -1;
    int lockDepth_ = 0;
    std::chrono::milliseconds lockWait_{3000};
    bool lockWaitedInVain_ = false;
    bool saveFailureReported_ = false;
};

}  // namespace wp2
