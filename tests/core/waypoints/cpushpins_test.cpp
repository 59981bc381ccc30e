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
using Names = std::vector<std::string>;

// Adds the names so that the first given ends at index 0.
void addInIndexOrder(CPushpins& pins, const Names& names) {
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        addPin(pins, *it, 1, 1);
    }
}

TEST(CPushpins, NewestFirstLinksAndRemoval) {
    CPushpins pins, other;
    EXPECT_EQ(pins.GetAt(0), nullptr);
    addPin(pins, "a", 1, 1);
    CPushpin* b = addPin(pins, "b", 2, 2);
    addPin(pins, "c", 3, 3);
    EXPECT_EQ(namesOf(pins), (Names{"c", "b", "a"}));
    EXPECT_EQ(pins.GetAt(3), nullptr);
    EXPECT_EQ(pins.GetAt(-1), nullptr);
    EXPECT_EQ(pins.GetOldest()->name, u"a");
    EXPECT_EQ(b->newer(), pins.GetAt(0));
    EXPECT_EQ(b->older(), pins.GetAt(2));

    CPushpin* foreign = addPin(other, "theirs", 1, 1);
    EXPECT_FALSE(pins.Remove(foreign));
    EXPECT_FALSE(pins.Remove(nullptr));
    EXPECT_EQ(pins.IndexOf(foreign), -1);
    ASSERT_TRUE(pins.Remove(b));
    EXPECT_EQ(namesOf(pins), (Names{"c", "a"}));
    EXPECT_EQ(pins.GetAt(0)->older(), pins.GetAt(1));
    EXPECT_EQ(pins.GetAt(1)->newer(), pins.GetAt(0));
    ASSERT_TRUE(pins.Remove(pins.GetAt(1)));
    ASSERT_TRUE(pins.Remove(pins.GetAt(0)));
    EXPECT_EQ(pins.GetNewest(), nullptr);
    EXPECT_EQ(pins.GetOldest(), nullptr);
    addPin(pins, "again", 0, 0);
    EXPECT_EQ(pins.GetOldest(), pins.GetNewest());

    pins.SetTargetIndex(0);
    pins.RemoveAll();
    EXPECT_EQ(pins.GetCount(), 0);
    EXPECT_EQ(pins.GetTargetIndex(), -1);
    EXPECT_EQ(pins.begin(), pins.end());
}

// GetAt keeps a cursor between calls; it must stay right through any mix of
// additions, removals and jumps. A plain vector is the reference.
TEST(CPushpins, GetAtStaysRightThroughRandomChanges) {
    CPushpins pins;
    std::vector<CPushpin*> model;
    std::mt19937 rng(7);
    for (int step = 0; step < 4000; ++step) {
        const int action = static_cast<int>(rng() % 4);
        const auto i = model.empty() ? 0 : static_cast<int>(rng() % model.size());
        if (action == 0 || model.empty()) {
            model.insert(model.begin(), pins.AddNew());
        } else if (action == 1) {
            ASSERT_TRUE(pins.Remove(model[static_cast<std::size_t>(i)]));
            model.erase(model.begin() + i);
        } else {
            ASSERT_EQ(pins.GetAt(i), model[static_cast<std::size_t>(i)]) << "step " << step;
        }
        ASSERT_EQ(pins.GetCount(), static_cast<int>(model.size()));
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

    // new a b c at 0..3; target b. Deleting below, just above, then itself.
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

    // The oldest as target keeps it when a newer one goes.
    CPushpins three;
    addInIndexOrder(three, {"a", "b", "c"});
    three.SetTargetIndex(2);
    ASSERT_TRUE(three.DeleteAt(0));
    EXPECT_EQ(three.GetTargetIndex(), 1);
}

}  // namespace
}  // namespace wp2
