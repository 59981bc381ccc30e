// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared set-up of the dialog tests: a private settings registry, the
// program's files under a temporary root, and the shared services.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "core/settings/settings_store.h"
#include "core/track/track_test_env.h"
#include "dialog_screens.h"
#include "support/test_services.h"
#include "support/test_support.h"

namespace wp2::test {

class DialogTest : public ::testing::Test {
protected:
    std::string storedText(const std::string& name) {
        return SettingsStore(registry_).readText(name).value_or("");
    }
    // Opens a dialog with `open`, runs `steps` on it once it is up; open's result.
    template <typename D>
    static int runShown(const std::function<int()>& open, std::function<void(D&)> steps) {
        auto step = whenShown<D>(std::move(steps));
        const int result = open();
        EXPECT_TRUE(step.ran()) << D::staticMetaObject.className();
        return result;
    }

    TempDir root_{true};
    TestServices services_;
    TestRegistry& registry_ = services_.store.registry;
};

}  // namespace wp2::test
