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
// A store file that cannot be parsed is renamed to "<file>.bad" (or
// "<file>-N.bad" when that exists); the program goes on with an empty store,
// i.e. with defaults, and says so once through a message box and the trace.
// When the file cannot be read or moved aside, nothing is written over it.

#include <functional>
#include <set>
#include <string>

#include "core/settings/reg_hive.h"
#include "core/settings/registry.h"

namespace wp2 {

class FileRegistry : public Registry {
public:
    // The store files live in Paths::configDir() as it is now.
    FileRegistry();
    explicit FileRegistry(std::string dir);

    int createKey(RegRoot root, const std::string& path) override;
    int openKey(RegRoot root, const std::string& path) override;
    int queryValue(RegRoot root, const std::string& path, const std::string& name,
                   RegValue& out) override;
    int setValue(RegRoot root, const std::string& path, const std::string& name,
                 const RegValue& value) override;
    int deleteValue(RegRoot root, const std::string& path, const std::string& name) override;
    std::vector<std::pair<std::string, RegValue>> listValues(RegRoot root,
                                                             const std::string& path) override;
    // The text of the code, followed by what the last failure was about.
    std::string errorText(int code) const override;

    static const char* fileName(RegRoot root);
    std::string filePath(RegRoot root) const;

private:
    // Reads the store of root into hive: kRegOk (also when there is no file),
    // or an error when the file exists but cannot be read.
    int load(RegRoot root, RegHive& hive);
    int setAside(RegRoot root, const std::string& reason, RegHive& hive);
    // Runs change on the freshly read store under the lock and writes the
    // result when it differs. change returns kRegOk or an error.
    int modify(RegRoot root, const std::function<int(RegHive&)>& change);
    int write(RegRoot root, const RegHive& hive);
    // The lock is held by this object while lockDepth_ > 0; nested uses share it.
    int lock();
    void unlock();
    void report(const std::string& text);
    int fail(int code, const std::string& detail);
    int failErrno(const std::string& what, const std::string& path);

    std::string dir_;
    std::set<RegRoot> reported_;  // roots whose unreadable store was reported
    std::set<RegRoot> blocked_;   // roots whose unreadable store could not be moved aside
    std::string lastDetail_;
    int lockFd_ = -1;
    int lockDepth_ = 0;
};

}  // namespace wp2
