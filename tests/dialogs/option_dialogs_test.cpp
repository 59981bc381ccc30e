// SPDX-License-Identifier: GPL-3.0-or-later
// The option dialogs. Sound options: the event and sound lists, the names
// kept in memory and written on "Ok", Play, the silent switch and the
// overspeed limit in the current speed unit. Miscellaneous Options: the unit
// system radios and "UnitSystem".

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "core/base/paths.h"
#include "core/nav/unit_formatter.h"
#include "core/nav/unit_system_setting.h"
#include "core/routes/route_settings.h"
#include "core/settings/settings_store.h"
#include "core/sound/recording_sound_player.h"
#include "core/sound/sound_settings.h"
#include "dialog_test_env.h"
#include "dialogs/misc_options_dialog.h"
#include "dialogs/sound_options_dialog.h"

namespace wp2::test {
namespace {

class OptionDialogs : public DialogTest {
protected:
    void SetUp() override {
        Paths::makeDirs(root_.file("Windows"));
        for (const char* f : {"Chimes.wav", "alarm1.wav", "Ding.WAV", "notes.txt"}) {
            writeFile(root_.file(std::string("Windows/") + f), "RIFF");
        }
        EXPECT_TRUE(store_.writeText("SndGpsOn", "ding.wav"));
        EXPECT_TRUE(store_.writeText("SndNoFix", "Gone.wav"));
        formatter_.setSystem(UnitSystem::Metric);
        sounds_.init(services_.settings(), &store_, &formatter_);
    }

    void sound(std::function<void(SoundOptionsDialog&)> steps) {
        runShown<SoundOptionsDialog>([this] { return soundDialog_.exec(); }, std::move(steps));
    }
    static void pick(SoundOptionsDialog& d, int event, const QString& sound) {
        d.eventList()->setCurrentRow(event);
        const int i = d.soundList()->findText(sound);
        d.soundList()->setCurrentIndex(i);
        emit d.soundList()->activated(i);
    }
    SettingsStore store_{registry_};
    UnitFormatter formatter_;
    SoundSettings sounds_;
    RecordingSoundPlayer player_;
    RecordingMessageBoxes& boxes_ = services_.boxes;
    SoundOptionsDialog soundDialog_{sounds_, player_, services_.boxes};
};

TEST_F(OptionDialogs, SoundsListTheWaveFilesPlayThemAndOkWritesThePicks) {
    sound([&](SoundOptionsDialog& d) {
        EXPECT_EQ(d.eventList()->item(2)->text(), "Position Calculated");
        QStringList files;
        for (int i = 0; i < d.soundList()->count(); ++i) {
            files << d.soundList()->itemText(i);
        }
        EXPECT_EQ(files, (QStringList{"(None)", "alarm1.wav", "Chimes.wav", "Ding.WAV"}));
        EXPECT_EQ(d.soundList()->currentText(), "Ding.WAV");  // stored as "ding.wav"
        d.eventList()->setCurrentRow(3);                      // "Gone.wav" is not in the folder
        EXPECT_EQ(d.soundList()->currentIndex(), 0);
        pick(d, 4, "Chimes.wav");
        EXPECT_EQ(sounds_.name(SoundEvent::Overspeed), "Chimes.wav");  // at once
        click(d.playButton());  // waits for the sound, up to a limit
        EXPECT_EQ(player_.played, std::vector<std::string>{root_.file("Windows/Chimes.wav")});
        EXPECT_EQ(player_.lastTimeLimitMs, kPlayTimeLimitMs);
        player_.syncResult = false;
        click(d.playButton());
        EXPECT_EQ(boxes_.shown.at(0).text, "Can't play selected sound file.");
        EXPECT_EQ(boxes_.shown.at(0).icon, MessageIcon::Stop);
        pick(d, 0, "(None)");
        click(d.playButton());  // plays nothing: still the two tries of Chimes.wav
        EXPECT_EQ(player_.played.size(), 2u);
        click(d.okButton());
    });
    EXPECT_EQ(storedText("SndOverspeed"), "Chimes.wav");
    EXPECT_EQ(storedText("SndGpsOn"), "(None)");
    EXPECT_FALSE(sounds_.hasSound(SoundEvent::GpsOn));

    // Without "Ok" the pick is used only until the next opening.
    sound([&](SoundOptionsDialog& d) {
        pick(d, 1, "alarm1.wav");
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_EQ(sounds_.name(SoundEvent::GpsOff), "alarm1.wav");
    sound([&](SoundOptionsDialog& d) {
        EXPECT_EQ(sounds_.name(SoundEvent::GpsOff), "");
        QTest::keyClick(&d, Qt::Key_Escape);
    });
}

TEST_F(OptionDialogs, AlarmSwitchesAndDistancesAreWrittenByOk) {
    RouteSettings alarms(services_.settings(), store_);
    alarms.load();
    SoundOptionsDialog dialog(sounds_, player_, services_.boxes, nullptr, &alarms);
    runShown<SoundOptionsDialog>(
        [&] { return dialog.exec(); },
        [](SoundOptionsDialog& d) {
            EXPECT_EQ(std::tuple(d.arrivalBox()->isChecked(), d.radiusEdit()->text(),
                                 d.offCourseBox()->isChecked(), d.offCourseEdit()->text()),
                      std::tuple(false, "30", false, "100"));
            click(d.arrivalBox());
            typeInto(d.radiusEdit(), "45.5");
            typeInto(d.offCourseEdit(), "far");  // not a distance: the stored one stays
            click(d.okButton());
        });
    EXPECT_EQ(std::tuple(alarms.arrivalAlarm(), alarms.arrivalRadius(), alarms.offCourseAlarm(),
                         alarms.offCourseDistance()),
              std::tuple(true, 45.5, false, 100.0));
}

TEST_F(OptionDialogs, SoundLimitInTheCurrentUnitAndSilentAreWrittenByOkOnly) {
    sound([](SoundOptionsDialog& d) {
        EXPECT_EQ(d.limitEdit()->text().trimmed(), "40.3");
        EXPECT_EQ(d.unitLabel()->text(), "kmh");
        click(d.silentBox());
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_EQ(sounds_.silent(), 0);
    sound([](SoundOptionsDialog& d) {
        click(d.silentBox());
        click(d.okButton());
    });
    EXPECT_EQ(sounds_.overspeedLimit(), 11.2);  // untouched text: the stored value exactly
    EXPECT_EQ(registry_.number("SndSilent"), 1);
    for (const char* typed : {"50", "fast"}) {  // a text that is no speed changes nothing
        sound([typed](SoundOptionsDialog& d) {
            typeInto(d.limitEdit(), typed);
            click(d.okButton());
        });
        EXPECT_DOUBLE_EQ(sounds_.overspeedLimit(), 50.0 / 3.6) << typed;
    }
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(OptionDialogs, UnitSystemIsStoredAndAppliedOnOkOnly) {
    MiscOptionsDialog misc(services_.settings());  // "UnitSystem" absent: U.S.
    for (const bool ok : {true, false}) {
        auto step = whenShown<MiscOptionsDialog>([&](MiscOptionsDialog& d) {
            EXPECT_TRUE(d.radio(ok ? 0 : 2)->isChecked());
            click(d.radio(ok ? 2 : 1));
            click(ok ? d.okButton() : d.cancelButton());
        });
        EXPECT_EQ(misc.run(formatter_), ok);
        EXPECT_TRUE(step.ran());
        EXPECT_EQ(registry_.number(kUnitSystemValueName), 2);
        EXPECT_EQ(formatter_.code(), UnitFormatter::kNautical);
    }
}

}  // namespace
}  // namespace wp2::test
