// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/cformat.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "core/base/paths.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

// Number texts must read the same whatever locale the desktop runs in. The
// German locale (decimal comma) is compiled into a private folder, so the test
// does not depend on the locales the machine has generated.
TEST(CFormat, IgnoresTheProcessLocale) {
    test::TempDir dir;
    const std::string build = "localedef -i de_DE -f UTF-8 " + dir.file("de_DE.UTF-8") + " 2>&1";
    ASSERT_EQ(std::system(build.c_str()), 0) << "localedef (package locales) failed";
    ::setenv("LOCPATH", dir.path().c_str(), 1);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
    ASSERT_EQ(*std::localeconv()->decimal_point, ',');
    EXPECT_EQ(cformat("%3.1lf", 12.5), "12.5");
    double v = 0;
    EXPECT_EQ(cparseDouble("1.25xyz", v), 4u);
    EXPECT_DOUBLE_EQ(v, 1.25);
    std::setlocale(LC_ALL, "C");
    ::unsetenv("LOCPATH");
}

TEST(Paths, DeviceNamesMapIntoTheRoot) {
    Paths::setRoot("/r/");
    EXPECT_EQ(Paths::map("\\My Documents\\Pushpins.kpp"), "/r/My Documents/Pushpins.kpp");
    EXPECT_EQ(Paths::map("My Documents\\KWAutosave2.atk"), "/r/My Documents/KWAutosave2.atk");
    EXPECT_EQ(Paths::map("/abs/file.atk"), "/abs/file.atk");
    EXPECT_EQ(Paths::configDir(), "/r");
    EXPECT_EQ(Paths::cacheDir(), "/r/cache");
    Paths::reset();
}

}  // namespace
}  // namespace wp2
