#include "core/waypoints/cpushpins.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/nav/geodesy.h"
#include "core/waypoints/pushpin_test_util.h"

namespace wp2 {
namespace {

using test::addPin;
using test::namesOf;
using Names = std::vector<std::string>;

// Adds the names so that the first given ends at index 0.
void addInIndexOrder(CPushpins& pins, const Names& names) {
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        addPin(pins, *it, 1, 1);
    }
}

TEST(CPushpins, TargetIndexFollowsItsWaypointOrIsCleared) {
    CPushpins pins;
    addInIndexOrder(pins, {"a", "b", "c"});
    for (int stored : {3, 5, -7}) {  // equal to the count or beyond: no target
        pins.SetTargetIndex(stored);
        EXPECT_EQ(pins.GetTargetIndex(), -1) << stored;
    }
    // Added from the dashboard: the same waypoint one further; nothing added
    // past the end clears it.
    pins.SetTargetIndex(2);
    pins.ShiftTarget(0);
    EXPECT_EQ(pins.GetTargetIndex(), 2);
    addPin(pins, "new", 2, 2);
    pins.ShiftTarget(1);
    EXPECT_EQ(pins.GetTargetIndex(), 3);
    pins.ShiftTarget(1);
    EXPECT_EQ(pins.GetTargetIndex(), -1);

    // new a b c at 0..3; target b. Deleting below (b is then the oldest),
    // just above, then itself.
    pins.SetTargetIndex(2);
    ASSERT_TRUE(pins.DeleteAt(3));
    EXPECT_EQ(pins.GetTargetIndex(), 2);
    ASSERT_TRUE(pins.DeleteAt(0));
    EXPECT_EQ(pins.GetTargetIndex(), 1);
    EXPECT_EQ(pins.GetAt(1)->name, u"b");
    ASSERT_TRUE(pins.DeleteAt(1));
    EXPECT_EQ(pins.GetTargetIndex(), -1);
    EXPECT_EQ(namesOf(pins), Names{"a"});
    EXPECT_FALSE(pins.DeleteAt(1));
    EXPECT_FALSE(pins.DeleteAt(-1));
}

}  // namespace
}  // namespace wp2
