// SPDX-License-Identifier: GPL-3.0-or-later
// Texts that do not depend on the machine: numbers in any locale, UTF-8 and
// UTF-16 whatever the bytes, and the device paths mapped into the root.

#include "core/base/cformat.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "core/base/paths.h"
#include "core/base/utf.h"
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

// Each bad UTF-8 sequence becomes one U+FFFD: a stray byte alone, a cut-short
// sequence with the continuation bytes it has, an overlong form, a surrogate
// or a value past U+10FFFF with all of its bytes.
TEST(Utf, BadUtf8BecomesOneReplacementPerSequence) {
    const struct {
        std::string utf8;
        std::u16string utf16;
    } rows[] = {
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", u"\u00E9\u20AC\U0001F600"},
        {"\x80\xBFz", u"\uFFFD\uFFFDz"},
        {"\xE2\x82z\xF0\x9F\x98", u"\uFFFDz\uFFFD"},
        {"\xC0\x80\xE0\x80\x80\xF0\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"\xED\xA0\x80\xF4\x90\x80\x80\xF8\xFF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.utf8);
        bool wellFormed = false;
        EXPECT_EQ(toUtf16(row.utf8, &wellFormed), row.utf16);
        EXPECT_EQ(wellFormed, row.utf16.find(u'\uFFFD') == std::u16string::npos);
        EXPECT_EQ(utf16Length(row.utf8), row.utf16.size());
        EXPECT_EQ(wellFormedUtf8(row.utf8), toUtf8(row.utf16));
    }
    // Cut to a number of UTF-16 units, never inside a character.
    EXPECT_EQ(wellFormedUtf8("ab\xF0\x9F\x98\x80z", 3), "ab");
    EXPECT_EQ(wellFormedUtf8("ab\xF0\x9F\x98\x80z", 4), "ab\xF0\x9F\x98\x80");
}

// A surrogate that is not half of a pair becomes U+FFFD, and the first one's
// index is reported.
TEST(Utf, UnpairedSurrogatesAreReplacedAndTheFirstIsReported) {
    const struct {
        std::u16string utf16;
        std::string utf8;
        std::size_t unpaired;
    } rows[] = {
        {u"a\U0001F600", "a\xF0\x9F\x98\x80", std::string::npos},
        {u"a\xD83D", "a\xEF\xBF\xBD", 1},
        {u"\xDE00\xD83Dz\xD83D", "\xEF\xBF\xBD\xEF\xBF\xBDz\xEF\xBF\xBD", 0},
    };
    for (const auto& row : rows) {
        std::string out = "reused";
        EXPECT_EQ(toUtf8(row.utf16, out), row.unpaired) << row.utf8;
        EXPECT_EQ(out, row.utf8);
    }
}

}  // namespace
}  // namespace wp2
