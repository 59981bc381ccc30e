#include "core/waypoints/cpushpins.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/nav/geodesy.h"
#include "core/waypoints/pushpin_import.h"
#include "core/waypoints/pushpin_test_util.h"
#include "support/test_support.h"

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

// The program's collection and a second writer on one pushpin file: the
// import path of wayplot2-tool, then another collection that deletes. Each
// save keeps what the other wrote since and makes its own changes again.
TEST(CPushpins, SavingKeepsWhatAnotherWriterChangedSinceTheLoad) {
    test::TempDir root(true);
    const std::string path = CPushpins::DefaultFilePath();
    auto inFile = [&path] {
        CPushpins now;
        EXPECT_TRUE(now.LoadFile(path).clean());
        return namesOf(now);
    };
    {
        CPushpins first;
        addInIndexOrder(first, {"d", "c", "b", "a"});
        ASSERT_TRUE(first.Save());
    }
    CPushpins program;
    ASSERT_TRUE(program.Load().clean());
    program.SetTargetIndex(1);  // c

    CPushpins tool;
    tool.LoadFile(path);
    test::writeFile(root.file("one.csv"), "10,20,tool\n");
    ASSERT_EQ(importPushpins(tool, root.file("one.csv")).added, 1);
    ASSERT_TRUE(tool.SaveFile(path));

    // Deleted, edited and added here (the target moves with its pushpin).
    ASSERT_TRUE(program.DeleteAt(2));  // b
    program.GetAt(1)->name = u"C";
    addPin(program, "mark", 3, 3);
    program.ShiftTarget(1);
    ASSERT_TRUE(program.Save());
    const Names merged{"mark", "tool", "d", "C", "a"};
    EXPECT_EQ(namesOf(program), merged);
    EXPECT_EQ(program.GetAt(program.GetTargetIndex())->name, u"C");
    EXPECT_EQ(inFile(), merged);

    // Another writer deletes a and d; d edited here stays, a goes.
    CPushpins other;
    other.LoadFile(path);
    ASSERT_TRUE(other.DeleteAt(4) && other.DeleteAt(2));
    ASSERT_TRUE(other.SaveFile(path));
    program.GetAt(2)->note = u"kept";
    ASSERT_TRUE(program.Save());
    EXPECT_EQ(namesOf(program), (Names{"d", "mark", "tool", "C"}));
    EXPECT_EQ(inFile(), namesOf(program));
    EXPECT_EQ(program.GetAt(program.GetTargetIndex())->name, u"C");
    // Nothing changed on either side: the file is left as it is.
    ASSERT_TRUE(other.LoadFile(path).clean());
    const std::string bytes = test::readFile(path);
    ASSERT_TRUE(program.Save());
    EXPECT_EQ(test::readFile(path), bytes);
}

// Writers in several processes, each adding its pushpins one save at a time
// to the file it loaded once: no pushpin is lost.
TEST(CPushpins, WritersInSeveralProcessesLoseNoPushpin) {
    test::TempDir dir;
    const std::string path = dir.file("p.kpp");
    constexpr int kWriters = 4;
    constexpr int kEach = 15;
    const auto statuses = test::exitStatusesOf(kWriters, [&](int w) {
        CPushpins pins;
        pins.LoadFile(path);
        bool saved = true;
        for (int i = 0; i < kEach; ++i) {
            addPin(pins, "w" + std::to_string(w) + "-" + std::to_string(i), w, i);
            saved = pins.SaveFile(path) && saved;
        }
        return saved ? 0 : 1;
    });
    EXPECT_EQ(statuses, std::vector<int>(kWriters, 0));
    CPushpins all;
    EXPECT_TRUE(all.LoadFile(path).clean());
    EXPECT_EQ(all.GetCount(), kWriters * kEach);
}

}  // namespace
}  // namespace wp2
