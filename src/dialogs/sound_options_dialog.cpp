// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound_options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

#include "core/base/cformat.h"
#include "core/nav/unit_formatter.h"
#include "core/routes/route_settings.h"
#include "core/sound/sound_event.h"
#include "core/sound/sound_player.h"
#include "core/sound/sound_settings.h"
#include "core/sound/wave_folder.h"
#include "core/waypoints/pushpin_messages.h"
#include "dialog_builder.h"
#include "dialog_layout.h"
#include "messages/message_box.h"

namespace wp2 {

namespace {

bool lessNoCase(const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) < 0;
}

}  // namespace

SoundOptionsDialog::SoundOptionsDialog(SoundSettings& settings, SoundPlayer& player,
                                       MessageBoxes& boxes, QWidget* parent, RouteSettings* alarms)
    : QDialog(parent), settings_(settings), player_(player), boxes_(boxes), alarms_(alarms) {
    DialogBuilder b(*this, "Sound options", 143, alarms ? 174 : 159);
    if (alarms) {
        arrival_ = b.checkBox("Arrival alarm within", 7, 144, 80, 10);
        radius_ = b.edit(90, 142, 30, 12);
        b.label("m", 123, 144, 10, 9);
        offCourse_ = b.checkBox("Off course beyond", 7, 159, 80, 10);
        offCourseDistance_ = b.edit(90, 157, 30, 12);
        b.label("m", 123, 159, 10, 9);
    }
    b.label("Event name:", 7, 7, 42, 8);
    silent_ = b.checkBox("Silent", 102, 6, 37, 10);
    events_ = b.list(7, 18, 124, 46);
    b.label("Sound (from the Windows folder):", 7, 67, 112, 8);
    sounds_ = b.dropDown(7, 77, 95);
    play_ = b.button("Play", 109, 76, 24, 14);
    b.label("Overspeed Value", 7, 97, 55, 9);
    limit_ = b.edit(65, 95, 24, 12);
    unit_ = b.label("Km/h", 92, 97, 19, 9);
    ok_ = b.button("Ok", 109, 93, 24, 14);
    b.label("To change a sound, tap its event in the list above, then choose the sound.", 7, 114,
            124, 27);
    ok_->setDefault(true);
    events_->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const char* name : kSoundEventNames) {
        events_->addItem(name);
    }
    // The texts of the lists take part in the fit: the longest possible event
    // name is there from the start.
    b.finish();

    connect(events_, &QListWidget::currentRowChanged, this, &SoundOptionsDialog::eventSelected);
    connect(sounds_, &QComboBox::activated, this, &SoundOptionsDialog::soundSelected);
    connect(play_, &QPushButton::clicked, this, &SoundOptionsDialog::playSelected);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
}

SoundOptionsDialog::~SoundOptionsDialog() = default;

const UnitFormatter& SoundOptionsDialog::formatter() const {
    // Settings made without a formatter show metric units.
    static const UnitFormatter metric;
    return settings_.formatter() ? *settings_.formatter() : metric;
}

int SoundOptionsDialog::exec() {
    open();
    return QDialog::exec();
}

void SoundOptionsDialog::open() {
    {
        const QSignalBlocker quiet(events_);
        events_->setCurrentRow(0);
    }
    // "(None)" first, then the sound files without regard to case.
    std::vector<std::string> files = listWaveFiles();
    std::stable_sort(files.begin(), files.end(), lessNoCase);
    sounds_->clear();
    sounds_->addItem(kNoSoundName);
    for (const std::string& f : files) {
        sounds_->addItem(QString::fromStdString(f));
    }
    sounds_->setCurrentIndex(0);

    settings_.loadNames();
    const int found = sounds_->findText(QString::fromStdString(settings_.name(SoundEvent::GpsOn)),
                                        Qt::MatchFixedString);
    if (found >= 0) {
        sounds_->setCurrentIndex(found);
    }

    const FormattedValue limit = formatter().formatSpeed(settings_.overspeedLimit());
    limit_->setText(uiText(limit.text));
    unit_->setText(uiText(limit.label));
    shownLimit_ = limit_->text();
    silent_->setChecked(settings_.silent() != 0);
    if (alarms_) {
        arrival_->setChecked(alarms_->arrivalAlarm());
        radius_->setText(QString::fromStdString(cformat("%g", alarms_->arrivalRadius())));
        offCourse_->setChecked(alarms_->offCourseAlarm());
        offCourseDistance_->setText(
            QString::fromStdString(cformat("%g", alarms_->offCourseDistance())));
    }
}

void SoundOptionsDialog::eventSelected() {
    const int row = events_->currentRow();
    if (row < 0 || row >= kSoundEventCount) {
        return;
    }
    selectSound(settings_.name(static_cast<SoundEvent>(row)));
}

void SoundOptionsDialog::selectSound(const std::string& name) {
    // Letters compared without regard to case; the first entry when none is equal.
    const int found = sounds_->findText(QString::fromStdString(name), Qt::MatchFixedString);
    sounds_->setCurrentIndex(found >= 0 ? found : 0);
}

void SoundOptionsDialog::soundSelected() {
    const int row = events_->currentRow();
    if (row < 0 || row >= kSoundEventCount || sounds_->currentIndex() < 0) {
        return;
    }
    settings_.setName(static_cast<SoundEvent>(row), utf8(sounds_->currentText()));
}

void SoundOptionsDialog::playSelected() {
    if (sounds_->currentIndex() <= 0) {
        return;
    }
    if (!player_.playSync(soundFilePath(utf8(sounds_->currentText())), kPlayTimeLimitMs)) {
        showMessage(boxes_, kCannotPlayText, kApplicationCaption, MessageIcon::Stop);
    }
}

void SoundOptionsDialog::accept() {
    settings_.saveNames();
    // An unchanged limit keeps the stored value exactly rather than its
    // rounded text; an unreadable one keeps it silently.
    double limit = 0.0;
    if (limit_->text() != shownLimit_ && formatter().parseSpeed(utf8(limit_->text()), limit)) {
        settings_.setOverspeedLimit(limit);
    }
    settings_.setSilent(silent_->isChecked() ? 1 : 0);
    if (alarms_) {
        // A distance that is not a number, or out of range, keeps the stored one.
        bool read = false;
        if (const double m = radius_->text().trimmed().toDouble(&read); read) {
            alarms_->setArrivalRadius(m);
        }
        if (const double m = offCourseDistance_->text().trimmed().toDouble(&read); read) {
            alarms_->setOffCourseDistance(m);
        }
        alarms_->setArrivalAlarm(arrival_->isChecked());
        alarms_->setOffCourseAlarm(offCourse_->isChecked());
    }
    QDialog::accept();
}

}  // namespace wp2
