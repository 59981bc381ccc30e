// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Diagnostics whose trace texts are collected (thread-safe: the serial reader
// traces from its own thread).

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "core/base/diagnostics.h"

namespace wp2::test {

class TraceRecorder {
public:
    TraceRecorder() {
        diagnostics.setTraceSink([this](const std::string& text) {
            std::lock_guard<std::mutex> lock(mutex_);
            texts_.push_back(text);
        });
    }
    TraceRecorder(const TraceRecorder&) = delete;
    TraceRecorder& operator=(const TraceRecorder&) = delete;

    std::vector<std::string> texts() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return texts_;
    }
    bool contains(const std::string& text) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return std::find(texts_.begin(), texts_.end(), text) != texts_.end();
    }
    void clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        texts_.clear();
    }

    Diagnostics diagnostics;  // hand this to what traces

private:
    mutable std::mutex mutex_;
    std::vector<std::string> texts_;
};

}  // namespace wp2::test
