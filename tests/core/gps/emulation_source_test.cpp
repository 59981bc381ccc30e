#include "core/gps/emulation_source.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/base/cformat.h"
#include "core/base/paths.h"
#include "core/nav/angles.h"
#include "core/settings/memory_registry.h"
#include "gps_test_support.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

// "lat,lon,alt,speed,course" and twelve satellite groups.
std::string line(double latDeg, double lonDeg, double course = 0.5, double fileSpeed = 99.0) {
    std::string s = cformat("%.6f,%.6f,12.5,%.1f,%.3f", latDeg, lonDeg, fileSpeed, course);
    for (int i = 1; i <= 12; ++i) {
        s += cformat("*%d,0.%d,1.%d", i % 3 == 0 ? 0 : 30 + i, i, i);
    }
    return s + "\n";
}

class EmulationTest : public ::testing::Test {
protected:
    void SetUp() override { previous_ = setRegistry(&registry_); }
    void TearDown() override {
        source_.reset();
        setRegistry(previous_);
    }

    // Writes the emulation file and opens it.
    EmulationSource& openWith(const std::string& contents) {
        Paths::makeDirs(root_.file("Windows"));
        test::writeFile(root_.file("Windows/move4.txt"), contents);
        source_ = openEmulation(snapshot_);
        return *source_;
    }
    double latitudeDeg() const { return snapshot_.latitude * kRadToDeg; }

    test::TempDir root_{true};
    MemoryRegistry registry_;
    Registry* previous_ = nullptr;
    test::RecordingMessageBoxes boxes_;
    NavSnapshot snapshot_;
    std::unique_ptr<EmulationSource> source_;
};

TEST_F(EmulationTest, ReplaysTheFileEndlesslyWithTheFixBitsAndSatellitesOfEachLine) {
    EmulationSource& e = openWith(line(1, 10) + line(2, 20) + line(3, 30));
    ASSERT_TRUE(e.isOpen());
    EXPECT_NE(snapshot_.emulationFile, nullptr);
    std::vector<double> seen;
    for (std::uint32_t tick = 0; tick < 7 * 30; tick += 30) {
        e.refresh(tick);
        seen.push_back(std::round(latitudeDeg() * 1000) / 1000);
        EXPECT_EQ(snapshot_.status & 0x120u, 0x120u) << "at tick " << tick;
    }
    EXPECT_EQ(seen, (std::vector<double>{1, 2, 3, 1, 2, 3, 1}));
    EXPECT_NEAR(snapshot_.longitude, 10 * kDegToRad, 1e-12);
    EXPECT_EQ(snapshot_.fixLevel, 4);
    EXPECT_TRUE(boxes_.shown.empty());
    // Satellites come from the twelve groups, but only two count as in view.
    EXPECT_EQ(snapshot_.satellitesInView, 2);
    EXPECT_EQ(snapshot_.satellitesWithSignal, 8);  // every third has no signal
    for (int i : {0, 11}) {
        const auto& sat = snapshot_.satellites[i];
        EXPECT_EQ(sat.prn, i + 1);
        EXPECT_EQ(sat.snr, i == 0 ? 31 : 0);
        EXPECT_DOUBLE_EQ(sat.elevation, i == 0 ? 0.1 : 0.12);
        EXPECT_DOUBLE_EQ(sat.azimuth, i == 0 ? 1.1 : 1.12);
    }
}

TEST_F(EmulationTest, SpeedAndPdopFollowTheirTablesWhateverTheFileSays) {
    EmulationSource& e = openWith(line(1, 10, 0.5, 99.0));
    std::vector<double> speeds, pdops;
    for (std::uint32_t tick = 0; tick <= 1500; tick += 150) {
        e.refresh(tick);
        speeds.push_back(snapshot_.speed);
        pdops.push_back(snapshot_.pdop);
    }
    EXPECT_EQ(speeds, (std::vector<double>{1, 1, 0, 0, 0, 0, 2, 2, 1, 1, 1}));
    EXPECT_EQ(pdops, (std::vector<double>{50, 30, 20, 5.5, 1.2, 50, 30, 20, 5.5, 1.2, 50}));
    EXPECT_EQ(EmulationSource::speedAt(299), 1.0);
    EXPECT_EQ(EmulationSource::speedAt(300), 0.0);
}

TEST_F(EmulationTest, TheCourseHoldsWhileTheTableGivesNoSpeed) {
    EmulationSource& e =
        openWith(line(1, 10, 1.0) + line(2, 20, 2.0) + line(3, 30, 3.0) + line(4, 40, 4.0));
    for (std::uint32_t tick : {0, 300, 600}) {  // speeds 1, 0 and 0
        e.refresh(tick);
        EXPECT_DOUBLE_EQ(snapshot_.course, 1.0) << tick;
    }
    EXPECT_NEAR(latitudeDeg(), 3, 1e-9) << "the position still moves";
    e.refresh(900);  // speed 2.0
    EXPECT_DOUBLE_EQ(snapshot_.course, 4.0);
}

TEST_F(EmulationTest, AnEmptyFileLeavesTheSnapshotUnchanged) {
    snapshot_.latitude = 0.25;
    snapshot_.course = 0.75;
    EmulationSource& e = openWith("");
    ASSERT_TRUE(e.isOpen());
    for (std::uint32_t tick = 0; tick < 300; tick += 30) {
        e.refresh(tick);
    }
    EXPECT_TRUE(snapshot_.latitude == 0.25 && snapshot_.course == 0.75 && snapshot_.pdop == 0.0);
    EXPECT_EQ(snapshot_.fixLevel, 1);
    EXPECT_EQ(snapshot_.status, 0u);
    EXPECT_EQ(snapshot_.averageSpeed.count() + e.track()->count(), 0);
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(EmulationTest, ALineShortOfSatelliteGroupsSaysBadFormatEachTimeAndKeepsWhatWasRead) {
    EmulationSource& e = openWith("5.0,6.0,7.0,0,0.5*40,0.1,0.2*41,0.3,0.4*0,0,0\n");
    e.refresh(0);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, "Bad format");
    EXPECT_NEAR(latitudeDeg(), 5.0, 1e-9);
    EXPECT_EQ(snapshot_.altitude, 7.0);
    EXPECT_EQ(snapshot_.fixLevel, 4);
    EXPECT_EQ(snapshot_.satellitesInView, 3);  // the groups read; not cut to 2
    EXPECT_EQ(snapshot_.satellitesWithSignal, 2);
    EXPECT_EQ(snapshot_.satellites[1].snr, 41);
    EXPECT_EQ(e.track()->count(), 0) << "the refresh stopped before recording";
    EXPECT_EQ(snapshot_.averageSpeed.count(), 0);
    e.refresh(30);
    EXPECT_EQ(boxes_.shown.size(), 2u);
}

TEST_F(EmulationTest, AHeadThatEndsEarlyChangesOnlyWhatItHolds) {
    EmulationSource& e = openWith(line(1, 10) + "2.0" + line(0, 0).substr(line(0, 0).find('*')) +
                                  "junk" + line(0, 0).substr(line(0, 0).find('*')));
    e.refresh(0);
    e.refresh(30);
    EXPECT_NEAR(latitudeDeg(), 2.0, 1e-9);
    EXPECT_NEAR(snapshot_.longitude, 10 * kDegToRad, 1e-12)
        << "the longitude is not converted twice";
    e.refresh(60);
    EXPECT_NEAR(latitudeDeg(), 2.0, 1e-9) << "the latitude is not converted twice";
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(EmulationTest, OutlandishSignalNumbersDoNotBreakTheSkyView) {
    std::string bad = "1,2,3,4,5";
    for (int i = 0; i < 12; ++i) {
        bad += i % 2 ? "*1e300,0,0" : "*nan,0,0";
    }
    EmulationSource& e = openWith(bad + "\n");
    e.refresh(0);
    EXPECT_EQ(snapshot_.satellites[0].snr, 0);
    EXPECT_EQ(snapshot_.satellites[1].snr, 2147483647);
}

TEST_F(EmulationTest, RecordsIntoItsOwnTrackLogAutosavedApartFromTheLinks) {
    {
        EmulationSource& e = openWith(line(1, 10) + line(1.01, 10) + line(1.02, 10.01));
        ASSERT_NE(e.track(), nullptr);
        EXPECT_EQ(snapshot_.emulationTrack, e.track());
        EXPECT_EQ(e.track()->autosavePath, "My Documents\\KWAutosave2.atk");
        EXPECT_NE(Paths::map(e.track()->autosavePath), Paths::map(kLinkAutosavePath));
        e.refresh(0);
        e.refresh(30);
        e.refresh(60);
        EXPECT_GE(e.track()->count(), 1);
        EXPECT_EQ(trackLog(snapshot_), e.track());
        source_.reset();
    }
    EXPECT_EQ(snapshot_.emulationTrack, nullptr);
    EXPECT_EQ(snapshot_.emulationFile, nullptr);
    EXPECT_TRUE(test::fileExists(root_.file("My Documents/KWAutosave2.atk")));
    EXPECT_FALSE(test::fileExists(root_.file("My Documents/KWAutosave.atk")));
}

TEST_F(EmulationTest, AMissingFileSaysSoAndTheSnapshotFollowsTheLink) {
    source_ = openEmulation(snapshot_, "Windows\\absent.txt");
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, "Can not open emulation data");
    EXPECT_FALSE(source_->isOpen());
    EXPECT_EQ(snapshot_.emulationFile, nullptr);
    EXPECT_NE(snapshot_.emulationTrack, nullptr) << "the track log is made all the same";

    EXPECT_EQ(trackLog(snapshot_), nullptr) << "no link yet";
    ManualClock clock;
    GpsLink link(clock, test::quietTrackLog());
    setCurrentLink(&link);
    snapshot_.fixLevel = 4;
    refreshSnapshot(snapshot_, source_.get(), 0);
    EXPECT_EQ(snapshot_.fixLevel, 1) << "the link is not open";
    EXPECT_EQ(trackLog(snapshot_), &link.trackLog());
    setCurrentLink(nullptr);
}

TEST_F(EmulationTest, TheShippedFileReplaysAsARealDrive) {
    std::string shipped = std::string(TEST_DATA_DIR) + "/../../resources/windows/move4.txt";
    Paths::makeDirs(root_.file("Windows"));
    test::writeFile(root_.file("Windows/move4.txt"), test::readFile(shipped));
    source_ = openEmulation(snapshot_);
    double minLat = 90, maxLat = -90;
    for (std::uint32_t tick = 0; tick < 360 * 30; tick += 30) {
        refreshSnapshot(snapshot_, source_.get(), tick);
        minLat = std::min(minLat, latitudeDeg());
        maxLat = std::max(maxLat, latitudeDeg());
        ASSERT_GE(snapshot_.satellitesWithSignal, 4) << "at tick " << tick;
    }
    EXPECT_TRUE(boxes_.shown.empty());
    // St Petersburg, a drive of a couple of kilometres.
    EXPECT_GT(minLat, 59.9);
    EXPECT_LT(maxLat, 60.1);
    EXPECT_GT(maxLat - minLat, 0.005);
    EXPECT_GT(source_->track()->count(), 10);
}

}  // namespace
}  // namespace wp2
