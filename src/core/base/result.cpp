// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/result.h"

#include <cstring>

namespace wp2 {

std::string Failure::text() const {
    if (what.empty() || reason.empty()) {
        return what + reason;
    }
    return what + ": " + reason;
}

Failure systemFailure(std::string what, int error) {
    return Failure{std::move(what), std::strerror(error), error};
}

}  // namespace wp2
