// SPDX-License-Identifier: GPL-3.0-or-later
// GPX in the pushpin list's export and import; the track options dialog, whose
// Save and Load offer GPX beside the track file, and its base map choice.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "core/maps/tile_source.h"
#include "core/track/track_log.h"
#include "core/waypoints/pushpin_test_util.h"
#include "dialog_test_env.h"
#include "dialogs/pushpins_dialog.h"
#include "dialogs/track_options_dialog.h"

namespace wp2::test {
namespace {

class GpxDialogChoices : public DialogTest {};

TEST_F(GpxDialogChoices, PushpinGpxExportReadsBackThroughImportWhichTellsWhatWasNotAdded) {
    Pushpins pins;
    for (const char* name : {"Delta", "Charlie", "Bravo", "Alpha"}) {
        addPin(pins, name, 50.0 + name[0] - 'A', 8.0);
    }
    RecordingMessageBoxes& boxes = services_.boxes;
    ScriptedChooser& chooser = services_.files;
    const std::string out = root_.file("points.gpx");
    chooser.answers = {out, out};
    auto step = whenShown<PushpinsDialog>([](PushpinsDialog& d) {
        click(d.exportButton());
        click(d.importButton());
        click(d.okButton());
    });
    runPushpinsDialog(nullptr, services_.ui, pins);
    EXPECT_TRUE(step.ran());
    EXPECT_EQ(chooser.asked.at(0).request.filter,
              "ESRI Shape file (*.shp)|*.shp|Text file (*.txt)|*.txt|GPX 1.1 (*.gpx)|*.gpx||");
    EXPECT_NE(readFile(out).find("<name>Delta</name>"), std::string::npos);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find("0 of 4 waypoints added; 4 lay within 5 m"),
              std::string::npos)
        << boxes.shown[0].text;
}

TEST_F(GpxDialogChoices, TrackOptionsSwitchesAndTrackFileCommands) {
    registry_.setNumber(kTrackStateValue,
                        TrackState::Default & ~TrackState::AutoLoad & ~TrackState::AutoSave);
    TrackLog track;
    for (int i = 0; i < 5; ++i) {
        TrackPoint p = fixAt(200.0 * i, 0.0, 20.0 * i);
        track.addFix(p);
    }
    // Each command acts at once and closes the dialog; switches flipped before
    // it are not kept. Save and Load offer the track file and GPX.
    ScriptedChooser& chooser = services_.files;
    std::string counts;
    for (const std::string step :
         {"save walk.gpx", "save walk.atk", "clear", "load walk.gpx", "clear", "load walk.atk"}) {
        chooser.answers = {root_.file(step.substr(5))};
        whenShown<TrackOptionsDialog>([&](TrackOptionsDialog& d) {
            click(d.rotateBox());
            click(step[0] == 's'   ? d.saveButton()
                  : step[0] == 'l' ? d.loadButton()
                                   : d.clearButton());
        });
        EXPECT_EQ(runTrackOptionsDialog(nullptr, services_.ui, track),
                  (TrackMapOptions{false, true, {}}));
        counts += std::to_string(track.count());
    }
    EXPECT_EQ(counts, "550505");
    EXPECT_EQ(chooser.asked.size(), 4u);
    for (const auto& asked : chooser.asked) {
        EXPECT_EQ(asked.request.filter, "Track (*.atk)|*.atk|GPX 1.1 (*.gpx)|*.gpx||");
    }
    EXPECT_EQ(registry_.number(kTrackMapOptionsValue), 1);  // drag only, as it was

    // The switches: OK keeps what they show, Cancel what was stored.
    for (const bool ok : {true, false}) {
        whenShown<TrackOptionsDialog>([&](TrackOptionsDialog& d) {
            EXPECT_EQ(d.rotateBox()->isChecked(), !ok);
            EXPECT_EQ(d.dragBox()->isChecked(), ok);
            click(d.rotateBox());
            click(d.dragBox());
            click(ok ? d.okButton() : d.cancelButton());
        });
        EXPECT_EQ(runTrackOptionsDialog(nullptr, services_.ui, track),
                  (TrackMapOptions{true, false, {}}));
        EXPECT_EQ(registry_.number(kTrackMapOptionsValue), 2);
    }
}

TEST_F(GpxDialogChoices, TrackOptionsChooseTheBaseMapByKindAndPlace) {
    TrackLog track;
    ScriptedChooser& chooser = services_.files;
    const std::string file = root_.file("city.mbtiles");
    chooser.answers = {file};
    const std::string server = "https://tiles.example/{z}/{x}/{y}.png";
    struct Row {
        std::string given;
        int kind;
        std::optional<std::string> typed;
        bool browse;
        bool ok;
        std::string chosen;
    };
    const std::vector<Row> rows = {
        {"", 1, std::nullopt, true, true, file},                     // Map file, "..."
        {"", 3, "  " + server + " ", false, true, server},           // Tile server, typed
        {server, 0, std::nullopt, false, true, ""},                  // None
        {server, 1, "/elsewhere.mbtiles", false, false, server},     // Cancel
        {root_.path(), 2, std::nullopt, false, true, root_.path()},  // folder kept
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.chosen);
        whenShown<TrackOptionsDialog>([&](TrackOptionsDialog& d) {
            EXPECT_EQ(d.baseMapKind()->currentIndex(), static_cast<int>(mapSourceKind(row.given)));
            EXPECT_EQ(d.baseMapEdit()->text().toStdString(), row.given);
            d.baseMapKind()->setCurrentIndex(row.kind);
            EXPECT_EQ(d.browseButton()->isEnabled(), row.kind == 1 || row.kind == 2);
            EXPECT_EQ(d.baseMapEdit()->isEnabled(), row.kind != 0);
            if (row.typed) {
                d.baseMapEdit()->setText(QString::fromStdString(*row.typed));
            }
            if (row.browse) {
                click(d.browseButton());
            }
            click(row.ok ? d.okButton() : d.cancelButton());
        });
        EXPECT_EQ(runTrackOptionsDialog(nullptr, services_.ui, track, row.given).baseMap,
                  row.chosen);
    }
    ASSERT_EQ(chooser.asked.size(), 1u);
    EXPECT_EQ(chooser.asked[0].request.filter, "MBTiles map (*.mbtiles)|*.mbtiles||");
}

}  // namespace
}  // namespace wp2::test
