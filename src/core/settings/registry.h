// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The registry the settings live in: roots, keys addressed by a backslash path,
// and typed values. The core talks to it only through this interface; the
// platform layer supplies a file-backed store, tests an in-memory one.

#include <cerrno>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/base/result.h"

namespace wp2 {

enum class RegRoot { LocalMachine, CurrentUser };

// Value types, numbered as the registry numbers them.
enum class RegType : std::uint32_t { None = 0, Sz = 1, Binary = 3, Dword = 4 };

struct RegValue {
    RegType type = RegType::None;
    std::vector<std::uint8_t> data;

    bool operator==(const RegValue&) const = default;
};

// How a registry operation fails: a Failure whose reason is the text the
// user is shown and whose error says what kind of failure it was:
//   ENOENT  the key or value is absent
//   EACCES  access is denied          EINVAL  an invalid key path or name
//   EIO     the store cannot be read or written
//   EROFS   the store cannot be written, and the user has been told so already
//   EBUSY   another program holds the store's lock
//
// The implementations work with the registry's own codes below and turn one
// into its Failure with failure().
constexpr int kRegOk = 0;
constexpr int kRegFileNotFound = 2;  // key or value absent
constexpr int kRegAccessDenied = 5;
constexpr int kRegInvalidParameter = 87;
constexpr int kRegWriteFault = 29;
constexpr int kRegReadFault = 30;
// The store cannot be written, and the user has been told so already.
constexpr int kRegWriteProtect = 19;
// Another program holds the store's lock.
constexpr int kRegLocked = 33;

class Registry {
public:
    virtual ~Registry() = default;

    // Creates the key if needed so values can be set in it.
    virtual Result<> createKey(RegRoot root, const std::string& path) = 0;
    // Succeeds only when the key exists.
    virtual Result<> openKey(RegRoot root, const std::string& path) = 0;
    virtual Result<RegValue> queryValue(RegRoot root, const std::string& path,
                                        const std::string& name) = 0;
    virtual Result<> setValue(RegRoot root, const std::string& path, const std::string& name,
                              const RegValue& value) = 0;
    virtual Result<> deleteValue(RegRoot root, const std::string& path,
                                 const std::string& name) = 0;
    // Every value of the key, in name order; empty when the key is absent.
    virtual std::vector<std::pair<std::string, RegValue>> listValues(RegRoot root,
                                                                     const std::string& path) = 0;

protected:
    // The system's message text for a code.
    virtual std::string errorText(int code) const;
    // The failure for a code other than kRegOk: its errno kind and errorText(code).
    Failure failure(int code, std::string what) const;
    // Nothing for kRegOk, else failure(code, what).
    Result<> result(int code, std::string what) const;
};

// Whether a failure is the store's "cannot be written, and the user has been
// told so already" (EROFS), or an absent key or value (ENOENT).
inline bool toldAlready(const Failure& failure) {
    return failure.error == EROFS;
}
inline bool absent(const Failure& failure) {
    return failure.error == ENOENT;
}

}  // namespace wp2
