// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/save_failures.h"

#include <atomic>

#include "core/base/message_box.h"
#include "core/base/trace.h"

namespace wp2 {

namespace {

std::atomic<int> failures{0};

}  // namespace

void reportFailedSave(const std::string& what, const std::string& path, const std::string& reason) {
    countFailedSave();
    const std::string text = what + " could not be saved to " + path + ":\n" + reason;
    trace(text);
    showMessage(text, "Wayplot2", MessageIcon::Exclamation);
}

void countFailedSave() {
    ++failures;
}

int failedSaves() {
    return failures.load();
}

}  // namespace wp2
