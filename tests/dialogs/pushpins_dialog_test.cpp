// The Pushpins dialog: the rows, the button states, deleting with its two
// questions and the target index, delete all, edit, export and import.

#include "dialogs/pushpins_dialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "core/base/paths.h"
#include "core/waypoints/pushpin_test_util.h"
#include "dialog_test_env.h"
#include "dialogs/export_format_dialog.h"
#include "dialogs/point_dialog.h"

namespace wp2::test {
namespace {

class PushpinsDialog : public DialogTest {
protected:
    void SetUp() override {
        // Index order: Alpha 0, Bravo 1, Charlie 2, Delta 3.
        for (const char* name : {"Delta", "Charlie", "Bravo", "Alpha"}) {
            addPin(pins_, name, 50.0 + name[0] - 'A', 8.0);
        }
        pins_.GetAt(1)->note = u"bridge";
    }

    void run(std::function<void(wp2::PushpinsDialog&)> steps) {
        auto step = whenShown<wp2::PushpinsDialog>(std::move(steps));
        runPushpinsDialog(nullptr, pins_);
        EXPECT_TRUE(step.ran());
    }
    static QStringList names(const QTreeWidget& list) {
        QStringList texts;
        for (int i = 0; i < list.topLevelItemCount(); ++i) {
            texts << list.topLevelItem(i)->text(1);
        }
        return texts;
    }
    static void select(QTreeWidget& list, int row) {
        const QRect r = list.visualItemRect(list.topLevelItem(row));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    }

    CPushpins pins_;
    RecordingMessageBoxes boxes_;
    ScriptedChooser chooser_;
};

TEST_F(PushpinsDialog, RowsFollowTheIndexOrderAndButtonsTheSelection) {
    run([](wp2::PushpinsDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Pushpins");
        EXPECT_EQ(names(*d.list()), (QStringList{"Alpha", "Bravo", "Charlie", "Delta"}));
        EXPECT_EQ(d.list()->topLevelItem(1)->text(2), "bridge");
        EXPECT_FALSE(d.list()->topLevelItem(0)->icon(0).isNull());
        EXPECT_EQ(d.list()->headerItem()->text(1), "Name");
        EXPECT_EQ(d.list()->headerItem()->text(2), "Note");
        EXPECT_TRUE(d.editButton()->isEnabled());
        EXPECT_FALSE(d.deleteButton()->isEnabled());
        EXPECT_TRUE(d.exportButton()->isEnabled());
        EXPECT_TRUE(d.deleteAllButton()->isEnabled());
        select(*d.list(), 2);
        EXPECT_TRUE(d.deleteButton()->isEnabled());
        d.list()->clearSelection();
        EXPECT_FALSE(d.deleteButton()->isEnabled());
        EXPECT_FALSE(d.editButton()->isEnabled());
        click(d.okButton());
    });
}

TEST_F(PushpinsDialog, DeletingKeepsTheTargetOnItsWaypointOrEndsIt) {
    pins_.SetTargetIndex(2);  // Charlie
    boxes_.answers = {MessageResult::Cancel, MessageResult::Ok, MessageResult::Ok};
    run([&](wp2::PushpinsDialog& d) {
        select(*d.list(), 1);
        click(d.deleteButton());  // cancelled
        EXPECT_EQ(pins_.GetCount(), 4);
        click(d.deleteButton());
        EXPECT_EQ(names(*d.list()), (QStringList{"Alpha", "Charlie", "Delta"}));
        EXPECT_EQ(pins_.GetTargetIndex(), 1);
        EXPECT_EQ(toUtf8(pins_.GetAt(1)->name), "Charlie");

        select(*d.list(), 1);
        click(d.deleteButton());
        EXPECT_EQ(pins_.GetTargetIndex(), -1);
        click(d.okButton());
    });
    EXPECT_EQ(namesOf(pins_), (std::vector<std::string>{"Alpha", "Delta"}));
    ASSERT_EQ(boxes_.shown.size(), 3u);
    EXPECT_EQ(boxes_.shown[0].text, "The selected waypoint wiil be deleted. Are you sure?");
    EXPECT_EQ(boxes_.shown[0].caption, "Delete waypoint");
    EXPECT_EQ(boxes_.shown[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(boxes_.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(boxes_.shown[2].text,
              "This waypoint is currently used for navigation.\r\nAre you sure you want to "
              "delete it?");
    EXPECT_EQ(boxes_.shown[2].caption, "Delete selected waypoint");

    // Deleting the last row leaves nothing to export, delete or edit.
    run([](wp2::PushpinsDialog& d) {
        for (int i = 0; i < 2; ++i) {
            select(*d.list(), 0);
            click(d.deleteButton());
        }
        EXPECT_EQ(d.list()->topLevelItemCount(), 0);
        EXPECT_FALSE(d.exportButton()->isEnabled());
        EXPECT_FALSE(d.deleteButton()->isEnabled());
        EXPECT_FALSE(d.editButton()->isEnabled());
        click(d.okButton());
    });
    EXPECT_EQ(pins_.GetCount(), 0);
}

TEST_F(PushpinsDialog, DeleteAllEmptiesEverythingAndRestartsTheNameCounter) {
    registry_.setNumber(kPointCounterValue, 17);
    pins_.SetTargetIndex(3);
    boxes_.answers = {MessageResult::Cancel, MessageResult::Ok};
    run([&](wp2::PushpinsDialog& d) {
        click(d.deleteAllButton());
        EXPECT_EQ(pins_.GetCount(), 4);
        EXPECT_EQ(storedInt(kPointCounterValue), 17);
        click(d.deleteAllButton());
        EXPECT_EQ(d.list()->topLevelItemCount(), 0);
        EXPECT_FALSE(d.deleteAllButton()->isEnabled());
        EXPECT_FALSE(d.exportButton()->isEnabled());
        EXPECT_FALSE(d.deleteButton()->isEnabled());
        click(d.okButton());
    });
    EXPECT_EQ(boxes_.shown.at(0).text, "Delete ALL waypoints?  ");
    EXPECT_EQ(boxes_.shown.at(0).caption, "Delete all waypoints.");
    EXPECT_EQ(pins_.GetCount(), 0);
    EXPECT_EQ(pins_.GetTargetIndex(), -1);
    EXPECT_EQ(storedInt(kPointCounterValue), 1);

    wp2::PointDialog next(pins_, -1, TrackPoint());
    auto step = whenShown<wp2::PointDialog>([](wp2::PointDialog& p) {
        EXPECT_EQ(p.nameEdit()->text(), "WPoint_1");
        click(p.cancelButton());
    });
    next.exec();
    EXPECT_TRUE(step.ran());
}

TEST_F(PushpinsDialog, EditOpensThePointDialogOnTheSelectedRowAndRefreshes) {
    run([](wp2::PushpinsDialog& d) {
        click(d.editButton());  // nothing selected: nothing happens
        select(*d.list(), 2);
        whenShown<wp2::PointDialog>([](wp2::PointDialog& p) {
            EXPECT_EQ(p.nameEdit()->text(), "Charlie");
            typeInto(p.nameEdit(), "Camp");
            click(p.okButton());
        });
        click(d.editButton());
        EXPECT_EQ(names(*d.list()), (QStringList{"Alpha", "Bravo", "Camp", "Delta"}));
        click(d.okButton());
    });
    EXPECT_EQ(toUtf8(pins_.GetAt(2)->name), "Camp");
    EXPECT_EQ(pins_.GetCount(), 4);
}

TEST_F(PushpinsDialog, TextExportAsksForTheColumns) {
    const std::string out = root_.file("points.txt");
    chooser_.answers = {out, out};
    run([](wp2::PushpinsDialog& d) {
        whenShown<wp2::ExportFormatDialog>([](wp2::ExportFormatDialog& f) {
            click(f.longitudeBox());
            click(f.okButton());
        });
        click(d.exportButton());
        // Closing the column dialog without "Ok" writes nothing.
        whenShown<wp2::ExportFormatDialog>(
            [](wp2::ExportFormatDialog& f) { QTest::keyClick(&f, Qt::Key_Escape); });
        click(d.exportButton());
        click(d.okButton());
    });
    ASSERT_EQ(chooser_.asked.size(), 2u);
    EXPECT_TRUE(chooser_.asked[0].saving);
    EXPECT_EQ(chooser_.asked[0].request.filter,
              "ESRI Shape file (*.shp)|*.shp|Text file (*.txt)|*.txt|GPX 1.1 (*.gpx)|*.gpx||");
    EXPECT_EQ(chooser_.asked[0].request.defaultExtension, "txt");
    EXPECT_EQ(chooser_.asked[0].request.proposedName, "Pushpins_Export");
    EXPECT_EQ(readFile(out),
              "Name;Latitude\r\nAlpha;50.000000\r\nBravo;51.000000\r\nCharlie;52.000000\r\n"
              "Delta;53.000000\r\n");
}

TEST_F(PushpinsDialog, GpxExportReadsBackThroughImportWhichTellsWhatWasNotAdded) {
    const std::string out = root_.file("points.gpx");
    chooser_.answers = {out, out};
    run([](wp2::PushpinsDialog& d) {
        click(d.exportButton());
        click(d.importButton());
        click(d.okButton());
    });
    EXPECT_NE(readFile(out).find("<name>Delta</name>"), std::string::npos);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_NE(boxes_.shown[0].text.find("0 of 4 waypoints added; 4 lay within 5 m"),
              std::string::npos)
        << boxes_.shown[0].text;
}

TEST_F(PushpinsDialog, ShapefileExportWritesItsFilesWithoutQuestions) {
    chooser_.answers = {root_.file("points.shp")};
    run([](wp2::PushpinsDialog& d) {
        click(d.exportButton());
        click(d.okButton());
    });
    EXPECT_TRUE(fileExists(root_.file("points.shp")));
    EXPECT_TRUE(fileExists(root_.file("points.dbf")));
    EXPECT_EQ(readBytes(root_.file("points.shx")).size(), 100u + 8u * 4u);
}

TEST_F(PushpinsDialog, ImportAddsInFrontAndEnablesTheButtons) {
    CPushpins none;
    const std::string csv = root_.file("cafes.csv");
    writeFile(csv, "51.5,-0.12,Cafe,12,corner\n48.85,2.35\n");
    chooser_.answers = {csv, csv};
    auto step = whenShown<wp2::PushpinsDialog>([](wp2::PushpinsDialog& d) {
        EXPECT_FALSE(d.exportButton()->isEnabled());
        click(d.importButton());
        EXPECT_EQ(names(*d.list()), (QStringList{"Wpt_1", "Cafe"}));
        EXPECT_TRUE(d.exportButton()->isEnabled());
        EXPECT_TRUE(d.deleteAllButton()->isEnabled());
        click(d.importButton());  // the same waypoints again: nothing added
        EXPECT_EQ(d.list()->topLevelItemCount(), 2);
        click(d.okButton());
    });
    runPushpinsDialog(nullptr, none);
    EXPECT_TRUE(step.ran());
    EXPECT_EQ(none.GetCount(), 2);
    EXPECT_FALSE(chooser_.asked.at(0).saving);
}

TEST_F(PushpinsDialog, FitsTheScreen) {
    pins_.GetAt(0)->icon = 2;
    wp2::PushpinsDialog d(pins_);
    renderScreen(d, "pushpins");
}

}  // namespace
}  // namespace wp2::test
