// The Sound options dialog: the event and sound lists, the names it keeps in
// memory and writes on "Ok", Play, the silent switch and the overspeed limit
// in the current speed unit.

#include "dialogs/sound_options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "core/base/paths.h"
#include "core/nav/unit_formatter.h"
#include "core/settings/creg_store.h"
#include "core/sound/recording_sound_player.h"
#include "core/sound/sound_settings.h"
#include "dialog_test_env.h"

namespace wp2::test {
namespace {

class SoundOptionsDialog : public DialogTest {
protected:
    void SetUp() override {
        Paths::makeDirs(root_.file("Windows"));
        for (const char* f : {"Chimes.wav", "alarm1.wav", "Ding.WAV", "notes.txt"}) {
            writeFile(root_.file(std::string("Windows/") + f), "RIFF");
        }
        store_.WriteText("SndGpsOn", "ding.wav");
        store_.WriteText("SndNoFix", "Gone.wav");
        formatter_.setSystem(UnitSystem::Metric);
        settings_.init(&store_, &formatter_);
    }

    int run(std::function<void(wp2::SoundOptionsDialog&)> steps) {
        auto step = whenShown<wp2::SoundOptionsDialog>(std::move(steps));
        const int result = dialog_.exec();
        EXPECT_TRUE(step.ran());
        return result;
    }
    std::string stored(const char* name) {
        std::string text;
        store_.ReadText(name, text);
        return text;
    }
    static void pickSound(QComboBox* list, const QString& text) {
        const int i = list->findText(text);
        ASSERT_GE(i, 0) << text.toStdString();
        list->setCurrentIndex(i);
        emit list->activated(i);
    }

    CRegStore store_;
    UnitFormatter formatter_;
    SoundSettings settings_;
    RecordingSoundPlayer player_;
    RecordingMessageBoxes boxes_;
    wp2::SoundOptionsDialog dialog_{settings_, &player_};
};

TEST_F(SoundOptionsDialog, ListsTheEventsAndTheWaveFilesAndShowsTheStoredChoice) {
    run([](wp2::SoundOptionsDialog& d) {
        QStringList events;
        for (int i = 0; i < d.eventList()->count(); ++i) {
            events << d.eventList()->item(i)->text();
        }
        EXPECT_EQ(events, (QStringList{"GPS Receiver On", "GPS Receiver Off", "Position Calculated",
                                       "Signal Lost", "Overspeed"}));
        EXPECT_EQ(d.eventList()->currentRow(), 0);
        QStringList sounds;
        for (int i = 0; i < d.soundList()->count(); ++i) {
            sounds << d.soundList()->itemText(i);
        }
        EXPECT_EQ(sounds, (QStringList{"(None)", "alarm1.wav", "Chimes.wav", "Ding.WAV"}));
        EXPECT_EQ(d.soundList()->currentText(), "Ding.WAV");  // stored as "ding.wav"
        // A stored name that is not in the folder selects the first entry.
        d.eventList()->setCurrentRow(3);
        EXPECT_EQ(d.soundList()->currentIndex(), 0);
        click(d.okButton());
    });
}

TEST_F(SoundOptionsDialog, PickedSoundsApplyAtOnceAndOkWritesThem) {
    run([&](wp2::SoundOptionsDialog& d) {
        d.eventList()->setCurrentRow(4);
        pickSound(d.soundList(), "Chimes.wav");
        EXPECT_EQ(settings_.name(SoundEvent::Overspeed), "Chimes.wav");
        d.eventList()->setCurrentRow(0);
        pickSound(d.soundList(), "(None)");
        click(d.okButton());
    });
    EXPECT_EQ(stored("SndOverspeed"), "Chimes.wav");
    EXPECT_EQ(stored("SndGpsOn"), "(None)");
    EXPECT_FALSE(settings_.hasSound(SoundEvent::GpsOn));
}

TEST_F(SoundOptionsDialog, ClosingWithoutOkKeepsThePickOnlyUntilTheNextOpening) {
    run([&](wp2::SoundOptionsDialog& d) {
        d.eventList()->setCurrentRow(1);
        pickSound(d.soundList(), "alarm1.wav");
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_EQ(settings_.name(SoundEvent::GpsOff), "alarm1.wav");
    EXPECT_EQ(stored("SndGpsOff"), "");
    run([&](wp2::SoundOptionsDialog& d) {
        EXPECT_EQ(settings_.name(SoundEvent::GpsOff), "");
        d.eventList()->setCurrentRow(1);
        EXPECT_EQ(d.soundList()->currentIndex(), 0);
        QTest::keyClick(&d, Qt::Key_Escape);
    });
}

TEST_F(SoundOptionsDialog, LimitIsShownAndReadInTheCurrentUnit) {
    run([](wp2::SoundOptionsDialog& d) {
        EXPECT_EQ(d.limitEdit()->text().trimmed(), "40.3");
        EXPECT_EQ(d.unitLabel()->text(), "kmh");
        click(d.okButton());
    });
    EXPECT_EQ(settings_.overspeedLimit(), 11.2);  // untouched text: the stored value exactly

    run([](wp2::SoundOptionsDialog& d) {
        typeInto(d.limitEdit(), "50");
        click(d.okButton());
    });
    EXPECT_DOUBLE_EQ(settings_.overspeedLimit(), 50.0 / 3.6);

    run([](wp2::SoundOptionsDialog& d) {
        typeInto(d.limitEdit(), "fast");
        click(d.okButton());
    });
    EXPECT_DOUBLE_EQ(settings_.overspeedLimit(), 50.0 / 3.6);
    EXPECT_TRUE(boxes_.shown.empty());

    formatter_.setSystem(UnitSystem::Nautical);
    run([](wp2::SoundOptionsDialog& d) {
        EXPECT_EQ(d.unitLabel()->text(), "knot");
        QTest::keyClick(&d, Qt::Key_Escape);
    });
}

TEST_F(SoundOptionsDialog, SilentIsWrittenByOkOnly) {
    run([](wp2::SoundOptionsDialog& d) {
        EXPECT_FALSE(d.silentBox()->isChecked());
        click(d.silentBox());
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_EQ(settings_.silent(), 0);
    run([](wp2::SoundOptionsDialog& d) {
        EXPECT_FALSE(d.silentBox()->isChecked());
        click(d.silentBox());
        click(d.okButton());
    });
    EXPECT_EQ(settings_.silent(), 1);
    EXPECT_EQ(storedInt("SndSilent"), 1);
}

TEST_F(SoundOptionsDialog, PlayPlaysTheSelectedFileAndSaysWhenItCannot) {
    run([&](wp2::SoundOptionsDialog& d) {
        pickSound(d.soundList(), "(None)");
        click(d.playButton());
        EXPECT_TRUE(player_.played.empty());
        pickSound(d.soundList(), "Chimes.wav");
        click(d.playButton());
        ASSERT_EQ(player_.played.size(), 1u);
        EXPECT_EQ(player_.played[0], root_.file("Windows/Chimes.wav"));
        EXPECT_EQ(player_.lastTimeLimitMs, kPlayTimeLimitMs);
        EXPECT_TRUE(boxes_.shown.empty());
        player_.syncResult = false;
        click(d.playButton());
        ASSERT_EQ(boxes_.shown.size(), 1u);
        EXPECT_EQ(boxes_.shown[0].text, "Can't play selected sound file.");
        EXPECT_EQ(boxes_.shown[0].icon, MessageIcon::Stop);
        EXPECT_TRUE(d.isVisible());
        click(d.okButton());
    });
}

TEST_F(SoundOptionsDialog, WithoutWaveFilesOnlyNoneIsOffered) {
    std::filesystem::remove_all(root_.file("Windows"));
    run([](wp2::SoundOptionsDialog& d) {
        ASSERT_EQ(d.soundList()->count(), 1);
        EXPECT_EQ(d.soundList()->itemText(0), "(None)");
        click(d.okButton());
    });
}

TEST_F(SoundOptionsDialog, FitsTheScreen) {
    auto step = whenShown<wp2::SoundOptionsDialog>([](wp2::SoundOptionsDialog& d) {
        renderScreen(d, "sound_options");
        click(d.okButton());
    });
    dialog_.exec();
    EXPECT_TRUE(step.ran());
}

}  // namespace
}  // namespace wp2::test
