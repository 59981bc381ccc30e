#include "core/base/cformat.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <clocale>

#include "core/base/paths.h"

namespace wp2 {
namespace {

// Number texts must read the same whatever locale the desktop runs in.
TEST(CFormat, IgnoresTheProcessLocale) {
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        GTEST_SKIP() << "no German locale on this machine";
    }
    ASSERT_EQ(*std::localeconv()->decimal_point, ',');
    EXPECT_EQ(cformat("%3.1lf", 12.5), "12.5");
    double v = 0;
    EXPECT_EQ(cparseDouble("1.25xyz", v), 4u);
    EXPECT_DOUBLE_EQ(v, 1.25);
    std::setlocale(LC_ALL, "C");
}

TEST(Paths, DeviceNamesMapIntoTheRoot) {
    Paths::setRoot("/r/");
    EXPECT_EQ(Paths::map("\\My Documents\\Pushpins.kpp"), "/r/My Documents/Pushpins.kpp");
    EXPECT_EQ(Paths::map("My Documents\\KWAutosave2.atk"), "/r/My Documents/KWAutosave2.atk");
    EXPECT_EQ(Paths::map("/abs/file.atk"), "/abs/file.atk");
    EXPECT_EQ(Paths::configDir(), "/r");
    Paths::reset();
}

}  // namespace
}  // namespace wp2
