// The track options dialog: the map switches stored in "TrackOpt2" however
// the dialog closes, and Load / Save / Clear acting on the track at once.

#include "dialogs/track_options_dialog.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "core/track/track_log.h"
#include "dialog_test_env.h"
#include "dialogs/qt_file_chooser.h"

namespace wp2::test {
namespace {

class TrackOptionsDialog : public DialogTest {
protected:
    void SetUp() override {
        registry_.setNumber(kTrackStateValue,
                            TrackState::Default & ~TrackState::AutoLoad & ~TrackState::AutoSave);
        track_.emplace();
        for (int i = 0; i < 5; ++i) {
            TrackPoint p = fixAt(200.0 * i, 0.0, 20.0 * i);
            track_->addFix(p);
        }
        ASSERT_GE(track_->count(), 3);
    }

    TrackMapOptions run(std::function<void(wp2::TrackOptionsDialog&)> steps) {
        auto step = whenShown<wp2::TrackOptionsDialog>(std::move(steps));
        const TrackMapOptions result = runTrackOptionsDialog(nullptr, *track_);
        EXPECT_TRUE(step.ran());
        return result;
    }

    std::optional<TrackLog> track_;
};

TEST_F(TrackOptionsDialog, SwitchesFollowTheStoredValueAndOnlyOkChangesThem) {
    // The first opening drags without rotating, and that is stored however it closes.
    TrackMapOptions r = run([](wp2::TrackOptionsDialog& d) {
        EXPECT_FALSE(d.rotateBox()->isChecked());
        EXPECT_TRUE(d.dragBox()->isChecked());
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_EQ(r, (TrackMapOptions{false, true}));
    EXPECT_EQ(storedInt(kTrackMapOptionsValue), 1);

    registry_.setNumber(kTrackMapOptionsValue, 3);
    r = run([](wp2::TrackOptionsDialog& d) {
        EXPECT_TRUE(d.rotateBox()->isChecked());
        EXPECT_TRUE(d.dragBox()->isChecked());
        click(d.rotateBox());
        click(d.dragBox());
        click(d.cancelButton());
    });
    EXPECT_EQ(r, (TrackMapOptions{true, true}));
    EXPECT_EQ(storedInt(kTrackMapOptionsValue), 3);

    r = run([](wp2::TrackOptionsDialog& d) {
        click(d.rotateBox());
        click(d.dragBox());
        click(d.okButton());
    });
    EXPECT_EQ(r, (TrackMapOptions{false, false}));
    EXPECT_EQ(storedInt(kTrackMapOptionsValue), 0);

    r = run([](wp2::TrackOptionsDialog& d) {
        EXPECT_FALSE(d.rotateBox()->isChecked());
        EXPECT_FALSE(d.dragBox()->isChecked());
        click(d.rotateBox());
        click(d.okButton());
    });
    EXPECT_EQ(r, (TrackMapOptions{true, false}));
    EXPECT_EQ(storedInt(kTrackMapOptionsValue), 2);
}

TEST_F(TrackOptionsDialog, ClearEmptiesTheTrackAtOnceWithoutAQuestion) {
    RecordingMessageBoxes boxes;
    registry_.setNumber(kTrackMapOptionsValue, 2);
    const TrackMapOptions r = run([](wp2::TrackOptionsDialog& d) {
        click(d.dragBox());  // not taken: only OK reads the boxes
        click(d.clearButton());
    });
    EXPECT_EQ(track_->count(), 0);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(r, (TrackMapOptions{true, false}));
    EXPECT_EQ(storedInt(kTrackMapOptionsValue), 2);
}

class WithFileDialogs : public TrackOptionsDialog {
protected:
    void SetUp() override {
        TrackOptionsDialog::SetUp();
        setFileChooser(&chooser_);
    }
    void TearDown() override { setFileChooser(nullptr); }

    QtFileChooser chooser_;
};

TEST_F(WithFileDialogs, LoadCancelledInTheFileDialogLeavesTheTrack) {
    const int before = track_->count();
    bool fileDialogSeen = false;
    run([&](wp2::TrackOptionsDialog& d) {
        whenShown<QFileDialog>([&](QFileDialog& f) {
            fileDialogSeen = true;
            QTest::keyClick(&f, Qt::Key_Escape);
        });
        click(d.loadButton());
    });
    EXPECT_TRUE(fileDialogSeen);
    EXPECT_EQ(track_->count(), before);
    EXPECT_EQ(track_->currentFileName, "Track");
}

TEST_F(WithFileDialogs, SaveAndLoadGoThroughTheFileDialog) {
    RecordingMessageBoxes boxes;  // answers the create question with Yes
    const int saved = track_->count();
    run([&](wp2::TrackOptionsDialog& d) {
        whenShown<QFileDialog>([&](QFileDialog& f) {
            auto* name = f.findChild<QLineEdit*>("fileNameEdit");
            EXPECT_EQ(name->text(), "Track");
            typeInto(name, "walk");
            QTest::keyClick(name, Qt::Key_Return);
        });
        click(d.saveButton());
    });
    const std::string file = root_.path() + "/My Documents/walk.atk";
    EXPECT_EQ(track_->currentFileName, file);
    EXPECT_EQ(readBytes(file).size(), 24u + 64u * static_cast<unsigned>(saved));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find("walk.atk"), std::string::npos);

    track_->clear();
    run([&](wp2::TrackOptionsDialog& d) {
        whenShown<QFileDialog>([&](QFileDialog& f) {
            auto* name = f.findChild<QLineEdit*>("fileNameEdit");
            EXPECT_EQ(name->text(), "walk.atk");
            QTest::keyClick(name, Qt::Key_Return);
        });
        click(d.loadButton());
    });
    EXPECT_EQ(track_->count(), saved);
}

TEST_F(WithFileDialogs, SaveAndLoadOfferGpx) {
    RecordingMessageBoxes boxes;
    const int saved = track_->count();
    for (QPushButton* (wp2::TrackOptionsDialog::*button)() const :
         {&wp2::TrackOptionsDialog::saveButton, &wp2::TrackOptionsDialog::loadButton}) {
        run([&](wp2::TrackOptionsDialog& d) {
            whenShown<QFileDialog>([&](QFileDialog& f) {
                EXPECT_TRUE(f.nameFilters().join("|").contains("GPX 1.1 (*.gpx)"));
                typeInto(f.findChild<QLineEdit*>("fileNameEdit"), "walk.gpx");
                QTest::keyClick(f.findChild<QLineEdit*>("fileNameEdit"), Qt::Key_Return);
            });
            click((d.*button)());
        });
        if (button == &wp2::TrackOptionsDialog::saveButton) {
            EXPECT_NE(readFile(root_.path() + "/My Documents/walk.gpx").find("<trkseg>"),
                      std::string::npos);
            track_->clear();
        }
    }
    EXPECT_EQ(track_->count(), saved);
}

TEST_F(TrackOptionsDialog, FitsTheScreen) {
    wp2::TrackOptionsDialog d(*track_, {true, false});
    renderScreen(d, "track_options");
}

}  // namespace
}  // namespace wp2::test
