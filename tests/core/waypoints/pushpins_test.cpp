// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/waypoints/pushpins.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/nav/geodesy.h"
#include "core/waypoints/pushpin_import.h"
#include "core/waypoints/pushpin_test_util.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

using test::addInIndexOrder;
using test::addPin;
using test::namesOf;
using Names = std::vector<std::string>;

TEST(Pushpins, TargetIndexFollowsItsWaypointOrIsCleared) {
    Pushpins pins;
    addInIndexOrder(pins, {"a", "b", "c"});
    for (int stored : {3, 5, -7}) {  // equal to the count or beyond: no target
        pins.setTargetIndex(stored);
        EXPECT_EQ(pins.targetIndex(), -1) << stored;
    }
    // Added from the dashboard: the same waypoint one further; nothing added
    // past the end clears it.
    pins.setTargetIndex(2);
    pins.shiftTarget(0);
    EXPECT_EQ(pins.targetIndex(), 2);
    addPin(pins, "new", 2, 2);
    pins.shiftTarget(1);
    EXPECT_EQ(pins.targetIndex(), 3);
    pins.shiftTarget(1);
    EXPECT_EQ(pins.targetIndex(), -1);

    // new a b c at 0..3; target b. Deleting below (b is then the oldest),
    // just above, then itself.
    pins.setTargetIndex(2);
    ASSERT_TRUE(pins.deleteAt(3));
    EXPECT_EQ(pins.targetIndex(), 2);
    ASSERT_TRUE(pins.deleteAt(0));
    EXPECT_EQ(pins.targetIndex(), 1);
    EXPECT_EQ(pins.at(1)->name, "b");
    ASSERT_TRUE(pins.deleteAt(1));
    EXPECT_EQ(pins.targetIndex(), -1);
    EXPECT_EQ(namesOf(pins), Names{"a"});
    EXPECT_FALSE(pins.deleteAt(1));
    EXPECT_FALSE(pins.deleteAt(-1));
}

// The program's collection and a second writer on one pushpin file: the
// import path of wayplot2-tool, then another collection that deletes. Each
// save keeps what the other wrote since and makes its own changes again.
TEST(Pushpins, SavingKeepsWhatAnotherWriterChangedSinceTheLoad) {
    test::TempDir root(true);
    const std::string path = Pushpins::defaultFilePath();
    auto inFile = [&path] {
        Pushpins now;
        EXPECT_TRUE(now.loadFile(path).clean());
        return namesOf(now);
    };
    {
        Pushpins first;
        addInIndexOrder(first, {"d", "c", "b", "a"});
        ASSERT_TRUE(first.save());
    }
    Pushpins program;
    ASSERT_TRUE(program.load().clean());
    program.setTargetIndex(1);  // c

    Pushpins tool;
    tool.loadFile(path);
    test::writeFile(root.file("one.csv"), "10,20,tool\n");
    ASSERT_EQ(importPushpins(tool, root.file("one.csv")).added, 1);
    ASSERT_TRUE(tool.saveFile(path));

    // Deleted, edited and added here (the target moves with its pushpin).
    ASSERT_TRUE(program.deleteAt(2));  // b
    program.at(1)->name = "C";
    addPin(program, "mark", 3, 3);
    program.shiftTarget(1);
    ASSERT_TRUE(program.save());
    const Names merged{"mark", "tool", "d", "C", "a"};
    EXPECT_EQ(namesOf(program), merged);
    EXPECT_EQ(program.at(program.targetIndex())->name, "C");
    EXPECT_EQ(inFile(), merged);

    // Another writer deletes a and d; d edited here stays, a goes.
    Pushpins other;
    other.loadFile(path);
    ASSERT_TRUE(other.deleteAt(4) && other.deleteAt(2));
    ASSERT_TRUE(other.saveFile(path));
    program.at(2)->note = "kept";
    ASSERT_TRUE(program.save());
    EXPECT_EQ(namesOf(program), (Names{"d", "mark", "tool", "C"}));
    EXPECT_EQ(inFile(), namesOf(program));
    EXPECT_EQ(program.at(program.targetIndex())->name, "C");
    // Nothing changed on either side: the file is left as it is.
    ASSERT_TRUE(other.loadFile(path).clean());
    const std::string bytes = test::readFile(path);
    ASSERT_TRUE(program.save());
    EXPECT_EQ(test::readFile(path), bytes);
}

// Writers in several processes, each adding its pushpins one save at a time
// to the file it loaded once: no pushpin is lost.
TEST(Pushpins, WritersInSeveralProcessesLoseNoPushpin) {
    test::TempDir dir;
    const std::string path = dir.file("p.kpp");
    constexpr int kWriters = 4;
    constexpr int kEach = 15;
    const auto statuses = test::exitStatusesOf(kWriters, [&](int w) {
        Pushpins pins;
        pins.loadFile(path);
        bool saved = true;
        for (int i = 0; i < kEach; ++i) {
            addPin(pins, "w" + std::to_string(w) + "-" + std::to_string(i), w, i);
            saved = pins.saveFile(path) && saved;
        }
        return saved ? 0 : 1;
    });
    EXPECT_EQ(statuses, std::vector<int>(kWriters, 0));
    Pushpins all;
    EXPECT_TRUE(all.loadFile(path).clean());
    EXPECT_EQ(all.count(), kWriters * kEach);
}

}  // namespace
}  // namespace wp2
