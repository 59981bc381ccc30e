// SPDX-License-Identifier: GPL-3.0-or-later
// Following a route through the dashboard on the bundled drive: the target
// advances from point to point, the destination panels show the point, "k/n"
// and the way to the end, the arrival alarm sounds once at each point, the
// route ends with a note, and a restart resumes the route where it was.

#include <gtest/gtest.h>

#include <QRegularExpression>

#include "app/route_guidance.h"
#include "app_test_support.h"
#include "core/gps/nav_snapshot.h"
#include "core/nav/angles.h"
#include "core/routes/routes.h"
#include "ui/dashboard_ids.h"
#include "ui/destination_panel.h"
#include "ui/frame_counter.h"
#include "ui/surface.h"

namespace wp2 {
namespace {

class RouteFollowing : public test::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        publishSurfaces(&surfaces_);
        test::installEmulationFile();
        // Two points of the drive: its lines 20 and 60.
        Route drive{"Drive", {}};
        for (auto [name, lat, lon] :
             {std::tuple{"P1", 60.0203898, 30.2342762}, std::tuple{"P2", 60.0176008, 30.2375338}}) {
            drive.points.push_back({name, lat * kDegToRad, lon * kDegToRad, std::nullopt});
        }
        ASSERT_TRUE(routes_.add(drive));
        ASSERT_TRUE(store_.writeText("SndArrival", "arrive.wav"));
        ASSERT_TRUE(store_.writeNumber("ArrivalAlarm", 1));
    }
    void TearDown() override {
        screen_.reset();
        publishSurfaces(nullptr);
        AppTest::TearDown();
    }
    void build() {
        screen_.reset();
        DashboardServices s = services();
        s.routes = &routes_;
        screen_ = std::make_unique<DashboardScreen>(host_, s);
        screen_->buildScreen(ScreenMode::Emulation);
        line_ = 1;  // the build read the first line
    }
    // Runs the dashboard through `refreshes` more refreshes of the snapshot
    // (each reads the next line of the drive).
    void drive(int refreshes) {
        for (const std::uint32_t end = frame_ + 30 * refreshes; frame_ < end;) {
            publishFrame(++frame_);
            screen_->tick(frame_);
        }
        line_ += refreshes;
    }
    // Drives on until `done`; the line of the drive read then.
    int driveUntil(const std::function<bool()>& done) {
        while (!done() && line_ < 300) {
            drive(1);
        }
        return line_;
    }
    const DestinationPanel& panel() {
        return static_cast<DestinationPanel&>(*screen_->byId(DashboardId::DestinationLeft));
    }
    int arrivalSounds() const {
        return static_cast<int>(
            std::count_if(player_.played.begin(), player_.played.end(),
                          [](const std::string& p) { return p.ends_with("arrive.wav"); }));
    }
    // The panel's target, its route line up to the distance, and the sounds so far.
    std::tuple<std::string, std::string, int> shown() {
        return {panel().targetName, panel().routeText.substr(0, 3), arrivalSounds()};
    }

    DrawingSurfaces surfaces_;
    test::RecordingHost host_;
    Routes routes_;
    std::unique_ptr<DashboardScreen> screen_;
    std::uint32_t frame_ = 0;
    int line_ = 0;
};

TEST_F(RouteFollowing, TheTargetAdvancesAndTheRouteEndsWithOneAlarmAtEachPoint) {
    build();
    ASSERT_TRUE(screen_->startRoute(0, 0));
    EXPECT_EQ(shown(), std::tuple("P1", "1/2", 0));
    // To the end from the first line, by GeographicLib: 196.2 m to P1, 359.9 m
    // on to P2, 0.346 mi (the units are the US ones).
    EXPECT_EQ(panel().routeText.substr(0, 12), "1/2  0.35 mi");
    // The first lines within 30 m of the points by GeographicLib: 18 (23.4 m
    // from P1) and 50 (29.5 m from P2).
    EXPECT_EQ(driveUntil([this] { return panel().targetName == "P2"; }), 18);
    EXPECT_EQ(shown(), std::tuple("P2", "2/2", 1));
    EXPECT_LT(std::abs(screen_->snapshot().crossTrack.value_or(99.0)), 5.0);  // on the leg
    EXPECT_EQ(test::storedText("ActiveRoute"), "Drive");
    EXPECT_EQ(store_.readNumber("RoutePoint").value_or(9), 1u);
    EXPECT_TRUE(QRegularExpression("^2/2  [0-9.]+ (ft|mi)  [0-9]{2}:[0-9]{2}$")
                    .match(QString::fromStdString(panel().routeText))
                    .hasMatch())
        << panel().routeText;

    // A restart goes on to the same point.
    build();
    EXPECT_EQ(shown(), std::tuple("P2", "2/2", 1));

    EXPECT_EQ(driveUntil([this] { return !screen_->guidance().navigator(); }), 50);
    EXPECT_EQ(arrivalSounds(), 2);
    EXPECT_EQ(panel().note, "Arrived at P2. Route finished.");
    EXPECT_EQ(std::tuple(panel().hasTarget, screen_->snapshot().targetSet), std::tuple(0, 0));
    EXPECT_EQ(screen_->guidance().navigator(), nullptr);
    EXPECT_EQ(test::storedText("ActiveRoute"), "");
}

TEST_F(RouteFollowing, APushpinTargetSoundsOnceAndStaysTheTarget) {
    Pushpin& bridge = *pushpins_.addNew();
    bridge.name = "Bridge";
    const RoutePoint& p1 = routes_.all()[0].points[0];
    bridge.latitude = p1.latitude, bridge.longitude = p1.longitude;
    pushpins_.setTargetIndex(0);
    build();
    EXPECT_EQ(driveUntil([this] { return arrivalSounds() > 0; }), 18);
    EXPECT_EQ(panel().note, "Arrived at Bridge");
    drive(40);
    EXPECT_EQ(std::tuple(arrivalSounds(), panel().targetName, panel().routeText, panel().note),
              std::tuple(1, "Bridge", "", ""));
}

}  // namespace
}  // namespace wp2
