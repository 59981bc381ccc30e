// GPX in the pushpin list's export and import and in the track options' Save
// and Load.

#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "core/track/track_log.h"
#include "core/waypoints/pushpin_test_util.h"
#include "dialog_test_env.h"
#include "dialogs/pushpins_dialog.h"
#include "dialogs/qt_file_chooser.h"
#include "dialogs/track_options_dialog.h"

namespace wp2::test {
namespace {

class GpxDialogChoices : public DialogTest {};

TEST_F(GpxDialogChoices, PushpinGpxExportReadsBackThroughImportWhichTellsWhatWasNotAdded) {
    CPushpins pins;
    for (const char* name : {"Delta", "Charlie", "Bravo", "Alpha"}) {
        addPin(pins, name, 50.0 + name[0] - 'A', 8.0);
    }
    RecordingMessageBoxes boxes;
    ScriptedChooser chooser;
    const std::string out = root_.file("points.gpx");
    chooser.answers = {out, out};
    auto step = whenShown<PushpinsDialog>([](PushpinsDialog& d) {
        click(d.exportButton());
        click(d.importButton());
        click(d.okButton());
    });
    runPushpinsDialog(nullptr, pins);
    EXPECT_TRUE(step.ran());
    EXPECT_EQ(chooser.asked.at(0).request.filter,
              "ESRI Shape file (*.shp)|*.shp|Text file (*.txt)|*.txt|GPX 1.1 (*.gpx)|*.gpx||");
    EXPECT_NE(readFile(out).find("<name>Delta</name>"), std::string::npos);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find("0 of 4 waypoints added; 4 lay within 5 m"),
              std::string::npos)
        << boxes.shown[0].text;
}

TEST_F(GpxDialogChoices, TrackSaveAndLoadOfferGpx) {
    registry_.setNumber(kTrackStateValue,
                        TrackState::Default & ~TrackState::AutoLoad & ~TrackState::AutoSave);
    TrackLog track;
    for (int i = 0; i < 5; ++i) {
        TrackPoint p = fixAt(200.0 * i, 0.0, 20.0 * i);
        track.addFix(p);
    }
    const int saved = track.count();
    QtFileChooser files;
    setFileChooser(&files);
    RecordingMessageBoxes boxes;
    for (auto button : {&TrackOptionsDialog::saveButton, &TrackOptionsDialog::loadButton}) {
        auto step = whenShown<TrackOptionsDialog>([&](TrackOptionsDialog& d) {
            whenShown<QFileDialog>([&](QFileDialog& f) {
                EXPECT_TRUE(f.nameFilters().join("|").contains("GPX 1.1 (*.gpx)"));
                typeInto(f.findChild<QLineEdit*>("fileNameEdit"), "walk.gpx");
                QTest::keyClick(f.findChild<QLineEdit*>("fileNameEdit"), Qt::Key_Return);
            });
            click((d.*button)());
        });
        runTrackOptionsDialog(nullptr, track);
        EXPECT_TRUE(step.ran());
        EXPECT_EQ(track.count(), saved);
        track.clear();
    }
    setFileChooser(nullptr);
}

}  // namespace
}  // namespace wp2::test
