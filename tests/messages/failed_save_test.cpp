// SPDX-License-Identifier: GPL-3.0-or-later
// A failed save is told with what failed, where and why, and counted for the
// program's exit status.

#include "messages/failed_save.h"

#include <gtest/gtest.h>

#include <tuple>

#include "core/base/diagnostics.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

TEST(FailedSave, IsToldOnceWithItsReasonAndCounted) {
    test::RecordingMessageBoxes boxes;
    Diagnostics diagnostics;
    reportFailedSave(boxes, diagnostics, "The track", "/data/track.atk", "No space left on device");
    EXPECT_EQ(diagnostics.failedSaves(), 1);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(std::tuple(boxes.shown[0].text, boxes.shown[0].caption, boxes.shown[0].icon),
              std::tuple(std::string("The track could not be saved to /data/track.atk:\n"
                                     "No space left on device"),
                         std::string("Wayplot2"), MessageIcon::Exclamation));
}

}  // namespace
}  // namespace wp2
