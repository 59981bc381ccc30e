// Number texts must not follow the desktop's locale: a German desktop still
// shows "99.7 kmh", and "1,5" is not a number the dialogs accept.

#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "core/nav/angles.h"
#include "core/nav/coordinate_text.h"
#include "core/nav/unit_formatter.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

// Switches the process to a comma-decimal locale, compiling one into a
// temporary folder when the system has none installed.
class CommaLocale {
public:
    CommaLocale() {
        if (trySet()) {
            return;
        }
        const char* localedef = "/usr/bin/localedef";
        if (access(localedef, X_OK) != 0) {
            return;
        }
        test::RunResult r =
            test::runProgram({localedef, "-i", "de_DE", "-f", "UTF-8", dir_.file("de_DE.UTF-8")});
        if (r.status != 0) {
            return;
        }
        setenv("LOCPATH", dir_.path().c_str(), 1);
        setLocPath_ = true;
        trySet();
    }
    ~CommaLocale() {
        std::setlocale(LC_ALL, "C");
        if (setLocPath_) {
            unsetenv("LOCPATH");
        }
    }

    bool active() const { return active_; }

private:
    bool trySet() {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE"}) {
            if (std::setlocale(LC_ALL, name) &&
                std::string(std::localeconv()->decimal_point) == ",") {
                active_ = true;
                return true;
            }
        }
        return false;
    }

    test::TempDir dir_;
    bool setLocPath_ = false;
    bool active_ = false;
};

TEST(NumberTextLocale, CommaDecimalLocaleChangesNothing) {
    CommaLocale locale;
    if (!locale.active()) {
        GTEST_SKIP() << "no comma-decimal locale available";
    }
    UnitFormatter f;
    EXPECT_EQ(f.formatSpeed(27.7).text, "99.7");
    EXPECT_EQ(f.formatDistanceWithUnit(1000.0), " 1.0 km");
    f.setSystem(UnitSystem::US);
    EXPECT_EQ(f.formatDistance(3000.0).text, "1.86");
    EXPECT_EQ(formatLatitude(-33.5 * kDegToRad), "S 33 30.0000'");

    double v = 0.0;
    ASSERT_TRUE(f.parseAltitude("100.5", v));
    EXPECT_DOUBLE_EQ(v, 100.5 * 0.305);
    EXPECT_FALSE(f.parseAltitude("100,5", v));
}

}  // namespace
}  // namespace wp2
