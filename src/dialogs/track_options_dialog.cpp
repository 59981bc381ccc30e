#include "track_options_dialog.h"

#include <QCheckBox>
#include <QPushButton>

#include "core/gpx/track_gpx.h"
#include "core/settings/creg_int.h"
#include "core/track/track_log.h"
#include "dialog_builder.h"

namespace wp2 {

TrackMapOptions TrackMapOptions::fromStored(std::int32_t value) {
    return {(value & kTrackMapRotate) != 0, (value & kTrackMapDrag) != 0};
}

std::int32_t TrackMapOptions::stored() const {
    return (dragMap ? kTrackMapDrag : 0) + (rotateMap ? kTrackMapRotate : 0);
}

TrackOptionsDialog::TrackOptionsDialog(TrackLog& track, TrackMapOptions options, QWidget* parent)
    : QDialog(parent), track_(track), options_(options) {
    DialogBuilder b(*this, "Track options", 120, 96);
    b.group("Track options", 5, 3, 110, 44);
    rotate_ = b.checkBox("Rotate map", 12, 15, 90, 10);
    drag_ = b.checkBox("Drag map", 12, 30, 90, 10);
    load_ = b.button("Load", 5, 54, 34, 14);
    save_ = b.button("Save", 43, 54, 34, 14);
    clear_ = b.button("Clear", 81, 54, 34, 14);
    ok_ = b.button("OK", 5, 77, 50, 14);
    cancel_ = b.button("Cancel", 65, 77, 50, 14);
    ok_->setDefault(true);
    b.finish();

    rotate_->setChecked(options_.rotateMap);
    drag_->setChecked(options_.dragMap);

    // The file commands act at once, without a question, and close the dialog;
    // Load and Save offer the track file and GPX; a cancelled or unreadable
    // load leaves the track as it was.
    connect(load_, &QPushButton::clicked, this, [this] {
        loadTrackAskingFile(track_);
        done(QDialog::Accepted);
    });
    connect(save_, &QPushButton::clicked, this, [this] {
        saveTrackAskingFile(track_);
        done(QDialog::Accepted);
    });
    connect(clear_, &QPushButton::clicked, this, [this] {
        track_.clear();
        done(QDialog::Accepted);
    });
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void TrackOptionsDialog::accept() {
    options_.rotateMap = rotate_->isChecked();
    options_.dragMap = drag_->isChecked();
    QDialog::accept();
}

TrackMapOptions runTrackOptionsDialog(QWidget* parent, TrackLog& track) {
    CRegInt stored(kTrackMapOptionsValue, true, kTrackMapOptionsDefault);
    TrackOptionsDialog dialog(track, TrackMapOptions::fromStored(stored.Get()), parent);
    dialog.exec();
    stored = dialog.options().stored();
    return dialog.options();
}

}  // namespace wp2
