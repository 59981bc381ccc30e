// SPDX-License-Identifier: GPL-3.0-or-later
// The Routes dialog's operations on the route collection, one table row each,
// and the Pushpins dialog's GPX import that brings a file's routes along.

#include "dialogs/routes_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "core/nav/angles.h"
#include "core/routes/routes.h"
#include "core/waypoints/pushpins.h"
#include "dialog_test_env.h"
#include "dialogs/pushpins_dialog.h"

namespace wp2::test {
namespace {

class RoutesDialogTest : public DialogTest {
protected:
    void SetUp() override {
        for (const char* name : {"C", "B", "A"}) {  // each goes in front: A B C
            Pushpin& p = *pins_.addNew();
            p.name = name;
            p.latitude = (45.0 + name[0] * 0.01) * kDegToRad;
            p.longitude = 7.0 * kDegToRad;
        }
        const auto point = [this](int i) { return routePointFrom(*pins_.at(i)); };
        ASSERT_TRUE(routes_.add({"R", {point(0), point(1), point(2)}}));
    }
    // "R: A B C | X: B": every route with its points.
    std::string described() const {
        std::string text;
        for (const Route& r : routes_.all()) {
            text += (text.empty() ? "" : " | ") + r.name + ":";
            for (const RoutePoint& p : r.points) {
                text += " " + p.name;
            }
        }
        return text;
    }

    Pushpins pins_;
    Routes routes_;
    RecordingMessageBoxes& boxes_ = services_.boxes;
};

TEST_F(RoutesDialogTest, EachOperationChangesTheRoutesAsShown) {
    const auto selectPoint = [](RoutesDialog& d, int row) { d.pointList()->setCurrentRow(row); };
    const std::string gpx = root_.path() + "/out.gpx";
    const struct {
        const char* what;
        std::function<void(RoutesDialog&)> steps;
        const char* routes;
        const char* lastMessage;  // "" when none
    } rows[] = {
        {"up", [&](RoutesDialog& d) { selectPoint(d, 2), click(d.upButton()); }, "R: A C B", ""},
        {"down", [&](RoutesDialog& d) { selectPoint(d, 0), click(d.downButton()); }, "R: B A C",
         ""},
        {"remove", [&](RoutesDialog& d) { selectPoint(d, 1), click(d.removeButton()); }, "R: A C",
         ""},
        {"reverse", [](RoutesDialog& d) { click(d.reverseButton()); }, "R: C B A", ""},
        {"add after the selected point",
         [&](RoutesDialog& d) {
             selectPoint(d, 0), d.pushpinList()->setCurrentIndex(2), click(d.addButton());
         },
         "R: A C B C", ""},
        {"rename", [](RoutesDialog& d) { typeInto(d.nameEdit(), "Home"), click(d.renameButton()); },
         "Home: A B C", ""},
        {"new from the chosen pushpin",
         [](RoutesDialog& d) {
             typeInto(d.nameEdit(), "Walk");
             d.pushpinList()->setCurrentIndex(1);
             click(d.newButton());
         },
         "R: A B C | Walk: B", ""},
        {"a taken name is refused",
         [](RoutesDialog& d) {
             click(d.newButton());  // "R" is taken: "Route 2"
             typeInto(d.nameEdit(), "R");
             click(d.renameButton());
         },
         "R: A B C | Route 2: A", "name the route R: another route has that name"},
        {"delete", [](RoutesDialog& d) { click(d.deleteButton()); }, "", "Delete the route \"R\"?"},
        {"export, then import adds a copy",
         [&](RoutesDialog& d) {
             services_.files.answers = {gpx, gpx};
             click(d.exportButton());
             click(d.importButton());
             EXPECT_EQ(d.routeList()->currentText(), "R (2)");
             EXPECT_EQ(d.pointList()->count(), 3);
         },
         "R: A B C | R (2): A B C", "1 route was added to the routes."},
    };
    const Routes start = routes_;
    for (const auto& row : rows) {
        routes_ = start;
        boxes_.shown.clear();
        RoutesDialog dialog(routes_, pins_, services_.files, services_.boxes);
        row.steps(dialog);
        EXPECT_EQ(described(), row.routes) << row.what;
        EXPECT_EQ(boxes_.shown.empty() ? "" : boxes_.shown.back().text, row.lastMessage)
            << row.what;
    }
}

TEST_F(RoutesDialogTest, PushpinsDialogImportOfGpxAddsItsRoutes) {
    const std::string path = root_.path() + "/trip.gpx";
    writeFile(path,
              "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"t\" "
              "xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
              "<wpt lat=\"46\" lon=\"8\"><name>W</name></wpt>\n"
              "<rte><name>Lake</name><rtept lat=\"46\" lon=\"8\"><name>P1</name></rtept>"
              "<rtept lat=\"46.1\" lon=\"8.1\"><name>P2</name></rtept></rte>\n</gpx>\n");
    services_.files.answers = {path};
    PushpinsDialog dialog(services_.ui, pins_, nullptr, &routes_);
    ASSERT_NE(dialog.routesButton(), nullptr);
    click(dialog.importButton());
    EXPECT_EQ(pins_.count(), 4);
    EXPECT_EQ(described(), "R: A B C | Lake: P1 P2");
}

}  // namespace
}  // namespace wp2::test
