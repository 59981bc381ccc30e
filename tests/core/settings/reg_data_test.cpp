// The pieces under the settings classes: text encoding of REG_SZ, the key and
// value name rules of a hive, and the default registry.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/settings/memory_registry.h"
#include "core/settings/reg_hive.h"
#include "core/settings/reg_sz.h"

namespace wp2 {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(RegSz, MalformedUtf8BecomesReplacementCharacters) {
    bool ok = true;
    // A lone continuation byte, a truncated sequence, an overlong "/" and an
    // encoded surrogate.
    std::u16string w = utf8ToUtf16(
        "a\x80"
        "b\xe2\x82"
        "c\xc0\xaf"
        "d\xed\xa0\x80",
        &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(w, u"a\uFFFDb\uFFFDc\uFFFDd\uFFFD");
    utf8ToUtf16("Z\xc3\xbcrich \xe2\x82\xac \xf0\x9d\x84\x9e", &ok);
    EXPECT_TRUE(ok);
}

TEST(RegHive, KeyPathsAreNormalizedAndValidated) {
    std::string out;
    EXPECT_TRUE(normalizeKeyPath("\\Software\\KELM\\", out));
    EXPECT_EQ(out, "Software\\KELM");
    EXPECT_FALSE(normalizeKeyPath("", out));
    EXPECT_FALSE(normalizeKeyPath("\\\\", out));
    EXPECT_FALSE(normalizeKeyPath("a\\\\b", out));
    EXPECT_FALSE(normalizeKeyPath("a\nb", out));
    EXPECT_TRUE(validValueName("Name with spaces ]["));
    EXPECT_FALSE(validValueName("a\rb"));
}

TEST(RegHive, CaseInsensitiveCasePreservingAndAncestorsExist) {
    RegHive hive;
    hive.set("Software\\KELM\\Wayplot2", "WarmStart", RegValue{RegType::Dword, Bytes{1, 0, 0, 0}});
    hive.set("SOFTWARE\\kelm\\WAYPLOT2", "warmstart", RegValue{RegType::Dword, Bytes{2, 0, 0, 0}});
    ASSERT_EQ(hive.keys().size(), 1u);
    EXPECT_EQ(hive.keys().begin()->first, "Software\\KELM\\Wayplot2");
    auto values = hive.values("software\\kelm\\wayplot2");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].first, "WarmStart");
    EXPECT_EQ(values[0].second.data[0], 2);

    EXPECT_TRUE(hive.hasKey("Software"));
    EXPECT_TRUE(hive.hasKey("software\\KELM"));
    EXPECT_FALSE(hive.hasKey("Soft"));
    EXPECT_FALSE(hive.hasKey("Software\\KEL"));
    EXPECT_FALSE(hive.hasKey("Software\\KELM\\Wayplot2\\Sub"));
    // A sibling that sorts between the key and its subkeys does not hide them.
    hive.createKey("Software!");
    EXPECT_TRUE(hive.hasKey("Software"));
}

}  // namespace
}  // namespace wp2
