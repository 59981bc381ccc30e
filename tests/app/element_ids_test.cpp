// Every element id the program looks up must name an element the dashboard
// builds, so the "By Id failed" end of the program cannot be reached. The test
// reads the id constants and every lookup in the sources, builds the
// dashboard and checks each id against it.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>

#include "app/dashboard_screen.h"
#include "app_test_support.h"
#include "core/base/clock.h"
#include "ui/surface.h"

namespace wp2 {
namespace {

namespace fs = std::filesystem;

const fs::path kSourceRoot = fs::path(TEST_DATA_DIR) / ".." / ".." / "src";

// "inline constexpr int Name = 123;" lines of a header.
std::map<std::string, int> idConstants(const fs::path& header) {
    std::map<std::string, int> ids;
    const std::string text = test::readFile(header.string());
    const std::regex line(R"(inline constexpr int (\w+) = (\d+);)");
    for (std::sregex_iterator it(text.begin(), text.end(), line), end; it != end; ++it) {
        ids[(*it)[1]] = std::stoi((*it)[2]);
    }
    return ids;
}

struct Lookup {
    std::string file;
    std::string argument;
};

// The first argument of every call that looks an element up by id.
std::vector<Lookup> lookups() {
    std::vector<Lookup> found;
    const std::regex call(
        R"(\b(byId|element<[\w:]+>|panel|selector|pushButton)\(\s*([^,)]+?)\s*[,)])");
    for (const char* folder : {"app", "ui"}) {
        for (const auto& entry : fs::directory_iterator(kSourceRoot / folder)) {
            const std::string text = test::readFile(entry.path().string());
            for (std::sregex_iterator it(text.begin(), text.end(), call), end; it != end; ++it) {
                found.push_back({entry.path().filename().string(), (*it)[2]});
            }
        }
    }
    return found;
}

class ElementIdsTest : public test::AppTest {};

TEST_F(ElementIdsTest, EveryIdTheProgramLooksUpNamesABuiltElement) {
    std::map<std::string, int> dashboardIds = idConstants(kSourceRoot / "ui" / "dashboard_ids.h");
    std::map<std::string, int> screenIds = idConstants(kSourceRoot / "ui" / "skin_screen.h");
    ASSERT_GE(dashboardIds.size(), 30u);
    ASSERT_EQ(screenIds.size(), 3u);

    DrawingSurfaces surfaces;
    publishSurfaces(&surfaces);
    test::RecordingHost host;
    DashboardScreen screen(host, services());
    screen.buildScreen(ScreenMode::Emulation);

    for (const auto& [name, id] : dashboardIds) {
        EXPECT_NE(screen.byId(id), nullptr) << "DashboardId::" << name << " = " << id;
    }
    for (const auto& [name, id] : screenIds) {
        EXPECT_NE(screen.byId(id), nullptr) << "ElementId::" << name << " = " << id;
    }

    // Variables that only ever hold one of the constants above (loops over
    // them), or come from the stored choices, which are looked up without
    // reporting and may name nothing.
    const std::set<std::string> variables = {"id", "selectorId", "c.first", "c.second"};
    const std::regex named(R"((?:DashboardId|Id|ElementId)::(\w+))");
    const std::vector<Lookup> calls = lookups();
    ASSERT_GE(calls.size(), 15u);
    for (const Lookup& l : calls) {
        std::smatch m;
        if (l.argument.rfind("int ", 0) == 0) {
            continue;  // a declaration
        }
        if (std::regex_match(l.argument, m, named)) {
            const std::string constant = m[1];
            const bool known = dashboardIds.count(constant) || screenIds.count(constant);
            EXPECT_TRUE(known) << l.file << ": " << l.argument;
            continue;
        }
        EXPECT_TRUE(variables.count(l.argument)) << l.file << ": lookup by " << l.argument;
    }
    publishSurfaces(nullptr);
}

}  // namespace
}  // namespace wp2
