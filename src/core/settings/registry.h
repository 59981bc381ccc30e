// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The registry the settings live in: roots, keys addressed by a backslash path,
// and typed values. The core talks to it only through this interface; the
// platform layer supplies a file-backed store, tests an in-memory one.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace wp2 {

enum class RegRoot { LocalMachine, CurrentUser };

// Value types, numbered as the registry numbers them.
enum class RegType : std::uint32_t { None = 0, Sz = 1, Binary = 3, Dword = 4 };

struct RegValue {
    RegType type = RegType::None;
    std::vector<std::uint8_t> data;

    bool operator==(const RegValue&) const = default;
};

// Result codes of registry operations: 0 is success, anything else an error
// code whose text errorText() gives.
constexpr int kRegOk = 0;
constexpr int kRegFileNotFound = 2;  // key or value absent
constexpr int kRegAccessDenied = 5;
constexpr int kRegInvalidParameter = 87;
constexpr int kRegMoreData = 234;  // the caller's buffer is too small
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
    virtual int createKey(RegRoot root, const std::string& path) = 0;
    // Succeeds only when the key exists.
    virtual int openKey(RegRoot root, const std::string& path) = 0;
    virtual int queryValue(RegRoot root, const std::string& path, const std::string& name,
                           RegValue& out) = 0;
    virtual int setValue(RegRoot root, const std::string& path, const std::string& name,
                         const RegValue& value) = 0;
    virtual int deleteValue(RegRoot root, const std::string& path, const std::string& name) = 0;
    // Every value of the key, in name order; empty when the key is absent.
    virtual std::vector<std::pair<std::string, RegValue>> listValues(RegRoot root,
                                                                     const std::string& path) = 0;
    // The system's message text for an error code.
    virtual std::string errorText(int code) const;
};

// The process-wide registry the settings classes use. Until one is installed
// an in-memory registry serves (nothing persists).
Registry& registry();
// Installs r (nullptr restores the in-memory default) and returns the previous one.
Registry* setRegistry(Registry* r);

}  // namespace wp2
