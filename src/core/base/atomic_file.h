// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Replacing a file so that a reader (or the next start after a crash) sees
// either the whole old contents or the whole new contents, never a mix.
//
// The new contents go to a fresh temporary file in the same folder, which is
// flushed to the disk (fsync) and renamed over the file; the folder is then
// flushed so that the rename itself survives a power cut. An existing file's
// permissions are kept. On failure the temporary file is removed, the file is
// untouched, errno holds the system's error and the Failure ("write FILE") its
// text ("No space left on device").
//
// The temporary file is named ".FILE.PID.N.tmp". Before writing, the
// temporaries of this pattern in the folder whose process is gone (a writer
// that was killed) are removed.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "core/base/result.h"

namespace wp2 {

Result<> replaceFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);
// writeBody writes the contents through the stream and returns false when it
// could not produce them.
Result<> replaceFileAtomically(const std::string& path,
                               const std::function<bool(std::FILE*)>& writeBody);

// Moves a file that could not be read cleanly out of the way as "FILE.bad"
// (or "FILE-2.bad", "FILE-3.bad", ... : an earlier kept copy is never
// replaced). Returns the new name, or the Failure ("move aside FILE") with
// the system's reason when it cannot be moved.
Result<std::string> keepAside(const std::string& path);

// True when the file exists and holds exactly these bytes.
bool fileHolds(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Holds an exclusive lock on a folder while it lives, so that programs that
// read a file of it, change what they read and replace the file take turns.
// Waits up to the given time; without the lock (a folder that cannot be
// opened, or a holder that does not let go) it goes on all the same.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder, int waitMs = 5000);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    bool locked() const { return locked_; }

private:
    int fd_ = -1;
    bool locked_ = false;
};

// The system's text for an errno value ("Read-only file system").
std::string systemErrorText(int error);

// Test seam: runs after the temporary file has been written and flushed and
// before it is renamed over the file (nothing: no hook).
void setBeforeReplaceHook(std::function<void(const std::string& temporaryPath)> hook);

}  // namespace wp2
