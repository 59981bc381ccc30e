#include "core/gps/emulation_source.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/base/cformat.h"
#include "core/base/paths.h"
#include "core/nav/angles.h"
#include "core/settings/memory_registry.h"
#include "gps_test_support.h"

namespace wp2 {
namespace {

// "lat,lon,alt,speed,course" and twelve satellite groups.
std::string line(double latDeg, double lonDeg, double course = 0.5) {
    std::string s = cformat("%.6f,%.6f,12.5,99.0,%.3f", latDeg, lonDeg, course);
    for (int i = 1; i <= 12; ++i) {
        s += cformat("*%d,0.%d,1.%d", i % 3 == 0 ? 0 : 30 + i, i, i);
    }
    return s + "\n";
}

class EmulationTest : public ::testing::Test {
protected:
    EmulationTest() { previous_ = setRegistry(&registry_); }
    ~EmulationTest() override {
        source_.reset();
        setRegistry(previous_);
    }
    // Writes the emulation file and opens it.
    EmulationSource* openWith(const std::string& contents) {
        Paths::makeDirs(root_.file("Windows"));
        test::writeFile(root_.file("Windows/move4.txt"), contents);
        source_ = openEmulation(snapshot_);
        return source_.get();
    }
    double latitudeDeg() const { return snapshot_.latitude * kRadToDeg; }

    test::TempDir root_{true};
    MemoryRegistry registry_;
    Registry* previous_ = nullptr;
    test::RecordingMessageBoxes boxes_;
    NavSnapshot snapshot_;
    std::unique_ptr<EmulationSource> source_;
};

TEST_F(EmulationTest, ReplaysTheFileEndlesslyAndDamagedLinesChangeOnlyWhatTheyHold) {
    EmulationSource& e = *openWith(line(1, 10, 1.0) + line(2, 20, 2.0) + line(3, 30, 3.0));
    std::vector<double> lats, courses;
    for (std::uint32_t tick = 0; tick <= 1500; tick += 150) {
        e.refresh(tick);
        lats.push_back(std::round(latitudeDeg() * 1000) / 1000);
        courses.push_back(snapshot_.course);
        EXPECT_EQ(snapshot_.status & 0x120u, 0x120u) << tick;
    }
    EXPECT_EQ(lats, (std::vector<double>{1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2}));
    // The course holds while the speed table gives no speed (ticks 300 to 899).
    EXPECT_EQ(courses, (std::vector<double>{1, 2, 2, 2, 2, 2, 1, 2, 3, 1, 2}));
    EXPECT_EQ(snapshot_.speed + snapshot_.pdop + snapshot_.fixLevel, 1 + 50 + 4);
    // Twelve satellite groups are read, but only two count as in view.
    EXPECT_EQ(snapshot_.satellitesInView, 2);
    EXPECT_EQ(snapshot_.satellitesWithSignal, 8);  // every third has no signal
    EXPECT_EQ(snapshot_.satellites[0].snr, 31);
    EXPECT_EQ(snapshot_.satellites[11].prn, 12);
    EXPECT_EQ(snapshot_.satellites[11].elevation + snapshot_.satellites[11].azimuth, 0.12 + 1.12);
    // An empty file changes nothing; damaged lines only what they hold.
    snapshot_.fixLevel = 1;
    openWith("")->refresh(0);
    EXPECT_EQ(snapshot_.fixLevel, 1);
    std::string bad = "1,2,3,4,5";
    for (int i = 0; i < 12; ++i) {
        bad += i % 2 ? "*1e300,0,0" : "*nan,0,0";
    }
    const std::string head = line(1, 10);
    openWith(head + "2.0" + head.substr(head.find('*')) + bad + "\n" +
             "5.0,6.0,7.0,0,0.5*40,0.1,0.2*41,0.3,0.4*0,0,0\n");
    source_->refresh(0);
    source_->refresh(30);
    // A head that ends early: the longitude is kept, not converted twice.
    EXPECT_NEAR(latitudeDeg(), 2.0, 1e-9);
    EXPECT_NEAR(snapshot_.longitude, 10 * kDegToRad, 1e-12);
    source_->refresh(60);
    EXPECT_EQ(snapshot_.satellites[0].snr, 0);
    EXPECT_EQ(snapshot_.satellites[1].snr, 2147483647);
    EXPECT_TRUE(boxes_.shown.empty());
    // Short of satellite groups: "Bad format" each time, what was read is kept.
    const int points = source_->track()->count();
    source_->refresh(90);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, "Bad format");
    EXPECT_NEAR(latitudeDeg(), 5.0, 1e-9);
    EXPECT_EQ(snapshot_.satellitesInView, 3);  // the groups read; not cut to 2
    EXPECT_EQ(snapshot_.satellites[1].snr, 41);
    EXPECT_EQ(source_->track()->count(), points) << "the refresh stopped before recording";
}

TEST_F(EmulationTest, TheTrackLogFollowsTheSourceAndIsAutosavedApartFromTheLinks) {
    source_ = openEmulation(snapshot_, "Windows\\absent.txt");
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, "Can not open emulation data");
    EXPECT_EQ(trackLog(snapshot_), nullptr) << "no link yet";
    ManualClock clock;
    GpsLink link(clock, test::quietTrackLog());
    setCurrentLink(&link);
    snapshot_.fixLevel = 4;
    refreshSnapshot(snapshot_, source_.get(), 0);
    EXPECT_EQ(snapshot_.fixLevel, 1) << "the link is not open";
    EXPECT_EQ(trackLog(snapshot_), &link.trackLog());
    // The shipped drive, through St Petersburg.
    openWith(test::readFile(std::string(TEST_DATA_DIR) + "/../../resources/windows/move4.txt"));
    EXPECT_EQ(trackLog(snapshot_), source_->track());
    for (std::uint32_t tick = 0; tick < 360 * 30; tick += 30) {
        refreshSnapshot(snapshot_, source_.get(), tick);
        ASSERT_NEAR(latitudeDeg(), 60.0, 0.1) << "at tick " << tick;
    }
    EXPECT_GT(source_->track()->count(), 10);
    source_.reset();
    EXPECT_EQ(trackLog(snapshot_), &link.trackLog());
    setCurrentLink(nullptr);
    EXPECT_TRUE(test::fileExists(root_.file("My Documents/KWAutosave2.atk")));
    EXPECT_FALSE(test::fileExists(root_.file("My Documents/KWAutosave.atk")));
}

}  // namespace
}  // namespace wp2
