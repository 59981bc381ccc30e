// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sets (or, with nullptr, removes) an environment variable for the lifetime
// of the object and restores the old state afterwards.

#include <stdlib.h>

#include <string>

namespace wp2::test {

class EnvOverride {
public:
    EnvOverride(std::string name, const char* value) : name_(std::move(name)) {
        if (const char* old = ::getenv(name_.c_str())) {
            had_ = true;
            old_ = old;
        }
        set(value);
    }
    ~EnvOverride() { set(had_ ? old_.c_str() : nullptr); }
    EnvOverride(const EnvOverride&) = delete;
    EnvOverride& operator=(const EnvOverride&) = delete;

    void set(const char* value) {
        if (value) {
            ::setenv(name_.c_str(), value, 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }

private:
    std::string name_;
    bool had_ = false;
    std::string old_;
};

}  // namespace wp2::test
