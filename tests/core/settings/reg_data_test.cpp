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

TEST(RegSz, DecodingStopsAtTheFirstZeroAndToleratesBadData) {
    EXPECT_EQ(decodeRegSz(Bytes{'a', 0, 'b', 0, 0, 0, 'c', 0}), u"ab");
    EXPECT_EQ(decodeRegSz(Bytes{'a', 0, 'b', 0}), u"ab");  // no terminator
    EXPECT_EQ(decodeRegSz(Bytes{'a', 0, 'b'}), u"a");      // odd size
    EXPECT_EQ(decodeRegSz(Bytes{}), u"");
    // An unpaired surrogate turns into U+FFFD in UTF-8, a pair into one character.
    EXPECT_EQ(utf16ToUtf8(u"x\xD800y"), "x\xef\xbf\xbdy");
    EXPECT_EQ(utf16ToUtf8(std::u16string{0xD834, 0xDD1E}), "\xf0\x9d\x84\x9e");
    EXPECT_EQ(encodeRegSz(std::string("\xe2\x82\xac")), (Bytes{0xac, 0x20, 0, 0}));
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

TEST(MemoryRegistry, MissingKeysAndValues) {
    MemoryRegistry reg;
    RegValue v;
    EXPECT_EQ(reg.openKey(RegRoot::LocalMachine, "A\\B"), kRegFileNotFound);
    EXPECT_EQ(reg.queryValue(RegRoot::LocalMachine, "A\\B", "x", v), kRegFileNotFound);
    EXPECT_EQ(reg.deleteValue(RegRoot::LocalMachine, "A\\B", "x"), kRegFileNotFound);
    EXPECT_EQ(reg.createKey(RegRoot::LocalMachine, "A\\B"), kRegOk);
    EXPECT_EQ(reg.openKey(RegRoot::LocalMachine, "A\\B"), kRegOk);
    EXPECT_EQ(reg.openKey(RegRoot::CurrentUser, "A\\B"), kRegFileNotFound);
    EXPECT_TRUE(reg.listValues(RegRoot::LocalMachine, "A\\B").empty());
    EXPECT_EQ(reg.setValue(RegRoot::LocalMachine, "", "x", v), kRegInvalidParameter);
    EXPECT_EQ(reg.setValue(RegRoot::LocalMachine, "A", "x\n", v), kRegInvalidParameter);
}

TEST(Registry, InstallAndRestore) {
    MemoryRegistry mine;
    Registry* previous = setRegistry(&mine);
    EXPECT_EQ(&registry(), &mine);
    EXPECT_EQ(setRegistry(nullptr), &mine);
    EXPECT_NE(&registry(), &mine);
    EXPECT_EQ(&registry(), previous);
    EXPECT_EQ(registry().errorText(kRegAccessDenied), "Access is denied.");
    EXPECT_EQ(registry().errorText(1234), "Unknown error 1234.");
}

}  // namespace
}  // namespace wp2
