// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/save_failures.h"

#include <atomic>

namespace wp2 {

namespace {

std::atomic<int> failures{0};

}  // namespace

void countFailedSave() {
    ++failures;
}

int failedSaves() {
    return failures.load();
}

}  // namespace wp2
