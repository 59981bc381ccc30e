// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/waypoints/pushpin_export.h"

#include <gtest/gtest.h>

#include <string>

#include "core/waypoints/pushpin_test_util.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

using test::addPin;
using test::readFile;
using test::TempDir;

TEST(PushpinTextExport, DefaultColumnsAreNameLatitudeLongitude) {
    TempDir dir;
    Pushpins pins;
    ASSERT_TRUE(exportText(pins, dir.file("e.txt"), ExportFields{}));
    EXPECT_EQ(readFile(dir.file("e.txt")), "Name;Latitude;Longitude\r\n");
    Pushpin* a = addPin(pins, "A", 51.5, -0.12);
    a->note = "not written";
    addPin(pins, "B", -33.5, 151.25);
    ASSERT_TRUE(exportText(pins, dir.file("out.txt"), ExportFields{}));
    EXPECT_EQ(readFile(dir.file("out.txt")),
              "Name;Latitude;Longitude\r\n"
              "B;-33.500000;151.250000\r\n"
              "A;51.500000;-0.120000\r\n");
}

}  // namespace
}  // namespace wp2
