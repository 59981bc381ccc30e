#pragma once
// Shared set-up of the dialog tests: a private settings registry and the
// program's files under a temporary root.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/track/track_test_env.h"
#include "dialog_screens.h"
#include "support/test_support.h"

namespace wp2::test {

class DialogTest : public ::testing::Test {
protected:
    std::optional<std::int32_t> storedInt(const std::string& name) {
        auto n = registry_.number(name);
        return n ? std::optional<std::int32_t>(static_cast<std::int32_t>(*n)) : std::nullopt;
    }

    TestRegistry registry_;
    TempDir root_{true};
};

}  // namespace wp2::test
