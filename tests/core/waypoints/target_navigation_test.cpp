#include "core/waypoints/target_navigation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/base/clock.h"
#include "core/gps/gps_link.h"
#include "core/gps/gps_status_flags.h"
#include "core/nav/angles.h"
#include "core/nav/geodesy.h"
#include "core/settings/memory_registry.h"
#include "core/waypoints/pushpin_test_util.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

using test::addPin;
using test::TempDir;

// Records what a destination panel was told last.
class RecordingPanel final : public TargetDisplay {
public:
    void showTarget(const std::u16string& n, std::int32_t i) override {
        hasTarget = true;
        name = n;
        icon = i;
        ++calls;
    }
    void showNoTarget() override {
        hasTarget = false;
        ++calls;
    }
    bool hasTarget = false;
    std::u16string name;
    std::int32_t icon = -1;
    int calls = 0;
};

class Navigation : public ::testing::Test {
protected:
    Navigation() {
        previous = setRegistry(&store);
        lastTarg = std::make_unique<CRegInt>(kLastTargetSetting, true, -1);
        nav = std::make_unique<TargetNavigation>(pins, snapshot, *lastTarg);
        nav->addPanel(&left);
        nav->addPanel(&right);
        for (const char* n : {"c", "b", "a"}) {
            CPushpin* p = addPin(pins, n, 10, std::string(n)[0] - 'a', 100);
            p->icon = std::string(n)[0];
            p->speed = 4.5;
            p->time.hour = 7;
        }
    }
    ~Navigation() override {
        nav.reset();
        lastTarg.reset();
        setRegistry(previous);
    }
    std::int32_t stored() {
        RegValue v;
        store.queryValue(RegRoot::LocalMachine, "Software\\KELM\\Wayplot2", kLastTargetSetting, v);
        return static_cast<std::int32_t>(v.data.at(0) | v.data.at(1) << 8 | v.data.at(2) << 16 |
                                         v.data.at(3) << 24);
    }

    MemoryRegistry store;
    Registry* previous = nullptr;
    CPushpins pins;
    NavSnapshot snapshot;
    std::unique_ptr<CRegInt> lastTarg;
    std::unique_ptr<TargetNavigation> nav;
    RecordingPanel left, right;
};

TEST_F(Navigation, ApplyingATargetFeedsTheSnapshotAndBothPanels) {
    pins.SetTargetIndex(1);
    nav->applyTarget();
    EXPECT_EQ(snapshot.targetSet, 1);
    const CPushpin& b = *pins.GetAt(1);
    EXPECT_EQ(snapshot.targetPoint.latitude, b.latitude);
    EXPECT_EQ(snapshot.targetPoint.longitude, b.longitude);
    EXPECT_EQ(snapshot.targetPoint.altitude, 100.0);
    EXPECT_EQ(snapshot.targetPoint.speed, 4.5);
    EXPECT_EQ(snapshot.targetPoint.time.hour, 7);
    for (const RecordingPanel* panel : {&left, &right}) {
        EXPECT_TRUE(panel->hasTarget);
        EXPECT_EQ(panel->name, u"b");
        EXPECT_EQ(panel->icon, 'b');
    }
}

TEST_F(Navigation, ClosingThePushpinListRefreshesTheTargetOrEndsNavigation) {
    pins.SetTargetIndex(2);
    nav->applyTarget();
    pins.GetAt(2)->name = u"renamed";
    pins.GetAt(2)->latitude = 0.25;
    nav->afterPushpinList();
    EXPECT_EQ(snapshot.targetSet, 1);
    EXPECT_EQ(snapshot.targetPoint.latitude, 0.25);
    EXPECT_EQ(left.name, u"renamed");
    ASSERT_TRUE(pins.DeleteAt(2));  // the user deletes the target in the list
    nav->afterPushpinList();
    EXPECT_EQ(snapshot.targetSet, 0);
    EXPECT_FALSE(left.hasTarget);
    EXPECT_FALSE(right.hasTarget);
}

TEST_F(Navigation, ChoosingATargetAppliesAndStoresItEvenAfterCancel) {
    nav->chooseTarget([](CPushpins& p) { p.SetTargetIndex(2); });
    EXPECT_EQ(left.name, u"c");
    EXPECT_EQ(stored(), 2);
    *lastTarg = 0;  // changed behind its back; a cancelled dialog writes the index again
    int before = left.calls;
    nav->chooseTarget([](CPushpins&) {});
    EXPECT_EQ(left.calls, before + 1);
    EXPECT_EQ(stored(), 2);
}

TEST_F(Navigation, PushpinAddedFromTheDashboardKeepsTheTargetAndSaves) {
    TempDir root(true);
    pins.SetTargetIndex(0);
    addPin(pins, "here", 1, 1);
    EXPECT_TRUE(nav->pushpinAddedFromDashboard());
    EXPECT_EQ(pins.GetTargetIndex(), 1);
    EXPECT_EQ(pins.GetAt(1)->name, u"a");
    EXPECT_EQ(stored(), 1);
    CPushpins saved;
    saved.Load();
    EXPECT_EQ(saved.GetCount(), 4);
}

// The pushpin made the target is what the snapshot's refresh navigates to.
TEST_F(Navigation, RefreshFollowsThePositionTowardsTheChosenPushpin) {
    TempDir root(true);
    ManualClock clock;
    GpsLink link(clock);
    GpsState& gps = link.state();
    gps.set(GpsStatusFlags::Fix3D);
    gps.latitude = 0.0;
    gps.longitude = 0.5 * kDegToRad;
    gps.speed = 1.0;
    snapshot.ellipsoid = &wgs84();
    // About 1 km due north, 2000 m up: the height plays no part.
    CPushpin* north = addPin(pins, "north", 1000.0 / 110574.0, 0.5, 2000.0);
    nav->chooseTarget([](CPushpins& p) { p.SetTargetIndex(0); });
    snapshot.refreshFromLink(link);
    EXPECT_NEAR(snapshot.targetDistance, 1000.0, 1.0);
    EXPECT_NEAR(snapshot.targetBearing, 0.0, 1e-9);
    // Standing still further west: the distance follows, the bearing waits.
    gps.longitude = 0.49 * kDegToRad;
    gps.speed = 0.2;
    snapshot.refreshFromLink(link);
    EXPECT_GT(snapshot.targetDistance, 1400.0);
    EXPECT_NEAR(snapshot.targetBearing, 0.0, 1e-9);
    gps.speed = 0.3;
    gps.latitude = north->latitude;
    snapshot.refreshFromLink(link);
    EXPECT_NEAR(snapshot.targetBearing, 1.57079632625, 1e-9);
    // Deleting the target and closing the list ends navigation: values freeze.
    ASSERT_TRUE(pins.DeleteAt(0));
    nav->afterPushpinList();
    const double frozen = snapshot.targetDistance;
    gps.latitude = -0.1;
    snapshot.refreshFromLink(link);
    EXPECT_EQ(snapshot.targetDistance, frozen);
    EXPECT_FALSE(left.hasTarget);
}

TEST(TimeToGo, HoursModuloADayThenMinutesAtAnAverageAbove01) {
    const struct {
        double distance, speed;
        const char* text;  // nullptr: the previous text stays
    } cases[] = {
        {90061.0 * 2.0, 2.0, "01:01"},  // one day, one hour, one minute and one second
        {0.0, 1.0, "00:00"},           {59.9, 1.0, "00:00"},
        {3599.0 * 1.5, 1.5, "00:59"},  {23 * 3600.0 + 59 * 60.0, 1.0, "23:59"},
        {1e20, 0.2, "06:28"},  // capped at 4294967295 s: 49710 days 6 h 28 min
        {1000.0, 0.1, nullptr},        {1000.0, 0.0, nullptr},
        {1000.0, 0.1000001, "02:46"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.distance);
        const auto text = timeToGoText(c.distance, c.speed);
        EXPECT_EQ(text.has_value(), c.text != nullptr);
        if (c.text) {
            EXPECT_EQ(*text, c.text);
        }
    }
    NavSnapshot s;
    s.targetDistance = 3600.0;
    EXPECT_FALSE(timeToGoText(s).has_value());
    s.averageSpeed.add(1.0);
    s.averageSpeed.add(3.0);  // mean 2 m/s: 1800 s
    EXPECT_EQ(timeToGoText(s), "00:30");
}

}  // namespace
}  // namespace wp2
