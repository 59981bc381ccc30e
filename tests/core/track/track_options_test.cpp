// The track options in the settings store: written at first construction,
// read back as hundredths, written again at destruction.

#include <gtest/gtest.h>

#include "core/track/track_log.h"
#include "track_test_env.h"

namespace wp2 {
namespace {

using test::fixAt;

class TrackOptionsTest : public test::TrackTest {};

TEST_F(TrackOptionsTest, FirstConstructionWritesAllFiveDefaults) {
    ASSERT_FALSE(registry_.number(kTrackStateValue));
    TrackLog log;
    EXPECT_EQ(registry_.number(kTrackStateValue), 153u);
    EXPECT_EQ(registry_.number(kTrackStraightThresholdValue), 4000u);
    EXPECT_EQ(registry_.number(kTrackParkingThresholdValue), 1500u);
    EXPECT_EQ(registry_.number(kTrackWidthValue), 2000u);
    EXPECT_EQ(registry_.number(kTrackPdopThresholdValue), 0u);
    EXPECT_EQ(log.options, TrackState::Default);
    EXPECT_EQ(log.straightThreshold, 40.0);
    EXPECT_EQ(log.parkingThreshold, 15.0);
    EXPECT_EQ(log.width, 20.0);
}

TEST_F(TrackOptionsTest, StoredOptionsAreReadAsHundredthsAndDriveTheFilter) {
    registry_.setNumber(kTrackStateValue, TrackState::ParkingFilter);
    registry_.setNumber(kTrackStraightThresholdValue, 5000);
    registry_.setNumber(kTrackParkingThresholdValue, 2550);
    registry_.setNumber(kTrackWidthValue, 125);
    registry_.setNumber(kTrackPdopThresholdValue, 600);
    TrackLog log;
    EXPECT_EQ(log.options, TrackState::ParkingFilter);
    EXPECT_DOUBLE_EQ(log.straightThreshold, 50.0);
    EXPECT_DOUBLE_EQ(log.parkingThreshold, 25.5);
    EXPECT_DOUBLE_EQ(log.width, 1.25);
    EXPECT_DOUBLE_EQ(log.pdopThreshold, 6.0);
    TrackPoint a = fixAt(0, 0), b = fixAt(20, 0, 1), c = fixAt(26, 0, 2);
    log.addFix(a);
    EXPECT_FALSE(log.addFix(b)) << "20 m is parking with a 25.5 m threshold";
    EXPECT_TRUE(log.addFix(c));
}

// n * 0.01 * 100 is a hair below n for some n (29, 58, 116, ...): a plain
// truncation would lower such a setting by one hundredth at every run.
TEST_F(TrackOptionsTest, StoredHundredthsSurviveLoadAndSave) {
    registry_.setNumber(kTrackStateValue, 0);
    const std::uint32_t values[] = {29, 58, 116, 205, 1234, 4000, 1500, 2000, 99999};
    for (std::uint32_t v : values) {
        registry_.setNumber(kTrackParkingThresholdValue, v);
        registry_.setNumber(kTrackWidthValue, v);
        { TrackLog log; }
        EXPECT_EQ(registry_.number(kTrackParkingThresholdValue), v);
        EXPECT_EQ(registry_.number(kTrackWidthValue), v);
    }
}

}  // namespace
}  // namespace wp2
