// SPDX-License-Identifier: GPL-3.0-or-later
// Following a route through the dashboard on the bundled drive: the target
// advances from point to point, the destination panels show the point, "k/n"
// and the way to the end, the arrival alarm sounds once at each point, the
// route ends with a note, and a restart resumes the route where it was; the
// Go to choices and the off-course alarm; the route file told at start and
// saved after the pushpin list.

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <filesystem>

#include "app/application.h"
#include "app/headless_dialogs.h"
#include "app/route_guidance.h"
#include "app_test_support.h"
#include "core/base/timer_queue.h"
#include "core/gps/nav_snapshot.h"
#include "core/nav/angles.h"
#include "core/routes/routes.h"
#include "core/settings/double_setting.h"
#include "ui/dashboard_ids.h"
#include "ui/destination_panel.h"
#include "ui/frame_counter.h"
#include "ui/surface.h"

namespace wp2 {
namespace {

// "Go to" answers `choice`; the pushpin list applies `editRoutes`.
struct ScriptedDialogs final : HeadlessDialogs {
    using HeadlessDialogs::HeadlessDialogs;
    void prepareMiscOptions(UnitFormatter& units) override { units.setSystem(UnitSystem::US); }
    GoToChoice goTo(const Routes&, const RouteNavigator*) override { return choice; }
    void pushpinsAndRoutes(Pushpins&, Routes& routes) override { editRoutes(routes); }
    GoToChoice choice;
    std::function<void(Routes&)> editRoutes = [](Routes&) {};
};

class RouteFollowing : public test::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        test::installEmulationFile();
        // Two points of the drive: its lines 20 and 60.
        addRoute("Drive", {{"P1", 60.0203898, 30.2342762}, {"P2", 60.0176008, 30.2375338}});
        ASSERT_TRUE(store_.writeText("SndArrival", "arrive.wav"));
        ASSERT_TRUE(store_.writeNumber("ArrivalAlarm", 1));
    }
    // A route of points named and placed in degrees.
    void addRoute(const char* name, std::vector<std::tuple<const char*, double, double>> points) {
        Route r{name, {}};
        for (auto [point, lat, lon] : points) {
            r.points.push_back({point, lat * kDegToRad, lon * kDegToRad, std::nullopt});
        }
        ASSERT_TRUE(routes_.add(r));
    }
    void TearDown() override {
        screen_.reset();
        AppTest::TearDown();
    }
    void build() {
        screen_.reset();
        DashboardServices s = services();
        s.routes = &routes_;
        s.dialogs = &scripted_;
        screen_ = std::make_unique<DashboardScreen>(host_, s, surfaces_);
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
    int arrivalSounds(const char* file = "arrive.wav") const {
        return static_cast<int>(
            std::count_if(player_.played.begin(), player_.played.end(),
                          [file](const std::string& p) { return p.ends_with(file); }));
    }
    // The target button answered with `choice`.
    void goTo(GoToChoice::Action action, int route = -1, int start = 0) {
        scripted_.choice = {action, route, start};
        const Rect r = screen_->byId(DashboardId::TargetButton)->frameRect();
        test::tap(*screen_, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // The panel's target, its route line up to the distance, and the sounds so far.
    std::tuple<std::string, std::string, int> shown() {
        return {panel().targetName, panel().routeText.substr(0, 3), arrivalSounds()};
    }

    DrawingSurfaces surfaces_;
    test::RecordingHost host_;
    ScriptedDialogs scripted_{shared_.settings()};
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
    EXPECT_EQ(test::storedText(registry_, "ActiveRoute"), "Drive");
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
    EXPECT_EQ(test::storedText(registry_, "ActiveRoute"), "");
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

TEST_F(RouteFollowing, GoToMovesTheTargetByHandAndTheOffCourseAlarmSoundsOncePerExcursion) {
    using enum GoToChoice::Action;
    build();
    // The panel's target ("-" for none), "k/n", the stored route, the snapshot's target.
    const auto state = [this] {
        return std::tuple(
            panel().hasTarget ? panel().targetName : "-", panel().routeText.substr(0, 3),
            test::storedText(registry_, "ActiveRoute"), screen_->snapshot().targetSet);
    };
    using State = decltype(state());
    const std::tuple<GoToChoice::Action, int, State> steps[] = {
        {Route, 0, {"P1", "1/2", "Drive", 1}},    {Next, 0, {"P2", "2/2", "Drive", 1}},
        {Previous, 0, {"P1", "1/2", "Drive", 1}}, {Stop, 0, {"-", "", "", 0}},
        {Route, 1, {"P2", "2/2", "Drive", 1}},    {Next, 0, {"-", "", "", 0}}};  // past the last
    for (const auto& [action, start, expected] : steps) {
        goTo(action, 0, start);
        EXPECT_EQ(state(), expected) << static_cast<int>(action) << " " << start;
    }
    EXPECT_EQ(panel().note, "Arrived at P2. Route finished.");

    // A: the drive's line 1; B 90 m right of its line 61, C 90 m left of its
    // line 121 (GeographicLib's Direct, at right angles to its 150 degrees).
    addRoute("Zigzag", {{"A", 60.0219125, 30.2325072},
                        {"B", 60.0171706, 30.2361685},
                        {"C", 60.0147861, 30.2427131}});
    ASSERT_TRUE(store_.writeText("SndOffCourse", "off.wav") &&
                store_.writeNumber("OffCourseAlarm", 1));
    DoubleSetting(shared_.settings(), "OffCourseDist", true, 100.0) = 50.0;
    build();
    goTo(Route, 1, 1);
    // By GeographicLib: 50.5 m off the leg A-B at line 31; then B passed at
    // line 50 and 51.8 m off the leg B-C on the other side at line 108, after
    // coming back within 3/4 of the limit: one more alarm by the drive's end.
    const std::tuple<std::function<bool()>, int, int> along[] = {
        {[this] { return arrivalSounds("off.wav") > 0; }, 31, 1}, {[] { return false; }, 300, 2}};
    for (const auto& [done, line, offSounds] : along) {
        const int reached = driveUntil(done);
        EXPECT_EQ(std::tuple(reached, arrivalSounds("off.wav")), std::tuple(line, offSounds));
    }
    EXPECT_EQ(arrivalSounds(), 0);
}

TEST_F(RouteFollowing, TheRouteFileIsToldAtStartAndSavedOnlyWhenThePushpinListChangedIt) {
    const std::string path = Routes::defaultFilePath();
    const std::string cut =
        "<gpx version=\"1.1\" creator=\"t\" xmlns=\"http://www.topografix.com/GPX/1/1\">"
        "<rte><name>Kept</name><rtept lat=\"60\" lon=\"30\"/></rte><rte>";
    const auto add = [](Routes& r) { ASSERT_TRUE(r.add({"Added", {}})); };
    const std::string damaged = "The route file " + path + " is damaged: ";
    // The file (none: a link to itself, which cannot be opened), the pushpin
    // list's edit, the start of what the user is told, and whether the list
    // saved the route file, with how many routes.
    const std::tuple<const char*, std::function<void(Routes&)>, std::vector<std::string>,
                     std::tuple<bool, int>>
        cases[] = {{cut.c_str(), [](Routes&) {}, {damaged}, {false, 0}},
                   {cut.c_str(), add, {damaged}, {true, 3}},  // Kept, RTE002, Added
                   {nullptr,
                    add,
                    {"The route file " + path + " cannot be read: ",
                     "The routes could not be saved to " + path},
                    {false, 0}}};
    TimerQueue timers{clock_};
    StartOptions emulation;
    emulation.forcedMode = 1;
    emulation.splash = false;
    Paths::makeDirs(std::filesystem::path(path).parent_path().string());
    for (const auto& [file, edit, told, after] : cases) {
        std::filesystem::remove(path);
        std::filesystem::remove(path + ".bad");
        boxes_.shown.clear();
        file ? test::writeFile(path, file) : std::filesystem::create_symlink(path, path);
        Application app(shared_.ui, clock_, timers, scripted_, player_, emulation);
        app.setWait([](std::uint32_t) {});
        ASSERT_TRUE(app.startUp());
        scripted_.editRoutes = edit;
        DashboardScreen& screen = app.mainWindow()->screen();
        test::menuItem(screen, 2);  // WayPoints
        std::vector<std::string> shown;
        for (std::size_t i = 0; i < boxes_.shown.size(); ++i) {
            shown.push_back(boxes_.shown[i].text.substr(0, i < told.size() ? told[i].size() : 999));
        }
        EXPECT_EQ(shown, told);
        Routes read;
        const bool saved = !std::filesystem::is_symlink(path) && read.load().opened;
        EXPECT_EQ(std::tuple(saved, read.count()), after);
        EXPECT_EQ(file ? test::readFile(path + ".bad") : "", file ? file : "");  // kept aside
        app.exit();
    }
}

}  // namespace
}  // namespace wp2
