// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Sound options" dialog: the sound of each event (a ".wav" file of the
// "Windows" folder, or "(None)"), a Play button to hear it, the silent switch
// and the overspeed limit in the current speed unit. It edits the event
// sounds' SoundSettings, is made once and shown again at every opening. Given
// the route settings, it also switches the arrival alarm (with its radius)
// and the off-course alarm (with its distance, both in metres) on and off.

#include <QDialog>
#include <QString>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace wp2 {

class MessageBoxes;

class RouteSettings;
class SoundPlayer;
class SoundSettings;
class UnitFormatter;

inline constexpr const char* kCannotPlayText = "Can't play selected sound file.";
// Play waits for the sound to end, but never longer than this.
inline constexpr int kPlayTimeLimitMs = 30000;

class SoundOptionsDialog : public QDialog {
    Q_OBJECT

public:
    // player plays the sounds for "Play"; it must outlive the dialog. The
    // sounds are the ".wav" files of the "Windows" folder of the data root.
    // A sound that cannot be played is told in boxes.
    SoundOptionsDialog(SoundSettings& settings, SoundPlayer& player, MessageBoxes& boxes,
                       QWidget* parent = nullptr, RouteSettings* alarms = nullptr);
    ~SoundOptionsDialog() override;

    // Fills the lists from the folder and the settings, then shows the dialog.
    int exec() override;
    // "Ok": writes the names, the limit (when it reads as a speed) and the
    // silent switch.
    void accept() override;

    QListWidget* eventList() const { return events_; }
    QComboBox* soundList() const { return sounds_; }
    QCheckBox* silentBox() const { return silent_; }
    QPushButton* playButton() const { return play_; }
    QLineEdit* limitEdit() const { return limit_; }
    QLabel* unitLabel() const { return unit_; }
    QPushButton* okButton() const { return ok_; }
    QCheckBox* arrivalBox() const { return arrival_; }
    QLineEdit* radiusEdit() const { return radius_; }
    QCheckBox* offCourseBox() const { return offCourse_; }
    QLineEdit* offCourseEdit() const { return offCourseDistance_; }

private:
    void open();
    const UnitFormatter& formatter() const;
    void eventSelected();
    void soundSelected();
    void playSelected();
    void selectSound(const std::string& name);

    SoundSettings& settings_;
    SoundPlayer& player_;
    MessageBoxes& boxes_;
    QString shownLimit_;

    QListWidget* events_;
    QComboBox* sounds_;
    QCheckBox* silent_;
    QPushButton* play_;
    QLineEdit* limit_;
    QLabel* unit_;
    QPushButton* ok_;
    RouteSettings* alarms_;
    QCheckBox* arrival_ = nullptr;
    QLineEdit* radius_ = nullptr;
    QCheckBox* offCourse_ = nullptr;
    QLineEdit* offCourseDistance_ = nullptr;
};

}  // namespace wp2
