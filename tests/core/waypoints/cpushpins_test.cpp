#include "core/waypoints/cpushpins.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/nav/geodesy.h"
#include "core/waypoints/pushpin_test_util.h"

namespace wp2 {
namespace {

using test::addPin;
using test::namesOf;

// Latitude in degrees `metres` north of latDeg on the approximate model.
double northBy(double latDeg, double metres) {
    return latDeg + metres / approxEarthRadius(latDeg * kDegToRad) * kRadToDeg;
}

TEST(CPushpins, NewestIsIndexZeroAndGetAtWalksBothWays) {
    CPushpins pins;
    EXPECT_EQ(pins.GetAt(0), nullptr);
    addPin(pins, "a", 1, 1);
    addPin(pins, "b", 2, 2);
    addPin(pins, "c", 3, 3);
    EXPECT_EQ(namesOf(pins), (std::vector<std::string>{"c", "b", "a"}));
    ASSERT_EQ(pins.GetCount(), 3);
    EXPECT_EQ(pins.GetAt(2)->name, u"a");
    EXPECT_EQ(pins.GetAt(0)->name, u"c");
    EXPECT_EQ(pins.GetAt(1)->name, u"b");
    EXPECT_EQ(pins.GetAt(3), nullptr);
    EXPECT_EQ(pins.GetAt(-1), nullptr);
    EXPECT_EQ(pins.GetNewest()->name, u"c");
    EXPECT_EQ(pins.GetOldest()->name, u"a");
    EXPECT_EQ(pins.GetAt(1)->newer(), pins.GetAt(0));
    EXPECT_EQ(pins.GetAt(1)->older(), pins.GetAt(2));
}

// GetAt keeps a cursor between calls; it must stay right through any mix of
// additions, removals and jumps. A plain vector is the reference.
TEST(CPushpins, GetAtStaysRightThroughRandomChanges) {
    CPushpins pins;
    std::vector<CPushpin*> model;  // model[i] is the pushpin at index i
    std::mt19937 rng(7);
    for (int step = 0; step < 4000; ++step) {
        int action = static_cast<int>(rng() % 4);
        if (action == 0 || model.empty()) {
            model.insert(model.begin(), pins.AddNew());
        } else if (action == 1) {
            auto i = static_cast<int>(rng() % model.size());
            ASSERT_TRUE(pins.Remove(model[static_cast<std::size_t>(i)]));
            model.erase(model.begin() + i);
        } else {
            auto i = static_cast<int>(rng() % model.size());
            ASSERT_EQ(pins.GetAt(i), model[static_cast<std::size_t>(i)]) << "step " << step;
        }
        ASSERT_EQ(pins.GetCount(), static_cast<int>(model.size()));
    }
    for (int i = 0; i < pins.GetCount(); ++i) {
        ASSERT_EQ(pins.GetAt(i), model[static_cast<std::size_t>(i)]);
    }
}

TEST(CPushpins, RemoveRefusesPushpinsOfAnotherCollection) {
    CPushpins pins, other;
    addPin(pins, "mine", 1, 1);
    CPushpin* foreign = addPin(other, "theirs", 1, 1);
    EXPECT_FALSE(pins.Remove(foreign));
    EXPECT_FALSE(pins.Remove(nullptr));
    EXPECT_EQ(pins.GetCount(), 1);
    EXPECT_EQ(other.GetCount(), 1);
    EXPECT_EQ(pins.IndexOf(foreign), -1);
}

TEST(CPushpins, RemoveRelinksTheNeighbours) {
    CPushpins pins;
    addPin(pins, "a", 1, 1);
    CPushpin* b = addPin(pins, "b", 2, 2);
    addPin(pins, "c", 3, 3);
    ASSERT_TRUE(pins.Remove(b));
    EXPECT_EQ(namesOf(pins), (std::vector<std::string>{"c", "a"}));
    EXPECT_EQ(pins.GetAt(0)->older(), pins.GetAt(1));
    EXPECT_EQ(pins.GetAt(1)->newer(), pins.GetAt(0));
    ASSERT_TRUE(pins.Remove(pins.GetAt(1)));
    ASSERT_TRUE(pins.Remove(pins.GetAt(0)));
    EXPECT_EQ(pins.GetNewest(), nullptr);
    EXPECT_EQ(pins.GetOldest(), nullptr);
    addPin(pins, "again", 0, 0);
    EXPECT_EQ(pins.GetOldest(), pins.GetNewest());
}

TEST(CPushpins, RemoveAllEmptiesAndClearsTheTarget) {
    CPushpins pins;
    addPin(pins, "a", 1, 1);
    addPin(pins, "b", 2, 2);
    pins.SetTargetIndex(1);
    pins.RemoveAll();
    EXPECT_EQ(pins.GetCount(), 0);
    EXPECT_EQ(pins.GetTargetIndex(), -1);
    EXPECT_EQ(pins.begin(), pins.end());
}

TEST(CPushpins, FindNearSetsAltitudesAsideAndTakesTheFirst) {
    CPushpins pins;
    addPin(pins, "far", northBy(50, 6.0), 8);
    addPin(pins, "high", northBy(50, 4.0), 8, 3000.0);
    addPin(pins, "near", northBy(50, 1.0), 8);
    // Index 0 ("near") is the first within 5 m.
    ASSERT_NE(pins.FindNear(50 * kDegToRad, 8 * kDegToRad, 5.0), nullptr);
    EXPECT_EQ(pins.FindNear(50 * kDegToRad, 8 * kDegToRad, 5.0)->name, u"near");
    pins.Remove(pins.GetAt(0));
    // 3000 m up, still 4 m away on the ground.
    CPushpin* high = pins.FindNear(50 * kDegToRad, 8 * kDegToRad, 5.0);
    ASSERT_NE(high, nullptr);
    EXPECT_EQ(high->name, u"high");
    EXPECT_EQ(high->altitude, 3000.0);
    pins.Remove(high);
    EXPECT_EQ(pins.FindNear(50 * kDegToRad, 8 * kDegToRad, 5.0), nullptr);
    EXPECT_NE(pins.FindNear(50 * kDegToRad, 8 * kDegToRad, 6.5), nullptr);
}

TEST(CPushpins, RemoveNearCountsAltitudeAndKeepsTheTargetOnItsWaypoint) {
    CPushpins pins;
    addPin(pins, "target", 10, 10);
    addPin(pins, "up high", 50, 8, 20.0);
    addPin(pins, "close", northBy(50, 10.0), 8);
    addPin(pins, "other", 20, 20);
    pins.SetTargetIndex(3);
    // "up high" is 20 m away counting altitude; "close" is 10 m away.
    EXPECT_TRUE(pins.RemoveNear(50 * kDegToRad, 8 * kDegToRad, 0.0));
    EXPECT_EQ(namesOf(pins), (std::vector<std::string>{"other", "up high", "target"}));
    EXPECT_EQ(pins.GetAt(pins.GetTargetIndex())->name, u"target");
    EXPECT_FALSE(pins.RemoveNear(50 * kDegToRad, 8 * kDegToRad, 0.0));
    EXPECT_TRUE(pins.RemoveNear(50 * kDegToRad, 8 * kDegToRad, 14.0));
    EXPECT_TRUE(pins.RemoveNear(10 * kDegToRad, 10 * kDegToRad, 0.0));
    EXPECT_EQ(pins.GetTargetIndex(), -1);
}

TEST(CPushpins, StoredTargetIsUsedOnlyWhenItNamesAPushpin) {
    CPushpins pins;
    for (int i = 0; i < 3; ++i) {
        addPin(pins, "p", i, i);
    }
    pins.SetTargetIndex(2);
    EXPECT_EQ(pins.GetTargetIndex(), 2);
    pins.SetTargetIndex(3);  // equal to the count
    EXPECT_EQ(pins.GetTargetIndex(), -1);
    pins.SetTargetIndex(5);
    EXPECT_EQ(pins.GetTargetIndex(), -1);
    pins.SetTargetIndex(-7);
    EXPECT_EQ(pins.GetTargetIndex(), -1);
}

TEST(CPushpins, AddingFromTheDashboardKeepsTheSameTargetWaypoint) {
    CPushpins pins;
    addPin(pins, "old", 1, 1);
    pins.SetTargetIndex(0);
    addPin(pins, "new", 2, 2);
    pins.ShiftTarget(1);
    EXPECT_EQ(pins.GetTargetIndex(), 1);
    EXPECT_EQ(pins.GetAt(1)->name, u"old");
    pins.ShiftTarget(1);  // nothing was added: index 2 does not exist
    EXPECT_EQ(pins.GetTargetIndex(), -1);
    pins.ShiftTarget(1);
    EXPECT_EQ(pins.GetTargetIndex(), -1);
}

TEST(CPushpins, DeletingKeepsTheTargetOnItsWaypointOrClearsIt) {
    CPushpins pins;
    for (const char* n : {"d", "c", "b", "a"}) {
        addPin(pins, n, 1, 1);
    }
    // a b c d at 0..3; target c.
    pins.SetTargetIndex(2);
    ASSERT_TRUE(pins.DeleteAt(3));  // above the target's index: unchanged
    EXPECT_EQ(pins.GetTargetIndex(), 2);
    ASSERT_TRUE(pins.DeleteAt(1));  // the row just above the target row
    EXPECT_EQ(pins.GetTargetIndex(), 1);
    EXPECT_EQ(pins.GetAt(1)->name, u"c");
    ASSERT_TRUE(pins.DeleteAt(1));  // the target itself
    EXPECT_EQ(pins.GetTargetIndex(), -1);
    EXPECT_EQ(namesOf(pins), std::vector<std::string>{"a"});
    EXPECT_FALSE(pins.DeleteAt(1));
    EXPECT_FALSE(pins.DeleteAt(-1));
}

TEST(CPushpins, DeletingBelowTheOldestTargetKeepsIt) {
    CPushpins pins;
    for (const char* n : {"c", "b", "a"}) {
        addPin(pins, n, 1, 1);
    }
    pins.SetTargetIndex(2);
    ASSERT_TRUE(pins.DeleteAt(0));
    EXPECT_EQ(pins.GetTargetIndex(), 1);
    EXPECT_EQ(pins.GetAt(1)->name, u"c");
}

}  // namespace
}  // namespace wp2
