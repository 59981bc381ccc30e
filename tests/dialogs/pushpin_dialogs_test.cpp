// SPDX-License-Identifier: GPL-3.0-or-later
// The pushpin dialogs: the point dialog (a new pushpin at a position or an
// edited one, degrees / minutes / hemisphere entry and its checks, the
// altitude in the current unit, the icon chooser, the "WPoint_" name counter
// in "WPIdx"), the point selection (names sorted without regard to case, the
// target index) and the Pushpins list (delete with its questions and the
// target, delete all), and the text export's column switches.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <tuple>

#include "core/base/cformat.h"
#include "core/nav/unit_formatter.h"
#include "core/waypoints/pushpin_test_util.h"
#include "dialog_test_env.h"
#include "dialogs/export_format_dialog.h"
#include "dialogs/icon_chooser_dialog.h"
#include "dialogs/point_dialog.h"
#include "dialogs/point_selection_dialog.h"
#include "dialogs/pushpin_icons.h"
#include "dialogs/pushpins_dialog.h"

namespace wp2::test {
namespace {

class PushpinDialogs : public DialogTest {
protected:
    int point(int index, const TrackPoint& start, std::function<void(PointDialog&)> steps) {
        return runShown<PointDialog>(
            [&] { return runPointDialog(nullptr, services_.ui, pins_, index, start); },
            std::move(steps));
    }
    static TrackPoint at(double latDeg, double lonDeg, double altitude = 0.0) {
        TrackPoint p;
        p.latitude = latDeg * kDegToRad;
        p.longitude = lonDeg * kDegToRad;
        p.altitude = altitude;
        return p;
    }
    // A new point named `name` (empty: cancelled); returns the name proposed.
    QString addNamed(const QString& name) {
        QString proposed;
        point(-1, at(1, 1), [&](PointDialog& d) {
            proposed = d.nameEdit()->text();
            typeInto(d.nameEdit(), name);
            click(name.isEmpty() ? d.cancelButton() : d.okButton());
        });
        return proposed;
    }
    static void tapRow(QAbstractItemView& view, const QModelIndex& row, bool twice = false) {
        const QPoint at = view.visualRect(row).center();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at);
        if (twice) {
            QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, at);
        }
    }
    static void tapRow(QTreeWidget& list, int row) { tapRow(list, list.model()->index(row, 1)); }
    static QStringList names(const QTreeWidget& list) {
        QStringList texts;
        for (int i = 0; i < list.topLevelItemCount(); ++i) {
            texts << list.topLevelItem(i)->text(1);
        }
        return texts;
    }
    // Export, Delete and Delete all, enabled or not.
    static std::vector<bool> buttons(const PushpinsDialog& d) {
        return {d.exportButton()->isEnabled(), d.deleteButton()->isEnabled(),
                d.deleteAllButton()->isEnabled()};
    }
    void list(std::function<void(PushpinsDialog&)> steps) {
        runShown<PushpinsDialog>([&] { return runPushpinsDialog(nullptr, services_.ui, pins_); },
                                 std::move(steps));
    }

    Pushpins pins_;
    RecordingMessageBoxes& boxes_ = services_.boxes;
};

TEST_F(PushpinDialogs, ANewPointShowsDegreesMinutesAndHemispheresAndKeepsThePosition) {
    const TrackPoint start = at(-33.5, -70.25, 812.0);
    EXPECT_EQ(
        point(-1, start,
              [](PointDialog& d) {
                  EXPECT_EQ(d.windowTitle(), "New point");
                  const QStringList shown = {
                      d.latDegreesEdit()->text(),   d.latMinutesEdit()->text(),
                      d.northSouthButton()->text(), d.lngDegreesEdit()->text(),
                      d.lngMinutesEdit()->text(),   d.eastWestButton()->text(),
                      d.altitudeEdit()->text(),     d.altitudeUnit()->text()};
                  EXPECT_EQ(shown, (QStringList{"33", "30", "S", "70", "15", "W", "  812", "m"}));
                  click(d.okButton());
              }),
        QDialog::Accepted);
    const Pushpin& p = *pins_.at(0);
    EXPECT_EQ(std::tuple(p.latitude, p.longitude, p.name),
              std::tuple(start.latitude, start.longitude, "WPoint_1"));
    EXPECT_TRUE(p.state & TrackPointState::ThreeD);
}

TEST_F(PushpinDialogs, OutOfRangeEntriesAreRefusedAndTheDialogStays) {
    point(-1, at(45, 7), [&](PointDialog& d) {
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
            {d.altitudeEdit(), "high", "Invalid altitude value"},
        };
        for (const auto& w : wrong) {
            const QString before = w.box->text();
            typeInto(w.box, w.text);
            click(d.okButton());
            EXPECT_TRUE(d.isVisible()) << w.text;
            ASSERT_FALSE(boxes_.shown.empty());
            EXPECT_EQ(boxes_.shown.back().text, w.message) << w.text;
            EXPECT_EQ(d.focusWidget(), w.box) << w.text;
            EXPECT_EQ(d.pushpin()->latitude, 45 * kDegToRad);
            typeInto(w.box, before);
        }
        // A control character pasted into the name would make a file its reader
        // refuses; half of a surrogate pair alone would be lost in UTF-8.
        const std::string nameBefore = d.pushpin()->name;
        for (const char16_t pasted : {u'\x01', u'\xD800'}) {  // no key types them
            d.nameEdit()->setText(QStringLiteral("A") + QChar(pasted) + QStringLiteral("z"));
            click(d.okButton());
            EXPECT_TRUE(d.isVisible());
            EXPECT_EQ(boxes_.shown.back().text,
                      cformat("The point cannot be kept: it holds a text with the character "
                              "U+%04X.",
                              unsigned{pasted}));
            EXPECT_EQ(d.pushpin()->name, nameBefore);
        }
        typeInto(d.nameEdit(), "A");
        typeInto(d.latDegreesEdit(), "90");
        typeInto(d.latMinutesEdit(), "0");
        typeInto(d.lngDegreesEdit(), "0");
        typeInto(d.lngMinutesEdit(), "60");
        click(d.okButton());
    });
    EXPECT_DOUBLE_EQ(pins_.at(0)->latitude, 90 * kDegToRad);
    EXPECT_DOUBLE_EQ(pins_.at(0)->longitude, 1 * kDegToRad);
}

TEST_F(PushpinDialogs, NameCounterFollowsTheLastPrefixedNameAndCancelStillWritesIt) {
    EXPECT_EQ(addNamed("wpoint_41"), "WPoint_1");
    EXPECT_EQ(registry_.number(kPointCounterValue), 42);
    EXPECT_EQ(addNamed("WPoint_99"), "WPoint_42");
    EXPECT_EQ(addNamed("Camp"), "WPoint_1");
    registry_.setNumber(kPointCounterValue, 5);
    EXPECT_EQ(addNamed(""), "WPoint_5");
    EXPECT_EQ(pins_.count(), 3);  // the cancelled new point is gone again
    EXPECT_EQ(registry_.number(kPointCounterValue), 5);

    EXPECT_EQ(nextPointCounter("WPOINT_ 12 km", 7), 13);  // read as printf scanning reads
    EXPECT_EQ(nextPointCounter("WPoint_x3", 7), 7);
    EXPECT_EQ(nextPointCounter("WPoint_0000000004999", 7), 5);  // ten characters at most
}

TEST_F(PushpinDialogs, EditingOpensTheIconChooserOnThePushpinsIconAndCancelKeepsThePushpin) {
    addInIndexOrder(pins_, {"Summit"});
    Pushpin& pin = *pins_.at(0);
    pin.icon = 7;
    pin.note = "cross";
    const auto whole = [&] {
        return std::tuple(pin.name, pin.note, pin.icon, pin.latitude, pin.longitude, pin.altitude,
                          pin.state);
    };
    setLastIconChosen(0);
    const struct {
        int pick;  // the icon picked in the chooser; -1: its OK untouched
        bool ok;   // how the point dialog ends
        int icon;  // the pushpin's icon afterwards
    } rounds[] = {{-1, true, 7}, {2, false, 7}, {2, true, 2}};
    for (const auto& r : rounds) {
        SCOPED_TRACE(&r - rounds);
        const auto before = whole();
        point(0, TrackPoint(), [&](PointDialog& d) {
            auto chooser = whenShown<IconChooserDialog>([&](IconChooserDialog& c) {
                EXPECT_EQ(c.chosenIcon(), pin.icon);
                if (r.pick >= 0) {
                    c.list()->setCurrentRow(r.pick);
                }
                click(c.okButton());
            });
            click(d.iconButton());
            EXPECT_TRUE(chooser.ran());
            click(r.ok ? d.okButton() : d.cancelButton());
        });
        EXPECT_EQ(pin.icon, r.icon);
        if (!r.ok) {
            EXPECT_EQ(whole(), before);
        }
    }
}

TEST_F(PushpinDialogs, PointSelectionSortsWithoutRegardToCaseAndSetsTheTarget) {
    addInIndexOrder(pins_, {"b", "A", "c", "alpha2", "Beta"});
    for (const bool ok : {true, false}) {
        runShown<PointSelectionDialog>(
            [&] { return runPointSelectionDialog(nullptr, pins_); },
            [&](PointSelectionDialog& d) {
                QStringList shown;
                for (int i = 0; i < d.list()->count(); ++i) {
                    shown << d.list()->item(i)->text();
                }
                EXPECT_EQ(shown, (QStringList{"A", "alpha2", "b", "Beta", "c"}));
                tapRow(*d.list(), d.list()->model()->index(ok ? 4 : 3, 0), ok);
                if (!ok) {
                    click(d.cancelButton());
                }
            });
        EXPECT_EQ(pins_.targetIndex(), 2);  // "c" by a double tap; then cancelled
    }
}

TEST_F(PushpinDialogs, DeletingFromTheListKeepsTheTargetOnItsWaypointOrEndsIt) {
    addInIndexOrder(pins_, {"Alpha", "Bravo", "Charlie", "Delta"});
    pins_.at(1)->note = "bridge";
    pins_.setTargetIndex(2);  // Charlie
    boxes_.answers = {MessageResult::Cancel, MessageResult::Ok, MessageResult::Ok};
    list([&](PushpinsDialog& d) {
        EXPECT_EQ(names(*d.list()), (QStringList{"Alpha", "Bravo", "Charlie", "Delta"}));
        EXPECT_EQ(d.list()->topLevelItem(1)->text(2), "bridge");
        EXPECT_FALSE(d.list()->topLevelItem(0)->icon(0).isNull());
        EXPECT_EQ(buttons(d), (std::vector<bool>{true, false, true}));
        tapRow(*d.list(), 1);
        click(d.deleteButton());  // cancelled
        click(d.deleteButton());
        EXPECT_EQ(names(*d.list()), (QStringList{"Alpha", "Charlie", "Delta"}));
        tapRow(*d.list(), 1);  // Charlie, still the target: asked about
        click(d.deleteButton());
        click(d.okButton());
    });
    EXPECT_EQ(namesOf(pins_), (std::vector<std::string>{"Alpha", "Delta"}));
    ASSERT_EQ(boxes_.shown.size(), 3u);
    EXPECT_EQ(boxes_.shown[0].text, "The selected waypoint will be deleted. Are you sure?");
    EXPECT_EQ(boxes_.shown[0].caption, "Delete waypoint");
    EXPECT_EQ(boxes_.shown[2].text,
              "This waypoint is currently used for navigation.\r\nAre you sure you want to "
              "delete it?");

    registry_.setNumber(kPointCounterValue, 17);
    boxes_.answers = {MessageResult::Cancel, MessageResult::Ok};
    list([&](PushpinsDialog& d) {
        click(d.deleteAllButton());
        EXPECT_EQ(pins_.count(), 2);
        click(d.deleteAllButton());
        EXPECT_EQ(buttons(d), std::vector<bool>(3, false));
        click(d.okButton());
    });
    EXPECT_EQ(boxes_.shown.at(3).text, "Delete ALL waypoints?");
    EXPECT_EQ(pins_.count(), 0);
    EXPECT_EQ(registry_.number(kPointCounterValue), 1);  // the name counter starts again
}

// What the list shows: the rows that look selected (selected, or the
// current row of a list in focus), then whether Edit and Delete are enabled.
QString seen(const PushpinsDialog& d) {
    QString out;
    for (int i = 0; i < d.list()->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = d.list()->topLevelItem(i);
        if (row->isSelected() || (row == d.list()->currentItem() && d.list()->hasFocus())) {
            out += QString::number(i);
        }
    }
    return out + (d.editButton()->isEnabled() ? " edit" : "") +
           (d.deleteButton()->isEnabled() ? " delete" : "");
}

TEST_F(PushpinDialogs, EditAndDeleteAreEnabledExactlyWhenARowLooksSelected) {
    list([&](PushpinsDialog& d) {
        EXPECT_EQ(seen(d), "");  // no pushpins: nothing to edit
        click(d.okButton());
    });
    addInIndexOrder(pins_, {"Alpha", "Bravo", "Charlie"});
    boxes_.answers = {MessageResult::Ok};
    list([&](PushpinsDialog& d) {
        EXPECT_EQ(seen(d), "");
        d.list()->setFocus(Qt::TabFocusReason);  // a keyboard user enters the list
        EXPECT_EQ(seen(d), "0 edit delete");
        tapRow(*d.list(), 1);
        auto cancel = whenShown<PointDialog>([](PointDialog& p) { click(p.cancelButton()); });
        click(d.editButton());
        EXPECT_TRUE(cancel.ran());
        EXPECT_EQ(seen(d), "1 edit delete");  // still the row edited
        click(d.deleteButton());
        EXPECT_EQ(seen(d), "");
        click(d.okButton());
    });
    EXPECT_EQ(namesOf(pins_), (std::vector<std::string>{"Alpha", "Charlie"}));
}

TEST_F(PushpinDialogs, ExportFormatStartsWithNameAndPositionAndOkTakesTheSwitches) {
    for (const bool ok : {true, false}) {
        whenShown<ExportFormatDialog>([ok](ExportFormatDialog& d) {
            EXPECT_TRUE(d.nameBox()->isChecked() && d.latitudeBox()->isChecked() &&
                        d.longitudeBox()->isChecked() && !d.noteBox()->isChecked());
            click(d.nameBox());
            click(d.noteBox());
            ok ? click(d.okButton()) : QTest::keyClick(&d, Qt::Key_Escape);
        });
        const std::optional<ExportFields> f = runExportFormatDialog(nullptr);
        EXPECT_EQ(f && !f->name && f->latitude && f->longitude && f->note, ok);
    }
}

}  // namespace
}  // namespace wp2::test
