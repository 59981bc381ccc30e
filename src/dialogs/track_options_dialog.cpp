// SPDX-License-Identifier: GPL-3.0-or-later
#include "track_options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

#include "core/gpx/track_gpx.h"
#include "core/maps/tile_source.h"
#include "core/settings/int_setting.h"
#include "core/track/file_chooser.h"
#include "core/track/track_log.h"
#include "core/waypoints/pushpin_messages.h"
#include "dialog_builder.h"
#include "file_dialog.h"
#include "messages/failed_save.h"
#include "messages/message_box.h"

namespace wp2 {

namespace {

// Tells the user what the track file's Load or Save found.
void tell(const UiServices& services, const TrackFileOutcome& outcome) {
    if (!outcome.notice.empty()) {
        showMessage(services.boxes, outcome.notice, kApplicationCaption, MessageIcon::Exclamation);
    }
    if (outcome.failedSave) {
        reportFailedSave(services.boxes, services.diagnostics, "The track",
                         outcome.failedSave->what, outcome.failedSave->reason);
    }
}

}  // namespace

TrackMapOptions TrackMapOptions::fromStored(std::int32_t value) {
    return {(value & kTrackMapRotate) != 0, (value & kTrackMapDrag) != 0, {}};
}

std::int32_t TrackMapOptions::stored() const {
    return (dragMap ? kTrackMapDrag : 0) + (rotateMap ? kTrackMapRotate : 0);
}

TrackOptionsDialog::TrackOptionsDialog(const UiServices& services, TrackLog& track,
                                       TrackMapOptions options, QWidget* parent)
    : QDialog(parent), services_(services), track_(track), options_(options) {
    DialogBuilder b(*this, "Track options", 120, 124);
    b.group("Track options", 5, 3, 110, 44);
    rotate_ = b.checkBox("Rotate map", 12, 15, 90, 10);
    drag_ = b.checkBox("Drag map", 12, 30, 90, 10);
    load_ = b.button("Load", 5, 54, 34, 14);
    save_ = b.button("Save", 43, 54, 34, 14);
    clear_ = b.button("Clear", 81, 54, 34, 14);
    b.label("Base map", 5, 74, 36, 10);
    kind_ = b.dropDown(42, 72, 73);
    where_ = b.edit(5, 87, 92, 12);
    browse_ = b.button("...", 100, 87, 15, 12);
    ok_ = b.button("OK", 5, 106, 50, 14);
    cancel_ = b.button("Cancel", 65, 106, 50, 14);
    ok_->setDefault(true);
    b.finish();

    rotate_->setChecked(options_.rotateMap);
    drag_->setChecked(options_.dragMap);
    kind_->addItems({"None", "Map file", "Tile folder", "Tile server"});
    kind_->setCurrentIndex(static_cast<int>(mapSourceKind(options_.baseMap)));
    where_->setText(QString::fromStdString(options_.baseMap));
    where_->setPlaceholderText("https://.../{z}/{x}/{y}.png");
    const auto followKind = [this] {
        const auto kind = static_cast<MapSourceKind>(kind_->currentIndex());
        where_->setEnabled(kind != MapSourceKind::None);
        browse_->setEnabled(kind == MapSourceKind::MBTiles || kind == MapSourceKind::Folder);
    };
    followKind();
    connect(kind_, &QComboBox::currentIndexChanged, this, followKind);
    connect(browse_, &QPushButton::clicked, this, [this] { browseBaseMap(); });

    // The file commands act at once, without a question, and close the dialog;
    // Load and Save offer the track file and GPX; a cancelled or unreadable
    // load leaves the track as it was.
    connect(load_, &QPushButton::clicked, this, [this] {
        tell(services_, loadTrackAskingFile(track_, services_.files));
        done(QDialog::Accepted);
    });
    connect(save_, &QPushButton::clicked, this, [this] {
        tell(services_, saveTrackAskingFile(track_, services_.files));
        done(QDialog::Accepted);
    });
    connect(clear_, &QPushButton::clicked, this, [this] {
        track_.clear();
        done(QDialog::Accepted);
    });
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void TrackOptionsDialog::browseBaseMap() {
    std::optional<std::string> chosen;
    if (static_cast<MapSourceKind>(kind_->currentIndex()) == MapSourceKind::Folder) {
        const QString folder = QFileDialog::getExistingDirectory(
            this, "Tile folder", FileDialog::documentsFolder(),
            QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
        if (!folder.isEmpty()) {
            chosen = folder.toStdString();
        }
    } else {
        chosen = services_.files.openFile({"MBTiles map (*.mbtiles)|*.mbtiles||", "mbtiles", ""});
    }
    if (chosen) {
        where_->setText(QString::fromStdString(*chosen));
    }
}

void TrackOptionsDialog::accept() {
    options_.rotateMap = rotate_->isChecked();
    options_.dragMap = drag_->isChecked();
    const bool none = static_cast<MapSourceKind>(kind_->currentIndex()) == MapSourceKind::None;
    options_.baseMap = none ? std::string() : where_->text().trimmed().toStdString();
    QDialog::accept();
}

TrackMapOptions runTrackOptionsDialog(QWidget* parent, const UiServices& services, TrackLog& track,
                                      const std::string& baseMap) {
    IntSetting stored(services.settings(), kTrackMapOptionsValue, true, kTrackMapOptionsDefault);
    stored.load();
    TrackMapOptions given = TrackMapOptions::fromStored(stored.get());
    given.baseMap = baseMap;
    TrackOptionsDialog dialog(services, track, given, parent);
    dialog.exec();
    stored = dialog.options().stored();
    return dialog.options();
}

}  // namespace wp2
