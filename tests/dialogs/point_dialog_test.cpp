// The point dialog: a new pushpin at a position and an edited one, the
// degrees / minutes / hemisphere entry and its checks, the altitude in the
// current unit, the icon, and the "WPoint_" name counter in "WPIdx".

#include "dialogs/point_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "core/nav/coordinate_text.h"
#include "core/nav/unit_formatter.h"
#include "core/waypoints/pushpin_test_util.h"
#include "dialog_test_env.h"
#include "dialogs/icon_chooser_dialog.h"
#include "dialogs/pushpin_icons.h"

namespace wp2::test {
namespace {

class PointDialog : public DialogTest {
protected:
    void SetUp() override {
        setLastIconChosen(0);
        unitFormatter().setSystem(UnitSystem::Metric);
    }
    void TearDown() override {
        setLastIconChosen(0);
        unitFormatter().setSystem(UnitSystem::Metric);
    }

    static TrackPoint at(double latDeg, double lonDeg, double altitude = 0.0) {
        TrackPoint p;
        p.latitude = latDeg * kDegToRad;
        p.longitude = lonDeg * kDegToRad;
        p.altitude = altitude;
        return p;
    }
    int run(int index, const TrackPoint& start, std::function<void(wp2::PointDialog&)> steps) {
        auto step = whenShown<wp2::PointDialog>(std::move(steps));
        const int result = runPointDialog(nullptr, pins_, index, start);
        EXPECT_TRUE(step.ran());
        return result;
    }
    // Proposes a name with a new point, cancels, and returns the proposal.
    QString proposedName() {
        QString name;
        run(-1, at(1, 1), [&](wp2::PointDialog& d) {
            name = d.nameEdit()->text();
            click(d.cancelButton());
        });
        return name;
    }

    CPushpins pins_;
    RecordingMessageBoxes boxes_;
};

TEST_F(PointDialog, NewPointShowsDegreesMinutesAndHemispheresAndKeepsThePosition) {
    const TrackPoint start = at(-33.5, -70.25, 812.0);
    EXPECT_EQ(run(-1, start,
                  [](wp2::PointDialog& d) {
                      EXPECT_EQ(d.windowTitle(), "New point");
                      EXPECT_EQ(d.latDegreesEdit()->text(), "33");
                      EXPECT_EQ(d.latMinutesEdit()->text(), "30");
                      EXPECT_EQ(d.northSouthButton()->text(), "S");
                      EXPECT_EQ(d.lngDegreesEdit()->text(), "70");
                      EXPECT_EQ(d.lngMinutesEdit()->text(), "15");
                      EXPECT_EQ(d.eastWestButton()->text(), "W");
                      EXPECT_EQ(d.altitudeEdit()->text(), "  812");
                      EXPECT_EQ(d.altitudeUnit()->text(), "m");
                      click(d.okButton());
                  }),
              QDialog::Accepted);
    ASSERT_EQ(pins_.GetCount(), 1);
    const CPushpin& p = *pins_.GetAt(0);
    EXPECT_EQ(p.latitude, start.latitude);
    EXPECT_EQ(p.longitude, start.longitude);
    EXPECT_EQ(p.altitude, 812.0);
    EXPECT_EQ(toUtf8(p.name), "WPoint_1");
    EXPECT_TRUE(p.state & TrackPointState::ThreeD);
}

TEST_F(PointDialog, TypedPositionIsDegreesPlusMinutesWithTheHemisphereButtons) {
    TrackPoint noFix;  // the "none" value of a receiver without a fix yet
    noFix.latitude = noFix.longitude = kNoPosition;
    run(-1, noFix, [&](wp2::PointDialog& d) {
        // Nothing proposed, and nothing taken until the position is typed in.
        for (QLineEdit* box :
             {d.latDegreesEdit(), d.latMinutesEdit(), d.lngDegreesEdit(), d.lngMinutesEdit()}) {
            EXPECT_EQ(box->text(), "");
        }
        click(d.okButton());
        EXPECT_TRUE(d.isVisible());
        ASSERT_EQ(boxes_.shown.size(), 1u);
        EXPECT_EQ(boxes_.shown[0].text, "Please enter an integer.");
        typeInto(d.latDegreesEdit(), "47");
        typeInto(d.latMinutesEdit(), "12.5");
        click(d.northSouthButton());
        EXPECT_EQ(d.northSouthButton()->text(), "S");
        typeInto(d.lngDegreesEdit(), "180");
        typeInto(d.lngMinutesEdit(), "0");
        click(d.eastWestButton());
        click(d.eastWestButton());
        EXPECT_EQ(d.eastWestButton()->text(), "E");
        click(d.okButton());
    });
    const CPushpin& p = *pins_.GetAt(0);
    EXPECT_DOUBLE_EQ(p.latitude, -(12.5 / 60.0 + 47) * kDegToRad);
    EXPECT_DOUBLE_EQ(p.longitude, 180 * kDegToRad);
}

TEST_F(PointDialog, OutOfRangeEntriesAreRefusedAndTheDialogStays) {
    const TrackPoint start = at(45, 7);
    run(-1, start, [&](wp2::PointDialog& d) {
        const struct {
            QLineEdit* box;
            const char* text;
            const char* message;
        } wrong[] = {
            {d.latDegreesEdit(), "91", "Please enter an integer between 0 and 90."},
            {d.latDegreesEdit(), "-1", "Please enter an integer between 0 and 90."},
            {d.latDegreesEdit(), "4.5", "Please enter an integer."},
            {d.latMinutesEdit(), "60.01", "Please enter a number between 0 and 60."},
            {d.latMinutesEdit(), "x", "Please enter a number."},
            {d.lngDegreesEdit(), "181", "Please enter an integer between 0 and 180."},
            {d.lngMinutesEdit(), "nan", "Please enter a number between 0 and 60."},
        };
        for (const auto& w : wrong) {
            const QString before = w.box->text();
            typeInto(w.box, w.text);
            click(d.okButton());
            EXPECT_TRUE(d.isVisible()) << w.text;
            ASSERT_FALSE(boxes_.shown.empty());
            EXPECT_EQ(boxes_.shown.back().text, w.message) << w.text;
            EXPECT_EQ(boxes_.shown.back().caption, "Wayplot2");
            EXPECT_EQ(d.focusWidget(), w.box) << w.text;
            EXPECT_EQ(d.pushpin()->latitude, 45 * kDegToRad);
            EXPECT_EQ(toUtf8(d.pushpin()->name), "");
            typeInto(w.box, before);
        }
        typeInto(d.latDegreesEdit(), "90");
        typeInto(d.latMinutesEdit(), "0");
        typeInto(d.lngDegreesEdit(), "0");
        typeInto(d.lngMinutesEdit(), "60");
        click(d.okButton());
    });
    EXPECT_DOUBLE_EQ(pins_.GetAt(0)->latitude, 90 * kDegToRad);
    EXPECT_DOUBLE_EQ(pins_.GetAt(0)->longitude, 1 * kDegToRad);
}

TEST_F(PointDialog, AltitudeIsReadInTheCurrentUnitAndAnEmptyBoxMeansNoAltitude) {
    unitFormatter().setSystem(UnitSystem::US);
    run(-1, at(1, 1, 100.0), [&](wp2::PointDialog& d) {
        EXPECT_EQ(d.altitudeUnit()->text(), "ft");
        typeInto(d.altitudeEdit(), "high");
        click(d.okButton());
        EXPECT_TRUE(d.isVisible());
        ASSERT_EQ(boxes_.shown.size(), 1u);
        EXPECT_EQ(boxes_.shown[0].text, "Invalid altitude value");
        EXPECT_EQ(boxes_.shown[0].icon, MessageIcon::None);
        EXPECT_EQ(d.pushpin()->altitude, 100.0);
        typeInto(d.altitudeEdit(), "1000");
        click(d.okButton());
    });
    EXPECT_DOUBLE_EQ(pins_.GetAt(0)->altitude, 305.0);
    EXPECT_TRUE(pins_.GetAt(0)->state & TrackPointState::ThreeD);

    run(0, TrackPoint(), [](wp2::PointDialog& d) {
        d.altitudeEdit()->clear();
        click(d.okButton());
    });
    const CPushpin& p = *pins_.GetAt(0);
    EXPECT_DOUBLE_EQ(p.altitude, 305.0);
    EXPECT_FALSE(p.state & TrackPointState::ThreeD);
    EXPECT_TRUE(p.state & TrackPointState::FromPosition);
}

TEST_F(PointDialog, EditingShowsThePushpinAndKeepsAnUntouchedPositionExactly) {
    CPushpin* p = addPin(pins_, "Summit", 46.123456789, 7.987654321, 2500.0);
    p->note = u"cairn\r\nlook north";
    p->icon = 5;
    addPin(pins_, "Other", 1, 1);
    const double lat = p->latitude;
    const double lng = p->longitude;
    run(1, TrackPoint(), [](wp2::PointDialog& d) {
        EXPECT_EQ(d.windowTitle(), "");
        EXPECT_EQ(d.nameEdit()->text(), "Summit");
        EXPECT_EQ(d.noteEdit()->toPlainText(), "cairn\nlook north");
        EXPECT_EQ(d.icon(), 5);
        EXPECT_FALSE(d.iconView()->pixmap().isNull());
        d.noteEdit()->appendPlainText("and east");
        click(d.okButton());
    });
    ASSERT_EQ(pins_.GetCount(), 2);
    EXPECT_EQ(p->latitude, lat);
    EXPECT_EQ(p->longitude, lng);
    EXPECT_EQ(p->altitude, 2500.0);
    EXPECT_EQ(p->note, u"cairn\r\nlook north\r\nand east");

    // Cancelling an edit keeps the pushpin.
    run(1, TrackPoint(), [](wp2::PointDialog& d) { click(d.cancelButton()); });
    EXPECT_EQ(pins_.GetCount(), 2);
}

TEST_F(PointDialog, NameCounterFollowsTheLastPrefixedName) {
    EXPECT_EQ(proposedName(), "WPoint_1");
    run(-1, at(1, 1), [](wp2::PointDialog& d) {
        typeInto(d.nameEdit(), "wpoint_41");
        click(d.okButton());
    });
    EXPECT_EQ(storedInt(kPointCounterValue), 42);
    EXPECT_EQ(proposedName(), "WPoint_42");
    run(-1, at(1, 1), [](wp2::PointDialog& d) {
        typeInto(d.nameEdit(), "WPoint_99");
        click(d.okButton());
    });
    EXPECT_EQ(proposedName(), "WPoint_1");
    run(-1, at(1, 1), [](wp2::PointDialog& d) {
        typeInto(d.nameEdit(), "Camp");
        click(d.okButton());
    });
    EXPECT_EQ(proposedName(), "WPoint_1");
}

TEST_F(PointDialog, CounterReadsANumberAsPrintfScanningDoes) {
    EXPECT_EQ(nextPointCounter(u"WPoint_", 7), 7);
    EXPECT_EQ(nextPointCounter(u"WPoint_x3", 7), 7);
    EXPECT_EQ(nextPointCounter(u"WPoint3", 7), 7);
    EXPECT_EQ(nextPointCounter(u"XPoint_3", 7), 7);
    EXPECT_EQ(nextPointCounter(u"WPOINT_ 12 km", 7), 13);
    EXPECT_EQ(nextPointCounter(u"WPoint_5b", 7), 6);
    EXPECT_EQ(nextPointCounter(u"WPoint_98", 7), 99);
    EXPECT_EQ(nextPointCounter(u"WPoint_150", 7), 1);
    // Only ten characters are read, so huge numbers cannot overflow.
    EXPECT_EQ(nextPointCounter(u"WPoint_0000000004999", 7), 5);
    EXPECT_EQ(nextPointCounter(u"WPoint_99999999999999999999", 7), 1);
}

TEST_F(PointDialog, CancelRemovesTheNewPointAndStillWritesTheCounter) {
    addPin(pins_, "Keep", 1, 1);
    registry_.setNumber(kPointCounterValue, 5);
    run(-1, at(2, 2), [&](wp2::PointDialog& d) {
        EXPECT_EQ(pins_.GetCount(), 2);  // made when the dialog opened
        EXPECT_EQ(d.nameEdit()->text(), "WPoint_5");
        registry_.setNumber(kPointCounterValue, 9);  // the dialog's own value goes back
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_EQ(pins_.GetCount(), 1);
    EXPECT_EQ(toUtf8(pins_.GetAt(0)->name), "Keep");
    EXPECT_EQ(storedInt(kPointCounterValue), 5);
}

TEST_F(PointDialog, NewPointTakesTheStartStateAndTheLastIconChosen) {
    TrackPoint start = at(3, 4);
    start.state = TrackPointState::Sats5Plus;
    setLastIconChosen(2);
    run(-1, start, [](wp2::PointDialog& d) {
        EXPECT_EQ(d.icon(), 2);
        whenShown<wp2::IconChooserDialog>([](wp2::IconChooserDialog& c) {
            EXPECT_EQ(c.list()->currentRow(), 2);
            c.list()->setCurrentRow(4);
            click(c.okButton());
        });
        click(d.iconButton());
        EXPECT_EQ(d.icon(), 4);
        EXPECT_EQ(d.pushpin()->icon, 4);
        click(d.okButton());
    });
    EXPECT_EQ(lastIconChosen(), 4);
    EXPECT_EQ(pins_.GetAt(0)->icon, 4);
    EXPECT_TRUE(pins_.GetAt(0)->state & TrackPointState::Sats5Plus);
}

TEST_F(PointDialog, EditingAMissingIndexEndsAtOnce) {
    addPin(pins_, "Only", 1, 1);
    wp2::PointDialog d(pins_, 3, TrackPoint());
    EXPECT_EQ(d.exec(), QDialog::Rejected);
    EXPECT_EQ(pins_.GetCount(), 1);
}

TEST_F(PointDialog, FitsTheScreen) {
    CPushpin* p = addPin(pins_, "Trailhead car park", -33.5, -70.25, 812.0);
    p->note = u"Gate closes at dusk; park by the fence";
    p->icon = 3;
    for (UnitSystem units : {UnitSystem::Metric, UnitSystem::US}) {
        unitFormatter().setSystem(units);
        wp2::PointDialog d(pins_, 0, TrackPoint());
        auto step = whenShown<wp2::PointDialog>([&](wp2::PointDialog& shown) {
            renderScreen(shown, units == UnitSystem::US ? "point_us" : "point_metric");
            click(shown.cancelButton());
        });
        d.exec();
        EXPECT_TRUE(step.ran());
    }
}

}  // namespace
}  // namespace wp2::test
